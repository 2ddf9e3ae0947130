#pragma once

// The configuration model's only contact with the session's parameters: six primitives over the
// device library. Statuses are returned where a caller looks at them, and ignored everywhere else.

#include <QString>

#include <cstdint>

namespace config {

// lin_GetConfig: status; value receives the parameter.
int16_t readParameter(const QString& name, uint16_t& value);
// lin_GetConfig, status discarded (0 when the read fails).
uint16_t readParameterValue(const QString& name);
// lin_GetConfigDefault: status; value receives the configuration type's default.
int16_t readDefault(const QString& name, uint16_t& value);
// lin_SetConfig: status.
int16_t writeParameter(const QString& name, uint16_t value);
// lin_GetStringConfig with a 232-byte buffer: the text (empty when the read fails).
QString readString(const QString& name);
// lin_SetStringConfig: status.
int16_t writeString(const QString& name, const QString& text);

// Reads the value or, with fromDefaults, the configuration type's default.
uint16_t readValueOrDefault(const QString& name, bool fromDefaults);

} // namespace config

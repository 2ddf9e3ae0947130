#pragma once

// Texts of the error codes a control box records in its error list.

#include <QString>

namespace device {

inline constexpr int kBoxErrorCount = 108;

// The text of box error code 0 to 107 ("E04", "E107 - Forced init. ref 8"); empty for any other code,
// which the error list shows as a number instead.
QString boxErrorText(int code);

} // namespace device

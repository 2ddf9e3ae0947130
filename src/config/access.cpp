#include "config/access.h"

#include "device/moxtalib.h"

namespace config {

int16_t readParameter(const QString& name, uint16_t& value)
{
    return device::lib::getConfig(name, value);
}

uint16_t readParameterValue(const QString& name)
{
    uint16_t value = 0;
    device::lib::getConfig(name, value);
    return value;
}

int16_t readDefault(const QString& name, uint16_t& value)
{
    return device::lib::getConfigDefault(name, value);
}

int16_t writeParameter(const QString& name, uint16_t value)
{
    return device::lib::setConfig(name, value);
}

QString readString(const QString& name)
{
    QString text;
    device::lib::getStringConfig(name, text);
    return text;
}

int16_t writeString(const QString& name, const QString& text)
{
    return device::lib::setStringConfig(name, text);
}

uint16_t readValueOrDefault(const QString& name, bool fromDefaults)
{
    uint16_t value = 0;
    if (fromDefaults)
        readDefault(name, value);
    else
        readParameter(name, value);
    return value;
}

} // namespace config

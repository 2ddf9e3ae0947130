#pragma once

// The box's last ten errors and its powered time, in the four time formats of the Status tab.

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

namespace device {

// Time format index: bit 0 the d-h-m-s layout, bit 1 the absolute time.
inline constexpr int kRelativeSeconds = 0;
inline constexpr int kRelativeDhms = 1;
inline constexpr int kAbsoluteSeconds = 2;
inline constexpr int kAbsoluteDhms = 3;

// "1d-1h-1m-1s": days, hours and minutes only when not zero, then the seconds.
QString dhms(uint32_t seconds);
// The powered-time label: d-h-m-s for indexes 1 and 3, else the plain number of seconds.
QString poweredText(uint32_t seconds, int format);

struct ErrorRow
{
    QString powered;
    QString error;
};
// The rows of the error list from the 64-byte error buffer; "NO ERRORS RECORDED" when none.
std::vector<ErrorRow> errorRows(const QByteArray& buffer, uint32_t poweredSeconds, int format);

} // namespace device

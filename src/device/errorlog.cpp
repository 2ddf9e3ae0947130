#include "device/errorlog.h"

#include "device/boxerrors.h"

namespace device {

QString dhms(uint32_t n)
{
    QString text;
    if (const uint32_t days = n / 86400)
        text += QString::number(days) + QStringLiteral("d-");
    if (const uint32_t hours = n % 86400 / 3600)
        text += QString::number(hours) + QStringLiteral("h-");
    if (const uint32_t minutes = n % 3600 / 60)
        text += QString::number(minutes) + QStringLiteral("m-");
    return text + QString::number(n % 60) + u's';
}

QString poweredText(uint32_t seconds, int format)
{
    return (format & 1) ? dhms(seconds) : QString::number(seconds);
}

std::vector<ErrorRow> errorRows(const QByteArray& buffer, uint32_t poweredSeconds, int format)
{
    std::vector<ErrorRow> rows;
    auto byte = [&buffer](int i) { return uint32_t(uint8_t(i < buffer.size() ? buffer[i] : 0)); };
    for (int record = 0; record < 10; ++record) {
        const int at = record * 6;
        const uint32_t time = byte(at) | byte(at + 1) << 8 | byte(at + 2) << 16 | byte(at + 3) << 24;
        const uint32_t code = byte(at + 4) | byte(at + 5) << 8;
        if (code == 0)
            continue;
        const bool absolute = format & 2;
        const uint32_t n = absolute ? time : poweredSeconds - time; // unsigned: wraps, never negative
        QString caption = (format & 1) ? dhms(n) : QString::number(n) + QStringLiteral(" s");
        if (!absolute)
            caption += QStringLiteral(" ago");
        rows.push_back({caption, code <= 107 ? boxErrorText(int(code)) : QString::number(code)});
    }
    if (rows.empty())
        rows.push_back({QStringLiteral("NO ERRORS RECORDED"), QString()});
    return rows;
}

} // namespace device

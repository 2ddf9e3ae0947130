#include "device/boxerrors.h"

namespace device {

namespace {

// Entry n is the text of code n; the spelling is the boxes' own.
constexpr const char* kBoxErrorTexts[kBoxErrorCount] = {
    "E00 - NO ERROR", "E01 - Position lost", "E02 - Overload up", "E03 - Overload down", "E04", "E05", "E06",
    "E07", "E08 - Watchdog", "E09 - LIN collision", "E10 - Power fail", "E11 - Channel mismatch",
    "E12 - Position error", "E13 - Short curcuit", "E14 - Checksum", "E15 - Power limit",
    "E16 - Illegal keypress", "E17 - Safety missing", "E18 - Initialization lock", "E19 - LIN power", "E20",
    "E21", "E22", "E23 - Ch1 missing", "E24 - Ch2 missing", "E25 - Ch3 missing", "E26 - Ch4 missing",
    "E27 - Ch5 missing", "E28 - Ch6 missing", "E29 - Ch1 type", "E30 - Ch2 type", "E31 - Ch3 type",
    "E32 - Ch4 type", "E33 - Ch5 type", "E34 - Ch6 type", "E35 - Ch1 pulse fail", "E36 - Ch2 pulse fail",
    "E37 - Ch3 pulse fail", "E38 - Ch4 pulse fail", "E39 - Ch5 pulse fail", "E40 - Ch6 pulse fail",
    "E41 - Ch1 overload up", "E42 - Ch2 overload up", "E43 - Ch3 overload up", "E44 - Ch4 overload up",
    "E45 - Ch5 overload up", "E46 - Ch6 overload up", "E47 - Ch1 overload dw", "E48 - Ch2 overload dw",
    "E49 - Ch3 overload dw", "E50 - Ch4 overload dw", "E51 - Ch5 overload dw", "E52 - Ch6 overload dw",
    "E53 - Ch1 anti-col", "E54 - Ch2 anti-col", "E55 - Ch3 anti-col", "E56 - Ch4 anti-col",
    "E57 - Ch5 anti-col", "E58 - Ch6 anti-col", "E59 - Ch1 SLS", "E60 - Ch2 SLS", "E61 - Ch3 SLS",
    "E62 - Ch4 SLS", "E63 - Ch5 SLS", "E64 - Ch6 SLS", "E65 - Ch1B type", "E66 - Ch2B type",
    "E67 - Ch3B type", "E68 - Ch4B type", "E69 - Ch5B type", "E70 - Ch6B type", "E71 - Ch1A short",
    "E72 - Ch1B short", "E73 - Ch2A short", "E74 - Ch2B short", "E75 - Ch3A short", "E76 - Ch3B short",
    "E77 - Ch4A short", "E78 - Ch4B short", "E79 - Ch5A short", "E80 - Ch5B short", "E81 - Ch6A short",
    "E82 - Ch6B short", "E83 - Massage", "E84 - DC-out", "E85 - Radio dead", "E86 - Master", "E87 - Slave 1",
    "E88 - Slave 2", "E89 - Slave 3", "E90", "E91", "E92", "E93", "E94", "E95", "E96", "E97", "E98", "E99",
    "E100 - Forced init. ref 1", "E101 - Forced init. ref 2", "E102 - Forced init. ref 3",
    "E103 - Forced init. ref 4", "E104 - Forced init. ref 5", "E105 - Forced init. ref 6",
    "E106 - Forced init. ref 7", "E107 - Forced init. ref 8"
};

} // namespace

QString boxErrorText(int code)
{
    if (code < 0 || code >= kBoxErrorCount)
        return QString();
    return QString::fromLatin1(kBoxErrorTexts[code]);
}

} // namespace device

#pragma once

// The parameter catalog: every parameter the window moves, with its control, how its value is
// converted and when it is read and written. The transfers walk these tables.

#include "config/conversions.h"

#include <cstdint>
#include <span>

namespace config {

enum class Kind : uint8_t {
    Scaled, // showScaled / storeScaled
    TruncatedScaled, // showScaled / storeTextScaled: the stored value is cut, not rounded
    Angle, // showAngle / storeAngle
    Flag, // checked when not 0; 1/0
    InvertedFlag, // checked when 0; 0/1
    ItemIndex, // showListValue by index; the selected index
    Composite, // handled by its own rule
};

enum class Unit : uint8_t {
    None,
    Length, // the length divisor and precision of the unit scales
    Speed, // the speed divisor and precision
    SpeedLengthPrecision, // the speed divisor with the length precision (RQ9 speeds)
    Count, // 1, precision 1
    Volt, // 9.90328820116054, precision 10
    Percent, // 1.28, precision 10
    Minutes, // 60, precision 100
    Period, // 0.5, precision 10
    ForcedSeconds, // 2000, precision 1
    Custom, // 10, precision 10
    AuxLevel, // percent for an LED output, else volts
};

enum class Composite : uint8_t {
    None,
    InitPlug, // auto_init_plug + use_init_plug in cmbInitPlug#
    AcEnable, // ac_disabled + ac_plug in cmbAcEnable#
    SlsAccelerate, // remembered per row
    ImpulseKeys, // no_impulse_key + the three keys
    PwmDuty,
    UblTimeoutEnlarged,
    SnoreMemory,
    RefAlwaysParallel,
    AuxType,
    AuxVoltMin, // written from the min box only when the output is variable
    PowerSetting,
    PlugType,
    ImpulseStopSame,
    ResetImpulse, // mem7/mem8 impulse: written only, the flag of the box
};

// When a row is moved; evaluated by the transfers against the window.
enum class When : uint8_t {
    Always,
    Never,
    GroupBox9, // GroupBox9 shown
    EopReturn, // the row's cmbEopRetUp# shown
    SlsTab,
    SlsTabGroupBox9,
    SlsTabEopReturn,
    StopMaxTab,
    StopMinTab,
    VariousTab,
    VariousInitLock, // Various tab and gbInitLock
    VariousImpulse, // Various tab and gbImpulseDrive
    VariousForcedInit,
    VariousPowerSettings,
    VariousPlugUsage,
    ZeroPower, // gbZeroPower itself shown
    CustomTab,
    ResetTab,
    Mz40, // the MZ40 tab shown
    Mz40Standard, // and mode 3
    Mz40Advanced, // and mode 4
    AuxTab,
    MassageModes, // gbMassageModes shown
    AuxOutputs, // gbAuxOutputs shown
};

struct Row
{
    const char* name; // a full name, or the stem after a reference prefix, or with '#' for an aux output
    const char* control; // the control; '#' stands for the row or output number
    Kind kind;
    Unit unit = Unit::None;
    uint16_t marker = kDefaultMarker;
    const char* defaultText = "Default";
    uint16_t fallback = kDefaultMarker;
    When read = When::Always;
    When write = When::Always;
    Composite composite = Composite::None;
};

// Per reference row ("ref" + N + "_" + name; control pattern with the row number).
std::span<const Row> referenceRows();
// The RQ9 tab (mode 2).
std::span<const Row> rq9Rows();
// The MZ40 tab and the MZ40 advanced Various tab.
std::span<const Row> mz40Rows();
// The massage groups of the Aux/Massage tab.
std::span<const Row> massageRows();
// Per aux output N ('#' = N in names and controls).
std::span<const Row> auxRows();
// The Various and Custom tabs.
std::span<const Row> variousRows();
// The Reset tab.
std::span<const Row> resetRows();

// Divisor and precision of a unit under the current unit scales.
struct Scale
{
    double divisor = 1;
    int precision = 1;
};
Scale scaleOf(Unit unit, const UnitScales& scales, bool ledOutput = false);

// The product tag written to "ConfType" for a mode.
const char* productTag(int mode);

} // namespace config

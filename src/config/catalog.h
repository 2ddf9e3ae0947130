#pragma once

// The parameter catalog: every parameter the window moves, with its control, how its value is
// converted and when it is read and written. The transfers walk these tables.

#include "config/conversions.h"

#include <QString>

#include <array>
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

// The row that stores a control's value ('#' in a row's control stands for the control's last
// digit); nothing for a control that no row stores.
const Row* rowOfControl(const QString& control);

// Divisor and precision of a unit under the current unit scales.
struct Scale
{
    double divisor = 1;
    int precision = 1;
};
Scale scaleOf(Unit unit, const UnitScales& scales, bool ledOutput = false);

// The Settings tab of the standard view: one reference ("ref" + N + "_" + name) with its actuator
// list, and the forced-initialisation time under its own name.
inline constexpr const char* kStandardActuatorList = "cmbActLt";
std::span<const Row> standardReferenceRows();
const Row& standardForcedRow();

// The parameters of the aux outputs as a whole (while the aux outputs are shown).
std::span<const Row> auxCommonRows();

// The prefix of reference N's parameters: "ref" + N + "_".
QString referencePrefix(int n);

// Channel N (1-4): its parameter, the box of its A port (its reference or function) and of its B port.
QString channelParameter(int n);
QString channelBox(int n);
QString channelPortBBox(int n);

// The nine flags of memory N ("mem" + N + "_" + stem), as the transfers read them: the memory's
// check boxes position, massage, aux 1-4 in that order, then impulse, inv_impulse, write_enabled.
inline constexpr std::array<const char*, 9> kMemoryFlags = {"use_position", "use_massage", "use_dc1",     "use_dc2", "use_dc3",
                                                            "use_dc4",      "impulse",     "inv_impulse", "write_enabled"};
QString memoryParameter(int memory, const char* stem);
// The position of column (8 - i) of value slot K: "mem" + K + "_pos" + (8 - i).
QString memoryPositionParameter(int slot, int column);
// The reset order's step of a memory for a reference: "priority_memory" + N + "_ref" + R.
QString stepParameter(int memory, int reference);
// The Reset tab's boxes of the reset drives (memory 7 down, memory 8 up): the position of each
// column (0-7), the order of the references and their pairing.
QString resetDriveBox(int memory, int column);
QString resetOrderBox(int memory);
QString resetPairBox(int memory);
// The memory order's priorities, in the order of the memory order dialog's four choices (aux on,
// aux off, massage on, massage off).
inline constexpr std::array<const char*, 4> kPriorities = {"priority_dc_on", "priority_dc_off", "priority_massage_on",
                                                            "priority_massage_off"};

// The product tag written to "ConfType" for a mode.
const char* productTag(int mode);
// Product names used in messages about a box or file of another mode, by mode.
QString productNameOfMode(int mode);

// ---- Value entry rules --------------------------------------------------------------------------

// What cleans a box's text while the user types.
enum class EntryFilter : uint8_t {
    None,
    Digits, // at most `digits` digits in a row and `decimals` after the decimal separator
    Numeric, // digits and one decimal separator; a word becomes the box's "Default"
    WholeNumber, // a typed text keeps only its leading whole number
};

// What runs when the user leaves a box.
enum class ExitRule : uint8_t {
    None, // nothing
    Limits, // the limits check with the factor
    Speed, // the limits check, then the pair of speed boxes of the reference mirrored
    AuxTimeout, // the limits check in minutes; a time of 0 then selects the box's first item
    AuxRange, // an aux output's setting, minimum and step kept in order
    Intensity, // the massage intensities, their step and the wave minimum kept in order
    Cycle, // the massage cycle times and their step kept in order
    Angle, // an RQ9 angle against its stroke limits; backrest and legrest in order
    ResetDrive, // a reset drive's positions: a value slot taken or given back
};

// Shown value times the factor is the raw value the limits file speaks of.
enum class Factor : uint8_t {
    Plain,
    Length, // 10 in mm, 254 in inch
    Speed, // 163.84 in mm/s, 4161.536 in inch/s
    Minutes, // 60
    AuxLevel, // 1.28 for an LED output (percent), else volts
    Volt, // 9.90328820116054
    Period, // 0.5
};

struct EntryRule
{
    const char* control; // '#' stands for 1 to count
    EntryFilter onChange = EntryFilter::None;
    int digits = 0;
    int decimals = 0;
    bool numericOnClick = false; // the numeric filter also runs when an item is chosen
    bool colourFirst = false; // a change restores the normal window colour first and leaves "Default" alone
    ExitRule onExit = ExitRule::None;
    Factor factor = Factor::Plain;
    int count = 4;
};

// The entry rules of the value boxes, by control pattern.
std::span<const EntryRule> entryRules();

} // namespace config

#include "config/catalog.h"

namespace config {

namespace {

using K = Kind;
using U = Unit;
using W = When;
using C = Composite;

constexpr const char* D = "Default";

// Per reference: read for all four rows, written for each row whose actuator list is enabled.
constexpr Row kReference[] = {
    {"auto_init_plug", "cmbInitPlug#", K::Composite, U::None, kDefaultMarker, D, 0, W::Always, W::VariousInitLock, C::InitPlug},
    {"stroke_max", "cmbStroke#", K::Scaled, U::Length, kDefaultMarker, D, 65535},
    {"stroke_min", "cmbLower#", K::Scaled, U::Length, 0, D, 0},
    {"speed_up", "cmbSpeed#", K::Scaled, U::Speed, kDefaultMarker, D, 65535},
    {"speed_dw", "cmbSpeedDown#", K::Scaled, U::Speed, kDefaultMarker, D, 65535},
    {"ac_disabled", "cmbAcEnable#", K::Composite, U::None, kDefaultMarker, D, 0, W::GroupBox9, W::SlsTabGroupBox9, C::AcEnable},
    {"ac_limit_up", "cmbActUp#", K::Scaled, U::Count, 255, D, 255, W::GroupBox9, W::SlsTabGroupBox9},
    {"ac_limit_dw", "cmbActDw#", K::Scaled, U::Count, 255, D, 255, W::GroupBox9, W::SlsTabGroupBox9},
    {"sls_up", "cbxIgnUp#", K::InvertedFlag, U::None, kDefaultMarker, D, 0, W::Always, W::SlsTab},
    {"sls_dw", "cbxIgnDw#", K::InvertedFlag, U::None, kDefaultMarker, D, 0, W::Always, W::SlsTab},
    {"sls_accelerate", "", K::Composite, U::None, kDefaultMarker, D, 0, W::Always, W::SlsTab, C::SlsAccelerate},
    {"return_sls_up", "cmbSlsRetUp#", K::Scaled, U::Length, kDefaultMarker, D, 65535, W::Always, W::SlsTab},
    {"return_sls_dw", "cmbSlsRetDw#", K::Scaled, U::Length, kDefaultMarker, D, 65535, W::Always, W::SlsTab},
    {"return_eop_up", "cmbEopRetUp#", K::Scaled, U::Length, kDefaultMarker, D, 65535, W::EopReturn, W::SlsTabEopReturn},
    {"return_eop_dw", "cmbEopRetDw#", K::Scaled, U::Length, kDefaultMarker, D, 65535, W::EopReturn, W::SlsTabEopReturn},
    {"safety_stroke_max", "cmbSafeStrokeMax#", K::Scaled, U::Length, kDefaultMarker, D, 65535, W::Always, W::StopMaxTab},
    {"safety_stroke_min", "cmbSafeStrokeMin#", K::Scaled, U::Length, kDefaultMarker, D, 65535, W::Always, W::StopMinTab},
    {"safety_speed_up", "cmbSafeSpeedUp#", K::Scaled, U::Speed, kDefaultMarker, D, 65535, W::Always, W::StopMaxTab},
    {"safety_speed_dw", "cmbSafeSpeedDw#", K::Scaled, U::Speed, kDefaultMarker, D, 65535, W::Always, W::StopMinTab},
    {"safety_stop_max_up", "cbxSafeMaxUp#", K::Flag, U::None, kDefaultMarker, D, 0, W::Always, W::StopMaxTab},
    {"safety_stop_max_dw", "cbxSafeMaxDw#", K::Flag, U::None, kDefaultMarker, D, 0, W::Always, W::StopMaxTab},
    {"safety_stop_min_up", "cbxSafeMinUp#", K::Flag, U::None, kDefaultMarker, D, 0, W::Always, W::StopMinTab},
    {"safety_stop_min_dw", "cbxSafeMinDw#", K::Flag, U::None, kDefaultMarker, D, 0, W::Always, W::StopMinTab},
    {"safety_speed_max_up", "cbxSafeSpeedMaxUp#", K::Flag, U::None, kDefaultMarker, D, 0, W::Always, W::StopMaxTab},
    {"safety_speed_max_dw", "cbxSafeSpeedMaxDw#", K::Flag, U::None, kDefaultMarker, D, 0, W::Always, W::StopMaxTab},
    {"safety_speed_min_up", "cbxSafeSpeedMinUp#", K::Flag, U::None, kDefaultMarker, D, 0, W::Always, W::StopMinTab},
    {"safety_speed_min_dw", "cbxSafeSpeedMinDw#", K::Flag, U::None, kDefaultMarker, D, 0, W::Always, W::StopMinTab},
    {"safety_lock_max", "cbxUnlockMax#", K::Flag, U::None, kDefaultMarker, D, 0, W::Always, W::StopMaxTab},
    {"safety_lock_min", "cbxUnlockMin#", K::Flag, U::None, kDefaultMarker, D, 0, W::Always, W::StopMinTab},
    {"no_impulse_key", "cbxImpUp#", K::Composite, U::None, kDefaultMarker, D, 0, W::Always, W::VariousImpulse, C::ImpulseKeys},
};

// The RQ9 tab: row 1 the backrest (ref1_), row 2 the legrest (ref2_).
constexpr Row kRq9[] = {
    {"ref1_stroke_max", "cmbRq9BMax", K::Angle, U::None, kDefaultMarker, "68", 819},
    {"ref1_stroke_min", "cmbRq9BMin", K::Angle, U::None, kDefaultMarker, "0", 65535},
    {"ref1_speed_up", "cmbRq9BSpeedUp", K::Scaled, U::SpeedLengthPrecision, kDefaultMarker, D, 65535},
    {"ref1_speed_dw", "cmbRq9BSpeedDw", K::Scaled, U::SpeedLengthPrecision, kDefaultMarker, D, 65535},
    {"ref2_stroke_max", "cmbRq9LMax", K::Angle, U::None, kDefaultMarker, "45", 548},
    {"ref2_stroke_min", "cmbRq9LMin", K::Angle, U::None, kDefaultMarker, "0", 65535},
    {"ref2_speed_up", "cmbRq9LSpeedUp", K::Scaled, U::SpeedLengthPrecision, kDefaultMarker, D, 65535},
    {"ref2_speed_dw", "cmbRq9LSpeedDw", K::Scaled, U::SpeedLengthPrecision, kDefaultMarker, D, 65535},
    {"dcout1_timeout", "cmbRq9UblTO", K::Scaled, U::Minutes, 4095, D, 4095},
};

// The MZ40 tab; the last two on the advanced Various tab.
constexpr Row kMz40[] = {
    {"power_led", "cmbPowerLED", K::ItemIndex, U::None, kDefaultMarker, D, 0, W::Mz40, W::Mz40},
    {"pairing_blink", "cmbPairingBlink", K::ItemIndex, U::None, kDefaultMarker, D, 0, W::Mz40, W::Mz40},
    {"impulse_toggle_disabled", "cmbImpulseToggle", K::ItemIndex, U::None, kDefaultMarker, D, 0, W::Mz40, W::Mz40},
    {"impulse_toggle_state", "cmbImpulseToggleState", K::ItemIndex, U::None, kDefaultMarker, D, 0, W::Mz40, W::Mz40},
    {"under_bed_light", "cmbUblToggle", K::ItemIndex, U::None, kDefaultMarker, D, 0, W::Mz40, W::Mz40},
    {"pwm_duty", "cmbPwmDuty", K::Composite, U::None, kDefaultMarker, D, 90, W::Mz40Standard, W::Mz40Standard, C::PwmDuty},
    {"dcout1_timeout_enlarged", "ComboBoxUblTimeout", K::Composite, U::None, kDefaultMarker, D, 0, W::Mz40Advanced,
     W::Mz40Advanced, C::UblTimeoutEnlarged},
    {"snore_speed", "cmbSnoreSpeed", K::Scaled, U::Speed, kDefaultMarker, D, 65535, W::Mz40Advanced, W::Mz40Advanced},
    {"snore_time", "cmbSnoreTime", K::ItemIndex, U::None, kDefaultMarker, D, 0, W::Mz40Advanced, W::Mz40Advanced},
    {"snore_memory", "cmbSnoreMemory", K::Composite, U::None, kDefaultMarker, D, 0, W::Mz40Advanced, W::Mz40Advanced,
     C::SnoreMemory},
    {"chirps_disabled", "cmbChirps", K::ItemIndex, U::None, kDefaultMarker, D, 0, W::Mz40Advanced, W::Mz40Advanced},
    {"ref_always_parallel", "", K::Composite, U::None, kDefaultMarker, D, 0, W::Mz40Advanced, W::Mz40Advanced,
     C::RefAlwaysParallel},
    {"reset_only_parallel", "ComboBoxResetOnlyParallel", K::ItemIndex, U::None, kDefaultMarker, D, 0, W::Mz40Advanced,
     W::Mz40Advanced},
};

// The massage groups: read while the Aux/Massage tab is shown, written while gbMassageModes is.
constexpr Row kMassage[] = {
    {"massage_mode_hard_wave", "cbxHardWave", K::Flag, U::None, kDefaultMarker, D, 0, W::AuxTab, W::MassageModes},
    {"massage_mode_soft_wave", "cbxSoftWave", K::Flag, U::None, kDefaultMarker, D, 0, W::AuxTab, W::MassageModes},
    {"massage_mode_hard_puls", "cbxHardPulse", K::Flag, U::None, kDefaultMarker, D, 0, W::AuxTab, W::MassageModes},
    {"massage_mode_soft_puls", "cbxSoftPulse", K::Flag, U::None, kDefaultMarker, D, 0, W::AuxTab, W::MassageModes},
    {"massage_mode_constant", "cbxCont", K::Flag, U::None, kDefaultMarker, D, 0, W::AuxTab, W::MassageModes},
    {"massage_mode_next_restore", "cbxMasNextIsWave", K::InvertedFlag, U::None, kDefaultMarker, D, 0, W::AuxTab, W::MassageModes},
    {"massage_volt_min", "cmbMasIntLow", K::Scaled, U::Volt, 255, D, 65535, W::AuxTab, W::MassageModes},
    {"massage_volt_max", "cmbMasIntHi", K::Scaled, U::Volt, 255, D, 65535, W::AuxTab, W::MassageModes},
    {"massage_volt_step", "cmbMasIntStep", K::Scaled, U::Volt, 255, D, 65535, W::AuxTab, W::MassageModes},
    {"massage_volt_low", "cmbMasWaveMin", K::Scaled, U::Volt, 255, D, 65535, W::AuxTab, W::MassageModes},
    {"massage_vol_stop_up", "cbxMasIntCirUp", K::InvertedFlag, U::None, kDefaultMarker, D, 0, W::AuxTab, W::MassageModes},
    {"massage_vol_stop_dw", "cbxMasIntCirDw", K::InvertedFlag, U::None, kDefaultMarker, D, 0, W::AuxTab, W::MassageModes},
    {"massage_no_vol_off_dw", "cbxMasIntStop", K::InvertedFlag, U::None, kDefaultMarker, D, 0, W::AuxTab, W::MassageModes},
    {"massage_period_max", "cmbMasCycleHi", K::Scaled, U::Period, 15, D, 65535, W::AuxTab, W::MassageModes},
    {"massage_period_min", "cmbMasCycleLow", K::Scaled, U::Period, 15, D, 65535, W::AuxTab, W::MassageModes},
    {"massage_period_step", "cmbMasCycleStep", K::Scaled, U::Period, 15, D, 65535, W::AuxTab, W::MassageModes},
    {"massage_per_stop_up", "cbxMasCycleCirUp", K::InvertedFlag, U::None, kDefaultMarker, D, 0, W::AuxTab, W::MassageModes},
    {"massage_per_stop_dw", "cbxMasCycleCirDw", K::InvertedFlag, U::None, kDefaultMarker, D, 0, W::AuxTab, W::MassageModes},
    {"massage_timeout", "cmbMasTO", K::Scaled, U::Minutes, 4095, D, 65535, W::AuxTab, W::MassageModes},
};

// One aux output N, read and written while gbAuxOutputs is shown.
constexpr Row kAux[] = {
    {"dcout#_timeout", "cmbAuxTO#", K::Scaled, U::Minutes, 4095, "Off", 4095, W::AuxOutputs, W::AuxOutputs},
    {"dcout#_type", "cmbAuxType#", K::Composite, U::None, kDefaultMarker, D, 0, W::AuxOutputs, W::AuxOutputs, C::AuxType},
    {"dcout#_voltmax", "cmbAuxMax#", K::Scaled, U::AuxLevel, 255, D, 65535, W::AuxOutputs, W::AuxOutputs},
    {"dcout#_voltmin", "cmbAuxMin#", K::Scaled, U::AuxLevel, 255, D, 65535, W::AuxOutputs, W::AuxOutputs, C::AuxVoltMin},
    {"dcout#_step", "cmbAuxStep#", K::Scaled, U::AuxLevel, 255, D, 65535, W::AuxOutputs, W::AuxOutputs},
    {"dcout#_vol_stop_up", "cbxAuxCirUp#", K::InvertedFlag, U::None, kDefaultMarker, D, 0, W::AuxOutputs, W::AuxOutputs},
    {"dcout#_vol_stop_dw", "cbxAuxCirDw#", K::InvertedFlag, U::None, kDefaultMarker, D, 0, W::AuxOutputs, W::AuxOutputs},
    {"dcout#_vol_off_dw", "cbxAuxCirStop#", K::Flag, U::None, kDefaultMarker, D, 0, W::AuxOutputs, W::AuxOutputs},
};

// The aux outputs as a whole.
constexpr Row kAuxCommon[] = {
    {"extern_ubl", "cbxExternUBL", K::Flag, U::None, kDefaultMarker, D, 0, W::AuxOutputs, W::AuxOutputs},
};

// The Various and Custom tabs.
constexpr Row kVarious[] = {
    {"forced_init_time", "cmbForced", K::TruncatedScaled, U::ForcedSeconds, kDefaultMarker, D, 65535, W::VariousTab,
     W::VariousForcedInit},
    {"default_power", "cmbPowerSetting", K::Composite, U::None, kDefaultMarker, D, 0, W::VariousTab, W::VariousPowerSettings,
     C::PowerSetting},
    {"goto_standby", "cbxDisableZero", K::InvertedFlag, U::None, kDefaultMarker, D, 0, W::VariousTab, W::ZeroPower},
    {"plug_type", "cmbPlugUse", K::Composite, U::None, kDefaultMarker, D, 0, W::VariousTab, W::VariousPlugUsage, C::PlugType},
    {"impulse_stop_same", "rbImpStopAll", K::Composite, U::None, kDefaultMarker, D, 0, W::VariousTab, W::VariousImpulse,
     C::ImpulseStopSame},
    {"custom1", "cmbPar1", K::Scaled, U::Custom, 0, D, 0, W::VariousTab, W::CustomTab},
    {"custom2", "cmbPar2", K::Scaled, U::Custom, 0, D, 0, W::VariousTab, W::CustomTab},
    {"custom3", "cmbPar3", K::Scaled, U::Custom, 0, D, 0, W::VariousTab, W::CustomTab},
    {"custom4", "cmbPar4", K::Scaled, U::Custom, 0, D, 0, W::VariousTab, W::CustomTab},
};

// The Reset tab's impulse boxes of the two reset drives.
constexpr Row kReset[] = {
    {"mem7_inv_impulse", "cbxImpResDw", K::InvertedFlag, U::None, kDefaultMarker, D, 0, W::ResetTab, W::ResetTab},
    {"mem7_impulse", "cbxImpResDw", K::Composite, U::None, kDefaultMarker, D, 0, W::Never, W::ResetTab, C::ResetImpulse},
    {"mem8_inv_impulse", "cbxImpResUp", K::InvertedFlag, U::None, kDefaultMarker, D, 0, W::ResetTab, W::ResetTab},
    {"mem8_impulse", "cbxImpResUp", K::Composite, U::None, kDefaultMarker, D, 0, W::Never, W::ResetTab, C::ResetImpulse},
};

// The Settings tab of the standard view.
constexpr Row kStandardReference[] = {
    {"stroke_max", "cmbStrokeLt", K::Scaled, U::Length, kDefaultMarker, D, 65535},
    {"stroke_min", "cmbLowerLt", K::Scaled, U::Length, 0, D, 0},
    {"safety_stroke_min", "cmbSafeStrokeMinLt", K::Scaled, U::Length, kDefaultMarker, D, 65535},
};
constexpr Row kStandardForced{"forced_init_time", "cmbForcedLt", K::TruncatedScaled, U::ForcedSeconds, kDefaultMarker, D, 65535};

using F = EntryFilter;
using X = ExitRule;
using Fa = Factor;

// The value boxes' entry rules.
constexpr EntryRule kEntryRules[] = {
    {"cmbStroke#", F::Digits, 4, 1, false, false, X::Limits, Fa::Length},
    {"cmbLower#", F::Digits, 4, 1, true, false, X::Limits, Fa::Length},
    {"cmbSpeed#", F::Digits, 3, 2, true, true, X::Speed, Fa::Speed},
    {"cmbSpeedDown#", F::Digits, 3, 2, true, true, X::Speed, Fa::Speed},
    {"cmbSafeStrokeMax#", F::Numeric, 0, 0, false, false, X::Limits, Fa::Length},
    {"cmbSafeStrokeMin#", F::Numeric, 0, 0, false, false, X::Limits, Fa::Length},
    {"cmbSafeSpeedUp#", F::Numeric, 0, 0, false, false, X::Limits, Fa::Length},
    {"cmbSafeSpeedDw#", F::Numeric, 0, 0, false, false, X::Limits, Fa::Length},
    {"cmbSlsRetUp#", F::Numeric, 0, 0, false, false, X::Limits, Fa::Length},
    {"cmbSlsRetDw#", F::Numeric, 0, 0, false, false, X::Limits, Fa::Length},
    {"cmbEopRetUp#", F::Numeric, 0, 0, false, false, X::Limits, Fa::Length},
    {"cmbEopRetDw#", F::Numeric, 0, 0, false, false, X::Limits, Fa::Length},
    {"cmbEopUp#", F::None, 0, 0, false, false, X::Limits, Fa::Length},
    {"cmbEopDw#", F::None, 0, 0, false, false, X::Limits, Fa::Length},
    {"cmbStrokeLt", F::Numeric, 0, 0, false, false, X::Limits, Fa::Length},
    {"cmbLowerLt", F::Numeric, 0, 0, false, false, X::Limits, Fa::Length},
    {"cmbSafeStrokeMinLt", F::Numeric, 0, 0, false, false, X::Limits, Fa::Length},
    {"cmbForcedLt", F::Numeric, 0, 0, false, false, X::Limits, Fa::Plain},
    {"cmbForced", F::Digits, 2, 0, false, false, X::Limits, Fa::Plain},
    {"cmbAuxTO#", F::Digits, 2, 2, false, false, X::AuxTimeout, Fa::Minutes},
    {"cmbActUp#", F::Numeric},
    {"cmbActDw#", F::Numeric},
    {"cmbPowerSetting"},
    {"cmbPar#", F::Numeric},
    // The aux outputs and the massage groups.
    {"cmbAuxMax#", F::Digits, 3, 1, false, false, X::AuxRange, Fa::AuxLevel},
    {"cmbAuxMin#", F::Digits, 3, 1, false, false, X::AuxRange, Fa::AuxLevel},
    {"cmbAuxStep#", F::Digits, 3, 1, false, false, X::AuxRange, Fa::AuxLevel},
    {"cmbMasIntLow", F::Digits, 3, 1, false, false, X::Intensity, Fa::Volt},
    {"cmbMasIntHi", F::Digits, 3, 1, false, false, X::Intensity, Fa::Volt},
    {"cmbMasIntStep", F::Digits, 3, 1, false, false, X::Intensity, Fa::Volt},
    {"cmbMasWaveMin", F::Digits, 3, 1, false, false, X::Intensity, Fa::Volt},
    {"cmbMasCycleLow", F::Digits, 3, 1, false, false, X::Cycle, Fa::Period},
    {"cmbMasCycleHi", F::Digits, 3, 1, false, false, X::Cycle, Fa::Period},
    {"cmbMasCycleStep", F::Digits, 3, 1, false, false, X::Cycle, Fa::Period},
    {"cmbMasTO", F::Digits, 3, 1, false, false, X::Cycle, Fa::Period},
    // The RQ9 tab, and the MZ40 tab's under-bed-light time-out.
    {"cmbRq9BMax", F::None, 0, 0, true, false, X::Angle},
    {"cmbRq9BMin", F::None, 0, 0, true, false, X::Angle},
    {"cmbRq9LMax", F::None, 0, 0, true, false, X::Angle},
    {"cmbRq9LMin", F::None, 0, 0, true, false, X::Angle},
    {"cmbRq9BSpeedUp", F::None, 0, 0, true, false, X::Limits, Fa::Speed},
    {"cmbRq9BSpeedDw", F::None, 0, 0, true, false, X::Limits, Fa::Speed},
    {"cmbRq9LSpeedUp", F::None, 0, 0, true, false, X::Limits, Fa::Speed},
    {"cmbRq9LSpeedDw", F::None, 0, 0, true, false, X::Limits, Fa::Speed},
    {"cmbRq9UblTO", F::None, 0, 0, true, false, X::AuxTimeout, Fa::Minutes},
    {"ComboBoxUblTimeout", F::WholeNumber, 0, 0, false, false, X::Limits, Fa::Plain},
    // The reset drives of the Reset tab.
    {"cmbRefUp#", F::None, 0, 0, false, false, X::ResetDrive, Fa::Plain, 8},
    {"cmbRefDown#", F::None, 0, 0, false, false, X::ResetDrive, Fa::Plain, 8},
};

} // namespace

std::span<const Row> referenceRows() { return kReference; }
std::span<const Row> rq9Rows() { return kRq9; }
std::span<const Row> mz40Rows() { return kMz40; }
std::span<const Row> massageRows() { return kMassage; }
std::span<const Row> auxRows() { return kAux; }
std::span<const Row> variousRows() { return kVarious; }
std::span<const Row> resetRows() { return kReset; }

Scale scaleOf(Unit unit, const UnitScales& s, bool ledOutput)
{
    switch (unit) {
    case Unit::None:
    case Unit::Count: return {1.0, 1};
    case Unit::Length: return {s.lengthDivisor, s.lengthPrecision};
    case Unit::Speed: return {s.speedDivisor, s.speedPrecision};
    case Unit::SpeedLengthPrecision: return {s.speedDivisor, s.lengthPrecision};
    case Unit::Volt: return {9.90328820116054, 10};
    case Unit::Percent: return {1.28, 10};
    case Unit::Minutes: return {60.0, 100};
    case Unit::Period: return {0.5, 10};
    case Unit::ForcedSeconds: return {2000.0, 1};
    case Unit::Custom: return {10.0, 10};
    case Unit::AuxLevel: return ledOutput ? Scale{1.28, 10} : Scale{9.90328820116054, 10};
    }
    return {1.0, 1};
}

const Row* rowOfControl(const QString& control)
{
    const auto matches = [&control](const char* pattern) {
        const QLatin1String p(pattern);
        if (p.isEmpty())
            return false;
        if (!p.endsWith(u'#'))
            return control == p;
        return control.size() == p.size() && control.back().isDigit() && control.startsWith(p.chopped(1));
    };
    const std::span<const Row> tables[] = {kReference, kRq9,      kMz40,
                                           kMassage,   kAux,      kAuxCommon,
                                           kVarious,   kReset,    kStandardReference,
                                           std::span<const Row>(&kStandardForced, 1)};
    for (const std::span<const Row> table : tables)
        for (const Row& row : table)
            if (matches(row.control))
                return &row;
    return nullptr;
}

std::span<const Row> auxCommonRows() { return kAuxCommon; }
std::span<const Row> standardReferenceRows() { return kStandardReference; }
const Row& standardForcedRow() { return kStandardForced; }
std::span<const EntryRule> entryRules() { return kEntryRules; }

QString referencePrefix(int n)
{
    return QStringLiteral("ref%1_").arg(n);
}

QString channelParameter(int n)
{
    return QStringLiteral("channel%1").arg(n);
}

QString channelBox(int n)
{
    return QStringLiteral("cmbChan%1").arg(n);
}

QString channelPortBBox(int n)
{
    return QStringLiteral("cmbChan%1B").arg(n);
}

QString memoryParameter(int memory, const char* stem)
{
    return QStringLiteral("mem%1_").arg(memory) + QString::fromLatin1(stem);
}

QString memoryPositionParameter(int slot, int column)
{
    return QStringLiteral("mem%1_pos%2").arg(slot + 1).arg(8 - column);
}

QString resetDriveBox(int memory, int column)
{
    return QStringLiteral("cmbRef%1%2").arg(memory == 8 ? QStringLiteral("Up") : QStringLiteral("Down")).arg(column + 1);
}

QString resetOrderBox(int memory)
{
    return memory == 8 ? QStringLiteral("cmbRefOrderUp") : QStringLiteral("cmbRefOrderDown");
}

QString resetPairBox(int memory)
{
    return memory == 8 ? QStringLiteral("cmbRefPairUp") : QStringLiteral("cmbRefPairDown");
}

QString stepParameter(int memory, int reference)
{
    return QStringLiteral("priority_memory%1_ref%2").arg(memory).arg(reference);
}

// The messages name a mode by the tag its files carry.
QString productNameOfMode(int mode)
{
    return QString::fromLatin1(productTag(mode));
}

const char* productTag(int mode)
{
    static const char* const tags[] = {"KVR5E", "WZQ", "RQ9", "MZ40STD", "MZ40ADV"};
    return tags[(mode >= 0 && mode <= 4) ? mode : 0];
}

} // namespace config

// The composite rows of the catalog: parameters that do not map one to one onto a control. Each
// kind's show and store stand side by side.

#include "config/access.h"
#include "config/transfer.h"
#include "config/windowstate.h"
#include "ui/formview.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QRadioButton>

#include <algorithm>

namespace config {

namespace {

QWidget* controlOf(const Transfer& t, const Row& row, int index)
{
    return *row.control ? t.view.control(resolve(row.control, index)) : nullptr;
}

QWidget* member(const Transfer& t, int row, ui::RefMember m)
{
    return t.view.arrays().refs[std::size_t(row - 1)][m];
}

QWidget* auxMember(const Transfer& t, int output, ui::AuxMember m)
{
    return t.view.arrays().aux[std::size_t(output - 1)][m];
}

// Selects the item whose text is the value, else the item with the fallback text.
void selectValueItem(QComboBox* box, uint16_t value, const QString& fallback)
{
    if (!box)
        return;
    const int index = box->findText(QString::number(value));
    box->setCurrentIndex(index >= 0 ? index : box->findText(fallback));
}

// The default type of each aux output: output 1 LED, output 2 DC, outputs 3 and 4 USB.
int defaultAuxType(int output)
{
    return output == 1 ? 2 : (output == 2 ? 1 : 0);
}

// ---- Reference rows -------------------------------------------------------------------------

// "auto_init_plug" and "use_init_plug": automatic, used, or not used.
void showInitPlug(Transfer& t, const QString& prefix, int r)
{
    const uint16_t automatic = readParameterValue(prefix + QStringLiteral("auto_init_plug"));
    const uint16_t use = readParameterValue(prefix + QStringLiteral("use_init_plug"));
    select(member(t, r, ui::cmbInitPlug), automatic != 0 ? 0 : (use != 0 ? 1 : 2));
}
void storeInitPlug(Transfer& t, const QString& prefix, int r)
{
    const int item = indexOf(member(t, r, ui::cmbInitPlug));
    writeParameter(prefix + QStringLiteral("auto_init_plug"), item == 0 ? 1 : 0);
    writeParameter(prefix + QStringLiteral("use_init_plug"), item == 2 ? 0 : 1);
}

// "ac_disabled" and "ac_plug": off, on, or by plug.
void showAcEnable(Transfer& t, const QString& prefix, int r)
{
    const uint16_t disabled = readParameterValue(prefix + QStringLiteral("ac_disabled"));
    const uint16_t plug = readParameterValue(prefix + QStringLiteral("ac_plug"));
    select(member(t, r, ui::cmbAcEnable), plug != 0 ? 2 : (disabled == 0 ? 1 : 0));
}
void storeAcEnable(Transfer& t, const QString& prefix, int r)
{
    const int item = indexOf(member(t, r, ui::cmbAcEnable));
    writeParameter(prefix + QStringLiteral("ac_disabled"), item == 1 ? 0 : 1);
    writeParameter(prefix + QStringLiteral("ac_plug"), item == 2 ? 1 : 0);
}

// "sls_accelerate": no control; remembered per row as "acceleration off" (the value 0).
void showSlsAccelerate(Transfer& t, const QString& prefix, int r)
{
    t.state.slsAccelerationOff[std::size_t(r - 1)] = readParameterValue(prefix + QStringLiteral("sls_accelerate")) == 0;
}
void storeSlsAccelerate(Transfer& t, const QString& prefix, int r)
{
    writeParameter(prefix + QStringLiteral("sls_accelerate"), t.state.slsAccelerationOff[std::size_t(r - 1)] ? 0 : 1);
}

// "no_impulse_key" and the three impulse keys; a disabled row shows none.
void showImpulseKeys(Transfer& t, const QString& prefix, int r)
{
    QWidget* up = member(t, r, ui::cbxImpUp);
    const bool none = readParameterValue(prefix + QStringLiteral("no_impulse_key")) != 0;
    const bool off = none || !up || !up->isEnabled();
    setChecked(up, !off && readParameterValue(prefix + QStringLiteral("impulse_key_up")) != 0);
    setChecked(member(t, r, ui::cbxImpDw), !off && readParameterValue(prefix + QStringLiteral("impulse_key_dw")) != 0);
    setChecked(member(t, r, ui::cbxImpMem), !off && readParameterValue(prefix + QStringLiteral("impulse_key_mem")) != 0);
}
void storeImpulseKeys(Transfer& t, const QString& prefix, int r)
{
    const bool up = checked(member(t, r, ui::cbxImpUp));
    const bool down = checked(member(t, r, ui::cbxImpDw));
    const bool memory = checked(member(t, r, ui::cbxImpMem));
    writeParameter(prefix + QStringLiteral("no_impulse_key"), (up || down || memory) ? 0 : 1);
    writeParameter(prefix + QStringLiteral("impulse_key_up"), up ? 1 : 0);
    writeParameter(prefix + QStringLiteral("impulse_key_dw"), down ? 1 : 0);
    writeParameter(prefix + QStringLiteral("impulse_key_mem"), memory ? 1 : 0);
    t.memoryImpulse = t.memoryImpulse || memory;
}

// ---- Fixed rows -----------------------------------------------------------------------------

// "pwm_duty": one of the listed duties, else 90.
void showPwmDuty(Transfer& t, const Row& row)
{
    selectValueItem(qobject_cast<QComboBox*>(controlOf(t, row, 0)), readParameterValue(QString::fromLatin1(row.name)),
                    QStringLiteral("90"));
}
void storePwmDuty(Transfer& t, const Row& row)
{
    bool ok = false;
    const int value = textOf(controlOf(t, row, 0)).trimmed().toInt(&ok);
    writeParameter(QString::fromLatin1(row.name), ok ? uint16_t(value) : 90);
}

// "dcout1_timeout_enlarged": a number, with 0 (and 65535) shown as "Off".
void showUblTimeoutEnlarged(Transfer& t, const Row& row)
{
    const uint16_t value = readParameterValue(QString::fromLatin1(row.name));
    const QString text = value <= 65534 ? QString::number(value) : QStringLiteral("0");
    setBoxText(qobject_cast<QComboBox*>(controlOf(t, row, 0)), text == QStringLiteral("0") ? QStringLiteral("Off") : text);
}
void storeUblTimeoutEnlarged(Transfer& t, const Row& row)
{
    const QString text = textOf(controlOf(t, row, 0)).trimmed();
    bool ok = false;
    const int value = text.toInt(&ok);
    writeParameter(QString::fromLatin1(row.name), (text == QStringLiteral("Off") || !ok) ? 0 : uint16_t(value));
}

// "snore_memory": memories 1 to 6, else 5.
void showSnoreMemory(Transfer& t, const Row& row)
{
    selectValueItem(qobject_cast<QComboBox*>(controlOf(t, row, 0)), readParameterValue(QString::fromLatin1(row.name)),
                    QStringLiteral("5"));
}
void storeSnoreMemory(Transfer& t, const Row& row)
{
    writeParameter(QString::fromLatin1(row.name), uint16_t(indexOf(controlOf(t, row, 0)) + 1));
}

// "ref_always_parallel": bits 4 to 7 for references 5 to 8, one box each.
void showRefAlwaysParallel(Transfer& t, const Row& row)
{
    const uint16_t bits = readParameterValue(QString::fromLatin1(row.name));
    for (int ref = 5; ref <= 8; ++ref)
        select(t.view.control(QStringLiteral("ComboBoxRef%1Parallel").arg(ref)), (bits >> (ref - 1)) & 1);
}
void storeRefAlwaysParallel(Transfer& t, const Row& row)
{
    uint16_t bits = 0;
    for (int ref = 5; ref <= 8; ++ref)
        if (indexOf(t.view.control(QStringLiteral("ComboBoxRef%1Parallel").arg(ref))) == 1)
            bits |= uint16_t(1u << (ref - 1));
    writeParameter(QString::fromLatin1(row.name), bits);
}

// "default_power", "relative_over_voltage" and "battery_voltage_reg" in one list.
void showPowerSetting(Transfer& t, const Row& row)
{
    select(controlOf(t, row, 0), readParameterValue(QStringLiteral("default_power")) != 0
                                     ? 0
                                     : (readParameterValue(QStringLiteral("battery_voltage_reg")) != 0 ? 1 : 2));
}
void storePowerSetting(Transfer& t, const Row& row)
{
    const int item = indexOf(controlOf(t, row, 0));
    writeParameter(QStringLiteral("default_power"), item == 0 ? 1 : 0);
    writeParameter(QStringLiteral("relative_over_voltage"), item <= 1 ? 1 : 0);
    writeParameter(QStringLiteral("battery_voltage_reg"), item <= 1 ? 1 : 0);
}

// "plug_type": item value + 1 (255 is "Default", item 0); past the list it cannot be shown.
void showPlugType(Transfer& t, const Row& row)
{
    auto* box = qobject_cast<QComboBox*>(controlOf(t, row, 0));
    const int item = (readParameterValue(QString::fromLatin1(row.name)) + 1) % 256;
    if (box && item < box->count())
        box->setCurrentIndex(item);
    else
        t.decodable = false;
}
void storePlugType(Transfer& t, const Row& row)
{
    writeParameter(QString::fromLatin1(row.name), uint16_t((indexOf(controlOf(t, row, 0)) - 1 + 256) % 256));
}

// "impulse_stop_same": one of two radio buttons.
void showImpulseStopSame(Transfer& t, const Row& row)
{
    const bool all = readParameterValue(QString::fromLatin1(row.name)) != 0;
    if (auto* rb = t.view.control<QRadioButton>(all ? QStringLiteral("rbImpStopAll") : QStringLiteral("rbImpStopExclude")))
        rb->setChecked(true);
}
void storeImpulseStopSame(Transfer& t, const Row& row)
{
    auto* rb = t.view.control<QRadioButton>(QStringLiteral("rbImpStopAll"));
    writeParameter(QString::fromLatin1(row.name), rb && rb->isChecked() ? 1 : 0);
}

// "mem7_impulse" and "mem8_impulse": written from the reset drive's impulse box, read through
// their inverted twins.
void storeResetImpulse(Transfer& t, const Row& row)
{
    writeParameter(QString::fromLatin1(row.name), checked(controlOf(t, row, 0)) ? 1 : 0);
}

// ---- Aux outputs ----------------------------------------------------------------------------

// "dcout" + N + "_type": LED, DC, USB or 3; 7 leaves the output's default, anything else cannot
// be shown. The unit of the output's levels follows.
void showAuxType(Transfer& t, const Row& row, int n)
{
    QWidget* box = controlOf(t, row, n);
    select(box, defaultAuxType(n));
    const uint16_t type = readParameterValue(resolve(row.name, n));
    if (type <= 3)
        select(box, type);
    else if (type != 7)
        t.decodable = false;
    // The output's levels follow in its unit: percent for an LED output, else volts.
    t.state.auxLed[std::size_t(n - 1)] = ledOutput(t.view, n);
    if (auto* unit = qobject_cast<QLabel*>(auxMember(t, n, ui::lblAuxUnit)))
        unit->setText(ledOutput(t.view, n) ? QStringLiteral("%") : QStringLiteral("V"));
}
void storeAuxType(Transfer& t, const Row& row, int n)
{
    writeParameter(resolve(row.name, n), uint16_t(std::max(0, indexOf(controlOf(t, row, n)))));
}

// "dcout" + N + "_voltmin": an output is variable when its minimum differs from its maximum; one
// that is not has one level, its maximum.
void showAuxVoltMin(Transfer& t, const Row& row, int n)
{
    QWidget* box = controlOf(t, row, n);
    showRow(t, row, resolve(row.name, n), box, false, ledOutput(t.view, n));
    setChecked(auxMember(t, n, ui::cbxAuxVar), textOf(auxMember(t, n, ui::cmbAuxMax)) != textOf(box));
}
void storeAuxVoltMin(Transfer& t, const Row& row, int n)
{
    QWidget* box = checked(auxMember(t, n, ui::cbxAuxVar)) ? controlOf(t, row, n) : auxMember(t, n, ui::cmbAuxMax);
    storeRow(t, row, resolve(row.name, n), box, ledOutput(t.view, n));
}

} // namespace

bool ledOutput(const ui::FormView& view, int output)
{
    return indexOf(view.arrays().aux[std::size_t(output - 1)][ui::cmbAuxType]) == 2;
}

void showComposite(Transfer& t, const Row& row, const QString& prefix, int index)
{
    switch (row.composite) {
    case Composite::None: break;
    case Composite::InitPlug: showInitPlug(t, prefix, index); break;
    case Composite::AcEnable: showAcEnable(t, prefix, index); break;
    case Composite::SlsAccelerate: showSlsAccelerate(t, prefix, index); break;
    case Composite::ImpulseKeys: showImpulseKeys(t, prefix, index); break;
    case Composite::PwmDuty: showPwmDuty(t, row); break;
    case Composite::UblTimeoutEnlarged: showUblTimeoutEnlarged(t, row); break;
    case Composite::SnoreMemory: showSnoreMemory(t, row); break;
    case Composite::RefAlwaysParallel: showRefAlwaysParallel(t, row); break;
    case Composite::AuxType: showAuxType(t, row, index); break;
    case Composite::AuxVoltMin: showAuxVoltMin(t, row, index); break;
    case Composite::PowerSetting: showPowerSetting(t, row); break;
    case Composite::PlugType: showPlugType(t, row); break;
    case Composite::ImpulseStopSame: showImpulseStopSame(t, row); break;
    case Composite::ResetImpulse: break; // shown through its inverted twin
    }
}

void storeComposite(Transfer& t, const Row& row, const QString& prefix, int index)
{
    switch (row.composite) {
    case Composite::None: break;
    case Composite::InitPlug: storeInitPlug(t, prefix, index); break;
    case Composite::AcEnable: storeAcEnable(t, prefix, index); break;
    case Composite::SlsAccelerate: storeSlsAccelerate(t, prefix, index); break;
    case Composite::ImpulseKeys: storeImpulseKeys(t, prefix, index); break;
    case Composite::PwmDuty: storePwmDuty(t, row); break;
    case Composite::UblTimeoutEnlarged: storeUblTimeoutEnlarged(t, row); break;
    case Composite::SnoreMemory: storeSnoreMemory(t, row); break;
    case Composite::RefAlwaysParallel: storeRefAlwaysParallel(t, row); break;
    case Composite::AuxType: storeAuxType(t, row, index); break;
    case Composite::AuxVoltMin: storeAuxVoltMin(t, row, index); break;
    case Composite::PowerSetting: storePowerSetting(t, row); break;
    case Composite::PlugType: storePlugType(t, row); break;
    case Composite::ImpulseStopSame: storeImpulseStopSame(t, row); break;
    case Composite::ResetImpulse: storeResetImpulse(t, row); break;
    }
}

} // namespace config

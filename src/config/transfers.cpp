#include "config/transfers.h"

#include "app/controlarrays.h"
#include "app/frmmain.h"
#include "app/windows.h"
#include "config/access.h"
#include "config/catalog.h"
#include "config/channels.h"
#include "device/moxtalib.h"
#include "rules/actuators.h"
#include "rules/memorder.h"
#include "ui/dialogs.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QRadioButton>
#include <QTabWidget>

#include <algorithm>

namespace config {

namespace {

using app::TfrmMain;

struct Transfer
{
    TfrmMain& w;
    Converter conv;
    bool decodable = true;

    explicit Transfer(TfrmMain& window)
        : w(window)
        , conv(window.decimalSeparator, UnitScales::forUnit(window.menuItem(QStringLiteral("mniinch"))->isChecked()))
    {
    }
};

QString resolve(const char* pattern, int number)
{
    return QString::fromLatin1(pattern).replace(u'#', QString::number(number));
}

bool shown(const QWidget* w)
{
    return w && !w->isHidden();
}

bool tabShown(const TfrmMain& w, const char* name)
{
    return w.tabShown(w.tab(QString::fromLatin1(name)));
}

bool controlShown(const TfrmMain& w, const char* name)
{
    return shown(w.control(QString::fromLatin1(name)));
}

// row: the reference row 1-4 for conditions about its own controls.
bool holds(const TfrmMain& w, When when, int row = 0)
{
    switch (when) {
    case When::Always: return true;
    case When::Never: return false;
    case When::GroupBox9: return controlShown(w, "GroupBox9");
    case When::EopReturn: return shown(w.control(QStringLiteral("cmbEopRetUp%1").arg(row)));
    case When::SlsTab: return tabShown(w, "tsSLS");
    case When::SlsTabGroupBox9: return tabShown(w, "tsSLS") && controlShown(w, "GroupBox9");
    case When::SlsTabEopReturn: return tabShown(w, "tsSLS") && holds(w, When::EopReturn, row);
    case When::StopMaxTab: return tabShown(w, "tsSafetyStop1");
    case When::StopMinTab: return tabShown(w, "tsSafetyStop2");
    case When::VariousTab: return tabShown(w, "tsVarious");
    case When::VariousInitLock: return tabShown(w, "tsVarious") && controlShown(w, "gbInitLock");
    case When::VariousImpulse: return tabShown(w, "tsVarious") && controlShown(w, "gbImpulseDrive");
    case When::VariousForcedInit: return tabShown(w, "tsVarious") && controlShown(w, "gbForcedInit");
    case When::VariousPowerSettings: return tabShown(w, "tsVarious") && controlShown(w, "gbPowerSettings");
    case When::VariousPlugUsage: return tabShown(w, "tsVarious") && controlShown(w, "gbPlugUsage");
    case When::ZeroPower: return controlShown(w, "gbZeroPower");
    case When::CustomTab: return tabShown(w, "tsParameters");
    case When::ResetTab: return tabShown(w, "tsReset");
    case When::Mz40: return tabShown(w, "tsMZ40");
    case When::Mz40Standard: return tabShown(w, "tsMZ40") && w.productMode == app::ModeMz40Standard;
    case When::Mz40Advanced: return tabShown(w, "tsMZ40") && w.productMode == app::ModeMz40Advanced;
    case When::AuxTab: return tabShown(w, "tsAux");
    case When::MassageModes: return tabShown(w, "tsAux") && controlShown(w, "gbMassageModes");
    case When::AuxOutputs: return tabShown(w, "tsAux") && controlShown(w, "gbAuxOutputs");
    }
    return false;
}

bool checked(const QWidget* box)
{
    auto* c = qobject_cast<const QCheckBox*>(box);
    return c && c->isChecked();
}

void setChecked(QWidget* box, bool on)
{
    if (auto* c = qobject_cast<QCheckBox*>(box))
        c->setChecked(on);
}

int indexOf(const QWidget* box)
{
    auto* c = qobject_cast<const QComboBox*>(box);
    return c ? c->currentIndex() : -1;
}

void select(QWidget* box, int index)
{
    if (auto* c = qobject_cast<QComboBox*>(box); c && index < c->count())
        c->setCurrentIndex(index);
}

QString textOf(const QWidget* box)
{
    auto* c = qobject_cast<const QComboBox*>(box);
    return c ? c->currentText() : QString();
}

// The default type of each aux output: output 1 LED, output 2 DC, outputs 3 and 4 USB.
int defaultAuxType(int output)
{
    return output == 1 ? 2 : (output == 2 ? 1 : 0);
}

bool ledOutput(const TfrmMain& w, int output)
{
    return indexOf(w.control(QStringLiteral("cmbAuxType%1").arg(output))) == 2;
}

// A simple row into its control.
void showRow(Transfer& t, const Row& row, const QString& name, QWidget* ctrl, bool fromDefaults, bool led = false)
{
    auto* box = qobject_cast<QComboBox*>(ctrl);
    switch (row.kind) {
    case Kind::Scaled:
    case Kind::TruncatedScaled: {
        const Scale s = scaleOf(row.unit, t.conv.units, led);
        t.conv.showScaled(name, box, s.divisor, row.marker, fromDefaults, s.precision, QString::fromLatin1(row.defaultText));
        break;
    }
    case Kind::Angle:
        t.conv.showAngle(name, box, row.marker, fromDefaults, 10, QString::fromLatin1(row.defaultText));
        break;
    case Kind::Flag: setChecked(ctrl, readParameterValue(name) != 0); break;
    case Kind::InvertedFlag: setChecked(ctrl, readParameterValue(name) == 0); break;
    case Kind::ItemIndex: t.conv.showListValue(name, box, 0, true, 0, 0); break;
    case Kind::Composite: break;
    }
}

void storeRow(Transfer& t, const Row& row, const QString& name, const QWidget* ctrl, bool led = false)
{
    auto* box = qobject_cast<const QComboBox*>(ctrl);
    switch (row.kind) {
    case Kind::Scaled: t.conv.storeScaled(name, box, scaleOf(row.unit, t.conv.units, led).divisor, row.fallback); break;
    case Kind::TruncatedScaled: t.conv.storeTextScaled(name, textOf(ctrl), scaleOf(row.unit, t.conv.units, led).divisor); break;
    case Kind::Angle: t.conv.storeAngle(name, box, row.fallback); break;
    case Kind::Flag: writeParameter(name, checked(ctrl) ? 1 : 0); break;
    case Kind::InvertedFlag: writeParameter(name, checked(ctrl) ? 0 : 1); break;
    case Kind::ItemIndex: writeParameter(name, uint16_t(std::max(0, indexOf(ctrl)))); break;
    case Kind::Composite: break;
    }
}

// ---- Reference rows -------------------------------------------------------------------------

void showReferenceComposite(Transfer& t, const Row& row, const QString& prefix, int r)
{
    const auto& controls = t.w.arrays.refs[std::size_t(r - 1)];
    switch (row.composite) {
    case Composite::InitPlug: {
        const uint16_t automatic = readParameterValue(prefix + QStringLiteral("auto_init_plug"));
        const uint16_t use = readParameterValue(prefix + QStringLiteral("use_init_plug"));
        select(controls[app::cmbInitPlug], automatic != 0 ? 0 : (use != 0 ? 1 : 2));
        break;
    }
    case Composite::AcEnable: {
        const uint16_t disabled = readParameterValue(prefix + QStringLiteral("ac_disabled"));
        const uint16_t plug = readParameterValue(prefix + QStringLiteral("ac_plug"));
        select(controls[app::cmbAcEnable], plug != 0 ? 2 : (disabled == 0 ? 1 : 0));
        break;
    }
    case Composite::SlsAccelerate:
        t.w.slsAccelerationOff[std::size_t(r - 1)] = readParameterValue(prefix + QStringLiteral("sls_accelerate")) == 0;
        break;
    case Composite::ImpulseKeys: {
        const bool none = readParameterValue(prefix + QStringLiteral("no_impulse_key")) != 0;
        const bool off = none || !controls[app::cbxImpUp] || !controls[app::cbxImpUp]->isEnabled();
        setChecked(controls[app::cbxImpUp], !off && readParameterValue(prefix + QStringLiteral("impulse_key_up")) != 0);
        setChecked(controls[app::cbxImpDw], !off && readParameterValue(prefix + QStringLiteral("impulse_key_dw")) != 0);
        setChecked(controls[app::cbxImpMem], !off && readParameterValue(prefix + QStringLiteral("impulse_key_mem")) != 0);
        break;
    }
    default: break;
    }
}

void storeReferenceComposite(Transfer& t, const Row& row, const QString& prefix, int r, bool& memoryImpulse)
{
    const auto& controls = t.w.arrays.refs[std::size_t(r - 1)];
    switch (row.composite) {
    case Composite::InitPlug: {
        const int item = indexOf(controls[app::cmbInitPlug]);
        writeParameter(prefix + QStringLiteral("auto_init_plug"), item == 0 ? 1 : 0);
        writeParameter(prefix + QStringLiteral("use_init_plug"), item == 2 ? 0 : 1);
        break;
    }
    case Composite::AcEnable: {
        const int item = indexOf(controls[app::cmbAcEnable]);
        writeParameter(prefix + QStringLiteral("ac_disabled"), item == 1 ? 0 : 1);
        writeParameter(prefix + QStringLiteral("ac_plug"), item == 2 ? 1 : 0);
        break;
    }
    case Composite::SlsAccelerate:
        writeParameter(prefix + QStringLiteral("sls_accelerate"), t.w.slsAccelerationOff[std::size_t(r - 1)] ? 0 : 1);
        break;
    case Composite::ImpulseKeys: {
        const bool up = checked(controls[app::cbxImpUp]);
        const bool down = checked(controls[app::cbxImpDw]);
        const bool memory = checked(controls[app::cbxImpMem]);
        writeParameter(prefix + QStringLiteral("no_impulse_key"), (up || down || memory) ? 0 : 1);
        writeParameter(prefix + QStringLiteral("impulse_key_up"), up ? 1 : 0);
        writeParameter(prefix + QStringLiteral("impulse_key_dw"), down ? 1 : 0);
        writeParameter(prefix + QStringLiteral("impulse_key_mem"), memory ? 1 : 0);
        memoryImpulse = memoryImpulse || memory;
        break;
    }
    default: break;
    }
}

QWidget* referenceControl(const TfrmMain& w, const Row& row, int r)
{
    return *row.control ? w.control(resolve(row.control, r)) : nullptr;
}

// The four safety boxes and ten safety check boxes of a row.
constexpr app::RefMember kSafetyBoxes[] = {app::cmbSafeStrokeMax, app::cmbSafeStrokeMin, app::cmbSafeSpeedUp, app::cmbSafeSpeedDw};
constexpr app::RefMember kSafetyFlags[] = {app::cbxSafeMaxUp, app::cbxSafeMaxDw, app::cbxSafeMinUp, app::cbxSafeMinDw,
                                          app::cbxSafeSpeedMaxUp, app::cbxSafeSpeedMaxDw, app::cbxSafeSpeedMinUp,
                                          app::cbxSafeSpeedMinDw, app::cbxUnlockMax, app::cbxUnlockMin};

void showReferenceRows(Transfer& t)
{
    TfrmMain& w = t.w;
    const int mode = w.productMode;
    std::array<uint16_t, 4> channels{};
    std::array<QComboBox*, 4> a{};
    std::array<QComboBox*, 4> b{};
    for (int i = 0; i < 4; ++i) {
        channels[std::size_t(i)] = readParameterValue(QStringLiteral("channel%1").arg(i + 1));
        a[std::size_t(i)] = w.control<QComboBox>(QStringLiteral("cmbChan%1").arg(i + 1));
        b[std::size_t(i)] = w.control<QComboBox>(QStringLiteral("cmbChan%1B").arg(i + 1));
        if (a[std::size_t(i)])
            a[std::size_t(i)]->setProperty("tag", channels[std::size_t(i)]);
    }
    const Selection selection = selectionForCodes(channels, mode);
    if (QRadioButton* rb = selectionButton(w, selection))
        rb->setChecked(true);
    // Checking a preset applies it, as the button's click would: the rows the configuration uses are
    // enabled before they are read, so their impulse keys are not taken for a disabled row's.
    if (selection != Selection::Custom)
        referenceSelectClick(w);
    if (selection == Selection::Custom) {
        const bool mz40 = mode == app::ModeMz40Standard || mode == app::ModeMz40Advanced;
        if (mode == app::ModeBelmora) {
            const uint16_t defaults[] = {7, 6, 0x1110, 0x0908};
            for (int i = 0; i < 4; ++i)
                if (channels[std::size_t(i)] == 65535)
                    channels[std::size_t(i)] = defaults[i];
        } else if (mz40) {
            if (channels[0] == 65535)
                channels[0] = 7;
            if (channels[1] == 65535)
                channels[1] = 6;
            channels[2] = channels[3] = 65535;
        }
        for (int i = 0; i < (mz40 ? 2 : 4); ++i)
            if (!decodeChannel(channels[std::size_t(i)], a[std::size_t(i)], b[std::size_t(i)], mode))
                t.decodable = false;
        cmbChannelChange(w);
    }

    // References first in reference order (they count down from 7 outside mode 0), then the rest.
    for (bool swapped = true; swapped;) {
        swapped = false;
        for (int p = 0; p < 3; ++p) {
            uint16_t& first = channels[std::size_t(p)];
            uint16_t& second = channels[std::size_t(p + 1)];
            const bool swap = mode == app::ModeTavrin ? second < first : (first < second && second < 8);
            if (swap) {
                std::swap(first, second);
                swapped = true;
            }
        }
    }
    int distinct = 4;
    for (int i = 0; i < distinct - 1;) {
        if (channels[std::size_t(i)] == channels[std::size_t(i + 1)]) {
            for (int k = i + 1; k < distinct - 1; ++k)
                channels[std::size_t(k)] = channels[std::size_t(k + 1)];
            --distinct;
        } else {
            ++i;
        }
    }

    bool safetyAllDefault = true;
    std::array<QString, 4> prefixes;
    for (int r = 1; r <= 4; ++r) {
        const bool fromDefaults = r > distinct;
        QString prefix = QStringLiteral("ref1_");
        uint16_t reference = 0;
        for (int n = 1; n <= 6; ++n) {
            reference = readParameterValue(QStringLiteral("ref%1_reference").arg(n));
            if (reference == channels[std::size_t(r - 1)]) {
                prefix = QStringLiteral("ref%1_").arg(n);
                break;
            }
        }
        prefixes[std::size_t(r - 1)] = prefix;
        const auto& controls = w.arrays.refs[std::size_t(r - 1)];
        if (controls[app::lblRefRef])
            controls[app::lblRefRef]->setProperty("tag", reference);

        for (const Row& row : referenceRows()) {
            if (!holds(w, row.read, r))
                continue;
            if (row.kind == Kind::Composite)
                showReferenceComposite(t, row, prefix, r);
            else
                showRow(t, row, prefix + QString::fromLatin1(row.name), referenceControl(w, row, r), fromDefaults);
        }
        for (app::RefMember m : kSafetyBoxes)
            safetyAllDefault = safetyAllDefault && textOf(controls[m]) == QStringLiteral("Default");
        for (app::RefMember m : kSafetyFlags)
            safetyAllDefault = safetyAllDefault && checked(controls[m]);
        rules::showActuatorData(w, prefix, qobject_cast<QComboBox*>(controls[app::cmbAct]), fromDefaults);
    }
    if (safetyAllDefault) {
        for (int r = 1; r <= 4; ++r)
            for (const Row& row : referenceRows())
                if (row.kind == Kind::Flag && QString::fromLatin1(row.name).startsWith(QStringLiteral("safety_"))) {
                    uint16_t value = 0;
                    readDefault(prefixes[std::size_t(r - 1)] + QString::fromLatin1(row.name), value);
                    setChecked(referenceControl(w, row, r), value != 0);
                }
    }
}

void storeReferenceRows(Transfer& t, bool& memoryImpulse)
{
    TfrmMain& w = t.w;
    const int mode = w.productMode;
    const bool mz40 = mode == app::ModeMz40Standard || mode == app::ModeMz40Advanced;
    for (int i = 1; i <= 4; ++i) {
        const QString name = QStringLiteral("channel%1").arg(i);
        if (mz40 && i > 2)
            writeParameter(name, 65535);
        else
            writeParameter(name, encodeChannel(w.control<QComboBox>(QStringLiteral("cmbChan%1").arg(i)),
                                               w.control<QComboBox>(QStringLiteral("cmbChan%1B").arg(i)), mode));
    }
    for (int r = 1; r <= 4; ++r) {
        const auto& controls = w.arrays.refs[std::size_t(r - 1)];
        if (!controls[app::cmbAct] || !controls[app::cmbAct]->isEnabled())
            continue;
        const QString prefix = QStringLiteral("ref%1_").arg(r);
        const int tag = controls[app::lblRefRef] ? controls[app::lblRefRef]->property("tag").toInt() : 0;
        writeParameter(prefix + QStringLiteral("reference"), uint16_t(mode == app::ModeTavrin ? tag : 7 - tag));
        for (const Row& row : referenceRows()) {
            if (!holds(w, row.write, r))
                continue;
            if (row.kind == Kind::Composite)
                storeReferenceComposite(t, row, prefix, r, memoryImpulse);
            else
                storeRow(t, row, prefix + QString::fromLatin1(row.name), referenceControl(w, row, r));
        }
        rules::storeActuatorData(w, prefix, qobject_cast<QComboBox*>(controls[app::cmbAct]));
    }
}

// ---- Fixed-name rows ------------------------------------------------------------------------

// Selects the item whose text is the value, else the item with the fallback text.
void selectValueItem(QComboBox* box, uint16_t value, const QString& fallback)
{
    if (!box)
        return;
    const int index = box->findText(QString::number(value));
    box->setCurrentIndex(index >= 0 ? index : box->findText(fallback));
}

void showFixedComposite(Transfer& t, const Row& row)
{
    TfrmMain& w = t.w;
    const QString name = QString::fromLatin1(row.name);
    QWidget* ctrl = *row.control ? w.control(QString::fromLatin1(row.control)) : nullptr;
    auto* box = qobject_cast<QComboBox*>(ctrl);
    switch (row.composite) {
    case Composite::PwmDuty: selectValueItem(box, readParameterValue(name), QStringLiteral("90")); break;
    case Composite::UblTimeoutEnlarged: {
        const uint16_t value = readParameterValue(name);
        const QString text = value <= 65534 ? QString::number(value) : QStringLiteral("0");
        setBoxText(box, text == QStringLiteral("0") ? QStringLiteral("Off") : text);
        break;
    }
    case Composite::SnoreMemory: selectValueItem(box, readParameterValue(name), QStringLiteral("5")); break;
    case Composite::RefAlwaysParallel: {
        const uint16_t bits = readParameterValue(name);
        for (int ref = 5; ref <= 8; ++ref)
            select(w.control(QStringLiteral("ComboBoxRef%1Parallel").arg(ref)), (bits >> (ref - 1)) & 1);
        break;
    }
    case Composite::PowerSetting:
        select(ctrl, readParameterValue(QStringLiteral("default_power")) != 0
                         ? 0
                         : (readParameterValue(QStringLiteral("battery_voltage_reg")) != 0 ? 1 : 2));
        break;
    case Composite::PlugType: {
        const int item = (readParameterValue(name) + 1) % 256;
        if (box && item < box->count())
            box->setCurrentIndex(item);
        else
            t.decodable = false;
        break;
    }
    case Composite::ImpulseStopSame: {
        const bool all = readParameterValue(name) != 0;
        if (auto* rb = w.control<QRadioButton>(all ? QStringLiteral("rbImpStopAll") : QStringLiteral("rbImpStopExclude")))
            rb->setChecked(true);
        break;
    }
    default: break;
    }
}

void storeFixedComposite(Transfer& t, const Row& row)
{
    TfrmMain& w = t.w;
    const QString name = QString::fromLatin1(row.name);
    QWidget* ctrl = *row.control ? w.control(QString::fromLatin1(row.control)) : nullptr;
    switch (row.composite) {
    case Composite::PwmDuty: {
        bool ok = false;
        const int value = textOf(ctrl).trimmed().toInt(&ok);
        writeParameter(name, ok ? uint16_t(value) : 90);
        break;
    }
    case Composite::UblTimeoutEnlarged: {
        const QString text = textOf(ctrl).trimmed();
        bool ok = false;
        const int value = text.toInt(&ok);
        writeParameter(name, (text == QStringLiteral("Off") || !ok) ? 0 : uint16_t(value));
        break;
    }
    case Composite::SnoreMemory: writeParameter(name, uint16_t(indexOf(ctrl) + 1)); break;
    case Composite::RefAlwaysParallel: {
        uint16_t bits = 0;
        for (int ref = 5; ref <= 8; ++ref)
            if (indexOf(w.control(QStringLiteral("ComboBoxRef%1Parallel").arg(ref))) == 1)
                bits |= uint16_t(1u << (ref - 1));
        writeParameter(name, bits);
        break;
    }
    case Composite::PowerSetting: {
        const int item = indexOf(ctrl);
        writeParameter(QStringLiteral("default_power"), item == 0 ? 1 : 0);
        writeParameter(QStringLiteral("relative_over_voltage"), item <= 1 ? 1 : 0);
        writeParameter(QStringLiteral("battery_voltage_reg"), item <= 1 ? 1 : 0);
        break;
    }
    case Composite::PlugType: writeParameter(name, uint16_t((indexOf(ctrl) - 1 + 256) % 256)); break;
    case Composite::ImpulseStopSame: {
        auto* rb = w.control<QRadioButton>(QStringLiteral("rbImpStopAll"));
        writeParameter(name, rb && rb->isChecked() ? 1 : 0);
        break;
    }
    case Composite::ResetImpulse: writeParameter(name, checked(ctrl) ? 1 : 0); break;
    default: break;
    }
}

void showFixedRows(Transfer& t, std::span<const Row> rows)
{
    for (const Row& row : rows) {
        if (!holds(t.w, row.read))
            continue;
        if (QString::fromLatin1(row.name) == QStringLiteral("ref_always_parallel"))
            cmbSnoreTimeSelect(t.w);
        if (row.kind == Kind::Composite)
            showFixedComposite(t, row);
        else
            showRow(t, row, QString::fromLatin1(row.name), t.w.control(QString::fromLatin1(row.control)), false);
    }
}

void storeFixedRows(Transfer& t, std::span<const Row> rows)
{
    for (const Row& row : rows) {
        if (!holds(t.w, row.write))
            continue;
        if (row.kind == Kind::Composite)
            storeFixedComposite(t, row);
        else
            storeRow(t, row, QString::fromLatin1(row.name), t.w.control(QString::fromLatin1(row.control)));
    }
}

// ---- Aux outputs ----------------------------------------------------------------------------

void showAuxOutputs(Transfer& t)
{
    TfrmMain& w = t.w;
    for (int n = 1; n <= 4; ++n) {
        for (const Row& row : auxRows()) {
            const QString name = resolve(row.name, n);
            QWidget* ctrl = w.control(resolve(row.control, n));
            if (row.composite == Composite::AuxType) {
                select(ctrl, defaultAuxType(n));
                const uint16_t type = readParameterValue(name);
                if (type <= 3)
                    select(ctrl, type);
                else if (type != 7)
                    t.decodable = false;
                if (QLabel* unit = w.control<QLabel>(QStringLiteral("lblAuxUnit%1").arg(n)))
                    unit->setText(ledOutput(w, n) ? QStringLiteral("%") : QStringLiteral("V"));
                continue;
            }
            showRow(t, row, name, ctrl, false, ledOutput(w, n));
            if (row.composite == Composite::AuxVoltMin)
                setChecked(w.control(QStringLiteral("cbxAuxVar%1").arg(n)),
                           textOf(w.control(QStringLiteral("cmbAuxMax%1").arg(n))) != textOf(ctrl));
        }
    }
    setChecked(w.control(QStringLiteral("cbxExternUBL")), readParameterValue(QStringLiteral("extern_ubl")) != 0);
}

void storeAuxOutputs(Transfer& t)
{
    TfrmMain& w = t.w;
    for (int n = 1; n <= 4; ++n) {
        for (const Row& row : auxRows()) {
            const QString name = resolve(row.name, n);
            QWidget* ctrl = w.control(resolve(row.control, n));
            if (row.composite == Composite::AuxType) {
                writeParameter(name, uint16_t(std::max(0, indexOf(ctrl))));
                continue;
            }
            // An output that is not variable has one level: its maximum is its minimum too.
            if (row.composite == Composite::AuxVoltMin && !checked(w.control(QStringLiteral("cbxAuxVar%1").arg(n))))
                ctrl = w.control(QStringLiteral("cmbAuxMax%1").arg(n));
            storeRow(t, row, name, ctrl, ledOutput(w, n));
        }
    }
    writeParameter(QStringLiteral("extern_ubl"), checked(w.control(QStringLiteral("cbxExternUBL"))) ? 1 : 0);
}

// ---- Memories -------------------------------------------------------------------------------

QString memoryName(int memory, const char* stem)
{
    return QStringLiteral("mem%1_").arg(memory) + QString::fromLatin1(stem);
}

// The memory's check boxes: position, massage, aux 1-4, impulse, lock (null where none).
std::array<QWidget*, app::MemMemberCount> memoryBoxes(const TfrmMain& w, int memory)
{
    return w.arrays.mem[std::size_t(memory - 1)];
}

QComboBox* memOrderBox(const char* name)
{
    const TfrmMemOrder* dialog = app::windows().frmMemOrder;
    return dialog ? dialog->findChild<QComboBox*>(QString::fromLatin1(name)) : nullptr;
}

rules::PositionUnit positionUnit(const TfrmMain& w)
{
    const QAction* degrees = w.menuItem(QStringLiteral("MenuMemUnitsDegrees"));
    return {w.menuItem(QStringLiteral("mniinch"))->isChecked(),
            w.productMode == app::ModeRq9 && degrees && degrees->isChecked(), w.decimalSeparator};
}

// The step numbers the reset order writes, for its order and pair flags.
std::array<int, 8> stepSequence(int orderFlag, int pairFlag)
{
    std::array<int, 8> steps{};
    const int step = orderFlag ? 1 : -1;
    int value = orderFlag ? 1 : 8;
    steps[0] = value;
    for (int r = 2; r <= 8; ++r) {
        if (!pairFlag || r == 3 || r == 5 || r == 7)
            value += step;
        steps[std::size_t(r - 1)] = value;
    }
    return steps;
}

const char* const kMemoryFlags[] = {"use_position", "use_massage", "use_dc1", "use_dc2", "use_dc3", "use_dc4", "impulse",
                                    "inv_impulse", "write_enabled"};
const char* const kPriorities[] = {"priority_dc_on", "priority_dc_off", "priority_massage_on", "priority_massage_off"};
const char* const kPriorityBoxes[] = {"cmbAuxOn", "cmbAuxOff", "cmbMasOn", "cmbMasOff"};

void showMemories(Transfer& t)
{
    TfrmMain& w = t.w;
    for (int n = 1; n <= 8; ++n) {
        rules::MemoryRecord& record = w.memory.records[std::size_t(n - 1)];
        record.valueSlot = readParameterValue(memoryName(n, "value_index"));
        std::array<uint16_t, 9> flags{};
        bool unset = true;
        for (std::size_t i = 0; i < flags.size(); ++i) {
            flags[i] = readParameterValue(memoryName(n, kMemoryFlags[i]));
            unset = unset && flags[i] != 0;
        }
        if (unset) {
            for (std::size_t i = 0; i < flags.size(); ++i)
                if (i != 6)
                    readDefault(memoryName(n, kMemoryFlags[i]), flags[i]);
            if (n >= 7)
                for (std::size_t i = 1; i <= 5; ++i)
                    flags[i] = 0;
        }
        const auto boxes = memoryBoxes(w, n);
        for (int m = app::memPos; m <= app::memAux4; ++m)
            setChecked(boxes[std::size_t(m)], flags[std::size_t(m)] != 0);
        setChecked(boxes[app::memImp], flags[7] == 0);
        setChecked(boxes[app::memLock], flags[8] == 0);

        if (w.memory.hasSlot(n - 1)) {
            const int slot = record.valueSlot;
            const uint16_t mask = readParameterValue(memoryName(n, "pos_mask"));
            for (int i = 0; i < 8; ++i)
                w.memory.values[std::size_t(slot)][std::size_t(i)] =
                    (mask >> (7 - i)) & 1 ? readParameterValue(QStringLiteral("mem%1_pos%2").arg(slot + 1).arg(8 - i))
                                          : rules::kNoPosition;
        }

        std::array<int, 8> p{};
        int sum = 0;
        for (int r = 1; r <= 8; ++r) {
            p[std::size_t(r - 1)] = readParameterValue(QStringLiteral("priority_memory%1_ref%2").arg(n).arg(r));
            sum += p[std::size_t(r - 1)];
        }
        std::array<uint16_t, 4> priorities{};
        for (std::size_t i = 0; i < 4; ++i)
            priorities[i] = readParameterValue(QString::fromLatin1(kPriorities[i]));
        record.orderFlag = p[0] < p[2] ? 1 : 0;
        record.pairFlag = ((p[0] == p[1] && p[0] != 15) || (p[7] == p[6] && p[7] != 15) || (p[0] == 15 && p[2] == 15)) ? 1 : 0;
        if (n <= 6) {
            for (std::size_t i = 0; i < 4; ++i)
                select(memOrderBox(kPriorityBoxes[i]), sum / 8 < priorities[i] ? 1 : 0);
        } else {
            const QString side = n == 8 ? QStringLiteral("Up") : QStringLiteral("Down");
            select(w.control(QStringLiteral("cmbRefOrder") + side), record.orderFlag);
            select(w.control(QStringLiteral("cmbRefPair") + side), record.pairFlag);
        }
        const std::array<int, 8> expected = stepSequence(record.orderFlag, record.pairFlag);
        for (int r = 0; r < 8; ++r)
            if (p[std::size_t(r)] != 15 && p[std::size_t(r)] != expected[std::size_t(r)])
                t.decodable = false;
    }

    const rules::PositionUnit unit = positionUnit(w);
    for (int n = 7; n <= 8; ++n) {
        const QString side = n == 8 ? QStringLiteral("Up") : QStringLiteral("Down");
        const bool hasSlot = w.memory.hasSlot(n - 1);
        for (int i = 0; i < 8; ++i) {
            const uint16_t value = hasSlot ? w.memory.values[std::size_t(w.memory.records[std::size_t(n - 1)].valueSlot)][std::size_t(i)]
                                           : (i < 4 ? (n == 7 ? rules::kDriveDown : rules::kDriveUp) : rules::kNoPosition);
            rules::showPosition(w.control<QComboBox>(QStringLiteral("cmbRef%1%2").arg(side).arg(i + 1)), value, unit);
        }
    }
    if (auto* factory = w.control<QCheckBox>(QStringLiteral("cbxFactoryDefaults")))
        factory->setChecked(device::lib::getConfigResetToDefaults());
    applyRowEnableRule(w);
}

void storeMemories(Transfer& t)
{
    TfrmMain& w = t.w;
    for (int n = 1; n <= 8; ++n) {
        const rules::MemoryRecord& record = w.memory.records[std::size_t(n - 1)];
        writeParameter(memoryName(n, "value_index"), uint16_t(record.valueSlot));
        const auto boxes = memoryBoxes(w, n);
        for (int m = app::memPos; m <= app::memAux4; ++m)
            if (boxes[std::size_t(m)])
                writeParameter(memoryName(n, kMemoryFlags[m]), checked(boxes[std::size_t(m)]) ? 1 : 0);
        if (boxes[app::memImp]) {
            writeParameter(memoryName(n, "impulse"), checked(boxes[app::memImp]) ? 1 : 0);
            writeParameter(memoryName(n, "inv_impulse"), checked(boxes[app::memImp]) ? 0 : 1);
        }
        if (boxes[app::memLock])
            writeParameter(memoryName(n, "write_enabled"), checked(boxes[app::memLock]) ? 0 : 1);

        uint16_t mask = 255;
        if (w.memory.hasSlot(n - 1)) {
            const int slot = record.valueSlot;
            mask = 0;
            for (int i = 0; i < 8; ++i) {
                const uint16_t value = w.memory.values[std::size_t(slot)][std::size_t(i)];
                writeParameter(QStringLiteral("mem%1_pos%2").arg(slot + 1).arg(8 - i), value);
                if (value != rules::kNoPosition)
                    mask |= uint16_t(1u << (7 - i));
            }
        }
        writeParameter(memoryName(n, "pos_mask"), n <= 6 ? 255 : mask);
        const std::array<int, 8> steps = stepSequence(record.orderFlag, record.pairFlag);
        for (int r = 1; r <= 8; ++r)
            writeParameter(QStringLiteral("priority_memory%1_ref%2").arg(n).arg(r), uint16_t(steps[std::size_t(r - 1)]));
    }
    for (std::size_t i = 0; i < 4; ++i) {
        const QComboBox* box = memOrderBox(kPriorityBoxes[i]);
        writeParameter(QString::fromLatin1(kPriorities[i]), box && box->currentIndex() > 0 ? 9 : 0);
    }
}

// ---- Standard mode --------------------------------------------------------------------------

const Row kStandardStroke{"stroke_max", "cmbStrokeLt", Kind::Scaled, Unit::Length, kDefaultMarker, "Default", 65535};
const Row kStandardLower{"stroke_min", "cmbLowerLt", Kind::Scaled, Unit::Length, 0, "Default", 0};
const Row kStandardSafety{"safety_stroke_min", "cmbSafeStrokeMinLt", Kind::Scaled, Unit::Length, kDefaultMarker, "Default", 65535};
const Row kStandardForced{"forced_init_time", "cmbForcedLt", Kind::TruncatedScaled, Unit::ForcedSeconds, kDefaultMarker, "Default", 65535};

void showStandard(Transfer& t)
{
    TfrmMain& w = t.w;
    QString prefix = QStringLiteral("ref1_");
    for (int n = 1; n <= 6; ++n) {
        const uint16_t reference = readParameterValue(QStringLiteral("ref%1_reference").arg(n));
        if (reference == 0 || reference == 65535) {
            prefix = QStringLiteral("ref%1_").arg(n);
            break;
        }
    }
    for (const Row* row : {&kStandardStroke, &kStandardLower, &kStandardSafety})
        showRow(t, *row, prefix + QString::fromLatin1(row->name), w.control(QString::fromLatin1(row->control)), false);
    showRow(t, kStandardForced, QString::fromLatin1(kStandardForced.name), w.control(QString::fromLatin1(kStandardForced.control)), false);
    rules::showActuatorData(w, prefix, w.control<QComboBox>(QStringLiteral("cmbActLt")), false);
}

void storeStandard(Transfer& t)
{
    TfrmMain& w = t.w;
    writeParameter(QStringLiteral("channel1"), 65535);
    writeParameter(QStringLiteral("ref1_reference"), 0);
    const QString prefix = QStringLiteral("ref1_");
    for (const Row* row : {&kStandardStroke, &kStandardLower, &kStandardSafety})
        storeRow(t, *row, prefix + QString::fromLatin1(row->name), w.control(QString::fromLatin1(row->control)));
    storeRow(t, kStandardForced, QString::fromLatin1(kStandardForced.name), w.control(QString::fromLatin1(kStandardForced.control)));
    rules::storeActuatorData(w, prefix, w.control<QComboBox>(QStringLiteral("cmbActLt")));
}

void writeFactoryDefaultsFlag(TfrmMain& w)
{
    device::lib::setConfigResetToDefaults(checked(w.control(QStringLiteral("cbxFactoryDefaults"))));
}

} // namespace

void showConfiguration(TfrmMain& w)
{
    Transfer t(w);
    w.conflictAsked = false;
    const bool programmableBefore = w.programmable;
    auto* factory = w.control<QCheckBox>(QStringLiteral("cbxFactoryDefaults"));

    if (!w.advanced) {
        showStandard(t);
    } else {
        if (w.productMode == app::ModeRq9)
            showFixedRows(t, rq9Rows());
        else
            showReferenceRows(t);
        showFixedRows(t, mz40Rows());
        if (holds(w, When::AuxTab)) {
            showFixedRows(t, massageRows());
            if (holds(w, When::AuxOutputs))
                showAuxOutputs(t);
        }
        showFixedRows(t, variousRows());
        showFixedRows(t, resetRows());
        if (tabShown(w, "tsMemory"))
            showMemories(t);

        // No two memories may share a value slot.
        std::array<bool, rules::kValueSlots> used{};
        for (const rules::MemoryRecord& record : w.memory.records)
            if (record.valueSlot >= 0 && record.valueSlot < rules::kValueSlots) {
                if (used[std::size_t(record.valueSlot)])
                    t.decodable = false;
                used[std::size_t(record.valueSlot)] = true;
            }
        // Whether Program and Save are allowed is judged with the factory-defaults box as this
        // configuration sets it: a configuration that asks for a factory reset may be programmed.
        if (factory && device::lib::getConfigResetToDefaults())
            factory->setChecked(true);
        if (!t.decodable && (programmableBefore || checked(factory)))
            ui::dialogs().information(&w, QStringLiteral("Configuration cannot be decoded correctly by configurator.\n\n"
                                                         "Cannot program/save until reset to defaults is performed."));
    }

    if (factory && device::lib::getConfigResetToDefaults())
        factory->setChecked(true);
    w.programmable = t.decodable;
    updateProgramSaveState(w);
}

void storeConfiguration(TfrmMain& w)
{
    Transfer t(w);
    device::lib::closeConfig();
    device::lib::openConfig(w.configurationType);

    if (!w.advanced) {
        storeStandard(t);
    } else {
        bool memoryImpulse = false;
        if (w.productMode == app::ModeRq9) {
            writeParameter(QStringLiteral("channel1"), 7);
            writeParameter(QStringLiteral("channel2"), 6);
            writeParameter(QStringLiteral("ref1_reference"), 7);
            writeParameter(QStringLiteral("ref2_reference"), 6);
            storeFixedRows(t, rq9Rows());
            writeFactoryDefaultsFlag(w);
        } else {
            storeReferenceRows(t, memoryImpulse);
        }
        storeFixedRows(t, mz40Rows());
        if (!tabShown(w, "tsMemory"))
            for (int n = 1; n <= 4; ++n) {
                writeParameter(memoryName(n, "inv_impulse"), memoryImpulse ? 0 : 1);
                writeParameter(memoryName(n, "impulse"), memoryImpulse ? 1 : 0);
            }
        storeFixedRows(t, massageRows());
        if (holds(w, When::AuxOutputs))
            storeAuxOutputs(t);
        storeFixedRows(t, variousRows());
        storeFixedRows(t, resetRows());
        if (tabShown(w, "tsMemory"))
            storeMemories(t);
        writeFactoryDefaultsFlag(w);
    }
    writeString(QStringLiteral("ConfType"), QString::fromLatin1(productTag(w.productMode)));
}

void updateProgramSaveState(TfrmMain& w)
{
    auto* program = w.control(QStringLiteral("btnProgramConfig"));
    auto* save = w.control(QStringLiteral("btnSaveConfig"));
    auto* read = w.control(QStringLiteral("btnReadConfig"));
    const bool allowed = w.programmable || checked(w.control(QStringLiteral("cbxFactoryDefaults")));
    if (allowed) {
        if (program && read && read->isEnabled() && !w.boxBusy)
            program->setEnabled(true);
        if (save)
            save->setEnabled(true);
    } else {
        if (program)
            program->setEnabled(false);
        if (save)
            save->setEnabled(false);
    }
    if (program)
        w.menuItem(QStringLiteral("mniProgram"))->setEnabled(program->isEnabled());
    if (save)
        w.menuItem(QStringLiteral("mniSave"))->setEnabled(save->isEnabled());
}

void mniResetClick(TfrmMain& w)
{
    w.setWindowTitle(w.windowCaption);
    device::lib::closeConfig();
    device::lib::openConfig(w.configurationType);
    w.memory.reset();
    showConfiguration(w);
    w.programmable = true;
    updateProgramSaveState(w);
    referenceSelectClick(w);
}

void cmbSnoreTimeSelect(TfrmMain& w)
{
    auto* time = w.control<QComboBox>(QStringLiteral("cmbSnoreTime"));
    const bool on = time && time->currentText() != QStringLiteral("Off");
    for (const char* name : {"cmbSnoreMemory", "cmbSnoreSpeed"})
        if (QWidget* box = w.control(QString::fromLatin1(name)))
            box->setEnabled(on);
}

} // namespace config

#include "config/transfers.h"

#include "config/access.h"
#include "config/catalog.h"
#include "config/channels.h"
#include "config/transfer.h"
#include "config/windowstate.h"
#include "device/moxtalib.h"
#include "rules/actuators.h"
#include "rules/auxmassage.h"
#include "rules/memorypositions.h"
#include "ui/dialogs.h"
#include "ui/formview.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QRadioButton>

#include <algorithm>

namespace config {

Transfer::Transfer(ui::FormView& formView, WindowState& windowState)
    : view(formView)
    , state(windowState)
    , conv(windowState.decimalSeparator, UnitScales::forUnit(windowState.inch))
{
}

QString resolve(const char* pattern, int number)
{
    return QString::fromLatin1(pattern).replace(u'#', QString::number(number));
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

void showRow(Transfer& t, const Row& row, const QString& name, QWidget* ctrl, bool fromDefaults, bool led)
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

void storeRow(Transfer& t, const Row& row, const QString& name, const QWidget* ctrl, bool led)
{
    auto* box = qobject_cast<const QComboBox*>(ctrl);
    switch (row.kind) {
    case Kind::Scaled: t.conv.storeScaled(name, box, scaleOf(row.unit, t.conv.units, led).divisor, row.fallback); break;
    case Kind::TruncatedScaled: t.conv.storeTextScaled(name, box, scaleOf(row.unit, t.conv.units, led).divisor); break;
    case Kind::Angle: t.conv.storeAngle(name, box, row.fallback); break;
    case Kind::Flag: writeParameter(name, checked(ctrl) ? 1 : 0); break;
    case Kind::InvertedFlag: writeParameter(name, checked(ctrl) ? 0 : 1); break;
    case Kind::ItemIndex: writeParameter(name, uint16_t(std::max(0, indexOf(ctrl)))); break;
    case Kind::Composite: break;
    }
}

namespace {

bool shown(const QWidget* w)
{
    return w && !w->isHidden();
}

bool controlShown(const ui::FormView& v, const char* name)
{
    return shown(v.control(QString::fromLatin1(name)));
}

// row: the reference row 1-4 for conditions about its own controls.
bool holds(const Transfer& t, When when, int row = 0)
{
    const ui::FormView& v = t.view;
    switch (when) {
    case When::Always: return true;
    case When::Never: return false;
    case When::GroupBox9: return controlShown(v, "GroupBox9");
    case When::EopReturn: return shown(v.control(QStringLiteral("cmbEopRetUp%1").arg(row)));
    case When::SlsTab: return v.tabShown(QStringLiteral("tsSLS"));
    case When::SlsTabGroupBox9: return v.tabShown(QStringLiteral("tsSLS")) && controlShown(v, "GroupBox9");
    case When::SlsTabEopReturn: return v.tabShown(QStringLiteral("tsSLS")) && holds(t, When::EopReturn, row);
    case When::StopMaxTab: return v.tabShown(QStringLiteral("tsSafetyStop1"));
    case When::StopMinTab: return v.tabShown(QStringLiteral("tsSafetyStop2"));
    case When::VariousTab: return v.tabShown(QStringLiteral("tsVarious"));
    case When::VariousInitLock: return v.tabShown(QStringLiteral("tsVarious")) && controlShown(v, "gbInitLock");
    case When::VariousImpulse: return v.tabShown(QStringLiteral("tsVarious")) && controlShown(v, "gbImpulseDrive");
    case When::VariousForcedInit: return v.tabShown(QStringLiteral("tsVarious")) && controlShown(v, "gbForcedInit");
    case When::VariousPowerSettings: return v.tabShown(QStringLiteral("tsVarious")) && controlShown(v, "gbPowerSettings");
    case When::VariousPlugUsage: return v.tabShown(QStringLiteral("tsVarious")) && controlShown(v, "gbPlugUsage");
    case When::ZeroPower: return controlShown(v, "gbZeroPower");
    case When::CustomTab: return v.tabShown(QStringLiteral("tsParameters"));
    case When::ResetTab: return v.tabShown(QStringLiteral("tsReset"));
    case When::Mz40: return v.tabShown(QStringLiteral("tsMZ40"));
    case When::Mz40Standard: return v.tabShown(QStringLiteral("tsMZ40")) && t.state.productMode == ModeMz40Standard;
    case When::Mz40Advanced: return v.tabShown(QStringLiteral("tsMZ40")) && t.state.productMode == ModeMz40Advanced;
    case When::AuxTab: return v.tabShown(QStringLiteral("tsAux"));
    case When::MassageModes: return v.tabShown(QStringLiteral("tsAux")) && controlShown(v, "gbMassageModes");
    case When::AuxOutputs: return v.tabShown(QStringLiteral("tsAux")) && controlShown(v, "gbAuxOutputs");
    }
    return false;
}

// ---- Reference rows -------------------------------------------------------------------------

QWidget* referenceControl(const ui::FormView& v, const Row& row, int r)
{
    return *row.control ? v.control(resolve(row.control, r)) : nullptr;
}

// The four safety boxes and ten safety check boxes of a row.
constexpr ui::RefMember kSafetyBoxes[] = {ui::cmbSafeStrokeMax, ui::cmbSafeStrokeMin, ui::cmbSafeSpeedUp, ui::cmbSafeSpeedDw};
constexpr ui::RefMember kSafetyFlags[] = {ui::cbxSafeMaxUp,      ui::cbxSafeMaxDw,      ui::cbxSafeMinUp,
                                         ui::cbxSafeMinDw,      ui::cbxSafeSpeedMaxUp, ui::cbxSafeSpeedMaxDw,
                                         ui::cbxSafeSpeedMinUp, ui::cbxSafeSpeedMinDw, ui::cbxUnlockMax,
                                         ui::cbxUnlockMin};

void showReferenceRows(Transfer& t)
{
    ui::FormView& v = t.view;
    const int mode = t.state.productMode;
    std::array<uint16_t, 4> channels{};
    std::array<QComboBox*, 4> a{};
    std::array<QComboBox*, 4> b{};
    for (int i = 0; i < 4; ++i) {
        channels[std::size_t(i)] = readParameterValue(channelParameter(i + 1));
        a[std::size_t(i)] = v.control<QComboBox>(channelBox(i + 1));
        b[std::size_t(i)] = v.control<QComboBox>(channelPortBBox(i + 1));
        if (a[std::size_t(i)])
            a[std::size_t(i)]->setProperty("tag", channels[std::size_t(i)]);
    }
    const Selection selection = selectionForCodes(channels, mode);
    if (QRadioButton* rb = selectionButton(v, selection))
        rb->setChecked(true);
    // Checking a preset applies it, as the button's click would: the rows the configuration uses are
    // enabled before they are read, so their impulse keys are not taken for a disabled row's.
    if (selection != Selection::Custom)
        referenceSelectClick(v, t.state);
    if (selection == Selection::Custom) {
        const bool mz40 = isMz40(mode);
        if (mode == ModeBelmora) {
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
        cmbChannelChange(v, t.state);
    }

    // References first in reference order (they count down from 7 outside mode 0), then the rest.
    for (bool swapped = true; swapped;) {
        swapped = false;
        for (int p = 0; p < 3; ++p) {
            uint16_t& first = channels[std::size_t(p)];
            uint16_t& second = channels[std::size_t(p + 1)];
            const bool swap = mode == ModeTavrin ? second < first : (first < second && second < 8);
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
        QString prefix = referencePrefix(1);
        uint16_t reference = 0;
        for (int n = 1; n <= 6; ++n) {
            reference = readParameterValue(referencePrefix(n) + QStringLiteral("reference"));
            if (reference == channels[std::size_t(r - 1)]) {
                prefix = referencePrefix(n);
                break;
            }
        }
        prefixes[std::size_t(r - 1)] = prefix;
        const auto& controls = v.arrays().refs[std::size_t(r - 1)];
        if (controls[ui::lblRefRef])
            controls[ui::lblRefRef]->setProperty("tag", reference);

        for (const Row& row : referenceRows()) {
            if (!holds(t, row.read, r))
                continue;
            if (row.composite != Composite::None)
                showComposite(t, row, prefix, r);
            else
                showRow(t, row, prefix + QString::fromLatin1(row.name), referenceControl(v, row, r), fromDefaults);
        }
        for (ui::RefMember m : kSafetyBoxes)
            safetyAllDefault = safetyAllDefault && textOf(controls[m]) == QStringLiteral("Default");
        for (ui::RefMember m : kSafetyFlags)
            safetyAllDefault = safetyAllDefault && checked(controls[m]);
        rules::showActuatorData(v, t.state, prefix, qobject_cast<QComboBox*>(controls[ui::cmbAct]), fromDefaults);
    }
    if (safetyAllDefault) {
        for (int r = 1; r <= 4; ++r)
            for (const Row& row : referenceRows())
                if (row.kind == Kind::Flag && QString::fromLatin1(row.name).startsWith(QStringLiteral("safety_"))) {
                    uint16_t value = 0;
                    readDefault(prefixes[std::size_t(r - 1)] + QString::fromLatin1(row.name), value);
                    setChecked(referenceControl(v, row, r), value != 0);
                }
    }
}

void storeReferenceRows(Transfer& t)
{
    ui::FormView& v = t.view;
    const int mode = t.state.productMode;
    for (int i = 1; i <= 4; ++i) {
        if (isMz40(mode) && i > 2)
            writeParameter(channelParameter(i), 65535);
        else
            writeParameter(channelParameter(i),
                           encodeChannel(v.control<QComboBox>(channelBox(i)), v.control<QComboBox>(channelPortBBox(i)), mode));
    }
    for (int r = 1; r <= 4; ++r) {
        const auto& controls = v.arrays().refs[std::size_t(r - 1)];
        if (!controls[ui::cmbAct] || !controls[ui::cmbAct]->isEnabled())
            continue;
        const QString prefix = referencePrefix(r);
        const int tag = controls[ui::lblRefRef] ? controls[ui::lblRefRef]->property("tag").toInt() : 0;
        writeParameter(prefix + QStringLiteral("reference"), uint16_t(mode == ModeTavrin ? tag : 7 - tag));
        for (const Row& row : referenceRows()) {
            if (!holds(t, row.write, r))
                continue;
            if (row.composite != Composite::None)
                storeComposite(t, row, prefix, r);
            else
                storeRow(t, row, prefix + QString::fromLatin1(row.name), referenceControl(v, row, r));
        }
        rules::storeActuatorData(t.state, prefix, qobject_cast<QComboBox*>(controls[ui::cmbAct]));
    }
}

// ---- Fixed-name rows ------------------------------------------------------------------------

void showFixedRows(Transfer& t, std::span<const Row> rows)
{
    for (const Row& row : rows) {
        if (!holds(t, row.read))
            continue;
        if (QString::fromLatin1(row.name) == QStringLiteral("ref_always_parallel"))
            cmbSnoreTimeSelect(t.view);
        if (row.composite != Composite::None)
            showComposite(t, row, QString(), 0);
        else
            showRow(t, row, QString::fromLatin1(row.name), t.view.control(QString::fromLatin1(row.control)), false);
    }
}

void storeFixedRows(Transfer& t, std::span<const Row> rows)
{
    for (const Row& row : rows) {
        if (!holds(t, row.write))
            continue;
        if (row.composite != Composite::None)
            storeComposite(t, row, QString(), 0);
        else
            storeRow(t, row, QString::fromLatin1(row.name), t.view.control(QString::fromLatin1(row.control)));
    }
}

// ---- Aux outputs ----------------------------------------------------------------------------

void showAuxOutputs(Transfer& t)
{
    for (int n = 1; n <= 4; ++n)
        for (const Row& row : auxRows()) {
            if (row.composite != Composite::None)
                showComposite(t, row, QString(), n);
            else
                showRow(t, row, resolve(row.name, n), t.view.control(resolve(row.control, n)), false, ledOutput(t.view, n));
        }
    showFixedRows(t, auxCommonRows());
}

void storeAuxOutputs(Transfer& t)
{
    for (int n = 1; n <= 4; ++n)
        for (const Row& row : auxRows()) {
            if (row.composite != Composite::None)
                storeComposite(t, row, QString(), n);
            else
                storeRow(t, row, resolve(row.name, n), t.view.control(resolve(row.control, n)), ledOutput(t.view, n));
        }
    storeFixedRows(t, auxCommonRows());
}

// ---- Memories -------------------------------------------------------------------------------

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

void showMemories(Transfer& t)
{
    ui::FormView& v = t.view;
    rules::MemoryTable& memory = t.state.memory;
    for (int n = 1; n <= 8; ++n) {
        rules::MemoryRecord& record = memory.records[std::size_t(n - 1)];
        record.valueSlot = readParameterValue(memoryParameter(n, "value_index"));
        std::array<uint16_t, kMemoryFlags.size()> flags{};
        bool unset = true;
        for (std::size_t i = 0; i < flags.size(); ++i) {
            flags[i] = readParameterValue(memoryParameter(n, kMemoryFlags[i]));
            unset = unset && flags[i] != 0;
        }
        if (unset) {
            for (std::size_t i = 0; i < flags.size(); ++i)
                if (i != 6)
                    readDefault(memoryParameter(n, kMemoryFlags[i]), flags[i]);
            if (n >= 7)
                for (std::size_t i = 1; i <= 5; ++i)
                    flags[i] = 0;
        }
        const auto& boxes = v.arrays().mem[std::size_t(n - 1)];
        for (int m = ui::memPos; m <= ui::memAux4; ++m)
            setChecked(boxes[std::size_t(m)], flags[std::size_t(m)] != 0);
        setChecked(boxes[ui::memImp], flags[7] == 0);
        setChecked(boxes[ui::memLock], flags[8] == 0);

        if (memory.hasSlot(n - 1)) {
            const int slot = record.valueSlot;
            const uint16_t mask = readParameterValue(memoryParameter(n, "pos_mask"));
            for (int i = 0; i < 8; ++i)
                memory.values[std::size_t(slot)][std::size_t(i)] =
                    (mask >> (7 - i)) & 1 ? readParameterValue(memoryPositionParameter(slot, i)) : rules::kNoPosition;
        }

        std::array<int, 8> p{};
        int sum = 0;
        for (int r = 1; r <= 8; ++r) {
            p[std::size_t(r - 1)] = readParameterValue(stepParameter(n, r));
            sum += p[std::size_t(r - 1)];
        }
        record.orderFlag = p[0] < p[2] ? 1 : 0;
        record.pairFlag = ((p[0] == p[1] && p[0] != 15) || (p[7] == p[6] && p[7] != 15) || (p[0] == 15 && p[2] == 15)) ? 1 : 0;
        if (n <= 6) {
            // The last memory read decides.
            for (std::size_t i = 0; i < kPriorities.size(); ++i)
                t.state.memoryOrder[i] = sum / 8 < readParameterValue(QString::fromLatin1(kPriorities[i])) ? 1 : 0;
        } else {
            select(v.control(resetOrderBox(n)), record.orderFlag);
            select(v.control(resetPairBox(n)), record.pairFlag);
        }
        const std::array<int, 8> expected = stepSequence(record.orderFlag, record.pairFlag);
        for (int r = 0; r < 8; ++r)
            if (p[std::size_t(r)] != 15 && p[std::size_t(r)] != expected[std::size_t(r)])
                t.decodable = false;
    }

    const rules::PositionUnit unit = rules::positionUnit(v, t.state);
    for (int n = 7; n <= 8; ++n) {
        const bool hasSlot = memory.hasSlot(n - 1);
        for (int i = 0; i < 8; ++i) {
            const uint16_t value = hasSlot ? memory.values[std::size_t(memory.records[std::size_t(n - 1)].valueSlot)][std::size_t(i)]
                                           : (i < 4 ? (n == 7 ? rules::kDriveDown : rules::kDriveUp) : rules::kNoPosition);
            rules::showPosition(v.control<QComboBox>(resetDriveBox(n, i)), value, unit);
        }
    }
    if (auto* factory = v.control<QCheckBox>(QStringLiteral("cbxFactoryDefaults")))
        factory->setChecked(device::lib::getConfigResetToDefaults());
    applyRowEnableRule(v);
}

void storeMemories(Transfer& t)
{
    const ui::FormView& v = t.view;
    const rules::MemoryTable& memory = t.state.memory;
    for (int n = 1; n <= 8; ++n) {
        const rules::MemoryRecord& record = memory.records[std::size_t(n - 1)];
        writeParameter(memoryParameter(n, "value_index"), uint16_t(record.valueSlot));
        const auto& boxes = v.arrays().mem[std::size_t(n - 1)];
        for (int m = ui::memPos; m <= ui::memAux4; ++m)
            if (boxes[std::size_t(m)])
                writeParameter(memoryParameter(n, kMemoryFlags[std::size_t(m)]), checked(boxes[std::size_t(m)]) ? 1 : 0);
        if (boxes[ui::memImp]) {
            writeParameter(memoryParameter(n, "impulse"), checked(boxes[ui::memImp]) ? 1 : 0);
            writeParameter(memoryParameter(n, "inv_impulse"), checked(boxes[ui::memImp]) ? 0 : 1);
        }
        if (boxes[ui::memLock])
            writeParameter(memoryParameter(n, "write_enabled"), checked(boxes[ui::memLock]) ? 0 : 1);
        uint16_t mask = 255;
        if (memory.hasSlot(n - 1)) {
            const int slot = record.valueSlot;
            mask = 0;
            for (int i = 0; i < 8; ++i) {
                const uint16_t value = memory.values[std::size_t(slot)][std::size_t(i)];
                writeParameter(memoryPositionParameter(slot, i), value);
                if (value != rules::kNoPosition)
                    mask |= uint16_t(1u << (7 - i));
            }
        }
        writeParameter(memoryParameter(n, "pos_mask"), n <= 6 ? 255 : mask);
        const std::array<int, 8> steps = stepSequence(record.orderFlag, record.pairFlag);
        for (int r = 1; r <= 8; ++r)
            writeParameter(stepParameter(n, r), uint16_t(steps[std::size_t(r - 1)]));
    }
    for (std::size_t i = 0; i < kPriorities.size(); ++i)
        writeParameter(QString::fromLatin1(kPriorities[i]), t.state.memoryOrder[i] > 0 ? 9 : 0);
}

// ---- Standard view --------------------------------------------------------------------------

void showStandard(Transfer& t)
{
    QString prefix = referencePrefix(1);
    for (int n = 1; n <= 6; ++n) {
        const uint16_t reference = readParameterValue(referencePrefix(n) + QStringLiteral("reference"));
        if (reference == 0 || reference == 65535) {
            prefix = referencePrefix(n);
            break;
        }
    }
    for (const Row& row : standardReferenceRows())
        showRow(t, row, prefix + QString::fromLatin1(row.name), t.view.control(QString::fromLatin1(row.control)), false);
    const Row& forced = standardForcedRow();
    showRow(t, forced, QString::fromLatin1(forced.name), t.view.control(QString::fromLatin1(forced.control)), false);
    rules::showActuatorData(t.view, t.state, prefix, t.view.control<QComboBox>(QString::fromLatin1(kStandardActuatorList)), false);
}

void storeStandard(Transfer& t)
{
    writeParameter(channelParameter(1), 65535);
    const QString prefix = referencePrefix(1);
    writeParameter(prefix + QStringLiteral("reference"), 0);
    for (const Row& row : standardReferenceRows())
        storeRow(t, row, prefix + QString::fromLatin1(row.name), t.view.control(QString::fromLatin1(row.control)));
    const Row& forced = standardForcedRow();
    storeRow(t, forced, QString::fromLatin1(forced.name), t.view.control(QString::fromLatin1(forced.control)));
    rules::storeActuatorData(t.state, prefix, t.view.control<QComboBox>(QString::fromLatin1(kStandardActuatorList)));
}

void writeFactoryDefaultsFlag(const ui::FormView& v)
{
    device::lib::setConfigResetToDefaults(checked(v.control(QStringLiteral("cbxFactoryDefaults"))));
}

} // namespace

void showConfiguration(ui::FormView& view, WindowState& state)
{
    Transfer t(view, state);
    state.conflictAsked = false;
    const bool programmableBefore = state.programmable;
    auto* factory = view.control<QCheckBox>(QStringLiteral("cbxFactoryDefaults"));

    if (!state.advanced) {
        showStandard(t);
    } else {
        if (state.productMode == ModeRq9)
            showFixedRows(t, rq9Rows());
        else
            showReferenceRows(t);
        showFixedRows(t, mz40Rows());
        if (holds(t, When::AuxTab)) {
            showFixedRows(t, massageRows());
            if (holds(t, When::AuxOutputs))
                showAuxOutputs(t);
        }
        showFixedRows(t, variousRows());
        showFixedRows(t, resetRows());
        if (view.tabShown(QStringLiteral("tsMemory")))
            showMemories(t);
        // The aux outputs' boxes and units follow their types, after every transfer.
        rules::cmbAuxTypeChange(view, state);

        // No two memories may share a value slot.
        std::array<bool, rules::kValueSlots> used{};
        for (const rules::MemoryRecord& record : state.memory.records)
            if (record.valueSlot >= 0 && record.valueSlot < rules::kValueSlots) {
                if (used[std::size_t(record.valueSlot)])
                    t.decodable = false;
                used[std::size_t(record.valueSlot)] = true;
            }
        // Program and Save are allowed by the previous transfer, or by the factory-defaults box as
        // it stands now: the memories (where the Memory tab is shown) have set it from this
        // configuration.
        if (!t.decodable && (programmableBefore || checked(factory)))
            ui::dialogs().information(view.dialogParent(),
                                      QStringLiteral("Configuration cannot be decoded correctly by configurator.\n\n"
                                                     "Cannot program/save until reset to defaults is performed."));
    }

    if (factory && device::lib::getConfigResetToDefaults())
        factory->setChecked(true);
    state.programmable = t.decodable;
    updateProgramSaveState(view, state);
}

void storeConfiguration(ui::FormView& view, WindowState& state)
{
    Transfer t(view, state);
    device::lib::closeConfig();
    device::lib::openConfig(state.configurationType);

    if (!state.advanced) {
        storeStandard(t);
    } else {
        if (state.productMode == ModeRq9) {
            writeParameter(channelParameter(1), 7);
            writeParameter(channelParameter(2), 6);
            writeParameter(referencePrefix(1) + QStringLiteral("reference"), 7);
            writeParameter(referencePrefix(2) + QStringLiteral("reference"), 6);
            storeFixedRows(t, rq9Rows());
            writeFactoryDefaultsFlag(view);
        } else {
            storeReferenceRows(t);
        }
        storeFixedRows(t, mz40Rows());
        if (!view.tabShown(QStringLiteral("tsMemory")))
            for (int n = 1; n <= 4; ++n) {
                writeParameter(memoryParameter(n, "inv_impulse"), t.memoryImpulse ? 0 : 1);
                writeParameter(memoryParameter(n, "impulse"), t.memoryImpulse ? 1 : 0);
            }
        storeFixedRows(t, massageRows());
        if (holds(t, When::AuxOutputs))
            storeAuxOutputs(t);
        storeFixedRows(t, variousRows());
        storeFixedRows(t, resetRows());
        if (view.tabShown(QStringLiteral("tsMemory")))
            storeMemories(t);
        writeFactoryDefaultsFlag(view);
    }
    writeString(QStringLiteral("ConfType"), QString::fromLatin1(productTag(state.productMode)));
}

bool programSaveAllowed(const ui::FormView& view, const WindowState& state)
{
    return state.programmable || checked(view.control(QStringLiteral("cbxFactoryDefaults")));
}

void updateProgramSaveState(ui::FormView& view, const WindowState& state)
{
    auto* program = view.control(QStringLiteral("btnProgramConfig"));
    auto* save = view.control(QStringLiteral("btnSaveConfig"));
    auto* read = view.control(QStringLiteral("btnReadConfig"));
    const bool allowed = programSaveAllowed(view, state);
    if (allowed) {
        if (program && read && read->isEnabled() && !state.boxBusy)
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
        if (QAction* item = view.menuItem(QStringLiteral("mniProgram")))
            item->setEnabled(program->isEnabled());
    if (save)
        if (QAction* item = view.menuItem(QStringLiteral("mniSave")))
            item->setEnabled(save->isEnabled());
}

void mniResetClick(ui::FormView& view, WindowState& state)
{
    view.showFileInTitle(QString());
    device::lib::closeConfig();
    device::lib::openConfig(state.configurationType);
    state.memory.reset();
    showConfiguration(view, state);
    state.programmable = true;
    updateProgramSaveState(view, state);
    referenceSelectClick(view, state);
}

void cmbSnoreTimeSelect(ui::FormView& view)
{
    auto* time = view.control<QComboBox>(QStringLiteral("cmbSnoreTime"));
    const bool on = time && time->currentText() != QStringLiteral("Off");
    for (const char* name : {"cmbSnoreMemory", "cmbSnoreSpeed"})
        if (QWidget* box = view.control(QString::fromLatin1(name)))
            box->setEnabled(on);
}

} // namespace config

#include "rules/entryrules.h"

#include "config/conversions.h"
#include "config/windowstate.h"
#include "rules/angles.h"
#include "rules/auxmassage.h"
#include "rules/memorypositions.h"
#include "rules/valuerules.h"
#include "ui/controlarrays.h"
#include "ui/dialogs.h"
#include "ui/events.h"
#include "ui/formview.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

namespace rules {

using config::EntryFilter;
using config::EntryRule;
using config::ExitRule;
using config::Factor;

std::optional<double> numberOf(const QComboBox* box, QChar decimalSeparator)
{
    double value = 0;
    if (!box || !config::parseNumber(box->currentText(), decimalSeparator, value))
        return std::nullopt;
    return value;
}

void setText(QComboBox* box, const QString& text)
{
    config::setBoxText(box, text);
    // A text a rule gives is what the box holds from now on.
    config::forgetShownValue(box);
}

void inform(const ui::FormView& view, const QString& message)
{
    ui::dialogs().information(view.dialogParent(), message);
}

int outputOf(const QComboBox* box)
{
    const QString name = box ? box->objectName() : QString();
    return (!name.isEmpty() && name.back().isDigit()) ? name.back().digitValue() : 0;
}

double factorOf(Factor factor, const config::WindowState& state, int output)
{
    const config::UnitScales units = config::UnitScales::forUnit(state.inch);
    switch (factor) {
    case Factor::Plain: return 1.0;
    case Factor::Length: return units.lengthDivisor;
    case Factor::Speed: return units.speedDivisor;
    case Factor::Minutes: return 60.0;
    case Factor::AuxLevel:
        return (output >= 1 && output <= 4 && state.auxLed[std::size_t(output - 1)]) ? 1.28 : 9.90328820116054;
    case Factor::Volt: return 9.90328820116054;
    case Factor::Period: return 0.5;
    }
    return 1.0;
}

StoreScale storeScaleOf(const QComboBox* box, const config::WindowState& state)
{
    const config::Row* row = config::rowOfControl(box->objectName());
    if (!row || (row->kind != config::Kind::Scaled && row->kind != config::Kind::TruncatedScaled))
        return {};
    const int output = outputOf(box);
    const bool led = output >= 1 && output <= 4 && state.auxLed[std::size_t(output - 1)];
    return {config::scaleOf(row->unit, config::UnitScales::forUnit(state.inch), led).divisor,
            row->kind == config::Kind::TruncatedScaled};
}

bool limitsCheck(ui::FormView& view, const config::WindowState& state, QComboBox* box, double factor)
{
    const std::optional<Limits> limits = readLimits(state.limitsFilePath, limitsSection(box->objectName()));
    if (!limits) {
        inform(view, QStringLiteral("Could not read limits file: ") + box->objectName());
        return false;
    }
    // A value shown as read and not edited since is the box's own: passing through its box does
    // not change it.
    if (config::keptValue(box))
        return true;
    const Outcome out = checkLimits(box->currentText(), factor, *limits, state.decimalSeparator, storeScaleOf(box, state));
    // Each correction is in the box before its message is shown.
    for (qsizetype i = 0; i < out.messages.size(); ++i) {
        setText(box, out.texts[i]);
        inform(view, out.messages[i]);
    }
    if (out.focusBack)
        ui::returnFocus(box);
    return true;
}

namespace {

// The digit-count filter on a box while the user types.
void filterDigits(QComboBox* box, int digits, int decimals, QChar separator)
{
    const Filtered f = rules::filterDigits(box->currentText(), box->count() > 0 ? box->itemText(0) : QString(), digits,
                                           decimals, separator);
    switch (f.action) {
    case Filtered::Action::Keep: break;
    case Filtered::Action::SelectFirstItem:
        box->setCurrentIndex(0);
        box->setEditText(box->itemText(0));
        if (QLineEdit* edit = box->lineEdit())
            edit->selectAll();
        break;
    case Filtered::Action::SetText:
        box->setEditText(f.text);
        if (QLineEdit* edit = box->lineEdit())
            edit->setCursorPosition(int(f.text.size()));
        break;
    }
}

void changed(ui::FormView& view, const config::WindowState& state, const EntryRule& rule, QComboBox* box)
{
    if (rule.colourFirst) {
        view.restoreNormalColour();
        if (box->currentText() == QStringLiteral("Default"))
            return;
    }
    switch (rule.onChange) {
    case EntryFilter::None: break;
    case EntryFilter::Digits: filterDigits(box, rule.digits, rule.decimals, state.decimalSeparator); break;
    case EntryFilter::Numeric: config::filterNumericEntry(box, QStringLiteral("Default"), state.decimalSeparator); break;
    case EntryFilter::WholeNumber: ComboBoxUblTimeoutChange(box); break;
    }
}

// A speed box of a reference was left: a pair partner still on "Default" takes its speed.
void mirrorSpeed(const ui::FormView& view, QComboBox* left)
{
    for (const auto& row : view.arrays().refs) {
        auto* up = qobject_cast<QComboBox*>(row[ui::cmbSpeed]);
        auto* down = qobject_cast<QComboBox*>(row[ui::cmbSpeedDown]);
        if (!up || !down)
            continue;
        if (left == up && down->currentText() == QStringLiteral("Default"))
            setText(down, up->currentText());
        else if (left == down && up->currentText() == QStringLiteral("Default"))
            setText(up, down->currentText());
    }
}

// An aux time-out was left: checked in minutes; a time of 0 is the box's first item ("Off").
void auxTimeoutExit(ui::FormView& view, const config::WindowState& state, QComboBox* box)
{
    limitsCheck(view, state, box, factorOf(Factor::Minutes, state));
    if (!readLimits(state.limitsFilePath, limitsSection(box->objectName())))
        inform(view, QStringLiteral("Could not read aux limits from limits.ini"));
    if (const std::optional<double> minutes = numberOf(box, state.decimalSeparator); minutes && *minutes == 0) {
        box->setCurrentIndex(0);
        box->setEditText(box->itemText(0));
    }
}

void left(ui::FormView& view, config::WindowState& state, const EntryRule& rule, QComboBox* box)
{
    switch (rule.onExit) {
    case ExitRule::None: break;
    case ExitRule::Limits: limitsCheck(view, state, box, factorOf(rule.factor, state)); break;
    case ExitRule::Speed:
        limitsCheck(view, state, box, factorOf(Factor::Speed, state));
        mirrorSpeed(view, box);
        break;
    case ExitRule::AuxTimeout: auxTimeoutExit(view, state, box); break;
    case ExitRule::AuxRange: cmbAuxMaxExit(view, state, box); break;
    case ExitRule::Intensity: cmbMasIntLowExit(view, state, box); break;
    case ExitRule::Cycle: cmbMasCycleLowExit(view, state, box); break;
    case ExitRule::Angle: cmbRQ9AngleExit(view, state, box); break;
    case ExitRule::ResetDrive: cmbReferenceExit(view, state, box); break;
    }
}

} // namespace

void connectValueRules(ui::FormView& view, config::WindowState& state)
{
    for (const EntryRule& rule : config::entryRules())
        for (QWidget* control : view.controls(QString::fromLatin1(rule.control), rule.count)) {
            auto* box = qobject_cast<QComboBox*>(control);
            if (!box)
                continue;
            // A typed value is the box's text, never a new item of its list, and the filters alone
            // decide what a typed word becomes (no completion from the list behind them).
            box->setInsertPolicy(QComboBox::NoInsert);
            if (box->isEditable())
                box->setCompleter(nullptr);
            if (rule.onChange != EntryFilter::None || rule.colourFirst)
                ui::onUserEdit(box, [&view, &state, &rule, box](QWidget*) { changed(view, state, rule, box); });
            if (rule.numericOnClick)
                QObject::connect(box, &QComboBox::activated, box, [&state, box] {
                    config::filterNumericEntry(box, QStringLiteral("Default"), state.decimalSeparator);
                });
            if (rule.onExit != ExitRule::None)
                ui::onExit(box, [&view, &state, &rule, box](QWidget*) { left(view, state, rule, box); });
        }

    // An aux output's type, or its "Variable" box, decides its unit and which of its boxes show.
    for (const auto& output : view.arrays().aux)
        for (ui::AuxMember m : {ui::cmbAuxType, ui::cbxAuxVar})
            ui::onUserEdit(output[m], [&view, &state](QWidget*) { cmbAuxTypeChange(view, state); });

    connectResetOrderBoxes(view, state);
}

} // namespace rules

#include "rules/memorypositions.h"

#include "config/catalog.h"
#include "config/conversions.h"
#include "config/windowstate.h"
#include "rules/entryrules.h"
#include "rules/memorder.h"
#include "rules/memory.h"
#include "rules/memorytable.h"
#include "ui/dialogs.h"
#include "ui/events.h"
#include "ui/formview.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>

namespace rules {

PositionUnit positionUnit(const ui::FormView& view, const config::WindowState& state)
{
    const QAction* degrees = view.menuItem(QStringLiteral("MenuMemUnitsDegrees"));
    return {state.inch, state.productMode == config::ModeRq9 && degrees && degrees->isChecked(), state.decimalSeparator};
}

void btnSetMemValuesClick(ui::FormView& view, config::WindowState& state, TfrmMemory* dialog, int memory)
{
    if (!dialog || memory < 1 || memory > 6)
        return;
    MemoryTable& table = state.memory;
    MemoryRecord& record = table.records[std::size_t(memory - 1)];
    const PositionUnit unit = positionUnit(view, state);
    const QString unitText = unit.degrees ? QStringLiteral("deg") : (unit.inch ? QStringLiteral("inch") : QStringLiteral("mm"));
    for (int row = 0; row < 8; ++row)
        if (QLabel* label = dialog->unitLabel(row))
            label->setText(unitText);

    int slot = record.valueSlot;
    if (slot < 0 || slot >= kValueSlots) {
        slot = table.freeSlot();
        if (slot < 0) {
            inform(view, QStringLiteral("Cannot set values for more memory positions"));
            return;
        }
        table.values[std::size_t(slot)].fill(kNoPosition);
    }

    // The reference names of the mode, in the weight the Reset tab gives them.
    const auto* names = view.control<QComboBox>(config::channelBox(1));
    for (int row = 0; row < 8; ++row) {
        QLabel* label = dialog->referenceLabel(row);
        if (!label)
            continue;
        if (names && row < names->count())
            label->setText(names->itemText(row));
        if (const QWidget* resetLabel = view.control(QStringLiteral("lblRef%1").arg(row + 1))) {
            QFont font = label->font();
            font.setBold(resetLabel->font().bold());
            font.setItalic(resetLabel->font().italic());
            font.setUnderline(resetLabel->font().underline());
            font.setStrikeOut(resetLabel->font().strikeOut());
            label->setFont(font);
        }
    }
    for (int row = 0; row < 8; ++row)
        showPosition(dialog->positionBox(row), table.values[std::size_t(slot)][std::size_t(row)], unit);

    if (ui::dialogs().run(dialog) != QDialog::Accepted)
        return;
    bool anyPosition = false;
    for (int row = 0; row < 8; ++row) {
        const uint16_t value = storePosition(dialog->positionBox(row), unit);
        table.values[std::size_t(slot)][std::size_t(row)] = value;
        anyPosition = anyPosition || (value != kNoPosition && value != kUnsetPosition);
    }
    // A memory without a position gives its slot back.
    record.valueSlot = anyPosition ? slot : kNoSlot;
}

void btnSetMemOrderClick(ui::FormView&, config::WindowState& state, TfrmMemOrder* dialog, int memory)
{
    if (!dialog || memory < 1 || memory > 6)
        return;
    MemoryRecord& record = state.memory.records[std::size_t(memory - 1)];
    dialog->orderBox()->setCurrentIndex(record.orderFlag);
    dialog->pairBox()->setCurrentIndex(record.pairFlag);
    const auto switching = dialog->switchingBoxes();
    for (std::size_t i = 0; i < switching.size(); ++i)
        switching[i]->setCurrentIndex(state.memoryOrder[i]);
    const bool accepted = ui::dialogs().run(dialog) == QDialog::Accepted;
    // The four choices for all memories stay as the user left them, also when the dialog is cancelled.
    for (std::size_t i = 0; i < switching.size(); ++i)
        state.memoryOrder[i] = std::max(0, switching[i]->currentIndex());
    if (!accepted)
        return;
    record.orderFlag = std::max(0, dialog->orderBox()->currentIndex());
    record.pairFlag = std::max(0, dialog->pairBox()->currentIndex());
}

void cmbReferenceExit(ui::FormView& view, config::WindowState& state, QComboBox* left)
{
    const int memory = left->objectName().contains(QStringLiteral("Down")) ? 7 : 8;
    const uint16_t drive = memory == 7 ? kDriveDown : kDriveUp;
    const int driveItem = memory == 7 ? 2 : 1; // "Down" or "Up"
    std::array<QComboBox*, 8> boxes{};
    for (int i = 0; i < 8; ++i)
        boxes[std::size_t(i)] = view.control<QComboBox>(config::resetDriveBox(memory, i));
    MemoryTable& table = state.memory;
    MemoryRecord& record = table.records[std::size_t(memory - 1)];
    const PositionUnit unit = positionUnit(view, state);

    int slot = record.valueSlot;
    if (slot < 0 || slot >= kValueSlots) {
        slot = table.freeSlot();
        if (slot >= 0)
            for (int i = 0; i < 8; ++i)
                table.values[std::size_t(slot)][std::size_t(i)] = i < 4 ? drive : kNoPosition;
    }
    if (slot >= 0) {
        auto& values = table.values[std::size_t(slot)];
        bool special = false;
        for (int i = 0; i < 8; ++i) {
            // A box still showing its value keeps it, so a position survives every exit unchanged.
            const uint16_t value = storePosition(boxes[std::size_t(i)], unit);
            values[std::size_t(i)] = value;
            if (value != kUnsetPosition)
                special = special || value != (i < 4 ? drive : kNoPosition);
        }
        // The default pattern needs no slot.
        record.valueSlot = special ? slot : kNoSlot;
        // A typed position stays as typed and is the box's value from here on (a later change of
        // the memory units does not read its text in the other unit); a word that is no position
        // shows "Exclude", not itself, and a number beyond the positions the one it was stored as.
        for (int i = 0; i < 8; ++i)
            if (QComboBox* box = boxes[std::size_t(i)]; box && !isPositionAsTyped(box->currentText(), unit))
                showPosition(box, values[std::size_t(i)], unit);
            else if (box)
                config::keepShownValue(box, values[std::size_t(i)]);
        return;
    }
    bool defaultShown = true;
    for (int i = 0; i < 8; ++i) {
        const QComboBox* b = boxes[std::size_t(i)];
        defaultShown = defaultShown && b && b->currentText() == b->itemText(i < 4 ? driveItem : 0);
    }
    if (!defaultShown)
        inform(view, QStringLiteral("Not enough memory positions to store special reset function"));
    for (int i = 0; i < 8; ++i)
        showPosition(boxes[std::size_t(i)], i < 4 ? drive : kNoPosition, unit);
}

void connectResetOrderBoxes(ui::FormView& view, config::WindowState& state)
{
    // memory 8 (up) and memory 7 (down): order and pairing take the chosen item at once
    for (int memory : {7, 8}) {
        ui::onUserEdit(view.control(config::resetOrderBox(memory)), [&state, memory](QWidget* box) {
            state.memory.records[std::size_t(memory - 1)].orderFlag = std::max(0, qobject_cast<QComboBox*>(box)->currentIndex());
        });
        ui::onUserEdit(view.control(config::resetPairBox(memory)), [&state, memory](QWidget* box) {
            state.memory.records[std::size_t(memory - 1)].pairFlag = std::max(0, qobject_cast<QComboBox*>(box)->currentIndex());
        });
    }
}

} // namespace rules

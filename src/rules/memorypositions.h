#pragma once

// Memory positions and the reset drive: the Set values and Set order dialogs of memories 1 to 6,
// the Reset tab's reset drive boxes with their default pattern, and the reset order boxes.

#include "rules/memorytable.h"

class QComboBox;
class TfrmMemOrder;
class TfrmMemory;

namespace config {
struct WindowState;
}

namespace ui {
class FormView;
}

namespace rules {

// How positions are shown now: the length unit, and degrees in the RQ9 mode when Settings >
// Memory units says so.
PositionUnit positionUnit(const ui::FormView& view, const config::WindowState& state);

// Set values of memory 1-6: the memory's positions in the dialog, a value slot taken for it when
// it has none and given back when it ends with none.
void btnSetMemValuesClick(ui::FormView& view, config::WindowState& state, TfrmMemory* dialog, int memory);
// Set order of memory 1-6: its direction and pairing.
void btnSetMemOrderClick(ui::FormView& view, config::WindowState& state, TfrmMemOrder* dialog, int memory);
// A reset drive box was left: the drive's pattern takes a slot when it is special, and gives it
// back when it is the default one.
void cmbReferenceExit(ui::FormView& view, config::WindowState& state, QComboBox* box);
// The Reset tab's order and pairing boxes of the two reset drives take the user's choice at once.
void connectResetOrderBoxes(ui::FormView& view, config::WindowState& state);

} // namespace rules

#pragma once

// The RQ9 tab's angle boxes against their stroke limits, with the backrest and the legrest kept in
// order, and the MZ40 tab's under-bed-light time-out typed as a whole number.

class QComboBox;

namespace config {
struct WindowState;
}

namespace ui {
class FormView;
}

namespace rules {

void cmbRQ9AngleExit(ui::FormView& view, const config::WindowState& state, QComboBox* box);
void ComboBoxUblTimeoutChange(QComboBox* box);

} // namespace rules

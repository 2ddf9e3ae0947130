#pragma once

// The rules of the Aux/Massage tab: each aux output's type with its unit and boxes, the output's
// setting, minimum and step kept in order, the massage intensities and cycle times kept in order,
// and the massage check before a configuration leaves the window.

#include <QChar>

class QComboBox;

namespace config {
struct WindowState;
}

namespace ui {
class FormView;
}

namespace rules {

// For every output: its unit by its type (full-scale values when it changes between volts and
// percent), and which of its boxes are shown.
void cmbAuxTypeChange(ui::FormView& view, config::WindowState& state);
// An aux output's setting, minimum or step was left.
void cmbAuxMaxExit(ui::FormView& view, config::WindowState& state, QComboBox* box);
// A massage intensity box was left.
void cmbMasIntLowExit(ui::FormView& view, const config::WindowState& state, QComboBox* box);
// A massage cycle box (or the massage time-out) was left.
void cmbMasCycleLowExit(ui::FormView& view, const config::WindowState& state, QComboBox* box);

// Before Program and Save: no pulse or wave massage when low and high intensity are equal (the
// modes are cleared with a message).
void massageConsistencyCheck(ui::FormView& view, QChar decimalSeparator);

} // namespace rules

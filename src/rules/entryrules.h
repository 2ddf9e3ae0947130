#pragma once

// The value boxes' entry rules on the window: every row of the catalog's entry-rule table wired to
// its change filter, its click filter and its exit rule, and the helpers the rules share.

#include "config/catalog.h"
#include "rules/valuerules.h"

#include <QChar>
#include <QString>

#include <optional>

class QComboBox;

namespace config {
struct WindowState;
}

namespace ui {
class FormView;
}

namespace rules {

// Wires the value boxes of the entry-rule table, the aux type boxes and the reset order boxes to
// their rules.
void connectValueRules(ui::FormView& view, config::WindowState& state);

// The factor of a box's shown value to its raw value, with the unit in force now (an aux output's
// level by its own unit: output 1-4).
double factorOf(config::Factor factor, const config::WindowState& state, int output = 0);

// How the transfer stores a box's number (its catalog row's scale), for the limits check to judge.
StoreScale storeScaleOf(const QComboBox* box, const config::WindowState& state);

// The limits check of a box against its section of the limits file (read now); false when the
// section could not be read ("Could not read limits file: " and the box's name is shown).
bool limitsCheck(ui::FormView& view, const config::WindowState& state, QComboBox* box, double factor);

// Helpers of the rules: a box's number in the system's format (nothing when the text is no
// number), a box's text set as the program sets it, and a message of the rules.
std::optional<double> numberOf(const QComboBox* box, QChar decimalSeparator);
void setText(QComboBox* box, const QString& text);
void inform(const ui::FormView& view, const QString& message);

// The output (1-4) a per-output box belongs to: the digit its name ends with; 0 when none.
int outputOf(const QComboBox* box);

} // namespace rules

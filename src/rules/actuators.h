#pragma once

// The actuator database: actuator files beside the program, the actuator table they fill, the five
// actuator lists of the window, and the actuator data each reference carries in the configuration.

#include "rules/actuatortable.h"

#include <QString>

#include <vector>

class QAction;
class QComboBox;
class QWidget;

namespace config {
struct WindowState;
}

namespace ui {
class FormView;
}

namespace rules {

// The five actuator lists: cmbAct1..cmbAct4 and cmbActLt.
std::vector<QComboBox*> actuatorLists(const ui::FormView& view);

// Settings > Select actuator file: one item per "act*.ini" of the data directory (start-up).
void buildActuatorFileMenu(ui::FormView& view, config::WindowState& state);
// Chooses an actuator file (null: reloads the checked one; the mode switch calls it so).
void chooseActuatorFile(ui::FormView& view, config::WindowState& state, QAction* item);

// The actuator data of a reference (prefix "ref" + N + "_") into its list, and back.
void showActuatorData(ui::FormView& view, config::WindowState& state, const QString& prefix, QComboBox* list,
                      bool fromDefaults);
void storeActuatorData(const config::WindowState& state, const QString& prefix, const QComboBox* list);

// A user's choice in an actuator list (or in an initialization-lock box, which only restores the
// window colour).
void cmbActuatorChange(ui::FormView& view, config::WindowState& state, QWidget* sender);
// Wires the user-change signals of the lists and the initialization-lock boxes to cmbActuatorChange.
void connectActuatorHandlers(ui::FormView& view, config::WindowState& state);

} // namespace rules

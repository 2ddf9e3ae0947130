#pragma once

// The actuator database: actuator files beside the program, the actuator table they fill, the five
// actuator lists of the window, and the actuator data each reference carries in the configuration.

#include <QString>

#include <cstdint>
#include <vector>

class QAction;
class QComboBox;
class QWidget;

namespace app {
class TfrmMain;
}

namespace rules {

struct ActuatorEntry
{
    QString name; // at most 19 characters; "*" + name for a configuration's own actuator
    uint8_t length = 21;
    uint8_t type = 0;
    uint8_t family = 0;
    uint8_t subtype = 0;
    uint16_t kemf = 0;
    uint16_t rmi = 0;
    uint16_t p2mm = 0;
    uint8_t cm = 0;
    uint16_t gfd = 0;
    uint8_t iup = 0;
    uint8_t idw = 0;
    uint16_t physstroke = 0;
    uint16_t logistroke = 0;
    uint8_t dbeUp = 0;
    uint8_t dbeDw = 0;
    uint8_t endstopUp = 0;
    uint8_t endstopDn = 0;
    uint8_t psys = 0;
    uint8_t piezo = 0;
    uint8_t speed = 0;
    uint8_t initplug = 0;
    bool disableSlsUp = false;
    bool disableSlsDown = false;
    bool disableSlsAcc = false;
    QString warningText;
};

// Entries from the current actuator file, then those a shown configuration added; at most 100.
struct ActuatorTable
{
    static constexpr int kMaxEntries = 100;
    std::vector<ActuatorEntry> entries;
};

// The five actuator lists: cmbAct1..cmbAct4 and cmbActLt.
std::vector<QComboBox*> actuatorLists(const app::TfrmMain& window);

// Settings > Select actuator file: one item per "act*.ini" of the data directory (start-up).
void buildActuatorFileMenu(app::TfrmMain& window);
// Chooses an actuator file (null: reloads the checked one; the mode switch calls it so).
void chooseActuatorFile(app::TfrmMain& window, QAction* item);

// The actuator data of a reference (prefix "ref" + N + "_") into its list, and back.
void showActuatorData(app::TfrmMain& window, const QString& prefix, QComboBox* list, bool fromDefaults);
void storeActuatorData(app::TfrmMain& window, const QString& prefix, const QComboBox* list);

// A user's choice in an actuator list (or in an initialization-lock box, which only restores the
// window colour).
void cmbActuatorChange(app::TfrmMain& window, QWidget* sender);
// Wires the user-change signals of the lists and the initialization-lock boxes to cmbActuatorChange.
void connectActuatorHandlers(app::TfrmMain& window);

} // namespace rules

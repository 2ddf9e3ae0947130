#pragma once

// The window's configuration state: what the transfers, the value rules, the files and the box
// procedures know besides the controls. The main window owns it for the whole run.

#include "rules/actuatortable.h"
#include "rules/memorytable.h"

#include <QChar>
#include <QString>

#include <array>

namespace config {

// Product modes: the numbers of the Settings > Mode items.
enum ProductMode { ModeTavrin = 0, ModeBelmora = 1, ModeRq9 = 2, ModeMz40Standard = 3, ModeMz40Advanced = 4 };

// The Settings > Mode items, by mode.
inline constexpr std::array<const char*, 5> kModeMenuItems = {"mniKVR5E", "mniWZQ", "mniRQ9", "mniMZ40STD", "mniMZ40ADV"};

inline bool isMz40(int mode)
{
    return mode == ModeMz40Standard || mode == ModeMz40Advanced;
}

struct WindowState
{
    // The product mode in force and the advanced flag (fixed at start-up).
    int productMode = ModeTavrin;
    bool advanced = false;
    // The layout the session is opened with: "KVR5E" or "MZ40".
    QString configurationType = QStringLiteral("KVR5E");
    // The system's decimal separator, taken once at start-up.
    QChar decimalSeparator = u'.';
    // The length unit in force (the menu item is toggled before its handler runs).
    bool inch = false;

    // Where the data files are, and the limits file of the mode.
    QString dataDirectory;
    QString limitsFilePath;
    // The file last loaded, the open dialog's current name.
    QString lastLoadedFile;
    // The file last loaded, saved or compared with the box: where Compare with box's file chooser
    // starts.
    QString lastFileUsed;

    // The last transfer could represent the configuration (Program and Save follow it).
    bool programmable = true;
    // Keeps Read, Program, Load, Save and the initialization-lock reset from overlapping.
    bool operationGuard = false;
    // What the live status found: the connected box's product mode and whether it is busy.
    int connectedBoxMode = ModeTavrin;
    bool boxBusy = false;

    // The actuator table, and whether this transfer asked the actuator conflict question.
    rules::ActuatorTable actuators;
    bool conflictAsked = false;
    // Per aux output: its levels are percent (an LED output) rather than volts.
    std::array<bool, 4> auxLed{};
    // Per reference row: "sls_accelerate" read as 0 (acceleration off), written back as 0, else 1.
    std::array<bool, 4> slsAccelerationOff{};
    // The memory records with their value slots.
    rules::MemoryTable memory;
    // The memory order dialog's four choices (aux on, aux off, massage on, massage off): item 1
    // "after", item 0 "before". A choice made in the dialog stays even when it is cancelled.
    std::array<int, 4> memoryOrder{};
};

} // namespace config

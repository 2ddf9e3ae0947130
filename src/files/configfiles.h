#pragma once

// Configuration files: Load and Save of .cfg files and the unattended LOADSAVE run. The device
// library reads and writes the files; this is everything around its two calls.

#include <QString>

namespace config {
struct WindowState;
}

namespace ui {
class FormView;
}

namespace files {

// File > Load... and File > Save... (and their buttons).
void loadCommand(ui::FormView& view, config::WindowState& state);
void saveCommand(ui::FormView& view, config::WindowState& state);
// Loads a file into the session and the window; true when the window shows the file.
// storedFirmware receives the firmware file name the file carries.
bool fileLoad(ui::FormView& view, config::WindowState& state, const QString& path, QString* storedFirmware = nullptr);
// The unattended run of the command line: load, store, save back, end.
void loadSaveRun(ui::FormView& view, config::WindowState& state, const QString& path);

} // namespace files

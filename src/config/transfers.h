#pragma once

// The two transfers between the configuration session and the window, and what depends on them.

namespace app {
class TfrmMain;
}

namespace config {

// Fills every control from the session and decides whether the configuration can be represented.
void showConfiguration(app::TfrmMain& window);
// Rebuilds the session from a fresh one with what the visible part of the window owns.
void storeConfiguration(app::TfrmMain& window);
// Program and Save follow the programmable flag or the factory-defaults box.
void updateProgramSaveState(app::TfrmMain& window);
// File > Reset to defaults.
void mniResetClick(app::TfrmMain& window);
// The snore memory and speed only matter while a snore time is set.
void cmbSnoreTimeSelect(app::TfrmMain& window);

} // namespace config

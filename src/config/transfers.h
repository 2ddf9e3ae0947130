#pragma once

// The two transfers between the configuration session and the window, and what depends on them.

namespace ui {
class FormView;
}

namespace config {

struct WindowState;

// Fills every control from the session and decides whether the configuration can be represented.
void showConfiguration(ui::FormView& view, WindowState& state);
// Rebuilds the session from a fresh one with what the visible part of the window owns.
void storeConfiguration(ui::FormView& view, WindowState& state);
// Program and Save need a configuration the window could decode, or the factory defaults asked for.
bool programSaveAllowed(const ui::FormView& view, const WindowState& state);
// Program and Save follow that rule.
void updateProgramSaveState(ui::FormView& view, const WindowState& state);
// File > Reset to defaults.
void mniResetClick(ui::FormView& view, WindowState& state);
// The snore memory and speed only matter while a snore time is set.
void cmbSnoreTimeSelect(ui::FormView& view);

} // namespace config

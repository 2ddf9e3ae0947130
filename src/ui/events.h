#pragma once

// The two kinds of event the value rules listen to, wired in one way for the whole program.
// An exit is a control losing the keyboard focus (for an editable combo box, its line edit losing
// it to anything outside the box). A user edit is a change made by the user: typing or pasting
// (textEdited), choosing an item (activated) or clicking (clicked); a text or state the program
// sets never counts as one.

#include <functional>

class QWidget;

namespace ui {

// Calls handler(control) each time the control is left. The handler may move the focus back.
void onExit(QWidget* control, std::function<void(QWidget*)> handler);
// Gives the keyboard focus back to a control whose exit rule corrected it, making its page the
// active one first (the user may have left it by changing the page). The control the focus leaves
// on the way was never really left: its own exit rule does not run.
void returnFocus(QWidget* control);
// Runs the exit rule of the control that has the focus, as if the user had left it: for commands
// that do not move the focus (a menu item, a shortcut). True when the rule left the control's text
// as it was, false when it corrected it (the command should then stop, so the user sees why).
bool finishEntry(QWidget* window);

// Calls handler(control) after each change the user makes in the control: a combo box, a line edit
// or a button (check box, radio button).
void onUserEdit(QWidget* control, const std::function<void(QWidget*)>& handler);

} // namespace ui

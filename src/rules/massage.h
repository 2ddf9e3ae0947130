#pragma once

// The massage rules of the Aux/Massage tab.

#include <QChar>

namespace ui {
class FormView;
}

namespace rules {

// Before Program and Save: no pulse or wave massage when low and high intensity are equal (the
// modes are cleared with a message).
void massageConsistencyCheck(ui::FormView& view, QChar decimalSeparator);

} // namespace rules

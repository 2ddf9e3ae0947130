#pragma once

// The main window's parts built from their forms: the sixteen pages of the tab control in their
// order, the side panel (configuration buttons, information panel, logo) and the multiparallel
// panel. The main window assembles them; a test may build the pages alone.

class QTabWidget;
class QWidget;

namespace ui {

void addPages(QTabWidget* tabs);
QWidget* createSidePanel(QWidget* parent);
QWidget* createMultiparallelPanel(QWidget* parent);

} // namespace ui

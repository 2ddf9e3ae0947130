#include "rules/actuators.h"

#include "app/frmmain.h"

#include <QComboBox>

namespace rules {

std::vector<QComboBox*> actuatorLists(const app::TfrmMain& window)
{
    std::vector<QComboBox*> lists;
    for (const char* name : {"cmbAct1", "cmbAct2", "cmbAct3", "cmbAct4", "cmbActLt"})
        lists.push_back(window.findChild<QComboBox*>(QString::fromLatin1(name)));
    return lists;
}

void buildActuatorFileMenu(app::TfrmMain&) {}
void chooseActuatorFile(app::TfrmMain&, QAction*) {}
void showActuatorData(app::TfrmMain&, const QString&, QComboBox*, bool) {}
void storeActuatorData(app::TfrmMain&, const QString&, const QComboBox*) {}
void cmbActuatorChange(app::TfrmMain&, QWidget*) {}
void connectActuatorHandlers(app::TfrmMain&) {}

} // namespace rules

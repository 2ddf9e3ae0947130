// The live status: the information panel, the Status tab and the enabling of Read and Program
// follow what the poll thread found; the error list of the Status tab.

#include "app/frmmain.h"

#include "app/windows.h"
#include "config/transfers.h"
#include "device/selectdevice.h"
#include "device/errorlog.h"
#include "device/moxtalib.h"
#include "device/unitdatamodule.h"
#include "ui/dialogs.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QTabWidget>
#include <QTreeWidget>

namespace app {

namespace {

void setText(const TfrmMain& w, const char* label, const QString& text)
{
    if (auto* l = w.control<QLabel>(QString::fromLatin1(label)))
        l->setText(text);
}

void enable(const TfrmMain& w, const char* name, bool on)
{
    if (QWidget* c = w.control(QString::fromLatin1(name)))
        c->setEnabled(on);
    else if (QAction* a = w.menuItem(QString::fromLatin1(name)))
        a->setEnabled(on);
}

const char* const kTypeTexts[] = {"KVR5E", "WZQ", "RQ9", "MZ40STD", "MZ40ADV"};

} // namespace

void TfrmMain::mniUsbDeviceClick()
{
    if (!poll.mutex().try_lock_for(std::chrono::milliseconds(1000))) {
        ui::dialogs().information(this, QStringLiteral("Internal error"));
        return;
    }
    poll.state() = device::PollIdle;
    device::lib::closeDevice();
    TfrmSelectDevice* dialog = windows().frmSelectDevice;
    if (dialog) {
        dialog->showForMenu();
        const QString name = dialog->adapterName;
        if (!name.isEmpty() && device::lib::openSpecificDevice(name)) {
            if (device::lib::setUsageOfControlLink(8))
                poll.state() = device::PollSense;
            else
                ui::dialogs().information(
                    this, QStringLiteral("The currently selected ZUBREX is too old for configuration.\n\nCannot Read/Program."));
        }
    }
    poll.changed() = 1;
    poll.mutex().unlock();
}

bool TfrmMain::pausePoll()
{
    if (!poll.mutex().try_lock_for(std::chrono::milliseconds(1000))) {
        ui::dialogs().information(this, QStringLiteral("Internal error"));
        return false;
    }
    poll.state() = device::PollIdle;
    return true;
}

void TfrmMain::resumePoll(int state)
{
    poll.state() = state;
    poll.mutex().unlock();
}

void TfrmMain::GuiTimerTimer()
{
    QWidget* statusTab = tab(QStringLiteral("tsErrList"));
    // While a procedure of this thread owns the adapter (a message open during Read, the download's
    // progress) the poll is paused, not gone: the change waits until the adapter is handed back.
    if (!poll.mutex().heldByThisThread() && poll.changed().exchange(0)) {
        if (poll.state() == device::PollWatch) {
            const device::StatusRecord s = poll.status();
            connectedBoxMode = s.boxMode;
            boxBusy = s.busy;
            for (const char* name : {"btnReadConfig", "mniRead", "btnResetInitLock"})
                enable(*this, name, true);
            const bool program = (programmable || control<QCheckBox>(QStringLiteral("cbxFactoryDefaults"))->isChecked()) && !s.busy;
            enable(*this, "btnProgramConfig", program);
            enable(*this, "mniProgram", program);

            setText(*this, "lblSoftware", QString::number(s.software));
            // Always a point, whatever the locale.
            setText(*this, "lblVersion", QString::asprintf("%u.%02u", s.version / 100u, s.version % 100u));
            setText(*this, "lblSerial", s.serial);
            setText(*this, "lblDate", s.date);
            setText(*this, "lblHWID", QString::number(s.hardwareId));
            setText(*this, "lblHW", device::hardwareDesignation(s.hardwareId));
            setText(*this, "lblRev", s.revision >= 127 ? QStringLiteral("UNKNOWN") : QString::number(s.revision));
            setText(*this, "lblType", QString::fromLatin1(kTypeTexts[s.boxMode <= 4 ? s.boxMode : 0]));
            setText(*this, "lblActivations", s.activationsValid ? QString::number(s.activations) : QStringLiteral("?"));
            setText(*this, "lblSitStands", s.activationsValid ? QString::number(s.sitStands) : QStringLiteral("?"));
            setText(*this, "lblReady", s.busy ? QStringLiteral("Busy") : QStringLiteral("Ready"));

            for (QWidget* c : control(QStringLiteral("gbInfo"))->findChildren<QWidget*>())
                c->setEnabled(true);
            setTabShown(statusTab, true);
            if (statusTabWasActive)
                setActivePage(statusTab);
            statusTabWasActive = false;
            if (pgcMain()->currentWidget() == statusTab)
                readErrorList();
        } else {
            boxBusy = false;
            for (const char* name : {"btnReadConfig", "mniRead", "btnResetInitLock", "btnProgramConfig", "mniProgram"})
                enable(*this, name, false);
            setText(*this, "lblSoftware", QStringLiteral("xxxxx"));
            setText(*this, "lblVersion", QStringLiteral("-.--"));
            setText(*this, "lblSerial", QStringLiteral("xxx-xxxxxx"));
            setText(*this, "lblHW", QStringLiteral("xxxx"));
            setText(*this, "lblDate", QStringLiteral("yyyymmdd"));
            setText(*this, "lblActivations", QStringLiteral("0"));
            setText(*this, "lblSitStands", QStringLiteral("0"));
            for (QWidget* c : control(QStringLiteral("gbInfo"))->findChildren<QWidget*>())
                c->setEnabled(false);
            setText(*this, "lblPowered", QStringLiteral("----"));
            m_poweredShown = false;
            control<QTreeWidget>(QStringLiteral("lvErrors"))->clear();
            // Set by the redraw that finds Status active; a later one, with the tab gone, keeps it.
            if (pgcMain()->currentWidget() == statusTab && tabShown(statusTab))
                statusTabWasActive = true;
            setTabShown(statusTab, false);
        }
    }

    if (poll.state() == device::PollWatch && pgcMain()->currentWidget() == statusTab && tabShown(statusTab)) {
        const uint32_t powered = poll.status().poweredSeconds;
        if (!m_poweredShown || powered != m_lastShownPowered) {
            m_poweredShown = true;
            m_lastShownPowered = powered;
            const int format = control<QComboBox>(QStringLiteral("cmbTimeFormat"))->currentIndex();
            setText(*this, "lblPowered", device::poweredText(powered, format));
            if (format == device::kRelativeSeconds || format == device::kRelativeDhms)
                renderErrorList();
        }
    }
}

void TfrmMain::readErrorList()
{
    if (!pausePoll())
        return;
    control<QTreeWidget>(QStringLiteral("lvErrors"))->clear();
    device::lib::setUsageOfControlLink(8);
    errorBuffer.fill('\0');
    if (device::lib::getErrors(poll.deviceNumber(), errorBuffer) < 0) {
        errorBuffer.fill('\0');
        ui::dialogs().information(this, QStringLiteral("Could not read error list"));
    } else {
        renderErrorList();
    }
    resumePoll(device::PollWatch);
}

void TfrmMain::renderErrorList()
{
    auto* list = control<QTreeWidget>(QStringLiteral("lvErrors"));
    auto* format = control<QComboBox>(QStringLiteral("cmbTimeFormat"));
    if (!list || !format)
        return;
    list->clear();
    for (const device::ErrorRow& row :
         device::errorRows(errorBuffer, poll.status().poweredSeconds, std::max(0, format->currentIndex())))
        list->addTopLevelItem(new QTreeWidgetItem(QStringList{row.powered, row.error}));
    list->viewport()->update();
}

void TfrmMain::pgcMainChange()
{
    if (pgcMain()->currentWidget() == tab(QStringLiteral("tsErrList")) && poll.state() == device::PollWatch)
        readErrorList();
    statusTabWasActive = false;
}

} // namespace app

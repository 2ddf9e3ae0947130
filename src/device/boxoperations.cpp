// Read, Program, the firmware download and the service commands: everything the window asks of
// the connected box, under the pause protocol of the live status.

#include "device/boxoperations.h"

#include "config/catalog.h"
#include "config/channels.h"
#include "config/transfers.h"
#include "config/windowstate.h"
#include "device/livestatus.h"
#include "device/moxtalib.h"
#include "device/multiparallel.h"
#include "device/pollthread.h"
#include "device/selectdevice.h"
#include "files/backups.h"
#include "platform/intervals.h"
#include "rules/auxmassage.h"
#include "ui/dialogs.h"
#include "ui/formview.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QTime>
#include <QDeadlineTimer>
#include <QLineEdit>
#include <QScopeGuard>
#include <QThread>

#include <vector>

namespace device {

namespace intervals = platform::intervals;

namespace {

// The operation whose download runs: the library's progress callback carries no context.
ui::FormView* g_downloadView = nullptr;

// A product mode as Settings > Mode names it.
QString modeName(const ui::FormView& view, int mode)
{
    const QAction* item = mode >= 0 && mode <= 4 ? view.menuItem(QString::fromLatin1(config::kModeMenuItems[std::size_t(mode)])) : nullptr;
    return item ? item->text().remove(u'&') : config::productNameOfMode(mode);
}

// What the box held, kept before anything can overwrite it (the session holds what was just read);
// the status text after a successful read: a backup that cannot be written is said, and the read
// stands.
QString doneAfterBackup(const QString& serial)
{
    const QString folder = files::backupDirectory();
    const QString failed = folder.isEmpty() ? QStringLiteral("no settings folder")
                                            : files::writeReadBackup(folder, serial, QDateTime::currentDateTime());
    return failed.isEmpty() ? QStringLiteral("Done") : QStringLiteral("Done; no backup of the configuration read (") + failed + u')';
}

} // namespace

bool pausePoll(PollThread& poll, ui::FormView& view)
{
    if (!poll.mutex().try_lock_for(intervals::timeout(intervals::kAdapterWait))) {
        ui::dialogs().information(view.dialogParent(), QStringLiteral("Internal error"));
        return false;
    }
    poll.pausedFrom() = poll.state();
    poll.state() = PollIdle;
    return true;
}

void resumePoll(PollThread& poll, int state)
{
    // A box not identified yet (just switched to, or still being sensed) is not watched with the
    // identity of the box before it: the poll goes on where it was.
    const int found = poll.pausedFrom();
    if (state == PollWatch && (found == PollSense || found == PollReadIdentity))
        state = found;
    poll.state() = state;
    poll.mutex().unlock();
}

void waitPainted(std::chrono::milliseconds duration)
{
    QDeadlineTimer deadline(duration);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
        QThread::msleep(std::min<qint64>(10, std::max<qint64>(0, deadline.remainingTime())));
    }
}

BoxOperations::BoxOperations(ui::FormView& view, config::WindowState& state, PollThread& poll, LiveStatus& live)
    : m_view(view)
    , m_state(state)
    , m_poll(poll)
    , m_live(live)
{
}

bool BoxOperations::beginGuardedBoxOperation(bool checkMode)
{
    if (m_state.operationGuard)
        return false;
    m_state.operationGuard = true;
    if (checkMode && !m_view.modeCheck()) {
        m_state.operationGuard = false;
        return false;
    }
    if (!m_poll.mutex().try_lock_for(intervals::timeout(intervals::kAdapterWait))) {
        ui::dialogs().information(m_view.dialogParent(), QStringLiteral("Internal error"));
        m_state.operationGuard = false;
        return false;
    }
    return true;
}

void BoxOperations::read()
{
    if (!beginGuardedBoxOperation())
        return;
    m_poll.state() = PollIdle;
    m_view.restoreNormalColour();
    m_view.setStatusText(QStringLiteral("Reading configuration"));

    lib::closeConfig();
    lib::openConfig(m_state.configurationType);
    lib::setUsageOfControlLink(8);
    const int16_t r = lib::readConfigRunMode(m_poll.deviceNumber());
    const bool success = r >= 1;
    if (success) {
        if (auto* hex = m_view.control<QLineEdit>(QStringLiteral("edtHexFile")))
            hex->clear();
        m_view.setStatusText(QString());
        config::showConfiguration(m_view, m_state);
        config::referenceSelectClick(m_view, m_state);
    } else {
        m_view.setStatusText(QStringLiteral("Could not read configuration (") + lib::errorMessage(r) + u')');
    }
    m_poll.state() = PollWatch;
    m_poll.mutex().unlock();

    if (m_view.colorFeedback(success) && !success)
        ui::dialogs().information(m_view.dialogParent(), QStringLiteral("Could not read configuration"));
    if (success)
        m_view.setStatusText(doneAfterBackup(m_poll.status().serial));
    m_state.operationGuard = false;
}

QString BoxOperations::readBoxValues(config::SessionValues& values)
{
    lib::closeConfig();
    const int16_t count = lib::openConfig(m_state.configurationType);
    lib::setUsageOfControlLink(8);
    const uint8_t device = m_poll.deviceNumber();
    const int16_t r = runPainted([device] { return lib::readConfigRunMode(device); });
    if (r < 1)
        return lib::errorMessage(r);
    if (const int16_t status = config::readSessionValues(values, count >= 0 ? count : -1); status < 0)
        return lib::errorMessage(status);
    return {};
}

QString BoxOperations::boxText(bool readBack) const
{
    return QStringLiteral("%1, serial number %2, %3 at %4")
        .arg(kPositionNames.value(m_poll.deviceNumber()), m_poll.status().serial,
             readBack ? QStringLiteral("read back") : QStringLiteral("read"),
             QTime::currentTime().toString(QStringLiteral("HH:mm:ss")));
}

void BoxOperations::compareWithBox()
{
    // No mode check: the comparison changes nothing, so a box of another mode is compared with the
    // window as it is, and the list says so.
    if (!beginGuardedBoxOperation(false))
        return;
    m_poll.state() = PollIdle;
    m_view.restoreNormalColour();
    m_view.setStatusText(QStringLiteral("Reading configuration"));
    BoxDifferences differences;
    QString failure;
    QString done;
    {
        // Neither the window nor the session keeps anything of this: the session is given back as
        // it was when the comparison has been read.
        const config::SessionKeeper keeper;
        config::storeConfiguration(m_view, m_state);
        if (const int16_t status = config::readSessionValues(differences.other); status < 0)
            failure = QStringLiteral("Could not read the window's values (") + lib::errorMessage(status) + u')';
        else if (const QString error = readBoxValues(differences.box); !error.isEmpty())
            failure = QStringLiteral("Could not read configuration (") + error + u')';
        if (failure.isEmpty())
            done = doneAfterBackup(m_poll.status().serial);
    }
    differences.boxText = boxText(false);
    if (m_state.connectedBoxMode != m_state.productMode)
        differences.boxText += QStringLiteral("; a %1 box, compared with the window in %2 mode")
                                   .arg(modeName(m_view, m_state.connectedBoxMode), modeName(m_view, m_state.productMode));
    m_poll.state() = PollWatch;
    m_poll.mutex().unlock();
    m_state.operationGuard = false;

    // Said as Read says it: in colour, or in a message when the colour is off.
    if (!failure.isEmpty())
        m_view.setStatusText(failure);
    if (m_view.colorFeedback(failure.isEmpty()) && !failure.isEmpty())
        ui::dialogs().information(m_view.dialogParent(), QStringLiteral("Could not read configuration"));
    if (!failure.isEmpty())
        return;
    m_view.setStatusText(done);
    if (showDifferences)
        showDifferences(differences);
}

BoxOperations::Verification BoxOperations::verifyProgrammed(BoxDifferences& differences)
{
    // A box reset to its factory defaults holds its own defaults, not what the window sent.
    if (lib::getConfigResetToDefaults())
        return {QStringLiteral("Done; not verified (factory defaults programmed)")};
    m_view.setStatusText(QStringLiteral("Verifying configuration"));
    const config::SessionKeeper keeper;
    differences.verify = true;
    if (const int16_t status = config::readSessionValues(differences.other); status < 0)
        return {QStringLiteral("Done; not verified (") + lib::errorMessage(status) + u')'};
    // A box that could not be read back may still hold what was programmed: the Program stands,
    // said as not verified.
    if (const QString error = readBoxValues(differences.box); !error.isEmpty())
        return {QStringLiteral("Done; not verified (the box could not be read back: ") + error + u')'};
    differences.boxText = boxText(true);
    const int differing = config::differenceCount(differences.box, differences.other);
    if (differing == 0)
        return {QStringLiteral("Done (verified)")};
    return {QStringLiteral("Verify failed: ") + config::differenceSummary(differing, int(differences.box.parameterCount())), true};
}

void BoxOperations::program()
{
    bool success = false;
    bool goOn = true;
    const QAction* verifyItem = m_view.menuItem(QStringLiteral("mniVerifyProgram"));
    const bool verify = verifyItem && verifyItem->isChecked();
    Verification verification{QStringLiteral("Done")};
    BoxDifferences differences;
    if (!m_state.operationGuard) {
        m_state.operationGuard = true;
        if (m_view.modeCheck()) {
            rules::massageConsistencyCheck(m_view, m_state.decimalSeparator);
            m_view.restoreNormalColour();
            if (!m_poll.mutex().try_lock_for(intervals::timeout(intervals::kAdapterWait))) {
                ui::dialogs().information(m_view.dialogParent(), QStringLiteral("Internal error"));
                m_state.operationGuard = false;
                return;
            }
            m_poll.state() = PollIdle;
            m_view.setStatusText(QStringLiteral("Reading gui"));
            config::storeConfiguration(m_view, m_state);
            auto* hex = m_view.control<QLineEdit>(QStringLiteral("edtHexFile"));
            const bool withFirmware = m_view.tabShown(QStringLiteral("tsProgrammer")) && hex && !hex->text().isEmpty();
            if (withFirmware)
                goOn = downloadFirmware(true);
            if (goOn) {
                m_view.setStatusText(QStringLiteral("Programming configuration"));
                lib::setUsageOfControlLink(8);
                const int16_t r = lib::programConfigRunMode(m_poll.deviceNumber());
                if (r < 0) {
                    m_view.setStatusText(QStringLiteral("Could not program configuration (") + lib::errorMessage(r) + u')');
                } else if (lib::activateConfig(m_poll.deviceNumber()) < 0) {
                    m_view.setStatusText(QStringLiteral("Could not activate configuration"));
                } else {
                    QThread::msleep(intervals::pause(intervals::kActivationSettle).count());
                    success = true;
                    if (verify)
                        verification = verifyProgrammed(differences);
                }
            }
            m_poll.state() = withFirmware ? PollReadIdentity : PollWatch;
            m_poll.mutex().unlock();
        }
        m_state.operationGuard = false;
    }
    // A box that does not hold what was programmed is a failure, shown with what differs.
    const bool differ = success && verification.differs;
    const bool off = m_view.colorFeedback(success && !differ);
    if (success)
        m_view.setStatusText(verification.status);
    else if (off && goOn)
        ui::dialogs().information(m_view.dialogParent(), QStringLiteral("Could not program configuration"));
    if (differ && showDifferences)
        showDifferences(differences);
}

int BoxOperations::progressCallback(int percent)
{
    if (g_downloadView)
        g_downloadView->setProgress(percent & 0xFF);
    // Painted, and closing the window is heard; but what the user clicks or types waits for the end:
    // a dialog opened now would hold the transfer until it is answered.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    return 1;
}

bool BoxOperations::downloadFirmware(bool fromProgram)
{
    // Closing, Quit and Restart wait for the end of the download (the window stays meanwhile), and
    // nothing that would want the adapter can be started while it runs.
    m_downloadRunning = true;
    std::vector<std::pair<QObject*, bool>> heldBack;
    for (const char* name : {"btnDownloadOnly", "btnFileSelect", "ButtonResetMemoryPositions"})
        if (QWidget* c = m_view.control(QString::fromLatin1(name))) {
            heldBack.emplace_back(c, c->isEnabled());
            c->setEnabled(false);
        }
    if (QAction* item = m_view.menuItem(QStringLiteral("mniUsbDevice"))) {
        heldBack.emplace_back(item, item->isEnabled());
        item->setEnabled(false);
    }
    const auto ended = qScopeGuard([this, heldBack] {
        for (const auto& [object, enabled] : heldBack) {
            if (auto* c = qobject_cast<QWidget*>(object))
                c->setEnabled(enabled);
            else if (auto* item = qobject_cast<QAction*>(object))
                item->setEnabled(enabled);
        }
        m_downloadRunning = false;
        emit downloadEnded();
    });
    bool result = true;
    if (!fromProgram) {
        if (!m_poll.mutex().try_lock_for(intervals::timeout(intervals::kAdapterWait))) {
            ui::dialogs().information(m_view.dialogParent(), QStringLiteral("Internal error"));
            return false;
        }
        m_poll.state() = PollIdle;
        m_poll.changed() = 1;
        // The box goes into its bootloader: the window shows no box from now on (the timer leaves
        // the poll's news alone while this procedure holds the adapter).
        m_live.drawNoBox();
    }
    if (ui::dialogs().confirm(m_view.dialogParent(),
                              QStringLiteral("Please remove all handsets from the control box before continuing\n\n"
                                             "Pressing <Cancel> will skip hexfile-programming"))) {
        const uint8_t device = m_poll.deviceNumber();
        m_view.setStatusText(QStringLiteral("Programming hexfile"));
        m_view.setProgress(0);
        m_view.showProgress(true);
        lib::setUsageOfControlLink(8);
        QString serial;
        QString date;
        lib::getProductionInfo(device, serial, date);
        lib::gotoBootMode(device);
        waitPainted(intervals::pause(intervals::kBootSettle));
        lib::setUsageOfControlLink(6);
        waitPainted(intervals::pause(intervals::kBootSettle));
        QString failure;
        const QString path = m_view.control<QLineEdit>(QStringLiteral("edtHexFile"))->text();
        g_downloadView = &m_view;
        const int16_t downloaded = lib::download(path, &BoxOperations::progressCallback);
        g_downloadView = nullptr;
        if (downloaded < 0) {
            failure = QStringLiteral("Control box application cannot be downloaded");
        } else {
            const int16_t started = lib::executeApp();
            waitPainted(intervals::pause(intervals::kBootSettle));
            if (started < 0)
                failure = QStringLiteral("Control box application cannot be started.\n\n"
                                         "The downloaded software is probably not compatible.");
        }
        if (failure.isEmpty()) {
            if (m_view.control<QCheckBox>(QStringLiteral("cbxFactoryDefaults"))->isChecked()) {
                lib::closeConfig();
                lib::openConfig(m_state.configurationType);
                lib::setConfigResetToDefaults(true);
                lib::setUsageOfControlLink(8);
                if (lib::programConfigRunMode(device) >= 0 && lib::activateConfig(device) >= 0)
                    QThread::msleep(intervals::pause(intervals::kActivationSettle).count());
            }
        } else {
            lib::changeSpeed(0);
            ui::dialogs().information(m_view.dialogParent(), failure);
            result = false;
        }
        m_view.showProgress(false);
    }
    if (!fromProgram) {
        m_poll.state() = PollSense;
        m_poll.mutex().unlock();
        m_view.colorFeedback(result);
        if (result)
            m_view.setStatusText(QStringLiteral("Done"));
    }
    return result;
}

void BoxOperations::downloadOnly()
{
    if (m_downloadRunning)
        return;
    m_view.restoreNormalColour();
    downloadFirmware(false);
}

void BoxOperations::selectHexFile()
{
    const QString file = ui::dialogs().openFile(m_view.dialogParent(), QString(), QString(), QStringLiteral("HEX files (*.hex)"));
    if (!file.isEmpty())
        m_view.control<QLineEdit>(QStringLiteral("edtHexFile"))->setText(file);
}

void BoxOperations::hexFileChanged()
{
    if (QWidget* button = m_view.control(QStringLiteral("btnDownloadOnly")))
        button->setEnabled(!m_view.control<QLineEdit>(QStringLiteral("edtHexFile"))->text().isEmpty());
}

void BoxOperations::resetInitLock()
{
    if (!beginGuardedBoxOperation())
        return;
    lib::setUsageOfControlLink(8);
    const int16_t r = lib::doAny(129, 0x8026, nullptr);
    if ((r & 0xFF) == 0)
        ui::dialogs().information(m_view.dialogParent(), QStringLiteral("Initialization lock successfully reset"));
    else
        ui::dialogs().information(m_view.dialogParent(), QStringLiteral("Falied to reset initialization lock - error code: ")
                                                             + QString::number(r & 0xFF));
    m_poll.mutex().unlock();
    m_state.operationGuard = false;
}

void BoxOperations::eraseMemoryPositions(const QString& adapterName)
{
    if (!m_poll.mutex().try_lock_for(intervals::timeout(intervals::kAdapterWait))) {
        ui::dialogs().information(m_view.dialogParent(), QStringLiteral("Internal error"));
        return;
    }
    if (!ui::dialogs().question(m_view.dialogParent(),
                                QStringLiteral("This will erase the connected devices stored memory positions\n\nContinue?"))) {
        m_poll.mutex().unlock();
        return;
    }
    m_poll.state() = PollIdle;
    lib::closeDevice();
    if (adapterName.isEmpty()) {
        ui::dialogs().information(m_view.dialogParent(), QStringLiteral("No device selected"));
    } else if (!lib::openSpecificDevice(adapterName)) {
        ui::dialogs().information(m_view.dialogParent(), QStringLiteral("Could not open device"));
    } else if (!lib::setUsageOfControlLink(4)) {
        lib::closeDevice();
        ui::dialogs().information(m_view.dialogParent(), QStringLiteral("Could not set usage of control link"));
    } else {
        for (int i = 0; i < 3; ++i) {
            lib::setHandsetCommand(78, 78);
            waitPainted(intervals::pause(intervals::kEraseStep));
        }
        m_poll.state() = PollSense;
    }
    m_poll.mutex().unlock();
}

void BoxOperations::chooseAdapter(TfrmSelectDevice* dialog)
{
    if (!m_poll.mutex().try_lock_for(intervals::timeout(intervals::kAdapterWait))) {
        ui::dialogs().information(m_view.dialogParent(), QStringLiteral("Internal error"));
        return;
    }
    m_poll.state() = PollIdle;
    lib::closeDevice();
    if (dialog) {
        dialog->showForMenu();
        const QString name = dialog->adapterName;
        if (!name.isEmpty() && lib::openSpecificDevice(name)) {
            if (lib::setUsageOfControlLink(8))
                m_poll.state() = PollSense;
            else
                ui::dialogs().information(
                    m_view.dialogParent(),
                    QStringLiteral("The currently selected ZUBREX is too old for configuration.\n\nCannot Read/Program."));
        }
    }
    m_poll.changed() = 1;
    m_poll.mutex().unlock();
}

} // namespace device

// Read, Program, the firmware download and the service commands: everything the window asks of
// the connected box, under the pause protocol of the live status.

#include "app/frmmain.h"

#include "app/windows.h"
#include "config/channels.h"
#include "config/conversions.h"
#include "config/transfers.h"
#include "device/moxtalib.h"
#include "device/selectdevice.h"
#include "ui/dialogs.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLineEdit>
#include <QProgressBar>
#include <QScopeGuard>
#include <QStatusBar>
#include <QTabWidget>
#include <QThread>
#include <QTimer>

#include <cmath>

namespace app {

void TfrmMain::setStatusText(const QString& text)
{
    statusBar()->showMessage(text);
    statusBar()->repaint();
}

void TfrmMain::waitPainted(int milliseconds)
{
    QDeadlineTimer deadline(milliseconds);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(std::min<qint64>(10, std::max<qint64>(0, deadline.remainingTime())));
    }
}

bool TfrmMain::beginGuardedBoxOperation()
{
    if (operationGuard)
        return false;
    operationGuard = true;
    if (!modeCheck()) {
        operationGuard = false;
        return false;
    }
    if (!poll.mutex().try_lock_for(std::chrono::milliseconds(1000))) {
        ui::dialogs().information(this, QStringLiteral("Internal error"));
        operationGuard = false;
        return false;
    }
    return true;
}

void TfrmMain::mniReadClick()
{
    if (!beginGuardedBoxOperation())
        return;
    poll.state() = device::PollIdle;
    restoreNormalColour();
    setStatusText(QStringLiteral("Reading configuration"));

    device::lib::closeConfig();
    device::lib::openConfig(configurationType);
    device::lib::setUsageOfControlLink(8);
    const int16_t r = device::lib::readConfigRunMode(poll.deviceNumber());
    const bool success = r >= 1;
    if (success) {
        if (auto* hex = control<QLineEdit>(QStringLiteral("edtHexFile")))
            hex->clear();
        setStatusText(QString());
        config::showConfiguration(*this);
        config::referenceSelectClick(*this);
    } else {
        setStatusText(QStringLiteral("Could not read configuration (") + device::lib::errorMessage(r) + u')');
    }
    poll.state() = device::PollWatch;
    poll.mutex().unlock();

    if (colorFeedback(success) && !success)
        ui::dialogs().information(this, QStringLiteral("Could not read configuration"));
    if (success)
        setStatusText(QStringLiteral("Done"));
    operationGuard = false;
}

void TfrmMain::mniProgramClick()
{
    bool success = false;
    bool goOn = true;
    if (!operationGuard) {
        operationGuard = true;
        if (modeCheck()) {
            massageConsistencyCheck();
            restoreNormalColour();
            if (!poll.mutex().try_lock_for(std::chrono::milliseconds(1000))) {
                ui::dialogs().information(this, QStringLiteral("Internal error"));
                operationGuard = false;
                return;
            }
            poll.state() = device::PollIdle;
            setStatusText(QStringLiteral("Reading gui"));
            config::storeConfiguration(*this);
            auto* hex = control<QLineEdit>(QStringLiteral("edtHexFile"));
            const bool withFirmware = tabShown(tab(QStringLiteral("tsProgrammer"))) && hex && !hex->text().isEmpty();
            if (withFirmware)
                goOn = downloadFirmware(true);
            if (goOn) {
                setStatusText(QStringLiteral("Programming configuration"));
                device::lib::setUsageOfControlLink(8);
                const int16_t r = device::lib::programConfigRunMode(poll.deviceNumber());
                if (r < 0) {
                    setStatusText(QStringLiteral("Could not program configuration (") + device::lib::errorMessage(r) + u')');
                } else if (device::lib::activateConfig(poll.deviceNumber()) < 0) {
                    setStatusText(QStringLiteral("Could not activate configuration"));
                } else {
                    QThread::msleep(20);
                    success = true;
                }
            }
            poll.state() = withFirmware ? device::PollReadIdentity : device::PollWatch;
            poll.mutex().unlock();
        }
        operationGuard = false;
    }
    const bool off = colorFeedback(success);
    if (success)
        setStatusText(QStringLiteral("Done"));
    else if (off && goOn)
        ui::dialogs().information(this, QStringLiteral("Could not program configuration"));
}

void TfrmMain::massageConsistencyCheck()
{
    if (!control(QStringLiteral("gbMassageModes")) || control(QStringLiteral("gbMassageModes"))->isHidden()
        || !tabShown(tab(QStringLiteral("tsAux"))))
        return;
    auto number = [this](const char* name) {
        double value = 0;
        auto* box = control<QComboBox>(QString::fromLatin1(name));
        if (!box || !config::parseNumber(box->currentText(), decimalSeparator, value))
            return 0LL;
        return (long long)std::trunc(value);
    };
    const auto* high = control<QComboBox>(QStringLiteral("cmbMasIntHi"));
    const char* const modes[] = {"cbxHardPulse", "cbxHardWave", "cbxSoftPulse", "cbxSoftWave"};
    bool anyMode = false;
    for (const char* name : modes)
        anyMode = anyMode || (control<QCheckBox>(QString::fromLatin1(name)) && control<QCheckBox>(QString::fromLatin1(name))->isChecked());
    if (number("cmbMasIntHi") == number("cmbMasIntLow") && high && high->currentText() != QStringLiteral("Default") && anyMode) {
        ui::dialogs().information(this, QStringLiteral("Cannot do pulse/wave massage when Low=High. Disabling."));
        for (const char* name : modes)
            if (auto* box = control<QCheckBox>(QString::fromLatin1(name)))
                box->setChecked(false);
    }
}

bool TfrmMain::downloadFirmware(bool fromProgram)
{
    // Closing, Quit and Restart wait for the end of the download (the window stays meanwhile).
    m_downloadRunning = true;
    const auto ended = qScopeGuard([this] {
        m_downloadRunning = false;
        if (m_afterDownload != AfterDownload::Nothing)
            QTimer::singleShot(0, this, &TfrmMain::finishDeferredAction);
    });
    bool result = true;
    if (!fromProgram) {
        if (!poll.mutex().try_lock_for(std::chrono::milliseconds(1000))) {
            ui::dialogs().information(this, QStringLiteral("Internal error"));
            return false;
        }
        poll.state() = device::PollIdle;
        poll.changed() = 1;
    }
    if (ui::dialogs().confirm(this, QStringLiteral("Please remove all handsets from the control box before continuing\n\n"
                                                   "Pressing <Cancel> will skip hexfile-programming"))) {
        const uint8_t device = poll.deviceNumber();
        setStatusText(QStringLiteral("Programming hexfile"));
        if (progressBar) {
            progressBar->setValue(0);
            progressBar->show();
        }
        device::lib::setUsageOfControlLink(8);
        QString serial;
        QString date;
        device::lib::getProductionInfo(device, serial, date);
        device::lib::gotoBootMode(device);
        waitPainted(500);
        device::lib::setUsageOfControlLink(6);
        waitPainted(500);
        QString failure;
        const QString path = control<QLineEdit>(QStringLiteral("edtHexFile"))->text();
        if (device::lib::download(path, &TfrmMain::progressCallback) < 0) {
            failure = QStringLiteral("Control box application cannot be downloaded");
        } else {
            const int16_t started = device::lib::executeApp();
            waitPainted(500);
            if (started < 0)
                failure = QStringLiteral("Control box application cannot be started.\n\n"
                                         "The downloaded software is probably not compatible.");
        }
        if (failure.isEmpty()) {
            if (control<QCheckBox>(QStringLiteral("cbxFactoryDefaults"))->isChecked()) {
                device::lib::closeConfig();
                device::lib::openConfig(configurationType);
                device::lib::setConfigResetToDefaults(true);
                device::lib::setUsageOfControlLink(8);
                if (device::lib::programConfigRunMode(device) >= 0 && device::lib::activateConfig(device) >= 0)
                    QThread::msleep(20);
            }
        } else {
            device::lib::changeSpeed(0);
            ui::dialogs().information(this, failure);
            result = false;
        }
        if (progressBar)
            progressBar->hide();
    }
    if (!fromProgram) {
        poll.state() = device::PollSense;
        poll.mutex().unlock();
        colorFeedback(result);
        if (result)
            setStatusText(QStringLiteral("Done"));
    }
    return result;
}

void TfrmMain::btnFileSelectClick()
{
    const QString file = ui::dialogs().openFile(this, QString(), QString(), QStringLiteral("HEX files (*.hex)"));
    if (!file.isEmpty())
        control<QLineEdit>(QStringLiteral("edtHexFile"))->setText(file);
}

void TfrmMain::edtHexFileChange()
{
    if (QWidget* button = control(QStringLiteral("btnDownloadOnly")))
        button->setEnabled(!control<QLineEdit>(QStringLiteral("edtHexFile"))->text().isEmpty());
}

void TfrmMain::btnDownloadOnlyClick()
{
    restoreNormalColour();
    downloadFirmware(false);
}

void TfrmMain::btnResetInitLockClick()
{
    if (!beginGuardedBoxOperation())
        return;
    device::lib::setUsageOfControlLink(8);
    const int16_t r = device::lib::doAny(129, 0x8026, nullptr);
    if ((r & 0xFF) == 0)
        ui::dialogs().information(this, QStringLiteral("Initialization lock successfully reset"));
    else
        ui::dialogs().information(this, QStringLiteral("Falied to reset initialization lock - error code: ")
                                            + QString::number(r & 0xFF));
    poll.mutex().unlock();
    operationGuard = false;
}

void TfrmMain::ButtonResetMemoryPositionsClick()
{
    if (!poll.mutex().try_lock_for(std::chrono::milliseconds(1000))) {
        ui::dialogs().information(this, QStringLiteral("Internal error"));
        return;
    }
    if (!ui::dialogs().question(this, QStringLiteral("This will erase the connected devices stored memory positions\n\nContinue?"))) {
        poll.mutex().unlock();
        return;
    }
    poll.state() = device::PollIdle;
    device::lib::closeDevice();
    const QString name = windows().frmSelectDevice ? windows().frmSelectDevice->adapterName : QString();
    if (name.isEmpty()) {
        ui::dialogs().information(this, QStringLiteral("No device selected"));
    } else if (!device::lib::openSpecificDevice(name)) {
        ui::dialogs().information(this, QStringLiteral("Could not open device"));
    } else if (!device::lib::setUsageOfControlLink(4)) {
        device::lib::closeDevice();
        ui::dialogs().information(this, QStringLiteral("Could not set usage of control link"));
    } else {
        for (int i = 0; i < 3; ++i) {
            device::lib::setHandsetCommand(78, 78);
            waitPainted(100);
        }
        poll.state() = device::PollSense;
    }
    poll.mutex().unlock();
}

} // namespace app

// Configuration files: Load and Save of .cfg files and the unattended LOADSAVE run. The device
// library reads and writes the files; this is everything around its two calls.

#include "app/frmmain.h"

#include "config/access.h"
#include "config/channels.h"
#include "config/transfers.h"
#include "device/moxtalib.h"
#include "files/filenames.h"
#include "rules/actuators.h"
#include "ui/dialogs.h"

#include <QAction>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>

namespace app {

namespace {

const QString kFilter = QStringLiteral("Configuration files (*.cfg)");

} // namespace

void TfrmMain::mniLoadClick()
{
    restoreNormalColour();
    if (operationGuard)
        return;
    operationGuard = true;
    const QString path = ui::dialogs().openFile(this, QString(), lastLoadedFile, kFilter);
    if (!path.isEmpty()) {
        fileLoad(path);
        config::referenceSelectClick(*this);
    }
    operationGuard = false;
}

bool TfrmMain::fileLoad(const QString& path, QString* storedFirmware)
{
    lastLoadedFile = path;
    setWindowTitle(QFileInfo(path).fileName() + QStringLiteral(" - ") + windowCaption);
    device::lib::openConfig(configurationType);
    QString hexFile;
    if (device::lib::loadConfig(path, hexFile) < 0) {
        ui::dialogs().information(this, QStringLiteral("Could not read config file (not for supported hardware?)"));
        return false;
    }

    bool keep = true;
    const int mode = files::modeOfProductTag(config::readString(QStringLiteral("ConfType")));
    if (mode >= 0 && !modeItem(mode)->isChecked()) {
        keep = false;
        const QString name = productNameOfMode(mode);
        if (findChild<QMenu*>(QStringLiteral("mniMode"))->menuAction()->isVisible()) {
            keep = !menuItem(QStringLiteral("mniWarn"))->isChecked()
                   || ui::dialogs().question(this, QStringLiteral("Configurator needs to change mode to continue.\n\n"
                                                                  "Are you sure you want to change to ")
                                                       + name);
            if (keep) {
                mniModeItemClick(modeItem(mode));
                // The switch reopened the session with the new type's defaults: the window must show
                // the file, so it is read once more.
                device::lib::loadConfig(path, hexFile);
            }
        } else {
            ui::dialogs().information(this, QStringLiteral("Please use ") + name + QStringLiteral(" configurator to read this file"));
        }
    }
    if (!keep) {
        setWindowTitle(windowCaption);
        device::lib::closeConfig();
        device::lib::openConfig(configurationType);
    }
    config::showConfiguration(*this);
    if (storedFirmware)
        *storedFirmware = keep ? hexFile : QString();

    auto* hex = control<QLineEdit>(QStringLiteral("edtHexFile"));
    if (hex) {
        hex->clear();
        QFont font = hex->font();
        const bool named = keep && !hexFile.isEmpty() && tabShown(tab(QStringLiteral("tsProgrammer")));
        if (named)
            hex->setText(hexFile);
        font.setBold(named);
        hex->setFont(font);
    }
    return keep;
}

void TfrmMain::mniSaveClick()
{
    restoreNormalColour();
    if (operationGuard)
        return;
    operationGuard = true;
    massageConsistencyCheck();
    const QString chosen = ui::dialogs().saveFile(this, QString(), lastLoadedFile, kFilter);
    if (chosen.isEmpty()) {
        operationGuard = false;
        return;
    }
    const QString path = files::withCfgExtension(chosen);
    if (QFileInfo::exists(path) && !ui::dialogs().question(this, QStringLiteral("File exists. Overwrite?"))) {
        operationGuard = false;
        return;
    }
    const QString titleBefore = windowTitle();
    setWindowTitle(QFileInfo(chosen).fileName() + QStringLiteral(" - ") + windowCaption);
    config::storeConfiguration(*this);
    const auto* hex = control<QLineEdit>(QStringLiteral("edtHexFile"));
    const QString firmware = (tabShown(tab(QStringLiteral("tsProgrammer"))) && hex) ? hex->text() : QString();
    const int16_t status = device::lib::saveConfig(path, firmware);
    if (status < 0) {
        // Nothing was written: say so, and the title does not name a file that does not hold this.
        setWindowTitle(titleBefore);
        ui::dialogs().information(this, QStringLiteral("Could not save config file (") + device::lib::errorMessage(status) + u')');
    }
    operationGuard = false;
}

void TfrmMain::loadSaveRun(const QString& path)
{
    QString firmware;
    if (!fileLoad(path, &firmware)) {
        // Never write the start-up defaults over a file that did not load.
        requestTerminate(1);
        return;
    }
    // The window's rows follow the file's channels before the window is stored.
    config::referenceSelectClick(*this);
    config::storeConfiguration(*this);
    // The firmware file name the file carried goes back into it.
    const int16_t status = device::lib::saveConfig(path, firmware);
    if (status < 0) {
        ui::dialogs().information(this, QStringLiteral("Could not save config file (") + device::lib::errorMessage(status) + u')');
        requestTerminate(1);
        return;
    }
    requestTerminate(0);
}

} // namespace app

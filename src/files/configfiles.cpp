// Configuration files: Load and Save of .cfg files and the unattended LOADSAVE run. The device
// library reads and writes the files; this is everything around its two calls.

#include "files/configfiles.h"

#include "config/access.h"
#include "config/catalog.h"
#include "config/channels.h"
#include "config/transfers.h"
#include "config/windowstate.h"
#include "device/moxtalib.h"
#include "files/filenames.h"
#include "rules/auxmassage.h"
#include "ui/dialogs.h"
#include "ui/formview.h"

#include <QAction>
#include <QFileInfo>
#include <QLineEdit>

namespace files {

namespace {

const QString kFilter = QStringLiteral("Configuration files (*.cfg)");

} // namespace

void loadCommand(ui::FormView& view, config::WindowState& state)
{
    view.restoreNormalColour();
    if (state.operationGuard)
        return;
    state.operationGuard = true;
    const QString path = ui::dialogs().openFile(view.dialogParent(), QString(), state.lastLoadedFile, kFilter);
    if (!path.isEmpty()) {
        fileLoad(view, state, path);
        config::referenceSelectClick(view, state);
    }
    state.operationGuard = false;
}

bool fileLoad(ui::FormView& view, config::WindowState& state, const QString& path, QString* storedFirmware)
{
    state.lastLoadedFile = path;
    state.lastFileUsed = path;
    view.showFileInTitle(QFileInfo(path).fileName());
    device::lib::openConfig(state.configurationType);
    QString hexFile;
    if (device::lib::loadConfig(path, hexFile) < 0) {
        ui::dialogs().information(view.dialogParent(), QStringLiteral("Could not read config file (not for supported hardware?)"));
        return false;
    }

    bool keep = true;
    const int mode = modeOfProductTag(config::readString(QStringLiteral("ConfType")));
    if (mode >= 0 && mode != state.productMode) {
        keep = false;
        const QString name = config::productNameOfMode(mode);
        if (view.menuItem(QStringLiteral("mniMode"))->isVisible()) {
            keep = !view.menuItem(QStringLiteral("mniWarn"))->isChecked()
                   || ui::dialogs().question(view.dialogParent(), QStringLiteral("Configurator needs to change mode to continue.\n\n"
                                                                                 "Are you sure you want to change to ")
                                                                      + name);
            if (keep) {
                view.switchMode(mode);
                // The switch reopened the session with the new type's defaults: the window must show
                // the file, so it is read once more.
                device::lib::loadConfig(path, hexFile);
            }
        } else {
            ui::dialogs().information(view.dialogParent(),
                                      QStringLiteral("Please use ") + name + QStringLiteral(" configurator to read this file"));
        }
    }
    if (!keep) {
        view.showFileInTitle(QString());
        device::lib::closeConfig();
        device::lib::openConfig(state.configurationType);
    }
    config::showConfiguration(view, state);
    if (storedFirmware)
        *storedFirmware = keep ? hexFile : QString();

    auto* hex = view.control<QLineEdit>(QStringLiteral("edtHexFile"));
    if (hex) {
        hex->clear();
        QFont font = hex->font();
        const bool named = keep && !hexFile.isEmpty() && view.tabShown(QStringLiteral("tsProgrammer"));
        if (named)
            hex->setText(hexFile);
        font.setBold(named);
        hex->setFont(font);
    }
    return keep;
}

void saveCommand(ui::FormView& view, config::WindowState& state)
{
    view.restoreNormalColour();
    if (state.operationGuard)
        return;
    state.operationGuard = true;
    rules::massageConsistencyCheck(view, state.decimalSeparator);
    const QString chosen = ui::dialogs().saveFile(view.dialogParent(), QString(), state.lastLoadedFile, kFilter);
    if (chosen.isEmpty()) {
        state.operationGuard = false;
        return;
    }
    const QString path = withCfgExtension(chosen);
    if (QFileInfo::exists(path) && !ui::dialogs().question(view.dialogParent(), QStringLiteral("File exists. Overwrite?"))) {
        state.operationGuard = false;
        return;
    }
    const QString titleBefore = view.fileInTitle();
    view.showFileInTitle(QFileInfo(chosen).fileName());
    config::storeConfiguration(view, state);
    const auto* hex = view.control<QLineEdit>(QStringLiteral("edtHexFile"));
    const QString firmware = (view.tabShown(QStringLiteral("tsProgrammer")) && hex) ? hex->text() : QString();
    const int16_t status = device::lib::saveConfig(path, firmware);
    if (status >= 0)
        state.lastFileUsed = path;
    if (status < 0) {
        // Nothing was written: say so, and the title does not name a file that does not hold this.
        view.showFileInTitle(titleBefore);
        ui::dialogs().information(view.dialogParent(),
                                  QStringLiteral("Could not save config file (") + device::lib::errorMessage(status) + u')');
    }
    state.operationGuard = false;
}

void loadSaveRun(ui::FormView& view, config::WindowState& state, const QString& path)
{
    QString firmware;
    if (!fileLoad(view, state, path, &firmware)) {
        // Never write the start-up defaults over a file that did not load.
        view.requestQuit(1);
        return;
    }
    // The window's rows follow the file's channels before the window is stored.
    config::referenceSelectClick(view, state);
    // A configuration the window cannot decode is not saved here either, as Save is out of reach
    // in the window: written back, the file would hold the window's guess instead of what it held.
    if (!config::programSaveAllowed(view, state)) {
        view.requestQuit(1);
        return;
    }
    config::storeConfiguration(view, state);
    // The firmware file name the file carried goes back into it.
    const int16_t status = device::lib::saveConfig(path, firmware);
    if (status < 0) {
        ui::dialogs().information(view.dialogParent(),
                                  QStringLiteral("Could not save config file (") + device::lib::errorMessage(status) + u')');
        view.requestQuit(1);
        return;
    }
    view.requestQuit(0);
}

} // namespace files

// Help: the manual of the product mode in force, opened with the desktop's viewer.

#include "app/frmmain.h"

#include "config/windowstate.h"
#include "platform/documents.h"
#include "ui/dialogs.h"

#include <QFileInfo>
#include <QPointer>

namespace app {

QString helpDocumentName(int productMode, bool advanced)
{
    switch (productMode) {
    case config::ModeBelmora:
        return QStringLiteral("WZQ-configurator.pdf");
    case config::ModeRq9:
        return QStringLiteral("RQ9-configurator.pdf");
    case config::ModeMz40Standard:
        return QStringLiteral("MZ40Std-configurator.pdf");
    case config::ModeMz40Advanced:
        return QStringLiteral("MZ40Adv-configurator.pdf");
    default:
        return advanced ? QStringLiteral("KVR5E-advanced-configurator.pdf") : QStringLiteral("KVR5E-configurator.pdf");
    }
}

void TfrmMain::mniHelpClick()
{
    const QString name = helpDocumentName(checkedMode(), m_state->advanced);
    // The copy beside the program wins over the one in the data directory.
    QString directory;
    if (QFileInfo(m_state->dataDirectory + name).isFile())
        directory = m_state->dataDirectory;
    if (QFileInfo(m_programDirectory + name).isFile())
        directory = m_programDirectory;
    if (directory.isEmpty()) {
        ui::dialogs().information(this, QStringLiteral("Help file not found:\n\n") + name);
        return;
    }
    const QPointer<TfrmMain> window(this);
    const auto notOpened = [window] {
        if (window)
            ui::dialogs().information(window, QStringLiteral("Could not open help file\n\nIs Adobe Acrobat Reader installed?"));
    };
    if (!platform::openDocument(directory + name, notOpened))
        notOpened();
}

} // namespace app

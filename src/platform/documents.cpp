#include "platform/documents.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace platform {

namespace {

DocumentOpener& opener()
{
    static DocumentOpener current;
    return current;
}

} // namespace

bool openDocument(const QString& path, std::function<void()> failed)
{
    if (opener())
        return opener()(path);
    // The desktop's launcher says by its exit status whether a viewer took the file; Qt's own call
    // only says that the launcher started.
    const QString launcher = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (launcher.isEmpty())
        return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    auto* process = new QProcess;
    process->setProgram(launcher);
    process->setArguments({path});
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    // Some launchers wait until the viewer is closed; the window goes on meanwhile.
    QObject::connect(process, &QProcess::finished, process,
                     [process, failed = std::move(failed)](int exitCode, QProcess::ExitStatus status) {
                         if ((status != QProcess::NormalExit || exitCode != 0) && failed)
                             failed();
                         process->deleteLater();
                     });
    process->start();
    if (!process->waitForStarted(5000)) {
        delete process;
        return false;
    }
    return true;
}

void setDocumentOpener(DocumentOpener replacement)
{
    opener() = std::move(replacement);
}

} // namespace platform

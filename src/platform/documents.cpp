#include "platform/documents.h"

#include <QDesktopServices>
#include <QUrl>

namespace platform {

namespace {

DocumentOpener& opener()
{
    static DocumentOpener current;
    return current;
}

} // namespace

bool openDocument(const QString& path)
{
    if (opener())
        return opener()(path);
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void setDocumentOpener(DocumentOpener replacement)
{
    opener() = std::move(replacement);
}

} // namespace platform

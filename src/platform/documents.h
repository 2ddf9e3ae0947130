#pragma once

// Opens a document with the viewer the desktop associates with it.

#include <QString>

#include <functional>

namespace platform {

// Asks the desktop to show the document; false when that cannot even be asked. The desktop answers
// later: `failed` runs (in the event loop) when it reports that no viewer could open the document.
bool openDocument(const QString& path, std::function<void()> failed = {});

// Tests put their own opener in place (true: a viewer took the document); an empty one restores the
// desktop's.
using DocumentOpener = std::function<bool(const QString& path)>;
void setDocumentOpener(DocumentOpener opener);

} // namespace platform

#pragma once

// Opens a document with the viewer the desktop associates with it.

#include <QString>

#include <functional>

namespace platform {

// True when a viewer took the document.
using DocumentOpener = std::function<bool(const QString& path)>;

bool openDocument(const QString& path);
// Tests put their own opener in place; an empty one restores the desktop's.
void setDocumentOpener(DocumentOpener opener);

} // namespace platform

#pragma once

// Writes pictures as JPEG files, whole or not at all.

#include <QString>

class QImage;

namespace platform {

inline constexpr int kJpegQuality = 90;

// Encodes the picture and replaces the file with it; on failure the file is left as it was and
// the reason is put into *error.
bool writeJpegFile(const QImage& picture, const QString& path, QString* error, int quality = kJpegQuality);

} // namespace platform

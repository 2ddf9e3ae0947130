#pragma once

#include <QString>

namespace platform {

// Cuts a file version at its third dot, or at the last dot found before that:
// "1.6.9.0" -> "1.6.9", "1.6.9" -> "1.6", "1.6" -> "1"; a text without a dot stays as it is.
QString shortenVersion(const QString& fileVersion);

// The program's file version as the build gave it ("" when it has none).
QString fileVersion();

// shortenVersion(fileVersion()): the text the window caption ends with.
QString versionText();

} // namespace platform

#pragma once

// A backup of every Read: the configuration as the box held it, kept as a .cfg file in a folder of
// its own under the settings folder, the newest ones per box.

#include <QDateTime>
#include <QString>

namespace files {

// "backups" under the settings folder; empty when there is no settings folder.
QString backupDirectory();

// Writes the session's configuration (the one just read) into `directory` as
// <serial>_<yyyyMMdd-HHmmss>.cfg and removes the oldest backups of that box beyond `keep`.
// Returns an empty text, or what went wrong (nothing is removed then).
QString writeReadBackup(const QString& directory, const QString& serial, const QDateTime& when, int keep = 50);

} // namespace files

#include "files/backups.h"

#include "device/moxtalib.h"
#include "platform/directories.h"

#include <QDir>
#include <QFileInfo>

namespace files {

namespace {

// A serial number as part of a file name: letters, digits and '-' as they are, anything else '-',
// so that the '_' after it tells one box's backups from another's.
QString fileNameOf(const QString& serial)
{
    QString name;
    const QString trimmed = serial.trimmed();
    for (const QChar c : trimmed)
        name += c.isLetterOrNumber() && c.unicode() < 128 ? c : QChar(u'-');
    return name.isEmpty() ? QStringLiteral("unknown") : name;
}

} // namespace

QString backupDirectory()
{
    const QString settings = platform::settingsDirectory();
    return settings.isEmpty() ? QString() : QDir(settings).filePath(QStringLiteral("backups"));
}

QString writeReadBackup(const QString& directory, const QString& serial, const QDateTime& when, int keep)
{
    QDir dir(directory);
    if (!dir.mkpath(QStringLiteral(".")))
        return QStringLiteral("cannot create ") + QDir::toNativeSeparators(directory);
    const QString box = fileNameOf(serial) + u'_';
    const QString stem = box + when.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    // Two Reads within one second keep both; the second sorts after the first.
    QString name = stem + QStringLiteral(".cfg");
    for (int n = 2; dir.exists(name); ++n)
        name = stem + u'_' + QString::number(n) + QStringLiteral(".cfg");
    if (const int16_t status = device::lib::saveConfig(dir.filePath(name), QString()); status < 0)
        return device::lib::errorMessage(status);

    // Oldest first: the names sort by time.
    QStringList backups = dir.entryList({box + QStringLiteral("*.cfg")}, QDir::Files, QDir::Name);
    for (qsizetype i = 0; i + keep < backups.size(); ++i)
        dir.remove(backups[i]);
    return {};
}

} // namespace files

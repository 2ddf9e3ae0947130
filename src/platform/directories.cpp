#include "platform/directories.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace platform {

namespace {

QString withSlash(QString dir)
{
    if (!dir.endsWith(u'/'))
        dir += u'/';
    return dir;
}

// The user's home: $HOME, else the password database; never the root directory.
QString homeDirectory(const EnvironmentLookup& env)
{
    QString home = env("HOME");
    if (home.isEmpty()) {
        if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir)
            home = QString::fromLocal8Bit(pw->pw_dir);
    }
    home = QDir::cleanPath(home);
    if (home.isEmpty() || home == u"/" || QDir::isRelativePath(home))
        return QString();
    return home;
}

} // namespace

QString programDirectory()
{
    QString path;
    if (QCoreApplication::instance())
        path = QCoreApplication::applicationDirPath();
    else
        path = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().section(u'/', 0, -2);
    return withSlash(path);
}

QString dataDirectoryFor(const QString& programDirectory)
{
    const QString dir = withSlash(programDirectory);
    if (QFileInfo::exists(dir + QStringLiteral("Actuators.ini")))
        return dir;
    return dir + QStringLiteral("../");
}

QString systemEnvironment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? QString::fromLocal8Bit(value) : QString();
}

QString settingsDirectory(const EnvironmentLookup& env)
{
    const QString tail = QStringLiteral("Moxta/configurator");
    if (const QString appData = env("APPDATA"); !appData.isEmpty())
        return withSlash(appData) + tail;
    if (const QString xdg = env("XDG_CONFIG_HOME"); !xdg.isEmpty() && QDir::isAbsolutePath(xdg))
        return withSlash(xdg) + tail;
    const QString home = homeDirectory(env);
    if (home.isEmpty())
        return QString();
    return home + QStringLiteral("/.config/") + tail;
}

QString prepareSettingsFile(const QString& settingsDirectory)
{
    if (settingsDirectory.isEmpty())
        return QString();
    QDir().mkpath(settingsDirectory);
    return withSlash(settingsDirectory) + QStringLiteral("configurator.ini");
}

bool nobodyMayWrite(const QFileInfo& file)
{
    return !(file.permissions() & (QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther));
}

} // namespace platform

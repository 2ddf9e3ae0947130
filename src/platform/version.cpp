#include "platform/version.h"

#include "buildinfo.h"

namespace platform {

QString shortenVersion(const QString& fileVersion)
{
    qsizetype last = -1;
    for (int found = 0; found < 3; ++found) {
        const qsizetype dot = fileVersion.indexOf(u'.', last + 1);
        if (dot < 0)
            break;
        last = dot;
    }
    return last < 0 ? fileVersion : fileVersion.left(last);
}

QString fileVersion()
{
    return QStringLiteral(CONFIGURATOR_FILE_VERSION);
}

QString versionText()
{
    return shortenVersion(fileVersion());
}

} // namespace platform

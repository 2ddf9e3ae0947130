#include "files/filenames.h"

namespace files {

QString withCfgExtension(const QString& path)
{
    const qsizetype dot = path.lastIndexOf(u'.');
    if (dot < 0 || path.mid(dot).toUpper() != QStringLiteral(".CFG"))
        return path + QStringLiteral(".cfg");
    return path;
}

int modeOfProductTag(const QString& tag)
{
    const QString t = tag.toUpper();
    if (t == u"KVR5E" || t == u"TAVRIN")
        return 0;
    if (t == u"WZQ" || t == u"BELMORA")
        return 1;
    if (t == u"RQ9")
        return 2;
    if (t == u"MZ40STD")
        return 3;
    if (t == u"MZ40ADV")
        return 4;
    return -1;
}

} // namespace files

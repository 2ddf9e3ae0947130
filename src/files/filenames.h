#pragma once

// The file-name rules of configuration files.

#include <QString>

namespace files {

// ".cfg" appended unless the text from the path's last dot is ".cfg" in any letter case.
QString withCfgExtension(const QString& path);
// The product mode a file's "ConfType" names (any letter case), or -1 for none.
int modeOfProductTag(const QString& tag);

} // namespace files

#pragma once

// Small file helpers shared by the tests.

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cstdlib>

namespace testutil {

// Writes the bytes as the whole file; a fixture that cannot be written ends the test program.
inline QString writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        qFatal("cannot write fixture %s", qPrintable(path));
    return path;
}

// The file's bytes, or "<missing>" when it cannot be read.
inline QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

} // namespace testutil

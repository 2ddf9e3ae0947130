#pragma once

// Small file helpers shared by the tests.

#include <QByteArray>
#include <QFile>
#include <QSaveFile>
#include <QString>

#include <cstdlib>

namespace testutil {

// Writes the bytes as the whole file, replacing it at once: the simulated library may re-read a bench
// file at any moment and must never see it half-written. A fixture that cannot be written ends the
// test program.
inline QString writeFile(const QString& path, const QByteArray& bytes)
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit())
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

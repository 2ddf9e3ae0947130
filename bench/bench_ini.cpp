// How long one key read costs: every read opens and parses the file again, as the program's data
// files are read key by key.

#include "platform/inifile.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

// A settings-sized file, or an actuator-file-sized one: sections of a dozen keys each.
QString writeFile(const QTemporaryDir& dir, int sections)
{
    QByteArray text;
    for (int s = 0; s < sections; ++s) {
        text += "[Actuator" + QByteArray::number(s) + "]\r\n";
        for (int k = 0; k < 12; ++k)
            text += "Key" + QByteArray::number(k) + "=" + QByteArray::number(s * 100 + k) + "\r\n";
    }
    const QString path = dir.filePath(QStringLiteral("b%1.ini").arg(sections));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(text) != text.size())
        return QString();
    return path;
}

void BM_ReadLastKey(benchmark::State& state)
{
    QTemporaryDir dir;
    const int sections = int(state.range(0));
    const QString path = writeFile(dir, sections);
    const QString section = QStringLiteral("Actuator%1").arg(sections - 1);
    for (auto _ : state)
        benchmark::DoNotOptimize(platform::readIniInteger(section, QStringLiteral("Key11"), QString(), path));
}
BENCHMARK(BM_ReadLastKey)->Arg(1)->Arg(100);

void BM_WriteKey(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = writeFile(dir, 1);
    int i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(platform::writeProfileString(QStringLiteral("Actuator0"), QStringLiteral("Key5"),
                                                              QString::number(i++ % 10), path));
}
BENCHMARK(BM_WriteKey);

} // namespace

BENCHMARK_MAIN();

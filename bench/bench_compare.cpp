// Comparing a four-box parallel system at LIN speed: how long a Compare takes against the bus time
// of reading the four boxes (the same library calls made directly), and what the comparison of the
// groups itself costs. Runs offscreen; prints one line per figure.

#include "app/application.h"
#include "app/frmmain.h"
#include "app/windows.h"
#include "compare/comparison.h"
#include "compare/formcompare.h"
#include "ui/dialogs.h"

#include "benchutil.h"

#include <moxtasim.h>
#include <moxtausbdll.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using benchutil::median;
using benchutil::wait;

// Two WZQ boxes, an RQ9 box and a desk box, a few parameters apart.
QByteArray benchText(const QTemporaryDir& dir)
{
    const char* const parameters[] = {"mem3_value_index=1\n", "channel1=5\ndcout1_timeout=100\nmem2_pos3=1000\n",
                                      "battery_voltage_reg=3\nmem1_value_index=0\n", "channel1=7\n"};
    const int hardware[] = {81, 80, 95, 12};
    QByteArray text = "[bench]\nlin_baud=19200\n[adapter:ZUBREX-0001]\nserial=100001\n";
    for (int d = 0; d < 4; ++d) {
        const QString cfg = dir.filePath(QStringLiteral("box%1.cfg").arg(d));
        QFile file(cfg);
        if (!file.open(QIODevice::WriteOnly))
            return {};
        file.write(QByteArray("[configuration]\ntype=KVR5E\n[parameters]\n") + parameters[d]);
        text += "[box:ZUBREX-0001:" + QByteArray::number(d) + "]\nhardware_id=" + QByteArray::number(hardware[d])
                + "\nserial=240611-000" + QByteArray::number(d + 1) + "\nconfig=" + cfg.toLocal8Bit() + "\n";
    }
    return text;
}

// The library calls of one box's read, made directly.
void readDirectly(int device)
{
    lin_CloseConfig();
    const int16_t n = lin_OpenConfig("KVR5E", 0, 0);
    zbx_SetUsageOfControlLink(8);
    lin_ReadConfigRunMode(uint8_t(device), 1);
    char name[100];
    for (int k = 0; k < n; ++k) {
        uint16_t value = 0;
        lin_GetConfigNameExt(name, sizeof name, k);
        lin_GetConfig(name, &value);
    }
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir settings;
    QTemporaryDir configs;
    qputenv("APPDATA", settings.path().toLocal8Bit());
    QApplication application(argc, argv);
    app::setUpApplication();
    if (!moxtasim::loadBench(benchText(configs).toStdString())) {
        std::puts("bench not loaded");
        return 1;
    }
    // The same reads straight through the library, before the program (and its poll) runs.
    if (!(zbx_OpenSpecificDevice("ZUBREX-0001") & 0xFF) || !(zbx_SetUsageOfControlLink(8) & 0xFF)) {
        std::puts("adapter not opened");
        return 1;
    }
    std::vector<double> reads;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer timer;
        timer.start();
        for (int d = 0; d < 4; ++d)
            readDirectly(d);
        reads.push_back(timer.nsecsElapsed() / 1e6);
    }
    lin_CloseConfig();
    zbx_CloseDevice();

    app::StartOptions options;
    options.arguments = {QStringLiteral("WZQ")};
    app::Application program(options);
    app::TfrmMain& w = program.mainWindow();
    w.show();
    w.menuItem(QStringLiteral("mniMultiparallel"))->trigger();
    for (int i = 0; i < 100 && !w.control(QStringLiteral("lblDevice3"))->isEnabled(); ++i)
        wait(100);
    if (!w.control(QStringLiteral("lblDevice3"))->isEnabled()) {
        std::puts("four boxes not found");
        return 1;
    }

    ui::ScriptedDialogs script;
    std::vector<double> compares;
    QString status;
    for (int i = 0; i < 5; ++i) {
        script.expectDialog(QStringLiteral("fCompare"), [&](QDialog* d) {
            QElapsedTimer timer;
            timer.start();
            d->findChild<QPushButton*>(QStringLiteral("ButtonCompare"))->click();
            compares.push_back(timer.nsecsElapsed() / 1e6);
            status = static_cast<TfCompare*>(d)->statusText();
            return int(QDialog::Accepted);
        });
        w.control<QPushButton>(QStringLiteral("ButtonCompareDevs"))->click();
        wait(200);
    }
    if (status != QStringLiteral("Comparison completed") || !script.problems().isEmpty()) {
        std::printf("compare failed: %s %s\n", qPrintable(status), qPrintable(script.problems().join(u' ')));
        return 1;
    }


    // The comparison of the groups alone, on a table of the layout's names.
    compare::RawTable raw;
    char name[100];
    const int16_t n = lin_OpenConfig("KVR5E", 0, 0);
    for (int k = 0; k < n; ++k) {
        lin_GetConfigNameExt(name, sizeof name, k);
        raw.setName(k, QString::fromLatin1(name));
        for (int c = 1; c <= 4; ++c)
            raw.setValue(c, k, QString::number(k % 7 == c ? 1 : 0));
    }
    const QStringList texts = {QStringLiteral("WZQ4"), QStringLiteral("WZQ2"), QStringLiteral("RQ9"), QStringLiteral("KVR5E")};
    QElapsedTimer pure;
    pure.start();
    const int rounds = 200;
    for (int i = 0; i < rounds; ++i) {
        compare::Comparison result = compare::compareGroups(raw, texts);
        compare::addPrefixes(result);
    }
    const double pureMs = pure.nsecsElapsed() / 1e6 / rounds;

    const double compareMs = median(compares);
    const double readMs = median(reads);
    std::printf("compare_four_boxes_ms_median=%.0f\n", compareMs);
    std::printf("four_reads_through_the_library_ms_median=%.0f\n", readMs);
    std::printf("compare_over_reads_percent=%.1f\n", 100.0 * (compareMs - readMs) / readMs);
    std::printf("group_comparison_ms=%.2f\n", pureMs);
    return 0;
}

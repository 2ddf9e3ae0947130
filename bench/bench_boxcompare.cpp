// Compare with box and Verify after programming against the bus: how long the comparison keeps
// the user waiting at 19200 baud, beside the bus time of the one read it makes, and what verifying
// adds to Program. Runs offscreen; prints one line per figure.

#include "app/application.h"
#include "app/frmmain.h"
#include "ui/dialogs.h"

#include "benchutil.h"

#include <moxtasim.h>
#include <moxtausbdll.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>
#include <vector>

using benchutil::median;
using benchutil::wait;

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir settings;
    qputenv("APPDATA", settings.path().toLocal8Bit());
    QApplication application(argc, argv);
    app::setUpApplication();
    moxtasim::loadBench("[bench]\nlin_baud=19200\n[adapter:ZUBREX-0001]\nserial=100001\n[box:ZUBREX-0001:0]\n");
    app::StartOptions options;
    options.arguments = {QStringLiteral("COMBINED")};
    auto program = benchutil::startWatching(options);
    if (!program) {
        std::puts("box not identified");
        return 1;
    }
    app::TfrmMain& w = program->mainWindow();
    // The difference window is taken off the screen at once: what is measured is the wait before it.
    ui::ScriptedDialogs script;
    constexpr int kRuns = 5;

    std::vector<double> bus;
    std::vector<double> reads;
    std::vector<double> compares;
    int shown = 0;
    for (int i = 0; i < kRuns; ++i) {
        QElapsedTimer timer;
        // The library's read alone, with the poll paused: the bus time of one read.
        if (!w.poll().mutex().try_lock_for(std::chrono::milliseconds(2000)))
            return 1;
        zbx_SetUsageOfControlLink(8);
        timer.start();
        lin_ReadConfigRunMode(0, 1);
        bus.push_back(timer.nsecsElapsed() / 1e6);
        w.poll().mutex().unlock();
        wait(200);

        timer.restart();
        w.mniReadClick();
        reads.push_back(timer.nsecsElapsed() / 1e6);
        wait(200);

        script.expectDialog(QStringLiteral("frmBoxDifferences"), [&shown](QDialog*) {
            ++shown;
            return int(QDialog::Accepted);
        });
        timer.restart();
        w.mniCompareBoxClick();
        compares.push_back(timer.nsecsElapsed() / 1e6);
        wait(200);
    }
    if (shown != kRuns || !script.problems().isEmpty()) {
        std::printf("comparison not shown: %s\n", qPrintable(script.problems().join(u'\n')));
        return 1;
    }
    std::printf("bus_time_of_one_read_ms_median=%.0f\n", median(bus));
    std::printf("read_ms_median=%.0f\n", median(reads));
    std::printf("compare_with_box_until_shown_ms_median=%.0f (%.2f x the bus time of one read)\n", median(compares),
                median(compares) / median(bus));

    std::vector<double> programs;
    std::vector<double> verified;
    for (int i = 0; i < kRuns; ++i) {
        QElapsedTimer timer;
        w.menuItem(QStringLiteral("mniVerifyProgram"))->setChecked(false);
        timer.start();
        w.mniProgramClick();
        programs.push_back(timer.nsecsElapsed() / 1e6);
        wait(200);
        w.menuItem(QStringLiteral("mniVerifyProgram"))->setChecked(true);
        timer.restart();
        w.mniProgramClick();
        verified.push_back(timer.nsecsElapsed() / 1e6);
        wait(200);
    }
    std::printf("program_ms_median=%.0f\n", median(programs));
    std::printf("program_with_verify_ms_median=%.0f\n", median(verified));
    return 0;
}

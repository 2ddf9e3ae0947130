// Talking to a box at LIN speed: how long Read and Program keep the GUI thread busy with the
// simulated bench at 19200 baud, and how much CPU the running program uses while it only watches
// a connected box, and how long closing the main window takes while the poll watches a box. Runs
// offscreen; prints one line per figure.

#include "app/application.h"
#include "app/frmmain.h"

#include "benchutil.h"

#include <moxtasim.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <sys/resource.h>
#include <vector>

namespace {

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

using benchutil::median;
using benchutil::wait;

} // namespace

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
    const auto startWatching = [&options] { return benchutil::startWatching(options); };
    auto program = startWatching();
    if (!program) {
        std::puts("box not identified");
        return 1;
    }
    app::TfrmMain& w = program->mainWindow();

    std::vector<double> reads;
    std::vector<double> programs;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer timer;
        timer.start();
        w.mniReadClick();
        reads.push_back(timer.nsecsElapsed() / 1e6);
        timer.restart();
        w.mniProgramClick();
        programs.push_back(timer.nsecsElapsed() / 1e6);
        wait(300);
    }
    std::printf("read_gui_busy_ms_median=%.0f\n", median(reads));
    std::printf("program_gui_busy_ms_median=%.0f\n", median(programs));

    // Idle: the event loop itself, so only the program's timers and the poll thread run.
    const double cpuBefore = cpuSeconds();
    QElapsedTimer idle;
    idle.start();
    QEventLoop loop;
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();
    const double cpu = cpuSeconds() - cpuBefore;
    std::printf("idle_cpu_percent_of_one_core=%.2f (%.3f s CPU in %.1f s)\n", 100.0 * cpu / (idle.elapsed() / 1000.0), cpu,
                idle.elapsed() / 1000.0);
    program.reset();

    // Closing: the window stops the poll thread and closes the adapter; the poll must not make it
    // wait out its pause.
    std::vector<double> closes;
    for (int i = 0; i < 10; ++i) {
        auto watching = startWatching();
        if (!watching) {
            std::puts("box not identified");
            return 1;
        }
        wait(50 + 17 * i); // a different moment of the poll's cycle each time
        QElapsedTimer timer;
        timer.start();
        watching.reset();
        closes.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::printf("close_with_box_connected_ms_median=%.1f max=%.1f\n", median(closes),
                *std::max_element(closes.begin(), closes.end()));
    return 0;
}

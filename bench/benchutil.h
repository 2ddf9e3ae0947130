#pragma once

// What the whole-window benchmarks share: waiting with the event loop running, the program started
// until its poll watches the box, and the median.

#include "app/application.h"
#include "app/frmmain.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>

#include <QWidget>

#include <algorithm>
#include <memory>
#include <vector>

namespace benchutil {

// Lets the window work (timers, the poll's signals) for the given time.
inline void wait(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

// The program started with these options, once its poll has identified the box and watches it;
// null when it never does.
inline std::unique_ptr<app::Application> startWatching(const app::StartOptions& options)
{
    auto program = std::make_unique<app::Application>(options);
    app::TfrmMain& w = program->mainWindow();
    w.show();
    for (int i = 0; i < 100 && !w.control(QStringLiteral("btnReadConfig"))->isEnabled(); ++i)
        wait(100);
    if (!w.control(QStringLiteral("btnReadConfig"))->isEnabled())
        program.reset();
    return program;
}

inline double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace benchutil

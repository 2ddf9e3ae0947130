#pragma once

// What the whole-window benchmarks share: waiting with the event loop running, and the median.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>

#include <algorithm>
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

inline double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace benchutil

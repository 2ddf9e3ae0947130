#include "platform/intervals.h"

#include <algorithm>
#include <atomic>

namespace platform::intervals {

namespace {

// Read by the poll thread while the window runs.
std::atomic<int> g_pauseDivisor{1};
std::atomic<int> g_timeoutDivisor{1};

milliseconds divided(milliseconds declared, int divisor)
{
    // Never below a millisecond: a wait of nothing would turn a pause into a busy loop.
    return divisor <= 1 ? declared : std::max(milliseconds(1), declared / divisor);
}

} // namespace

milliseconds pause(milliseconds declared)
{
    return divided(declared, g_pauseDivisor.load(std::memory_order_relaxed));
}

milliseconds timeout(milliseconds declared)
{
    return divided(declared, g_timeoutDivisor.load(std::memory_order_relaxed));
}

void setTestDivisors(int pauseDivisor, int timeoutDivisor)
{
    g_pauseDivisor = std::max(1, pauseDivisor);
    g_timeoutDivisor = std::max(1, timeoutDivisor);
}

} // namespace platform::intervals

#include "device/pollthread.h"

#include <system_error>

namespace device {

PollThread::PollThread()
    : m_shared(std::make_shared<Shared>())
{
}

PollThread::~PollThread()
{
    if (!m_thread.joinable())
        return;
    if (waitForEnd(std::chrono::milliseconds(0)))
        m_thread.join();
    else
        m_thread.detach(); // it holds its own share of the state and ends on the stop state
}

bool PollThread::start()
{
    try {
        m_thread = std::thread(&PollThread::run, m_shared);
        return true;
    } catch (const std::system_error&) {
        return false;
    }
}

bool PollThread::running() const
{
    if (!m_thread.joinable())
        return false;
    std::lock_guard<std::mutex> lock(m_shared->endMutex);
    return !m_shared->ended;
}

std::function<bool()> PollThread::endedProbe() const
{
    return [shared = m_shared] {
        std::lock_guard<std::mutex> lock(shared->endMutex);
        return shared->ended;
    };
}

bool PollThread::waitForEnd(std::chrono::milliseconds timeout)
{
    if (!m_thread.joinable())
        return true;
    std::unique_lock<std::mutex> lock(m_shared->endMutex);
    return m_shared->endSignal.wait_for(lock, timeout, [this] { return m_shared->ended; });
}

void PollThread::run(std::shared_ptr<Shared> shared)
{
    using namespace std::chrono_literals;
    while (shared->state.load() != PollStop) {
        std::this_thread::sleep_for(100ms);
        if (!shared->mutex.try_lock_for(100ms))
            continue; // a GUI procedure has the adapter
        std::lock_guard<std::timed_mutex> held(shared->mutex, std::adopt_lock);
        if (shared->state.load() == PollStop)
            break;
    }
    std::lock_guard<std::mutex> lock(shared->endMutex);
    shared->ended = true;
    shared->endSignal.notify_all();
}

} // namespace device

#pragma once

// The background thread that watches the chosen adapter, and the shared values the GUI uses to
// pause it: the poll mutex, the poll state, the changed flag and the device number.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace device {

enum PollState : int {
    PollIdle = 0, // no usable adapter, or a GUI procedure has the adapter
    PollSense = 1,
    PollReadIdentity = 2,
    PollWatch = 3,
    PollStop = 5,
};

class PollThread
{
public:
    PollThread();
    ~PollThread();
    PollThread(const PollThread&) = delete;
    PollThread& operator=(const PollThread&) = delete;

    // Starts the thread (running at once); false when it cannot be created.
    bool start();
    bool running() const;
    // Waits up to `timeout` for the thread to end after the stop state; true when it ended.
    bool waitForEnd(std::chrono::milliseconds timeout);

    // Tells, also after this object is gone, whether the thread has ended.
    std::function<bool()> endedProbe() const;

    // Serialises all adapter traffic between the GUI and the thread.
    std::timed_mutex& mutex() { return m_shared->mutex; }
    std::atomic<int>& state() { return m_shared->state; }
    std::atomic<uint8_t>& changed() { return m_shared->changed; }
    std::atomic<uint8_t>& deviceNumber() { return m_shared->deviceNumber; }

private:
    // Shared with the thread, so a thread that outlives a bounded shutdown wait still has it.
    struct Shared
    {
        std::timed_mutex mutex;
        std::atomic<int> state{PollIdle};
        std::atomic<uint8_t> changed{0};
        std::atomic<uint8_t> deviceNumber{0};
        std::mutex endMutex;
        std::condition_variable endSignal;
        bool ended = false;
    };
    static void run(std::shared_ptr<Shared> shared);

    std::shared_ptr<Shared> m_shared;
    std::thread m_thread;
};

} // namespace device

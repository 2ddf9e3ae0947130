#pragma once

// The background thread that watches the chosen adapter, and the shared values the GUI uses to
// pause it: the poll mutex, the poll state, the changed flag and the device number. The thread
// never touches a widget; the GUI reads what it found through status().

#include <QString>

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

// What the thread found out about the connected box.
struct StatusRecord
{
    int32_t software = 0;
    uint16_t version = 0; // hundredths
    QString serial;
    QString date;
    uint8_t hardwareId = 0;
    uint8_t revision = 0;
    uint8_t boxMode = 0; // the product mode the box belongs to
    bool activationsValid = false;
    uint32_t activations = 0;
    uint32_t sitStands = 0;
    bool busy = false;
    uint32_t poweredSeconds = 0;
};

// The product mode of a box from its product class and hardware ID.
uint8_t boxModeOf(uint8_t productClass, uint8_t hardwareId);

// The poll mutex. A thread that already holds it is refused at once instead of waiting on itself
// (a GUI procedure started while another one pumps the window's messages).
class PollMutex
{
public:
    // Waits up to `timeout`; a wait ends early, unsuccessful, once `giveUp` says so after a wake-up.
    bool try_lock_for(std::chrono::milliseconds timeout, const std::function<bool()>& giveUp = {});
    void unlock();
    // Wakes every waiter, so that one told to give up does so now.
    void wakeWaiters();
    // The calling thread holds it (a procedure of the GUI thread, seen from a nested event loop).
    bool heldByThisThread() const { return m_owner.load() == std::this_thread::get_id(); }

private:
    // A flag under a plain mutex rather than a timed mutex: its waits are ones every thread checker
    // understands.
    std::mutex m_mutex;
    std::condition_variable m_released;
    bool m_locked = false;
    std::atomic<std::thread::id> m_owner{};
};

// The poll state, one value shared by both threads. Every change wakes the thread from its pauses,
// so that a stop takes effect at once instead of after the current sleep.
class PollStateValue
{
public:
    explicit PollStateValue(PollMutex& mutex)
        : m_mutex(mutex)
    {
    }
    PollStateValue(const PollStateValue&) = delete;
    PollStateValue& operator=(const PollStateValue&) = delete;

    PollStateValue& operator=(int state)
    {
        store(state);
        return *this;
    }
    operator int() const { return m_value.load(); }
    int load() const { return m_value.load(); }
    void store(int state);
    // Stores the state unless it is the stop state: what a poll cycle writes never undoes a stop.
    bool storeUnlessStopped(int state);
    bool compare_exchange_strong(int& expected, int desired);
    // Sleeps up to `duration`; true (early) once the state is the stop state.
    bool sleepUnlessStopped(std::chrono::milliseconds duration);

private:
    void wake(int state);

    std::atomic<int> m_value{PollIdle};
    std::mutex m_wakeMutex;
    std::condition_variable m_wake;
    PollMutex& m_mutex;
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
    // The thread's identity (to tell its library calls from the GUI's); a default one before start().
    std::thread::id threadId() const { return m_thread.get_id(); }
    // Waits up to `timeout` for the thread to end after the stop state; true when it ended.
    bool waitForEnd(std::chrono::milliseconds timeout);
    // Tells, also after this object is gone, whether the thread has ended.
    std::function<bool()> endedProbe() const;

    PollMutex& mutex() { return m_shared->mutex; }
    PollStateValue& state() { return m_shared->state; }
    std::atomic<uint8_t>& changed() { return m_shared->changed; }
    std::atomic<uint8_t>& deviceNumber() { return m_shared->deviceNumber; }
    // The state a GUI procedure found when it paused the poll (GUI thread only).
    int& pausedFrom() { return m_pausedFrom; }
    // A consistent copy of the status record.
    StatusRecord status() const;
    // Called on the thread each time it raises the changed flag, after the state it found is in
    // place (for tests; set before start()).
    void setChangeObserver(std::function<void()> observer) { m_shared->changeObserver = std::move(observer); }

private:
    // Shared with the thread, so a thread that outlives a bounded shutdown wait still has it.
    struct Shared
    {
        PollMutex mutex;
        PollStateValue state{mutex};
        std::atomic<uint8_t> changed{0};
        std::atomic<uint8_t> deviceNumber{0};
        mutable std::mutex statusMutex; // guards status, so the GUI copies it whole
        StatusRecord status;
        bool busyUnsupported = false;
        bool boxShown = false; // the thread's last news was an identified box (thread only)
        std::mutex endMutex;
        std::condition_variable endSignal;
        bool ended = false;
        std::function<void()> changeObserver;

        bool stopped() const { return state.load() == PollStop; }
        // The GUI is told there is news; whatever state goes with it is stored before.
        void raiseChanged();
        // Moves to `to` (unless stopped) and then tells the GUI, so a redraw never sees the flag
        // with the state before.
        void announce(int to);
    };
    static void run(std::shared_ptr<Shared> shared);
    static void cycle(Shared& shared);

    std::shared_ptr<Shared> m_shared;
    std::thread m_thread;
    int m_pausedFrom = PollWatch;
};

} // namespace device

#include "device/pollthread.h"

#include "device/moxtalib.h"
#include "platform/intervals.h"

#include <system_error>

namespace device {

namespace intervals = platform::intervals;

uint8_t boxModeOf(uint8_t productClass, uint8_t hardwareId)
{
    if (productClass == 0) {
        switch (hardwareId) {
        case 80:
        case 81: return 1;
        case 90:
        case 95:
        case 96: return 2;
        case 135:
        case 137: return 3;
        case 136:
        case 138: return 4;
        default: return 0;
        }
    }
    if (productClass == 2)
        return hardwareId < 90 ? 1 : 2;
    return 0;
}

bool PollMutex::try_lock_for(std::chrono::milliseconds timeout, const std::function<bool()>& giveUp)
{
    if (m_owner.load() == std::this_thread::get_id())
        return false;
    std::unique_lock<std::mutex> lock(m_mutex);
    m_released.wait_for(lock, timeout, [this, &giveUp] { return !m_locked || (giveUp && giveUp()); });
    if (m_locked)
        return false;
    m_locked = true;
    m_owner = std::this_thread::get_id();
    return true;
}

void PollMutex::unlock()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_locked = false;
        m_owner = std::thread::id();
    }
    m_released.notify_one();
}

void PollMutex::wakeWaiters()
{
    // Under the lock, so a waiter between its check and its sleep cannot miss the wake-up.
    std::lock_guard<std::mutex> lock(m_mutex);
    m_released.notify_all();
}

void PollStateValue::store(int state)
{
    {
        std::lock_guard<std::mutex> lock(m_wakeMutex);
        m_value = state;
    }
    wake(state);
}

bool PollStateValue::storeUnlessStopped(int state)
{
    {
        std::lock_guard<std::mutex> lock(m_wakeMutex);
        if (m_value.load() == PollStop)
            return false;
        m_value = state;
    }
    wake(state);
    return true;
}

bool PollStateValue::compare_exchange_strong(int& expected, int desired)
{
    {
        std::lock_guard<std::mutex> lock(m_wakeMutex);
        if (!m_value.compare_exchange_strong(expected, desired))
            return false;
    }
    wake(desired);
    return true;
}

void PollStateValue::wake(int state)
{
    m_wake.notify_all();
    if (state == PollStop)
        m_mutex.wakeWaiters();
}

bool PollStateValue::sleepUnlessStopped(std::chrono::milliseconds duration)
{
    std::unique_lock<std::mutex> lock(m_wakeMutex);
    return m_wake.wait_for(lock, duration, [this] { return m_value.load() == PollStop; });
}

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

StatusRecord PollThread::status() const
{
    std::lock_guard<std::mutex> lock(m_shared->statusMutex);
    return m_shared->status;
}

void PollThread::Shared::raiseChanged()
{
    changed = 1;
    if (changeObserver)
        changeObserver();
}

void PollThread::Shared::announce(int to)
{
    state.storeUnlessStopped(to);
    raiseChanged();
}

void PollThread::cycle(Shared& s)
{
    const uint8_t device = s.deviceNumber.load();
    // A stop that comes while a call is under way ends the cycle after that call: the thread
    // must not go on talking to the adapter the program is closing.
    switch (s.state.load()) {
    case PollSense: {
        lib::setUsageOfControlLink(0);
        if (s.stopped())
            break;
        lib::getData();
        if (s.state.sleepUnlessStopped(intervals::pause(intervals::kSenseSettle)))
            break;
        if (lib::getData() > 0x80)
            s.state.storeUnlessStopped(PollReadIdentity);
        s.busyUnsupported = false;
        break;
    }
    case PollReadIdentity: {
        lib::setUsageOfControlLink(8);
        if (s.stopped())
            break;
        StatusRecord found;
        {
            std::lock_guard<std::mutex> lock(s.statusMutex);
            found = s.status;
        }
        const int16_t software = lib::getSoftwareVersion(device, found.software, found.version);
        if (s.stopped())
            break;
        if (software < 0) {
            // After a switch of device or a program with firmware the panel still shows the box
            // identified before: it must not go on offering that box.
            if (s.boxShown) {
                s.boxShown = false;
                s.announce(PollSense);
            } else {
                s.state.storeUnlessStopped(PollSense);
            }
            break;
        }
        const int16_t production = lib::getProductionInfo(device, found.serial, found.date);
        if (production < 0 || s.stopped())
            break; // the next cycle tries again
        found.hardwareId = uint8_t(production & 0xFF);
        found.revision = uint8_t((production >> 8) & 0xFF);
        QByteArray product;
        lib::getProductInfo(device, product);
        if (s.stopped())
            break;
        found.boxMode = boxModeOf(uint8_t(product.size() > 1 ? product[1] : 0), found.hardwareId);
        found.activationsValid = true;
        if (lib::getActivations(device, found.activations, found.sitStands) < 0) {
            found.activationsValid = false;
            found.activations = found.sitStands = 0;
        }
        if (s.stopped())
            break;
        {
            std::lock_guard<std::mutex> lock(s.statusMutex);
            s.status = found;
        }
        s.boxShown = true;
        s.announce(PollWatch);
        break;
    }
    case PollWatch: {
        lib::setUsageOfControlLink(8);
        if (s.stopped())
            break;
        QByteArray data(64, '\0');
        const int16_t watched = lib::doAny(device, 22, &data);
        if (s.stopped())
            break;
        if (watched < 0) {
            {
                std::lock_guard<std::mutex> lock(s.statusMutex);
                s.status.poweredSeconds = 0;
            }
            s.boxShown = false;
            // The state before the flag: a redraw that takes the flag must find the box gone.
            s.announce(PollSense);
            break;
        }
        const auto byte = [&data](int i) { return uint32_t(uint8_t(data[i])); };
        const uint32_t powered = byte(1) | byte(2) << 8 | byte(3) << 16 | byte(4) << 24;
        bool busy = false;
        if (!s.busyUnsupported) {
            const int16_t b = lib::getConfigBusy(device);
            if (s.stopped())
                break;
            if (b < 0)
                s.busyUnsupported = true;
            busy = b > 0;
        }
        bool busyChanged = false;
        {
            std::lock_guard<std::mutex> lock(s.statusMutex);
            s.status.poweredSeconds = powered;
            busyChanged = busy != s.status.busy;
            s.status.busy = busy;
        }
        if (busyChanged)
            s.raiseChanged();
        break;
    }
    default: break;
    }
}

void PollThread::run(std::shared_ptr<Shared> shared)
{
    const auto stopped = [&shared] { return shared->state.load() == PollStop; };
    while (!stopped()) {
        if (shared->state.sleepUnlessStopped(intervals::pause(intervals::kPollPause)))
            break;
        if (!shared->mutex.try_lock_for(intervals::timeout(intervals::kPollAdapterWait), stopped))
            continue; // a GUI procedure has the adapter
        if (shared->state.load() != PollStop)
            cycle(*shared);
        shared->mutex.unlock();
    }
    std::lock_guard<std::mutex> lock(shared->endMutex);
    shared->ended = true;
    shared->endSignal.notify_all();
}

} // namespace device

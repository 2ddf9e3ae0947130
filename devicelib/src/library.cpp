#include "library.h"

#include "inilite.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <thread>

namespace moxta {

namespace {

constexpr std::size_t kMaxBenchFileBytes = 1024 * 1024;
constexpr std::size_t kMaxLogEntries = 20000;
constexpr auto kBenchCheckInterval = std::chrono::milliseconds(500);

} // namespace

State::FileStamp fileStamp(const std::string& path)
{
    State::FileStamp stamp;
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0)
        return stamp;
    stamp.exists = true;
    stamp.mtimeNs = int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    stamp.size = int64_t(st.st_size);
    stamp.inode = uint64_t(st.st_ino);
    return stamp;
}

namespace {

std::string directoryOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Builds the runtime of a new bench; a box that was there before keeps what happened to it.
void applyBench(State& s, Bench&& bench)
{
    std::vector<BoxRuntime> boxes;
    for (BoxSpec& setup : bench.boxes) {
        const BoxRuntime* before = findBox(s, setup.adapter, setup.device);
        BoxRuntime box(setup, *setup.configuration);
        if (before && before->setup.configType == setup.configType) {
            box = *before;
            const bool poweredChanged = before->setup.poweredSeconds != setup.poweredSeconds;
            box.setup = setup;
            if (setup.configPath.empty() || setup.configPath != before->setup.configPath)
                box.stored = before->stored; // a box keeps what it was programmed with
            else
                box.stored = *setup.configuration; // the file is the box's memory
            if (poweredChanged) {
                box.poweredBase = setup.poweredSeconds;
                box.connectedSince = std::chrono::steady_clock::now();
            } else if (before->setup.connected != setup.connected) {
                box.setup.connected = before->setup.connected;
                box.setConnected(setup.connected);
            }
        } else {
            box.poweredBase = setup.poweredSeconds;
            box.connectedSince = std::chrono::steady_clock::now();
        }
        boxes.push_back(std::move(box));
    }
    const std::string openName = s.openAdapter >= 0 ? s.adapters[std::size_t(s.openAdapter)].name : std::string();
    s.linBaud = bench.linBaud;
    s.linTimeDivisor = bench.linTimeDivisor;
    s.benchFail = std::move(bench.fail);
    s.adapters = std::move(bench.adapters);
    s.boxes = std::move(boxes);
    s.openAdapter = -1;
    for (std::size_t i = 0; i < s.adapters.size(); ++i)
        if (!openName.empty() && s.adapters[i].name == openName)
            s.openAdapter = int(i);
    if (s.openAdapter < 0) {
        s.usage = 0;
        s.handsetCommands = 0;
    }
}

} // namespace

uint32_t BoxRuntime::poweredSeconds() const
{
    if (!setup.connected)
        return poweredBase;
    const auto elapsed = std::chrono::steady_clock::now() - connectedSince;
    return poweredBase + uint32_t(std::chrono::duration_cast<std::chrono::seconds>(elapsed).count());
}

void BoxRuntime::setConnected(bool connected)
{
    if (connected == setup.connected)
        return;
    poweredBase = poweredSeconds();
    connectedSince = std::chrono::steady_clock::now();
    setup.connected = connected;
    if (connected) {
        // Powered up again: the box starts its application when it has a whole one, else it
        // stays in its bootloader.
        inBootloader = !applicationIntact;
        applicationRunning = applicationIntact;
        imageDownloaded = false;
    }
}

State& state()
{
    static State s;
    return s;
}

bool installBench(State& s, const std::string& text, const std::string& path, std::string& error)
{
    Bench bench;
    std::vector<std::string> warnings;
    const bool ok = parseBench(text, directoryOf(path), bench, error, warnings);
    const std::string where = path.empty() ? std::string("bench") : "bench file " + path;
    for (const std::string& w : warnings)
        std::fprintf(stderr, "%s, %s\n", where.c_str(), w.c_str());
    if (!ok) {
        std::fprintf(stderr, "%s, %s; the bench is empty\n", where.c_str(), error.c_str());
        bench = Bench();
    }
    applyBench(s, std::move(bench));
    return ok;
}

void ensureInitialised(State& s)
{
    if (s.initialised)
        return;
    s.initialised = true;
    const char* path = std::getenv("MOXTA_BENCH");
    std::string error;
    if (path && *path) {
        s.benchPath = path;
        s.benchStamp = fileStamp(s.benchPath);
        s.lastBenchCheck = std::chrono::steady_clock::now();
        std::string text;
        if (!readWholeFile(s.benchPath, text, kMaxBenchFileBytes)) {
            std::fprintf(stderr, "bench file %s cannot be read; the bench is empty\n", path);
            applyBench(s, Bench());
            return;
        }
        installBench(s, text, s.benchPath, error);
        return;
    }
    s.benchPath.clear();
    installBench(s, defaultBenchText(), std::string(), error);
}

void reloadBenchIfChanged(State& s)
{
    if (s.benchPath.empty())
        return;
    const auto now = std::chrono::steady_clock::now();
    if (now - s.lastBenchCheck < kBenchCheckInterval)
        return;
    reloadBenchNow(s);
}

void reloadBenchNow(State& s)
{
    if (s.benchPath.empty() || s.callDepth > 1)
        return;
    s.lastBenchCheck = std::chrono::steady_clock::now();
    const State::FileStamp stamp = fileStamp(s.benchPath);
    if (stamp == s.benchStamp)
        return;
    s.benchStamp = stamp;
    std::string text;
    std::string error;
    if (!readWholeFile(s.benchPath, text, kMaxBenchFileBytes)) {
        std::fprintf(stderr, "bench file %s cannot be read; the bench is empty\n", s.benchPath.c_str());
        applyBench(s, Bench());
        return;
    }
    installBench(s, text, s.benchPath, error);
}

namespace {

struct HeldCall
{
    std::mutex mutex;
    std::condition_variable started;
    std::string function; // empty: none held
    std::chrono::milliseconds duration{0};
    bool waiting = false; // the held call has begun to wait
};

HeldCall& heldCall()
{
    static HeldCall held;
    return held;
}

} // namespace

void holdNextCall(const std::string& function, std::chrono::milliseconds duration)
{
    HeldCall& h = heldCall();
    std::lock_guard<std::mutex> lock(h.mutex);
    h.function = function;
    h.duration = duration;
    h.waiting = false;
}

bool waitForHeldCall(std::chrono::milliseconds timeout)
{
    HeldCall& h = heldCall();
    std::unique_lock<std::mutex> lock(h.mutex);
    return h.started.wait_for(lock, timeout, [&h] { return h.waiting; });
}

void clearHeldCall()
{
    holdNextCall(std::string(), std::chrono::milliseconds(0));
}

bool waitIfHeld(const char* function)
{
    HeldCall& h = heldCall();
    std::chrono::milliseconds duration{0};
    {
        std::lock_guard<std::mutex> lock(h.mutex);
        if (h.function.empty() || h.function != function)
            return false;
        h.function.clear();
        h.waiting = true;
        duration = h.duration;
    }
    h.started.notify_all();
    std::this_thread::sleep_for(duration);
    return true;
}

Call::Call(const char* function, std::string arguments, int device)
    : s(state())
    , m_held(waitIfHeld(function))
    , m_lock(s.mutex)
{
    ensureInitialised(s);
    // Only between calls: a reload replaces the boxes an outer call may be working on.
    if (++s.callDepth == 1) {
        s.callFunction = function;
        s.cut.framesSoFar = 0;
        reloadBenchIfChanged(s);
    }
    if (auto it = s.injected.find(function); it != s.injected.end()) {
        m_injected = it->second.first;
        if (--it->second.second <= 0)
            s.injected.erase(it);
    } else {
        // A bench fail= entry answers calls addressed to its box, or, at bench level, all others;
        // an entry that names the arguments too, "function(arguments)", only those calls.
        const FailMap* fail = &s.benchFail;
        if (device >= 0 && device <= 3) {
            BoxRuntime* box = s.openAdapter >= 0 ? findBox(s, s.adapters[std::size_t(s.openAdapter)].name, device) : nullptr;
            fail = box ? &box->setup.fail : nullptr;
        }
        if (fail && !fail->empty()) {
            auto f = fail->find(function + ('(' + arguments + ')'));
            if (f == fail->end())
                f = fail->find(function);
            if (f != fail->end())
                m_injected = f->second;
        }
    }

    if (s.logging) {
        if (s.log.size() >= kMaxLogEntries)
            s.log.pop_front();
        s.log.push_back({function, std::move(arguments), std::this_thread::get_id()});
    }
}

Call::~Call()
{
    --s.callDepth;
}

BoxRuntime* findBox(State& s, const std::string& adapter, int device)
{
    for (BoxRuntime& box : s.boxes)
        if (box.setup.adapter == adapter && box.setup.device == device)
            return &box;
    return nullptr;
}

BoxRuntime* answeringBox(State& s, int device)
{
    if (s.openAdapter < 0 || device < 0 || device > 3)
        return nullptr;
    BoxRuntime* box = findBox(s, s.adapters[std::size_t(s.openAdapter)].name, device);
    if (!box || !box->setup.connected || box->inBootloader || !box->applicationRunning)
        return nullptr;
    return box;
}

double linSeconds(std::size_t bytes, int baud)
{
    if (baud <= 0)
        return 0.0;
    // Break and delimiter (14 bits), sync and identifier (10 bits each), then ten bits per data byte
    // and the checksum byte.
    const std::size_t frames = (bytes + 7) / 8;
    const std::size_t bits = frames * 34 + bytes * 10 + frames * 10;
    return double(bits) / double(baud);
}

namespace {

// Sleeps as long as the bench's bus takes for that much bus time.
void sleepBusTime(const State& s, double seconds)
{
    if (seconds > 0)
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds / double(s.linTimeDivisor)));
}

} // namespace

void linDelay(const State& s, std::size_t bytes)
{
    sleepBusTime(s, linSeconds(bytes, s.linBaud));
}

TransferEnd transfer(State& s, std::size_t bytes, BoxRuntime*& box, BoxRole role)
{
    if (!box || s.openAdapter < 0) {
        box = nullptr;
        return TransferEnd::NoAnswer;
    }
    const std::string adapter = s.adapters[std::size_t(s.openAdapter)].name;
    const int device = box->setup.device;
    const bool busyBefore = box->setup.busy > 0;
    const std::size_t frames = (bytes + 7) / 8;
    const double frameSeconds = frames > 0 ? linSeconds(bytes, s.linBaud) / double(frames) : 0.0;
    // Whole frames, at most 100 ms of bus time per piece but at least one frame.
    const std::size_t framesPerPiece =
        frameSeconds > 0 ? std::max<std::size_t>(1, std::size_t(0.1 / frameSeconds)) : std::max<std::size_t>(1, frames);
    State::Cut& cut = s.cut;
    const bool cutting = cut.armed && cut.function == s.callFunction && cut.adapter == adapter && cut.device == device;
    std::size_t sent = 0;
    do {
        std::size_t piece = std::min(framesPerPiece, frames - sent);
        if (cutting && cut.framesSoFar < cut.afterFrames)
            piece = std::min(piece, cut.afterFrames - cut.framesSoFar);
        sleepBusTime(s, frameSeconds * double(piece));
        sent += piece;
        if (cutting) {
            cut.framesSoFar += piece;
            if (cut.framesSoFar == cut.afterFrames) {
                box->setConnected(false);
                cut.armed = false;
                cut.made = true;
            }
        }
        reloadBenchNow(s);
        if (s.openAdapter < 0 || s.adapters[std::size_t(s.openAdapter)].name != adapter) {
            box = nullptr;
            return TransferEnd::AdapterGone;
        }
        box = findBox(s, adapter, device);
        const bool answering = box && box->setup.connected
                               && (role == BoxRole::Bootloader ? box->inBootloader
                                                               : !box->inBootloader && box->applicationRunning);
        if (!answering) {
            box = nullptr;
            return TransferEnd::NoAnswer;
        }
        if (role == BoxRole::Configuring && !busyBefore && box->setup.busy > 0) {
            box = nullptr;
            return TransferEnd::BecameBusy;
        }
    } while (sent < frames);
    return TransferEnd::Done;
}

void copyText(const std::string& text, char* buf, int32_t size)
{
    if (!buf || size < 1)
        return;
    const std::size_t n = std::min(text.size(), std::size_t(size) - 1);
    std::memcpy(buf, text.data(), n);
    buf[n] = '\0';
}

std::string quoted(const char* text)
{
    if (!text)
        return "null";
    std::string result;
    result.reserve(std::strlen(text) + 2);
    result.append(1, '"').append(text).append(1, '"');
    return result;
}

std::string pointer(const void* p)
{
    return p ? "buf" : "null";
}

} // namespace moxta

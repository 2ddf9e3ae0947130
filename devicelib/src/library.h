#pragma once

// The library's one state: the bench as it is now, the open adapter, the session, the call log and
// the injected statuses. Every C function and every control function works on it under its lock.

#include "bench.h"
#include "moxtasim.h"
#include "session.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace moxta {

struct BoxRuntime
{
    BoxRuntime(BoxSpec boxSpec, Configuration configuration)
        : setup(std::move(boxSpec))
        , stored(std::move(configuration))
    {
    }

    BoxSpec setup;
    Configuration stored;
    bool inBootloader = false;
    bool applicationRunning = true;
    bool applicationIntact = true; // the program area holds a whole application
    bool imageDownloaded = false; // a complete image waits to be started
    std::size_t downloadedBytes = 0;
    uint32_t poweredBase = 0; // powered seconds when last connected
    std::chrono::steady_clock::time_point connectedSince;
    int programmed = 0;
    int activated = 0;
    int initLockResets = 0;
    int memoryPositionErasures = 0;

    uint32_t poweredSeconds() const;
    void setConnected(bool connected);
};

struct State
{
    std::recursive_mutex mutex;

    int linBaud = 0;
    int linTimeDivisor = 1;
    FailMap benchFail;
    std::vector<AdapterSpec> adapters;
    std::vector<BoxRuntime> boxes;

    std::string benchPath; // re-read when it changes; empty for a bench from text
    struct FileStamp
    {
        bool exists = false;
        int64_t mtimeNs = 0;
        int64_t size = 0;
        uint64_t inode = 0;
        bool operator==(const FileStamp&) const = default;
    } benchStamp;
    std::chrono::steady_clock::time_point lastBenchCheck;

    int openAdapter = -1; // index into adapters
    int usage = 0;
    int handsetCommands = 0;

    std::optional<Configuration> session;
    bool sessionResetToDefaults = false;
    bool sessionRunMode = false;

    std::deque<moxtasim::CallRecord> log;
    // Kept only once the control interface is used: a program running for days would otherwise
    // carry the last calls' records for nobody.
    bool logging = false;
    std::map<std::string, std::pair<int16_t, int>> injected; // function -> status, calls left

    bool initialised = false;
    int callDepth = 0; // calls in progress on this thread; a progress callback may call again
    std::string callFunction; // the outermost call in progress

    // A box to unplug in the middle of a call, after so many frames of it.
    struct Cut
    {
        std::string function;
        std::string adapter;
        int device = -1;
        std::size_t afterFrames = 0;
        std::size_t framesSoFar = 0; // of the call in progress
        bool armed = false;
        bool made = false;
    } cut;
};

State& state();

// Sets up the state on first use: the bench MOXTA_BENCH names, or the built-in one.
void ensureInitialised(State& s);
// The identity of a file, to notice when it changes.
State::FileStamp fileStamp(const std::string& path);
// Replaces the bench; false with the reason in error (the bench is then empty).
bool installBench(State& s, const std::string& text, const std::string& path, std::string& error);
// Re-reads the bench file when it changed, at most twice a second.
void reloadBenchIfChanged(State& s);
// Re-reads the bench file now when it changed; only in the outermost call, since a reload rebuilds
// the boxes and a nested call's caller may be working on one.
void reloadBenchNow(State& s);

// One call of a library function: takes the lock, keeps the bench current, logs the call and
// answers with an injected status when there is one. `device` is the box the call addresses.
class Call
{
public:
    Call(const char* function, std::string arguments, int device = -1);
    ~Call();
    Call(const Call&) = delete;
    Call& operator=(const Call&) = delete;
    // The status to return instead of doing the work, if any.
    std::optional<int16_t> injected() const { return m_injected; }
    State& s;

private:
    bool m_held; // the call waited first, as a test asked (outside the lock)
    std::lock_guard<std::recursive_mutex> m_lock;
    std::optional<int16_t> m_injected;
};

// A call of a test's choosing made slow: the next call of `function` waits `duration` before it
// starts. Its own lock, not the state's: the other calls go on meanwhile.
void holdNextCall(const std::string& function, std::chrono::milliseconds duration);
bool waitForHeldCall(std::chrono::milliseconds timeout);
void clearHeldCall();
// Waits when the call is the held one; true when it did.
bool waitIfHeld(const char* function);

// The open adapter's box with that device number, connected and running its application; null when
// no box answers.
BoxRuntime* answeringBox(State& s, int device);
BoxRuntime* findBox(State& s, const std::string& adapter, int device);

// Sleeps as long as moving that many bytes over the LIN bus takes at the bench's baud rate (divided
// by its time divisor).
void linDelay(const State& s, std::size_t bytes);

// How a transfer with a box ended.
enum class TransferEnd { Done, AdapterGone, NoAnswer, BecameBusy };
// What the box of a transfer must be doing to keep answering: running its application (a box that
// starts driving still answers its status queries, but no longer takes part in moving a
// configuration), or its bootloader.
enum class BoxRole { Application, Configuring, Bootloader };
// Moves that many bytes between the open adapter and the box as a bus does: frame by frame, in pieces
// of at most 100 ms of bus time, looking at the bench between pieces, so that an adapter pulled out, a
// box unplugged or, while configuring, one that starts driving (busy) cuts it short. A cut a test
// asked for unplugs the box at its frame. `box` is found again after every look (a reload rebuilds
// the boxes); it is null unless the transfer is Done.
TransferEnd transfer(State& s, std::size_t bytes, BoxRuntime*& box, BoxRole role = BoxRole::Application);
// Seconds the LIN bus needs for that many bytes at that rate (frames of up to eight data bytes, each
// with its header and checksum).
double linSeconds(std::size_t bytes, int baud);

// Copies text into a caller's buffer: cut to size - 1 characters, zero-terminated.
void copyText(const std::string& text, char* buf, int32_t size);

// Formatting of call arguments for the log.
std::string quoted(const char* text);
std::string pointer(const void* p);

} // namespace moxta

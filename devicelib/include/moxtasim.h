#pragma once

// Control of the simulated bench behind the device library, for tests and demonstrations.
// Everything here acts on the same state the C functions of moxtausbdll.h use.

#include "moxtausbdll.h"

#include <cstdint>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace moxtasim {

struct CallRecord
{
    std::string function;
    std::string arguments; // as written in the call, comma-separated; texts quoted, buffers as "buf"/"null"
    std::thread::id thread; // the caller's
};

struct StoredConfiguration
{
    std::string type;
    std::vector<std::pair<std::string, uint16_t>> values; // layout order
    std::vector<std::pair<std::string, std::string>> strings;
};

struct BoxState
{
    bool connected = false;
    bool inBootloader = false;
    bool applicationRunning = false;
    uint32_t poweredSeconds = 0;
    int programmed = 0; // lin_ProgramConfigRunMode successes
    int activated = 0; // lin_RC_ActivateConfig successes
    int initLockResets = 0;
    int memoryPositionErasures = 0;
    std::size_t downloadedBytes = 0; // of the last complete download
};

// Replaces the bench (closing the adapter and the session). On a fault: false, an empty bench and
// the reason in *error. A bench loaded from text is never re-read; one loaded from a file is re-read
// whenever the file changes.
MOXTA_API bool loadBench(const std::string& text, std::string* error = nullptr);
MOXTA_API bool loadBenchFile(const std::string& path, std::string* error = nullptr);
// Back to the start state: the bench MOXTA_BENCH names (or the built-in one), nothing open, no
// injected statuses, an empty call log.
MOXTA_API void reset();

MOXTA_API bool plug(const std::string& adapter, int device);
MOXTA_API bool unplug(const std::string& adapter, int device);

// The next `calls` calls of the named function return status without doing their work (a Boolean
// function returns failure, zbx_GetData 0).
MOXTA_API void injectStatus(const std::string& function, int16_t status, int calls = 1);

// A fail= entry of the bench, set at once: calls of the named function addressed to that box return
// status; with an empty adapter name, every call of it not addressed to a box does. A function
// written with its arguments as the call log shows them, "zbx_SetUsageOfControlLink(6)", fails only
// those calls. Status 0 takes the entry away. False when the bench has no such box. A re-read of the
// bench file replaces it.
MOXTA_API bool setFail(const std::string& adapter, int device, const std::string& function, int16_t status);

// The next call of the named function, whichever thread makes it, takes `milliseconds` longer:
// it waits before it starts, outside the library's lock, so other calls go on meanwhile. A test
// waits for it with waitForHeldCall() and then does what must happen in the middle of it. A new
// bench or a reset drops a hold no call has taken.
MOXTA_API void holdNextCall(const std::string& function, int milliseconds);
// Waits up to `timeoutMs` for the held call to begin waiting; true once it has.
MOXTA_API bool waitForHeldCall(int timeoutMs);

// A cable pulled out at a chosen frame: the box is unplugged once `frames` LIN frames of the next
// call of the named function addressed to it have gone over (counted over the whole call, whatever
// the bus's speed), and that call fails as a bus makes it fail. A call of fewer frames is not cut;
// the next one is looked at. False when the bench has no such box. A new bench or a reset drops it.
MOXTA_API bool unplugAfterFrames(const std::string& function, const std::string& adapter, int device, int frames);
// Whether the cut asked for last has been made.
MOXTA_API bool unplugMade();

// The calls since the control interface was first used (a program that never uses it keeps no
// log), the last 20 000 at most.
MOXTA_API std::vector<CallRecord> callLog();
MOXTA_API void clearCallLog();

MOXTA_API bool storedConfiguration(const std::string& adapter, int device, StoredConfiguration& out);
MOXTA_API bool boxState(const std::string& adapter, int device, BoxState& out);

} // namespace moxtasim

// The control functions of moxtasim.h.

#include "moxtasim.h"

#include "inilite.h"
#include "library.h"

using namespace moxta;

namespace moxtasim {

namespace {

std::unique_lock<std::recursive_mutex> lockState(State*& s)
{
    s = &state();
    std::unique_lock<std::recursive_mutex> lock(s->mutex);
    ensureInitialised(*s);
    s->logging = true;
    return lock;
}

void closeEverything(State& s)
{
    s.openAdapter = -1;
    s.usage = 0;
    s.handsetCommands = 0;
    s.session.reset();
    s.sessionResetToDefaults = false;
    s.sessionRunMode = false;
}

bool replaceBench(const std::string& text, const std::string& path, std::string* error)
{
    State* s = nullptr;
    auto lock = lockState(s);
    std::string why;
    if (s->callDepth > 0) {
        why = "the bench cannot be replaced during a library call";
        if (error)
            *error = why;
        return false;
    }
    closeEverything(*s);
    clearHeldCall();
    s->cut = State::Cut();
    s->boxes.clear(); // a new bench starts fresh, nothing carried over
    s->benchPath = path;
    s->benchStamp = fileStamp(path);
    s->lastBenchCheck = std::chrono::steady_clock::now();
    const bool ok = installBench(*s, text, path, why);
    if (error)
        *error = why;
    return ok;
}

} // namespace

bool loadBench(const std::string& text, std::string* error)
{
    return replaceBench(text, std::string(), error);
}

bool loadBenchFile(const std::string& path, std::string* error)
{
    std::string text;
    if (!readWholeFile(path, text, 1024 * 1024)) {
        replaceBench(std::string(), std::string(), nullptr);
        if (error)
            *error = "bench file " + path + " cannot be read";
        return false;
    }
    return replaceBench(text, path, error);
}

void reset()
{
    State* s = nullptr;
    auto lock = lockState(s);
    if (s->callDepth > 0)
        return;
    closeEverything(*s);
    clearHeldCall();
    s->cut = State::Cut();
    s->boxes.clear();
    s->adapters.clear();
    s->injected.clear();
    s->log.clear();
    s->initialised = false;
    ensureInitialised(*s);
}

static bool setPlugged(const std::string& adapter, int device, bool connected)
{
    State* s = nullptr;
    auto lock = lockState(s);
    BoxRuntime* box = findBox(*s, adapter, device);
    if (!box)
        return false;
    box->setConnected(connected);
    return true;
}

bool unplugAfterFrames(const std::string& function, const std::string& adapter, int device, int frames)
{
    State* s = nullptr;
    auto lock = lockState(s);
    if (!findBox(*s, adapter, device) || frames < 1)
        return false;
    s->cut = State::Cut{function, adapter, device, std::size_t(frames), 0, true, false};
    return true;
}

bool unplugMade()
{
    State* s = nullptr;
    auto lock = lockState(s);
    return s->cut.made;
}

bool plug(const std::string& adapter, int device)
{
    return setPlugged(adapter, device, true);
}

bool unplug(const std::string& adapter, int device)
{
    return setPlugged(adapter, device, false);
}

void injectStatus(const std::string& function, int16_t status, int calls)
{
    State* s = nullptr;
    auto lock = lockState(s);
    if (calls > 0)
        s->injected[function] = {status, calls};
    else
        s->injected.erase(function);
}

bool setFail(const std::string& adapter, int device, const std::string& function, int16_t status)
{
    State* s = nullptr;
    auto lock = lockState(s);
    FailMap* fail = &s->benchFail;
    if (!adapter.empty()) {
        BoxRuntime* box = findBox(*s, adapter, device);
        if (!box)
            return false;
        fail = &box->setup.fail;
    }
    if (status == 0)
        fail->erase(function);
    else
        (*fail)[function] = status;
    return true;
}

void holdNextCall(const std::string& function, int milliseconds)
{
    moxta::holdNextCall(function, std::chrono::milliseconds(milliseconds));
}

bool waitForHeldCall(int timeoutMs)
{
    return moxta::waitForHeldCall(std::chrono::milliseconds(timeoutMs));
}

std::vector<CallRecord> callLog()
{
    State* s = nullptr;
    auto lock = lockState(s);
    return std::vector<CallRecord>(s->log.begin(), s->log.end());
}

void clearCallLog()
{
    State* s = nullptr;
    auto lock = lockState(s);
    s->log.clear();
}

bool storedConfiguration(const std::string& adapter, int device, StoredConfiguration& out)
{
    State* s = nullptr;
    auto lock = lockState(s);
    const BoxRuntime* box = findBox(*s, adapter, device);
    if (!box)
        return false;
    const Configuration& c = box->stored;
    out = StoredConfiguration();
    out.type = c.type();
    for (std::size_t i = 0; i < c.values().size(); ++i)
        out.values.emplace_back(c.index().numeric[i]->name, c.values()[i]);
    for (std::size_t i = 0; i < c.strings().size(); ++i)
        out.strings.emplace_back(c.index().layout->strings[i].name, c.strings()[i]);
    return true;
}

bool boxState(const std::string& adapter, int device, BoxState& out)
{
    State* s = nullptr;
    auto lock = lockState(s);
    const BoxRuntime* box = findBox(*s, adapter, device);
    if (!box)
        return false;
    out.connected = box->setup.connected;
    out.inBootloader = box->inBootloader;
    out.applicationRunning = box->applicationRunning;
    out.poweredSeconds = box->poweredSeconds();
    out.programmed = box->programmed;
    out.activated = box->activated;
    out.initLockResets = box->initLockResets;
    out.memoryPositionErasures = box->memoryPositionErasures;
    out.downloadedBytes = box->imageDownloaded ? box->downloadedBytes : 0;
    return true;
}

} // namespace moxtasim

// The C functions of moxtausbdll.h over the simulated bench.

#include "moxtausbdll.h"

#include "cfgfile.h"
#include "inilite.h"
#include "intelhex.h"
#include "library.h"
#include "statusnames.h"

#include <algorithm>
#include <cstring>
#include <string>

using namespace moxta;

namespace {

// The boxes' application area: what a firmware image may write.
constexpr ProgramArea kProgramArea{0x00000000, 0x00020000};
constexpr std::size_t kMaxHexFileBytes = 16 * 1024 * 1024;

std::string args() { return std::string(); }

template <typename T>
std::string arg(const T& v)
{
    return std::to_string(v);
}

template <typename First, typename... Rest>
std::string args(const First& first, const Rest&... rest)
{
    std::string s = first;
    ((s += ", " + rest), ...);
    return s;
}

// Checks common to every call that talks to a box: an open adapter with usage 8.
std::optional<int16_t> linReady(const State& s)
{
    if (s.openAdapter < 0)
        return ERROR_GEN_READWRITE;
    if (s.usage != 8)
        return ERROR_INVALID_COMMAND;
    return std::nullopt;
}

// The addressed box, or the status the call gives when none answers (after the LIN timeout).
BoxRuntime* box(State& s, uint8_t device, int16_t& status)
{
    if (auto notReady = linReady(s)) {
        status = *notReady;
        return nullptr;
    }
    BoxRuntime* b = answeringBox(s, device);
    if (!b) {
        linDelay(s, 8);
        status = ERROR_READ_TIMEOUT;
    }
    return b;
}

std::size_t configurationBytes(const Configuration& c)
{
    std::size_t bytes = c.values().size() * 2;
    for (const std::string& text : c.strings())
        bytes += text.size() + 1;
    return bytes;
}

// The addressed box for a transfer of the whole configuration: a session must be open and hold the
// box's layout.
BoxRuntime* sessionBox(State& s, uint8_t device, int16_t& status)
{
    if (!s.session) {
        status = ERROR_CFG_NOT_OPEN;
        return nullptr;
    }
    BoxRuntime* b = box(s, device, status);
    if (b && b->stored.type() != s.session->type()) {
        status = ERROR_CFG_ILLEGAL_HW;
        return nullptr;
    }
    return b;
}

// The box on the open adapter that sits in its bootloader.
BoxRuntime* bootloaderBox(State& s)
{
    if (s.openAdapter < 0)
        return nullptr;
    for (BoxRuntime& b : s.boxes)
        if (b.setup.adapter == s.adapters[std::size_t(s.openAdapter)].name && b.setup.connected && b.inBootloader)
            return &b;
    return nullptr;
}

// The status of a transfer cut short, as the maker's library gives it: a generic error when the
// adapter is gone, the LIN timeout when the box stopped answering.
int16_t statusOf(TransferEnd end, int16_t whenBusy = ERROR_READ_TIMEOUT)
{
    switch (end) {
    case TransferEnd::Done: return OK;
    case TransferEnd::AdapterGone: return ERROR_GEN_READWRITE;
    case TransferEnd::NoAnswer: return ERROR_READ_TIMEOUT;
    case TransferEnd::BecameBusy: return whenBusy;
    }
    return ERROR_GEN_READWRITE;
}

// A call to one box: the common checks, the LIN transfer of `bytes`, then the work.
template <typename Work>
int16_t boxCall(const char* function, std::string arguments, uint8_t device, std::size_t bytes, Work work)
{
    Call call(function, std::move(arguments), device);
    if (auto status = call.injected())
        return *status;
    int16_t status = OK;
    BoxRuntime* b = box(call.s, device, status);
    if (!b)
        return status;
    if (const TransferEnd end = transfer(call.s, bytes, b); end != TransferEnd::Done)
        return statusOf(end);
    return work(call.s, *b);
}

// A call on the open session.
template <typename Work>
int16_t sessionCall(const char* function, std::string arguments, Work work)
{
    Call call(function, std::move(arguments));
    if (auto status = call.injected())
        return *status;
    if (!call.s.session)
        return ERROR_CFG_NOT_OPEN;
    return work(call.s, *call.s.session);
}

} // namespace

extern "C" {

int16_t zbx_FindAllMoxtaDevices(char* buf, int32_t size)
{
    Call call("zbx_FindAllMoxtaDevices", args(pointer(buf), arg(size)));
    if (auto status = call.injected())
        return *status;
    std::string names;
    for (const AdapterSpec& a : call.s.adapters)
        names += (names.empty() ? "" : "\t") + a.name;
    copyText(names, buf, size);
    return int16_t(call.s.adapters.size());
}

int32_t zbx_OpenSpecificDevice(const char* name)
{
    Call call("zbx_OpenSpecificDevice", quoted(name));
    State& s = call.s;
    s.openAdapter = -1;
    s.usage = 0;
    s.handsetCommands = 0;
    if (call.injected() || !name)
        return 0;
    for (std::size_t i = 0; i < s.adapters.size(); ++i)
        if (s.adapters[i].name == name) {
            if (s.adapters[i].inUse)
                return 0;
            s.openAdapter = int(i);
            return 1;
        }
    return 0;
}

void zbx_CloseDevice(void)
{
    Call call("zbx_CloseDevice", args());
    call.s.openAdapter = -1;
    call.s.usage = 0;
    call.s.handsetCommands = 0;
}

int32_t zbx_SetUsageOfControlLink(int32_t usage)
{
    Call call("zbx_SetUsageOfControlLink", arg(usage));
    State& s = call.s;
    if (call.injected() || s.openAdapter < 0)
        return 0;
    if (usage != 0 && usage != 4 && usage != 6 && usage != 8)
        return 0;
    if (usage == 8 && !s.adapters[std::size_t(s.openAdapter)].usable)
        return 0;
    if (usage != s.usage)
        s.handsetCommands = 0;
    s.usage = usage;
    return 1;
}

int32_t zbx_GetData(unsigned char* buf)
{
    Call call("zbx_GetData", pointer(buf));
    State& s = call.s;
    if (call.injected() || s.openAdapter < 0 || s.usage != 0)
        return 0;
    bool answering = false;
    for (int d = 0; d <= 3; ++d)
        answering = answering || answeringBox(s, d);
    if (buf) {
        const unsigned char frame[8] = {0x3C, static_cast<unsigned char>(answering ? 0xA5 : 0x00), 0, 0, 0, 0, 0, 0};
        std::memcpy(buf, frame, sizeof frame);
    }
    return answering ? 0xA5 : 0;
}

int32_t zbx_GetZubrexSerial(unsigned char* buf, int32_t size)
{
    Call call("zbx_GetZubrexSerial", args(pointer(buf), arg(size)));
    State& s = call.s;
    if (call.injected() || s.openAdapter < 0 || !buf || size < 2)
        return 0;
    const std::string& serial = s.adapters[std::size_t(s.openAdapter)].serial;
    const std::size_t chars = std::min(serial.size(), std::size_t(size) / 2 - 1);
    for (std::size_t i = 0; i < chars; ++i) {
        buf[2 * i] = static_cast<unsigned char>(serial[i]);
        buf[2 * i + 1] = 0;
    }
    buf[2 * chars] = 0;
    buf[2 * chars + 1] = 0;
    return 1;
}

int32_t zbx_IdentifyZubrex(const char* name)
{
    Call call("zbx_IdentifyZubrex", quoted(name));
    if (call.injected() || !name)
        return 0;
    for (const AdapterSpec& a : call.s.adapters)
        if (a.name == name)
            return 1;
    return 0;
}

int16_t lin_OpenConfig(const char* type, int32_t reserved1, int32_t reserved2)
{
    Call call("lin_OpenConfig", args(quoted(type), arg(reserved1), arg(reserved2)));
    if (auto status = call.injected())
        return *status;
    const LayoutIndex* layout = type ? findLayout(type) : nullptr;
    if (!layout)
        return ERROR_CFG_NO_SUCH_CONFIG;
    State& s = call.s;
    s.session.emplace(*layout);
    s.sessionResetToDefaults = false;
    s.sessionRunMode = false;
    return int16_t(s.session->parameterCount());
}

int16_t lin_CloseConfig(void)
{
    Call call("lin_CloseConfig", args());
    if (auto status = call.injected())
        return *status;
    if (!call.s.session)
        return ERROR_CFG_NOT_OPEN;
    call.s.session.reset();
    return OK;
}

int16_t lin_GetConfig(const char* name, uint16_t* value)
{
    return sessionCall("lin_GetConfig", args(quoted(name), pointer(value)), [&](State&, Configuration& session) {
        return name && value ? session.get(name, *value) : int16_t(ERROR_CFG_INVALID_PARAMETER);
    });
}

int16_t lin_GetConfigDefault(const char* name, uint16_t* value)
{
    return sessionCall("lin_GetConfigDefault", args(quoted(name), pointer(value)), [&](State&, Configuration& session) {
        return name && value ? session.getDefault(name, *value) : int16_t(ERROR_CFG_INVALID_PARAMETER);
    });
}

int16_t lin_SetConfig(const char* name, uint16_t value)
{
    return sessionCall("lin_SetConfig", args(quoted(name), arg(value)), [&](State&, Configuration& session) {
        return name ? session.set(name, value) : int16_t(ERROR_CFG_INVALID_PARAMETER);
    });
}

int16_t lin_GetStringConfig(const char* name, char* buf, int32_t size)
{
    return sessionCall("lin_GetStringConfig", args(quoted(name), pointer(buf), arg(size)), [&](State&, Configuration& session) {
        if (!name || !buf || size < 1)
            return int16_t(ERROR_CFG_INVALID_PARAMETER);
        std::string text;
        const int16_t status = session.getString(name, text);
        if (status == OK)
            copyText(text, buf, size);
        return status;
    });
}

int16_t lin_SetStringConfig(const char* name, const char* text)
{
    return sessionCall("lin_SetStringConfig", args(quoted(name), quoted(text)), [&](State&, Configuration& session) {
        return name && text ? session.setString(name, text) : int16_t(ERROR_CFG_INVALID_PARAMETER);
    });
}

int16_t lin_GetConfigNameExt(char* buf, int32_t size, int32_t index)
{
    return sessionCall("lin_GetConfigNameExt", args(pointer(buf), arg(size), arg(index)), [&](State&, Configuration& session) {
        const LayoutIndex& layout = session.index();
        if (!buf || size < 1 || index < 0 || std::size_t(index) >= layout.numeric.size())
            return int16_t(ERROR_CFG_INVALID_PARAMETER);
        copyText(layout.numeric[std::size_t(index)]->name, buf, size);
        return int16_t(OK);
    });
}

int16_t lin_GetConfigMemBlockName(char* buf, int32_t size, int32_t index)
{
    return sessionCall("lin_GetConfigMemBlockName", args(pointer(buf), arg(size), arg(index)), [&](State&, Configuration& session) {
        const Layout& layout = *session.index().layout;
        if (!buf || size < 1 || index < 0 || std::size_t(index) >= layout.blocks.size())
            return int16_t(ERROR_CFG_INVALID_PARAMETER);
        copyText(layout.blocks[std::size_t(index)].name, buf, size);
        return int16_t(OK);
    });
}

int32_t lin_GetConfigResetToDefaults(void)
{
    Call call("lin_GetConfigResetToDefaults", args());
    if (call.injected())
        return 0;
    return call.s.session && call.s.sessionResetToDefaults ? 1 : 0;
}

int16_t lin_SetConfigResetToDefaults(int32_t on)
{
    return sessionCall("lin_SetConfigResetToDefaults", arg(on), [&](State& s, Configuration&) {
        s.sessionResetToDefaults = on != 0;
        return int16_t(OK);
    });
}

int16_t lin_LoadConfig(const char* file, char* buf, int32_t size)
{
    Call call("lin_LoadConfig", args(quoted(file), pointer(buf), arg(size)));
    if (auto status = call.injected())
        return *status;
    State& s = call.s;
    if (!s.session)
        return ERROR_CFG_NOT_OPEN;
    if (!file || !*file)
        return ERROR_CFG_NO_FILE;
    CfgFile loaded;
    const int16_t status = loadCfg(file, loaded);
    if (status != OK)
        return status;
    s.session.emplace(std::move(*loaded.configuration));
    s.sessionResetToDefaults = loaded.resetToDefaults;
    s.sessionRunMode = false;
    copyText(loaded.hexFile, buf, size);
    return OK;
}

int16_t lin_SaveConfig(const char* file, const char* hexFile, int32_t reserved)
{
    return sessionCall("lin_SaveConfig", args(quoted(file), quoted(hexFile), arg(reserved)), [&](State& s, Configuration& session) {
        if (!file || !*file)
            return int16_t(ERROR_CFG_NO_PATH);
        return saveCfg(file, session, hexFile ? hexFile : "", s.sessionResetToDefaults);
    });
}

int16_t lin_GetErrorMessage(int16_t status, char* buf, int32_t size)
{
    Call call("lin_GetErrorMessage", args(arg(status), pointer(buf), arg(size)));
    if (auto injected = call.injected())
        return *injected;
    if (!buf || size < 1)
        return ERROR_CFG_INVALID_PARAMETER;
    copyText(statusName(status), buf, size);
    return OK;
}

int16_t lin_ReadConfigRunMode(uint8_t device, int32_t reserved)
{
    Call call("lin_ReadConfigRunMode", args(arg(device), arg(reserved)), device);
    if (auto status = call.injected())
        return *status;
    State& s = call.s;
    int16_t status = OK;
    BoxRuntime* b = sessionBox(s, device, status);
    if (!b)
        return status;
    if (const TransferEnd end = transfer(s, configurationBytes(b->stored), b, BoxRole::Configuring); end != TransferEnd::Done)
        return statusOf(end);
    s.session.emplace(b->stored);
    s.sessionResetToDefaults = false;
    s.sessionRunMode = true;
    return int16_t(std::max(1, s.session->parameterCount()));
}

int32_t lin_ConfigRunMode(void)
{
    Call call("lin_ConfigRunMode", args());
    if (call.injected())
        return 0;
    return call.s.session && call.s.sessionRunMode ? 1 : 0;
}

int16_t lin_ProgramConfigRunMode(uint8_t device, int32_t reserved1, int32_t reserved2)
{
    Call call("lin_ProgramConfigRunMode", args(arg(device), arg(reserved1), arg(reserved2)), device);
    if (auto status = call.injected())
        return *status;
    State& s = call.s;
    int16_t status = OK;
    BoxRuntime* b = sessionBox(s, device, status);
    if (!b)
        return status;
    Configuration programmed = s.sessionResetToDefaults ? Configuration(s.session->index()) : *s.session;
    // The box takes the new configuration whole at the end of the transfer: one cut short leaves it
    // with the one it had. A box that starts driving refuses the rest.
    if (const TransferEnd end = transfer(s, configurationBytes(programmed), b, BoxRole::Configuring);
        end != TransferEnd::Done)
        return statusOf(end, ERROR_CFG_WRITING);
    // A box that ignores some parameters says nothing of it.
    for (const std::string& name : b->setup.keeps)
        if (uint16_t held = 0; b->stored.get(name, held) == OK)
            programmed.set(name, held);
    if (!b->setup.configPath.empty() && saveCfg(b->setup.configPath, programmed, std::string(), false) != OK)
        return ERROR_CFG_WRITING;
    b->stored = programmed;
    ++b->programmed;
    s.sessionRunMode = true;
    return OK;
}

int16_t lin_RC_ActivateConfig(uint8_t device)
{
    return boxCall("lin_RC_ActivateConfig", arg(device), device, 8, [](State&, BoxRuntime& b) {
        ++b.activated;
        return int16_t(OK);
    });
}

int16_t lin_RC_GetSoftwareVersion(uint8_t device, int32_t* software, uint16_t* version, uint16_t* a, uint16_t* b)
{
    return boxCall("lin_RC_GetSoftwareVersion", args(arg(device), pointer(software), pointer(version), pointer(a), pointer(b)),
                   device, 8, [&](State&, BoxRuntime& bx) {
                       if (software)
                           *software = bx.setup.software;
                       if (version)
                           *version = bx.setup.version;
                       if (a)
                           *a = 0;
                       if (b)
                           *b = 0;
                       return int16_t(OK);
                   });
}

int16_t lin_RC_GetProductionInfo(uint8_t device, char* serial, char* date)
{
    return boxCall("lin_RC_GetProductionInfo", args(arg(device), pointer(serial), pointer(date)), device, 32,
                   [&](State&, BoxRuntime& b) {
                       copyText(b.setup.serial, serial, 16);
                       copyText(b.setup.date, date, 16);
                       return int16_t((b.setup.revision << 8) | b.setup.hardwareId);
                   });
}

int16_t lin_GetRC_ProductInfo(uint8_t device, unsigned char* buf)
{
    return boxCall("lin_GetRC_ProductInfo", args(arg(device), pointer(buf)), device, 64, [&](State&, BoxRuntime& b) {
        if (!buf)
            return int16_t(ERROR_CFG_INVALID_PARAMETER);
        std::memset(buf, 0, 64);
        buf[0] = b.setup.hardwareId;
        buf[1] = b.setup.productClass;
        return int16_t(OK);
    });
}

int16_t lin_RC_GetActivations32(uint8_t device, uint32_t* activations, uint32_t* sitStands)
{
    return boxCall("lin_RC_GetActivations32", args(arg(device), pointer(activations), pointer(sitStands)), device, 8,
                   [&](State&, BoxRuntime& b) {
                       if (activations)
                           *activations = b.setup.activations;
                       if (sitStands)
                           *sitStands = b.setup.sitStands;
                       return int16_t(OK);
                   });
}

int16_t lin_RC_GetConfigBusy(uint8_t device)
{
    return boxCall("lin_RC_GetConfigBusy", arg(device), device, 2, [](State&, BoxRuntime& b) {
        return b.setup.busy < 0 ? int16_t(ERROR_INVALID_COMMAND) : int16_t(b.setup.busy);
    });
}

int16_t lin_RC_DoAny(uint8_t device, uint16_t command, uint16_t length, unsigned char* buf)
{
    Call call("lin_RC_DoAny", args(arg(device), arg(command), arg(length), pointer(buf)), device);
    if (auto status = call.injected())
        return *status;
    State& s = call.s;
    if (device == 129 && command == 0x8026) {
        if (auto notReady = linReady(s))
            return *notReady;
        linDelay(s, 8);
        int reset = 0;
        for (int d = 0; d <= 3; ++d)
            if (BoxRuntime* b = answeringBox(s, d)) {
                ++b->initLockResets;
                ++reset;
            }
        return reset > 0 ? OK : ERROR_READ_TIMEOUT;
    }
    if (command != 22)
        return ERROR_INVALID_COMMAND;
    if (!buf || length < 5)
        return ERROR_CFG_INVALID_PARAMETER;
    int16_t status = OK;
    BoxRuntime* b = box(s, device, status);
    if (!b)
        return status;
    linDelay(s, 8);
    const uint32_t powered = b->poweredSeconds();
    unsigned char reply[64] = {22,
                               static_cast<unsigned char>(powered),
                               static_cast<unsigned char>(powered >> 8),
                               static_cast<unsigned char>(powered >> 16),
                               static_cast<unsigned char>(powered >> 24)};
    std::memcpy(buf, reply, std::min<std::size_t>(length, sizeof reply));
    return OK;
}

int16_t lin_RC_GetErrors(uint8_t device, unsigned char* buf)
{
    return boxCall("lin_RC_GetErrors", args(arg(device), pointer(buf)), device, 64, [&](State&, BoxRuntime& b) {
        if (!buf)
            return int16_t(ERROR_CFG_INVALID_PARAMETER);
        std::memset(buf, 0, 64);
        for (std::size_t i = 0; i < b.setup.errors.size() && i < 10; ++i) {
            const ErrorRecord& r = b.setup.errors[i];
            unsigned char* p = buf + 6 * i;
            p[0] = static_cast<unsigned char>(r.time);
            p[1] = static_cast<unsigned char>(r.time >> 8);
            p[2] = static_cast<unsigned char>(r.time >> 16);
            p[3] = static_cast<unsigned char>(r.time >> 24);
            p[4] = static_cast<unsigned char>(r.code);
            p[5] = static_cast<unsigned char>(r.code >> 8);
        }
        return int16_t(OK);
    });
}

int16_t lin_RC_GotoBootMode(uint8_t device)
{
    return boxCall("lin_RC_GotoBootMode", arg(device), device, 8, [](State&, BoxRuntime& b) {
        b.inBootloader = true;
        b.applicationRunning = false;
        b.imageDownloaded = false;
        b.downloadedBytes = 0;
        return int16_t(OK);
    });
}

int16_t lin_SetHandsetCommand(uint8_t command1, uint8_t command2)
{
    Call call("lin_SetHandsetCommand", args(arg(command1), arg(command2)));
    if (auto status = call.injected())
        return *status;
    State& s = call.s;
    if (s.openAdapter < 0)
        return ERROR_GEN_READWRITE;
    if (s.usage != 4)
        return ERROR_INVALID_COMMAND;
    linDelay(s, 8);
    if (command1 != 78 || command2 != 78) {
        s.handsetCommands = 0;
        return OK;
    }
    if (++s.handsetCommands == 3) {
        s.handsetCommands = 0;
        for (int d = 0; d <= 3; ++d)
            if (BoxRuntime* b = findBox(s, s.adapters[std::size_t(s.openAdapter)].name, d);
                b && b->setup.connected && b->applicationRunning && !b->inBootloader)
                ++b->memoryPositionErasures;
    }
    return OK;
}

int16_t nbl_Download(const char* hexFile, int32_t reserved1, MoxtaProgressCallback progress, int32_t reserved2)
{
    Call call("nbl_Download", args(quoted(hexFile), arg(reserved1), pointer(reinterpret_cast<const void*>(progress)),
                                   arg(reserved2)));
    if (auto status = call.injected())
        return *status;
    State& s = call.s;
    std::string text;
    if (!hexFile || !readWholeFile(hexFile, text, kMaxHexFileBytes))
        return ERROR_OPEN_FILE;
    HexImage image;
    if (!parseIntelHex(text, kProgramArea, image))
        return ERROR_MANGLED_FILE;
    BoxRuntime* b = s.usage == 6 ? bootloaderBox(s) : nullptr;
    if (!b)
        return ERROR_NO_DOWNLOAD;

    // The program area is erased before the first block goes over: from here on the old
    // application is gone, until the new one is complete.
    b->imageDownloaded = false;
    b->downloadedBytes = 0;
    const std::size_t total = image.dataBytes;
    if (total > 0)
        b->applicationIntact = false;
    constexpr int kSteps = 100;
    for (int step = 0; step <= kSteps; ++step) {
        if (progress && !progress(step))
            return ERROR_GEN_READWRITE;
        if (!b->setup.connected || !b->inBootloader)
            return ERROR_READ_TIMEOUT; // unplugged while the callback ran
        if (step < kSteps) {
            const std::size_t piece = total * std::size_t(step + 1) / kSteps - total * std::size_t(step) / kSteps;
            if (const TransferEnd end = transfer(s, piece, b, BoxRole::Bootloader); end != TransferEnd::Done)
                return statusOf(end); // the program area stays erased: the box keeps to its bootloader
        }
    }
    b->imageDownloaded = true;
    b->downloadedBytes = total;
    if (total > 0)
        b->applicationIntact = true;
    return OK;
}

int16_t nbl_ExecuteApp(void)
{
    Call call("nbl_ExecuteApp", args());
    if (auto status = call.injected())
        return *status;
    State& s = call.s;
    BoxRuntime* b = s.usage == 6 ? bootloaderBox(s) : nullptr;
    // A downloaded image must hold data for the program area; without a download the bootloader
    // starts the application that is there, if it is whole.
    if (!b || (b->imageDownloaded ? b->downloadedBytes == 0 : !b->applicationIntact))
        return ERROR_NO_EXECUTE;
    b->inBootloader = false;
    b->applicationRunning = true;
    return OK;
}

int16_t nbl_ChangeSpeed(int32_t speed)
{
    Call call("nbl_ChangeSpeed", arg(speed));
    if (auto status = call.injected())
        return *status;
    return call.s.openAdapter >= 0 ? OK : ERROR_GEN_READWRITE;
}

} // extern "C"

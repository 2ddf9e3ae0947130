#pragma once

// The simulated bench: Zubrex adapters and the control boxes on them, as a bench file describes.

#include "session.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace moxta {

// Statuses to return from named functions instead of doing their work.
using FailMap = std::map<std::string, int16_t>;

struct AdapterSpec
{
    std::string name;
    std::string serial;
    bool usable = true;
    bool inUse = false;
};

struct ErrorRecord
{
    uint32_t time = 0;
    uint16_t code = 0;
};

struct BoxSpec
{
    std::string adapter;
    int device = 0;
    bool connected = true;
    uint8_t hardwareId = 12;
    uint8_t revision = 1;
    uint8_t productClass = 0;
    int32_t software = 0;
    uint16_t version = 0;
    std::string serial;
    std::string date;
    uint32_t activations = 0;
    uint32_t sitStands = 0;
    int busy = 0; // 1 busy, -1 the busy query is unsupported
    uint32_t poweredSeconds = 0;
    std::vector<ErrorRecord> errors; // at most ten, in buffer order
    std::string configType = "KVR5E";
    std::string configPath; // absolute or relative to the working directory; empty: kept in memory
    std::optional<Configuration> configuration; // from configPath when it exists, else the layout's defaults
    FailMap fail;
    // Parameters the box silently keeps when it is programmed (a box whose firmware ignores them).
    std::vector<std::string> keeps;
};

struct Bench
{
    int linBaud = 0;
    int linTimeDivisor = 1; // the bus runs that many times faster than its baud rate says
    FailMap fail;
    std::vector<AdapterSpec> adapters;
    std::vector<BoxSpec> boxes;
};

// Parses a bench; relative config= paths are taken from baseDirectory. On a fault: false, an empty
// bench and "line N: reason" in error. Unknown keys are not faults: each is named in warnings.
bool parseBench(std::string_view text, const std::string& baseDirectory, Bench& bench, std::string& error,
                std::vector<std::string>& warnings);

// The bench served when no bench file is named: one adapter with one desk box, LIN timing on.
const char* defaultBenchText();

} // namespace moxta

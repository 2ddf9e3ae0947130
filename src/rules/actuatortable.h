#pragma once

// The actuator table: the actuator types of the current actuator file and those a shown
// configuration added, as the actuator lists offer them.

#include <QString>

#include <cstdint>
#include <vector>

namespace rules {

struct ActuatorEntry
{
    QString name; // at most 19 characters; "*" + name for a configuration's own actuator
    uint8_t length = 21;
    uint8_t type = 0;
    uint8_t family = 0;
    uint8_t subtype = 0;
    uint16_t kemf = 0;
    uint16_t rmi = 0;
    uint16_t p2mm = 0;
    uint8_t cm = 0;
    uint16_t gfd = 0;
    uint8_t iup = 0;
    uint8_t idw = 0;
    uint16_t physstroke = 0;
    uint16_t logistroke = 0;
    uint8_t dbeUp = 0;
    uint8_t dbeDw = 0;
    uint8_t endstopUp = 0;
    uint8_t endstopDn = 0;
    uint8_t psys = 0;
    uint8_t piezo = 0;
    uint8_t speed = 0;
    uint8_t initplug = 0;
    bool disableSlsUp = false;
    bool disableSlsDown = false;
    bool disableSlsAcc = false;
    QString warningText;
};

// Entries from the current actuator file, then those a shown configuration added; at most 100.
struct ActuatorTable
{
    static constexpr int kMaxEntries = 100;
    std::vector<ActuatorEntry> entries;
};

} // namespace rules

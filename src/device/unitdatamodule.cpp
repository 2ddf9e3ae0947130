#include "device/unitdatamodule.h"

#include <iterator>

namespace device {

namespace {

struct StatusName
{
    int16_t status;
    const char* name;
};

constexpr StatusName kStatusNames[] = {
    {0, "OK"},
    {-1, "ERROR_GEN_READWRITE"},
    {-2, "ERROR_READ_TIMEOUT"},
    {-3, "ERROR_READ_LIMIT"},
    {-4, "ERROR_BAD_CHKSUM"},
    {-5, "ERROR_RETRY_LIMIT"},
    {-6, "ERROR_INVALID_COMMAND"},
    {-7, "ERROR_BLOCK_TOO_SMALL"},
    {-8, "ERROR_PACKET_TOO_BIG"},
    {-9, "ERROR_OFF_BOUNDRY"},
    {-10, "ERROR_BPA_TOO_SMALL"},
    {-11, "ERROR_BPA_TOO_BIG"},
    {-12, "ERROR_VERIFY_FAILED"},
    {-13, "ERROR_WRITE_RETURN"},
    {-14, "ERROR_OVERRUN"},
    {-15, "ERROR_UNKNOWN_PIC"},
    {-16, "ERROR_TOO_LONG"},
    {-17, "ERROR_OPEN_FILE"},
    {-18, "ERROR_MANGLED_FILE"},
    {-19, "ERROR_NO_EXECUTE"},
    {-20, "ERROR_CFG_NO_PATH"},
    {-21, "ERROR_CFG_NO_KEY"},
    {-22, "ERROR_CFG_TOO_MANY_CONFIGS"},
    {-23, "ERROR_CFG_INVALID_SECTIONNAME"},
    {-24, "ERROR_CFG_INVALID_PARAMETER"},
    {-25, "ERROR_CFG_NO_MEM"},
    {-26, "ERROR_CFG_PATH_TOO_LONG"},
    {-27, "ERROR_CFG_INVALID_ADDR"},
    {-28, "ERROR_CFG_NOT_OPEN"},
    {-29, "ERROR_CFG_NO_SUCH_CONFIG"},
    {-30, "ERROR_CFG_NO_FILE"},
    {-31, "ERROR_CFG_UNKNOWN_PARAMETER"},
    {-32, "ERROR_CFG_WRITING"},
    {-33, "ERROR_CFG_ILLEGAL_HW"},
    {-34, "ERROR_CFG_UNDECODABLE_TEXT"},
    {-40, "ERROR_READ_SERIAL"},
    {-41, "ERROR_UNKNOWN_FORMAT"},
    {-42, "ERROR_OUT_OF_SERIAL"},
    {-50, "ERROR_ZBX_TOO_OLD"},
    {-51, "ERROR_INVALID_HARDWARE"},
    {-52, "ERROR_NO_DOWNLOAD"},
};

struct Designation
{
    uint8_t id;
    const char* text;
};

// Family prefixes matter: the comparison window tells bed boxes by "WZQ" and "RQ9", so no other
// designation may begin with either.
constexpr Designation kDesignations[] = {
    {1, "KVR1 1-channel desk box"},
    {2, "KVR2 2-channel desk box"},
    {3, "KVR3 3-channel desk box"},
    {4, "KVR4 4-channel desk box"},
    {5, "Reserved"},
    {12, "KVR5E 2-channel desk box"},
    {13, "KVR5E 3-channel desk box"},
    {22, "KVR6 1-channel desk box"},
    {23, "KVR6 2-channel desk box"},
    {24, "KVR6 3-channel desk box"},
    {25, "KVR6 4-channel desk box"},
    {32, "KVR7 2-channel desk box, 24 V"},
    {33, "KVR7 3-channel desk box, 24 V"},
    {42, "KVR8 1-channel table box"},
    {43, "KVR8 2-channel table box"},
    {44, "KVR8 3-channel table box"},
    {45, "KVR8 4-channel table box"},
    {50, "KVR9 1-channel box, battery"},
    {51, "KVR9 2-channel box, battery"},
    {52, "KVR9 3-channel box, battery"},
    {53, "KVR9 4-channel box, battery"},
    {60, "Handset HS1, 2 keys"},
    {61, "Handset HS2, 4 keys"},
    {62, "Handset HS3, memory keys"},
    {70, "Display handset DH1"},
    {80, "WZQ2 bed box, 2 channels"},
    {81, "WZQ4 bed box, 4 channels and massage"},
    {90, "RQ9 bed box, 2 channels"},
    {95, "RQ9 bed box, 4 channels and massage"},
    {96, "RQ9 bed box, 4 channels and light"},
    {100, "MZ40 actuator, 24 V"},
    {101, "MZ40 actuator, 36 V"},
    {102, "MZ40 actuator with brake"},
    {103, "MZ40 actuator with position sensor"},
    {104, "MZ40 actuator, heavy duty"},
    {110, "Power unit PU1"},
    {120, "Radio receiver RX1"},
    {130, "Column controller CC1"},
    {131, "Column controller CC2"},
    {132, "Column controller CC3"},
    {133, "Column controller CC4"},
    {134, "Column controller CC5"},
    {135, "Column controller CC6, 2 columns"},
    {136, "Column controller CC6, 3 columns"},
    {137, "Column controller CC6, 2 columns"},
    {138, "Column controller CC6, 3 columns"},
    {140, "Lifting column LC1"},
    {145, "Lifting column LC2, 2 stages"},
    {146, "Lifting column LC2, 3 stages"},
};

} // namespace

QString statusName(int16_t status)
{
    for (const StatusName& entry : kStatusNames)
        if (entry.status == status)
            return QString::fromLatin1(entry.name);
    return QStringLiteral("Unknown error code");
}

QString hardwareDesignation(uint8_t hardwareId)
{
    for (const Designation& entry : kDesignations)
        if (entry.id == hardwareId)
            return QString::fromLatin1(entry.text);
    return QStringLiteral("UNKNOWN");
}

int hardwareDesignationCount()
{
    return int(std::size(kDesignations));
}

} // namespace device

TDM::TDM(QObject* parent)
    : QObject(parent)
{
    setObjectName(QStringLiteral("DM"));
}

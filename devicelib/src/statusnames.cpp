#include "statusnames.h"

namespace moxta {

namespace {

struct Entry
{
    int status;
    const char* name;
};

constexpr Entry kNames[] = {
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

} // namespace

const char* statusName(int status)
{
    for (const Entry& e : kNames)
        if (e.status == status)
            return e.name;
    return "Unknown error code";
}

} // namespace moxta

#pragma once

// Statuses the library returns (negative = error) and their names.

#include <cstdint>

namespace moxta {

enum Status : int16_t {
    OK = 0,
    ERROR_GEN_READWRITE = -1,
    ERROR_READ_TIMEOUT = -2,
    ERROR_INVALID_COMMAND = -6,
    ERROR_TOO_LONG = -16,
    ERROR_OPEN_FILE = -17,
    ERROR_MANGLED_FILE = -18,
    ERROR_NO_EXECUTE = -19,
    ERROR_CFG_NO_PATH = -20,
    ERROR_CFG_INVALID_PARAMETER = -24,
    ERROR_CFG_NOT_OPEN = -28,
    ERROR_CFG_NO_SUCH_CONFIG = -29,
    ERROR_CFG_NO_FILE = -30,
    ERROR_CFG_UNKNOWN_PARAMETER = -31,
    ERROR_CFG_WRITING = -32,
    ERROR_CFG_ILLEGAL_HW = -33,
    ERROR_ZBX_TOO_OLD = -50,
    ERROR_NO_DOWNLOAD = -52,
};

// The name of a status; "Unknown error code" for one without a name.
const char* statusName(int status);

} // namespace moxta

#pragma once

// The .cfg configuration file: an INI text with the layout type, the firmware file name, the
// factory-defaults mark, every numeric parameter and every string parameter.

#include "session.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace moxta {

struct CfgFile
{
    std::optional<Configuration> configuration;
    std::string hexFile;
    bool resetToDefaults = false;
};

// Largest .cfg file read.
inline constexpr std::size_t kMaxCfgFileBytes = 4 * 1024 * 1024;

// OK; ERROR_MANGLED_FILE for text that is no configuration of a known layout (no [configuration],
// an unknown type, a value outside 0-65535, a repeated section, an unreadable line). Parameters the
// text does not name keep the layout's defaults; names the layout does not hold are ignored.
int16_t parseCfg(std::string_view text, CfgFile& out);
// As parseCfg, and ERROR_CFG_NO_FILE when the file cannot be read.
int16_t loadCfg(const std::string& path, CfgFile& out);

std::string formatCfg(const Configuration& configuration, const std::string& hexFile, bool resetToDefaults);
// OK, or ERROR_CFG_WRITING when the file cannot be written (the old file then stays as it was).
int16_t saveCfg(const std::string& path, const Configuration& configuration, const std::string& hexFile,
                bool resetToDefaults);

} // namespace moxta

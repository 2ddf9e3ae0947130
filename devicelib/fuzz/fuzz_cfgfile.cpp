// libFuzzer target: any text as a .cfg file. What parses must come back unchanged from the file
// this library writes for it.

#include "cfgfile.h"
#include "statusnames.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    moxta::CfgFile file;
    const int16_t status = moxta::parseCfg(text, file);
    if (status != moxta::OK) {
        if (status != moxta::ERROR_MANGLED_FILE || file.configuration)
            std::abort();
        return 0;
    }
    moxta::CfgFile again;
    const std::string written = moxta::formatCfg(*file.configuration, file.hexFile, file.resetToDefaults);
    if (moxta::parseCfg(written, again) != moxta::OK || !(*again.configuration == *file.configuration)
        || again.hexFile != file.hexFile || again.resetToDefaults != file.resetToDefaults)
        std::abort();
    return 0;
}

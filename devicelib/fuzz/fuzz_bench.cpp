// libFuzzer target: any text as a bench file. It must parse or fail cleanly, and a failure must
// leave an empty bench with a line-numbered reason.

#include "bench.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    moxta::Bench bench;
    std::string error;
    std::vector<std::string> warnings;
    // config= paths resolve below a folder that does not exist, so no file is ever read or written.
    if (!moxta::parseBench(text, "/nonexistent-fuzz-bench-dir", bench, error, warnings)) {
        if (!bench.adapters.empty() || !bench.boxes.empty() || error.rfind("line ", 0) != 0)
            std::abort();
        return 0;
    }
    for (const moxta::BoxSpec& box : bench.boxes)
        if (!box.configuration || box.device < 0 || box.device > 3 || box.errors.size() > 10)
            std::abort();
    return 0;
}

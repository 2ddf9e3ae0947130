#include "intelhex.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// An area near the top of the address space, so the overflow paths are reachable from small inputs.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const moxta::ProgramArea area{0xFFFF0000u, 0x10000u};
    moxta::HexImage image;
    std::string why;
    if (moxta::parseIntelHex(text, area, image, &why)) {
        std::size_t total = 0;
        for (const auto& chunk : image.chunks) {
            // Anything accepted must lie wholly inside the area.
            if (chunk.bytes.empty() || chunk.address < area.start
                || uint64_t(chunk.address) + chunk.bytes.size() > uint64_t(area.start) + area.size)
                __builtin_trap();
            total += chunk.bytes.size();
        }
        if (total != image.dataBytes)
            __builtin_trap();
    } else if (why.empty()) {
        __builtin_trap();
    }
    return 0;
}

#pragma once

// Intel HEX texts for the library's tests and benchmarks.

#include <algorithm>
#include <cstdio>
#include <string>

namespace hextext {

// An image of `size` bytes from address 0 (byte i holds (i * 31) & 0xFF), in records of 16 bytes,
// with extended linear address records at every 64 KiB and the end record.
inline std::string image(std::size_t size)
{
    std::string text;
    char line[64];
    for (std::size_t at = 0; at < size; at += 16) {
        if (at % 0x10000 == 0) {
            const unsigned upper = unsigned(at >> 16);
            std::snprintf(line, sizeof line, ":02000004%04X%02X\n", upper,
                          (0x100 - ((6 + (upper >> 8) + (upper & 0xFF)) & 0xFF)) & 0xFF);
            text += line;
        }
        const std::size_t n = std::min<std::size_t>(16, size - at);
        unsigned sum = unsigned(n) + ((at >> 8) & 0xFF) + (at & 0xFF);
        std::snprintf(line, sizeof line, ":%02X%04X00", unsigned(n), unsigned(at & 0xFFFF));
        text += line;
        for (std::size_t i = 0; i < n; ++i) {
            const unsigned byte = unsigned((at + i) * 31 & 0xFF);
            sum += byte;
            std::snprintf(line, sizeof line, "%02X", byte);
            text += line;
        }
        std::snprintf(line, sizeof line, "%02X\n", (0x100 - (sum & 0xFF)) & 0xFF);
        text += line;
    }
    return text + ":00000001FF\n";
}

} // namespace hextext

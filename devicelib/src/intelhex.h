#pragma once

// Intel HEX firmware images, as the box's bootloader takes them.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace moxta {

// The box's program memory: data records must fall inside [start, start + size).
struct ProgramArea
{
    uint32_t start = 0;
    uint32_t size = 0;
};

struct HexChunk
{
    uint32_t address = 0; // absolute address of the first byte
    std::vector<uint8_t> bytes;
};

struct HexImage
{
    std::vector<HexChunk> chunks; // in file order, one per data record
    std::size_t dataBytes = 0; // sum of the chunks' sizes
    bool hasStartAddress = false; // from a type 03 or 05 record
    uint32_t startAddress = 0;
};

// Parses a whole .hex text. Accepts record types 00 to 05 with their checksums, CR, LF or CRLF line
// ends, blank lines, and nothing but blank lines after the end record. Anything else (a bad checksum,
// an odd number of hex digits, a length that does not match, an unknown record type, data outside
// the program area, a missing end record) fails: false, with a one-line reason in *why when given.
bool parseIntelHex(std::string_view text, const ProgramArea& area, HexImage& image, std::string* why = nullptr);

} // namespace moxta

#include "intelhex.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <random>

using moxta::HexChunk;
using moxta::HexImage;
using moxta::ProgramArea;
using moxta::parseIntelHex;

namespace {

// One record with a correct byte count and checksum.
std::string rec(uint8_t type, uint16_t address, const std::vector<uint8_t>& data)
{
    std::vector<uint8_t> bytes{static_cast<uint8_t>(data.size()), static_cast<uint8_t>(address >> 8),
                               static_cast<uint8_t>(address), type};
    bytes.insert(bytes.end(), data.begin(), data.end());
    uint8_t sum = 0;
    for (uint8_t b : bytes)
        sum = static_cast<uint8_t>(sum + b);
    bytes.push_back(static_cast<uint8_t>(-sum));
    std::string line = ":";
    char pair[3];
    for (uint8_t b : bytes) {
        std::snprintf(pair, sizeof pair, "%02X", b);
        line += pair;
    }
    return line;
}

std::string data(uint16_t address, const std::vector<uint8_t>& bytes)
{
    return rec(0x00, address, bytes);
}

std::string linearBase(uint16_t upper)
{
    return rec(0x04, 0, {static_cast<uint8_t>(upper >> 8), static_cast<uint8_t>(upper)});
}

std::string segmentBase(uint16_t segment)
{
    return rec(0x02, 0, {static_cast<uint8_t>(segment >> 8), static_cast<uint8_t>(segment)});
}

const std::string eof = ":00000001FF";

std::vector<uint8_t> sequence(std::size_t n, uint8_t first)
{
    std::vector<uint8_t> out(n);
    for (std::size_t i = 0; i < n; ++i)
        out[i] = static_cast<uint8_t>(first + i);
    return out;
}

// Writes `bytes` at `address` the way common tools do: 04 records whenever the upper half changes,
// no record crossing a 64 KiB boundary.
std::string writeHex(uint32_t address, const std::vector<uint8_t>& bytes, uint32_t start, std::size_t perLine)
{
    std::string out;
    std::optional<uint16_t> upper;
    std::size_t done = 0;
    while (done < bytes.size()) {
        const uint32_t at = address + static_cast<uint32_t>(done);
        if (upper != static_cast<uint16_t>(at >> 16)) {
            upper = static_cast<uint16_t>(at >> 16);
            out += linearBase(*upper) + "\n";
        }
        const std::size_t n = std::min({perLine, bytes.size() - done, std::size_t(0x10000 - (at & 0xFFFF))});
        out += data(static_cast<uint16_t>(at), {bytes.begin() + done, bytes.begin() + done + n}) + "\n";
        done += n;
    }
    out += rec(0x05, 0, {uint8_t(start >> 24), uint8_t(start >> 16), uint8_t(start >> 8), uint8_t(start)}) + "\n";
    return out + eof + "\n";
}

const ProgramArea kArea{0x1000, 0x2000}; // [0x1000, 0x3000)

struct BadCase
{
    const char* name;
    std::string text;
    std::string why;
    ProgramArea area = kArea;
};

std::string corruptLastDigit(std::string line)
{
    line.back() = line.back() == '0' ? '1' : '0';
    return line;
}

std::string withCount(std::string line, const char* count)
{
    return line.replace(1, 2, count);
}

TEST(IntelHex, RejectsDefects)
{
    const ProgramArea top{0xFFFFFF00, 0x100};
    const ProgramArea pastTop{0xFFFFFF00, 0x200}; // end beyond 4 GiB
    const std::vector<BadCase> cases = {
        {"bad checksum", corruptLastDigit(data(0x1000, {1, 2})) + "\n" + eof, "line 1: bad checksum"},
        {"odd digit count", data(0x1000, {1, 2}).substr(0, 14) + "\n" + eof, "line 1: odd number of hex digits"},
        {"non-hex character", ":0110000G01DD\n" + eof, "line 1: not a hex digit"},
        {"embedded NUL", eof + std::string(1, '\0'), "line 1: not a hex digit"},
        {"too short", ":00000001\n" + eof, "line 1: record too short"},
        {"count above line length", withCount(data(0x1000, {1, 2}), "03") + "\n" + eof,
         "line 1: byte count does not match the line length"},
        {"count below line length", withCount(data(0x1000, {1, 2}), "01") + "\n" + eof,
         "line 1: byte count does not match the line length"},
        {"unknown record type", rec(0x06, 0, {}) + "\n" + eof, "line 1: unknown record type"},
        {"end record with data", rec(0x01, 0, {0}), "line 1: end-of-file record carries data"},
        {"02 with one byte", rec(0x02, 0, {1}) + "\n" + eof, "line 1: address record needs 2 data bytes"},
        {"04 with three bytes", rec(0x04, 0, {0, 0, 0}) + "\n" + eof, "line 1: address record needs 2 data bytes"},
        {"03 with two bytes", rec(0x03, 0, {0, 0}) + "\n" + eof, "line 1: start address record needs 4 data bytes"},
        {"05 with five bytes", rec(0x05, 0, {0, 0, 0, 0, 0}) + "\n" + eof,
         "line 1: start address record needs 4 data bytes"},
        {"no colon", data(0x1000, {1}).substr(1) + "\n" + eof, "line 1: record does not start with ':'"},
        {"leading blank", " " + eof, "line 1: record does not start with ':'"},
        {"byte order mark", "\xEF\xBB\xBF" + eof, "line 1: record does not start with ':'"},
        {"below the area", data(0x0FFF, {1}) + "\n" + eof, "line 1: data outside the program area"},
        {"last byte past the area", data(0x2FFF, {1, 2}) + "\n" + eof, "line 1: data outside the program area"},
        {"starts at the area end", data(0x3000, {1}) + "\n" + eof, "line 1: data outside the program area"},
        {"linear base moves it out", linearBase(1) + "\n" + data(0x1000, {1}) + "\n" + eof,
         "line 2: data outside the program area"},
        {"segment base moves it out", segmentBase(0x0200) + "\n" + data(0x0FFF, {1, 2}) + "\n" + eof,
         "line 2: data outside the program area"},
        {"wraps past 4 GiB", linearBase(0xFFFF) + "\n" + data(0xFFFF, {1, 2}) + "\n" + eof,
         "line 2: data outside the program area", top},
        {"area reaching past 4 GiB", linearBase(0xFFFF) + "\n" + data(0xFFFF, {1, 2}) + "\n" + eof,
         "line 2: data outside the program area", pastTop},
        {"wraps its segment", segmentBase(0x0100) + "\n" + data(0xFFFF, {1, 2}) + "\n" + eof,
         "line 2: data record wraps around its segment"},
        {"conflicting start", rec(0x05, 0, {0, 0, 0x10, 0}) + "\n" + rec(0x05, 0, {0, 0, 0x20, 0}) + "\n" + eof,
         "line 2: conflicting start address"},
        {"missing end record", data(0x1000, {1}) + "\n", "no end-of-file record"},
        {"empty file", "", "no end-of-file record"},
        {"only blank lines", "\n \r\n\t\n", "no end-of-file record"},
        {"data after the end", eof + "\n" + data(0x1000, {1}) + "\n",
         "line 2: content after the end-of-file record"},
        {"junk after the end", eof + "\n\nx", "line 3: content after the end-of-file record"},
        // Line numbers count a CRLF once and a lone CR as a line end of its own.
        {"line count over CRLF", "\r\n\r\n" + corruptLastDigit(eof), "line 3: bad checksum"},
        {"line count over CR", "\r\r" + corruptLastDigit(eof), "line 3: bad checksum"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HexImage image;
        std::string why;
        EXPECT_FALSE(parseIntelHex(c.text, c.area, image, &why));
        EXPECT_EQ(why, c.why);
        EXPECT_FALSE(parseIntelHex(c.text, c.area, image));
    }
}

TEST(IntelHex, RejectsOversizedText)
{
    const std::string text = eof + std::string(16 * 1024 * 1024, '\n');
    HexImage image;
    std::string why;
    EXPECT_FALSE(parseIntelHex(text, kArea, image, &why));
    EXPECT_EQ(why, "file too large");
}

struct GoodCase
{
    const char* name;
    std::string text;
    ProgramArea area;
    std::vector<HexChunk> chunks;
    std::optional<uint32_t> start;
};

TEST(IntelHex, ParsesGoodFiles)
{
    const std::vector<GoodCase> cases = {
        // File order, not address order; the high record ends on the area's last byte.
        {"linear bases, CRLF",
         linearBase(0x0801) + "\r\n" + data(0xFFF0, sequence(16, 0x40)) + "\r\n" + linearBase(0x0800) + "\r\n"
             + data(0x0000, {1, 2, 3}) + "\r\n" + rec(0x05, 0, {0x08, 0x00, 0x01, 0x23}) + "\r\n" + eof + "\r\n",
         {0x08000000, 0x20000},
         {{0x0801FFF0, sequence(16, 0x40)}, {0x08000000, {1, 2, 3}}},
         0x08000123},
        // 0x1234:0x0010 is 0x12350, the entry 0x1234:0x0005 is 0x12345; a later 04 replaces the segment base.
        {"segment base and start",
         segmentBase(0x1234) + "\n" + data(0x0010, {0xAA, 0xBB}) + "\n" + rec(0x03, 0, {0x12, 0x34, 0x00, 0x05})
             + "\n" + linearBase(0) + "\n" + data(0x0020, {0xCC}) + "\n" + eof,
         {0, 0x100000},
         {{0x12350, {0xAA, 0xBB}}, {0x20, {0xCC}}},
         0x12345},
        {"exactly fills the area", data(0x1000, sequence(0x10, 0)) + "\n" + data(0x2FF0, sequence(0x10, 0x80)) + "\n" + eof,
         kArea,
         {{0x1000, sequence(0x10, 0)}, {0x2FF0, sequence(0x10, 0x80)}},
         std::nullopt},
        {"last byte of the address space", linearBase(0xFFFF) + "\n" + data(0xFFF0, sequence(16, 0)) + "\n" + eof,
         {0xFFFFFF00, 0x100},
         {{0xFFFFFFF0, sequence(16, 0)}},
         std::nullopt},
        // Lowercase, trailing blanks, blank lines anywhere, lone CRs, a repeated identical start,
        // an empty data record, no final line end.
        {"lenient layout",
         "\n  \n:0210000001ab42 \t\r" + rec(0x05, 0, {0, 0, 0x10, 0}) + "\r\n" + rec(0x05, 0, {0, 0, 0x10, 0})
             + "\n" + data(0x1800, {}) + "\n\n:00000001ff\t\n\r\n  ",
         kArea,
         {{0x1000, {0x01, 0xAB}}},
         0x1000},
        {"end record only", eof, kArea, {}, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HexImage image;
        std::string why;
        ASSERT_TRUE(parseIntelHex(c.text, c.area, image, &why)) << why;
        ASSERT_EQ(image.chunks.size(), c.chunks.size());
        std::size_t total = 0;
        for (std::size_t i = 0; i < c.chunks.size(); ++i) {
            EXPECT_EQ(image.chunks[i].address, c.chunks[i].address) << "chunk " << i;
            EXPECT_EQ(image.chunks[i].bytes, c.chunks[i].bytes) << "chunk " << i;
            total += c.chunks[i].bytes.size();
        }
        EXPECT_EQ(image.dataBytes, total);
        EXPECT_EQ(image.hasStartAddress, c.start.has_value());
        if (c.start) {
            EXPECT_EQ(image.startAddress, *c.start);
        }
    }
}

TEST(IntelHex, RoundTripsA64KiBImage)
{
    // Unaligned, and straddling a 64 KiB boundary, so records get split and a second 04 is needed.
    const uint32_t base = 0x08008007;
    std::vector<uint8_t> firmware(64 * 1024);
    std::mt19937 random(20240611);
    for (auto& b : firmware)
        b = static_cast<uint8_t>(random());
    const std::string text = writeHex(base, firmware, 0x08008101, 32);

    HexImage image;
    std::string why;
    ASSERT_TRUE(parseIntelHex(text, {0x08000000, 0x20000}, image, &why)) << why;
    EXPECT_EQ(image.dataBytes, firmware.size());
    EXPECT_TRUE(image.hasStartAddress);
    EXPECT_EQ(image.startAddress, 0x08008101u);

    std::vector<uint8_t> rebuilt;
    for (const auto& chunk : image.chunks) {
        ASSERT_EQ(chunk.address, base + rebuilt.size()); // contiguous, in file order
        rebuilt.insert(rebuilt.end(), chunk.bytes.begin(), chunk.bytes.end());
    }
    EXPECT_EQ(rebuilt, firmware);
}

} // namespace

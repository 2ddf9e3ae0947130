#include "intelhex.h"

#include <algorithm>
#include <array>
#include <utility>

namespace moxta {

namespace {

// The caller caps firmware files at 16 MiB; refusing more here keeps the chunk list bounded even
// when a file is fed in by some other path.
constexpr std::size_t kMaxTextSize = 16u * 1024u * 1024u;

// ':' + byte count, address (2), type, checksum, as hex digit pairs.
constexpr std::size_t kMinRecordDigits = 2 * 5;

constexpr std::array<int8_t, 256> makeHexTable()
{
    std::array<int8_t, 256> table{};
    for (auto& v : table)
        v = -1;
    for (int c = '0'; c <= '9'; ++c)
        table[static_cast<std::size_t>(c)] = static_cast<int8_t>(c - '0');
    for (int c = 'A'; c <= 'F'; ++c)
        table[static_cast<std::size_t>(c)] = static_cast<int8_t>(c - 'A' + 10);
    for (int c = 'a'; c <= 'f'; ++c)
        table[static_cast<std::size_t>(c)] = static_cast<int8_t>(c - 'a' + 10);
    return table;
}

constexpr std::array<int8_t, 256> kHexValue = makeHexTable();

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

enum class BaseKind { Linear, Segment };

class Parser
{
public:
    Parser(const ProgramArea& area, HexImage& image)
        : m_image(image)
        , m_areaStart(area.start)
        // 64-bit so an area reaching the top of the address space does not wrap to 0; nothing can
        // live past 4 GiB anyway.
        , m_areaEnd(std::min<uint64_t>(uint64_t(area.start) + area.size, uint64_t(1) << 32))
    {
    }

    bool run(std::string_view text)
    {
        std::size_t pos = 0;
        while (pos < text.size()) {
            ++m_line;
            std::size_t end = pos;
            while (end < text.size() && text[end] != '\n' && text[end] != '\r')
                ++end;
            if (!handleLine(text.substr(pos, end - pos)))
                return false;
            pos = end;
            if (pos < text.size()) {
                // CRLF is one line end, a lone CR or LF another.
                if (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n')
                    ++pos;
                ++pos;
            }
        }
        if (!m_seenEnd)
            return fail("no end-of-file record");
        return true;
    }

    std::string reason;

private:
    bool fail(std::string message)
    {
        reason = std::move(message);
        return false;
    }

    bool failLine(const char* message)
    {
        return fail("line " + std::to_string(m_line) + ": " + message);
    }

    bool handleLine(std::string_view line)
    {
        while (!line.empty() && isBlank(line.back()))
            line.remove_suffix(1);
        if (line.empty())
            return true;
        if (m_seenEnd)
            return failLine("content after the end-of-file record");
        if (line.front() != ':')
            return failLine("record does not start with ':'");

        const std::string_view digits = line.substr(1);
        for (char c : digits) {
            if (kHexValue[static_cast<unsigned char>(c)] < 0)
                return failLine("not a hex digit");
        }
        if (digits.size() % 2 != 0)
            return failLine("odd number of hex digits");
        if (digits.size() < kMinRecordDigits)
            return failLine("record too short");

        // Bounded by the byte count field, so a fixed buffer holds any valid record.
        std::array<uint8_t, 5 + 255> bytes{};
        const std::size_t count = byteAt(digits, 0);
        if (digits.size() != 2 * (5 + count))
            return failLine("byte count does not match the line length");
        uint8_t sum = 0;
        for (std::size_t i = 0; i < 5 + count; ++i) {
            bytes[i] = byteAt(digits, i);
            sum = static_cast<uint8_t>(sum + bytes[i]);
        }
        if (sum != 0)
            return failLine("bad checksum");

        const uint16_t offset = static_cast<uint16_t>((bytes[1] << 8) | bytes[2]);
        const uint8_t type = bytes[3];
        const uint8_t* data = bytes.data() + 4;

        switch (type) {
        case 0x00:
            return handleData(offset, data, count);
        case 0x01:
            if (count != 0)
                return failLine("end-of-file record carries data");
            m_seenEnd = true;
            return true;
        case 0x02:
        case 0x04:
            if (count != 2)
                return failLine("address record needs 2 data bytes");
            m_baseKind = type == 0x02 ? BaseKind::Segment : BaseKind::Linear;
            m_base = type == 0x02 ? uint32_t(be16(data)) << 4 : uint32_t(be16(data)) << 16;
            return true;
        case 0x03:
        case 0x05: {
            if (count != 4)
                return failLine("start address record needs 4 data bytes");
            const uint32_t start = type == 0x03
                ? (uint32_t(be16(data)) << 4) + be16(data + 2)
                : (uint32_t(be16(data)) << 16) | be16(data + 2);
            // A repeat is harmless; two different entry points leave nothing sane to jump to.
            if (m_image.hasStartAddress && m_image.startAddress != start)
                return failLine("conflicting start address");
            m_image.hasStartAddress = true;
            m_image.startAddress = start;
            return true;
        }
        default:
            return failLine("unknown record type");
        }
    }

    bool handleData(uint16_t offset, const uint8_t* data, std::size_t count)
    {
        if (count == 0)
            return true; // says nothing; an empty chunk would only confuse the writer
        // Segment addressing wraps inside the 64 KiB segment, which would scatter one record's bytes;
        // no sane tool emits that, so treat it as damage.
        if (m_baseKind == BaseKind::Segment && offset + count > 0x10000)
            return failLine("data record wraps around its segment");
        const uint64_t first = uint64_t(m_base) + offset;
        if (first < m_areaStart || first + count > m_areaEnd)
            return failLine("data outside the program area");
        HexChunk chunk;
        chunk.address = static_cast<uint32_t>(first);
        chunk.bytes.assign(data, data + count);
        m_image.chunks.push_back(std::move(chunk));
        m_image.dataBytes += count;
        return true;
    }

    static uint8_t byteAt(std::string_view digits, std::size_t index)
    {
        const auto hi = kHexValue[static_cast<unsigned char>(digits[2 * index])];
        const auto lo = kHexValue[static_cast<unsigned char>(digits[2 * index + 1])];
        return static_cast<uint8_t>((hi << 4) | lo);
    }

    static uint16_t be16(const uint8_t* p)
    {
        return static_cast<uint16_t>((p[0] << 8) | p[1]);
    }

    HexImage& m_image;
    const uint64_t m_areaStart;
    const uint64_t m_areaEnd;
    std::size_t m_line = 0;
    bool m_seenEnd = false;
    BaseKind m_baseKind = BaseKind::Linear;
    uint32_t m_base = 0;
};

} // namespace

bool parseIntelHex(std::string_view text, const ProgramArea& area, HexImage& image, std::string* why)
{
    image = HexImage{};
    Parser parser(area, image);
    const bool ok = text.size() <= kMaxTextSize ? parser.run(text) : false;
    if (!ok && why)
        *why = text.size() > kMaxTextSize ? std::string("file too large") : std::move(parser.reason);
    return ok;
}

} // namespace moxta

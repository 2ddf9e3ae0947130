#pragma once

// The configuration layouts the library knows: for each configuration type, its 16-bit parameters
// grouped into named memory blocks (in layout order) and its string parameters, each with the
// default a fresh session holds.

#include <cstdint>
#include <string>
#include <vector>

namespace moxta {

// Longest parameter name, string value and block name the caller's buffers (100, 232, 40) can take.
inline constexpr std::size_t kMaxParameterNameLength = 99;
inline constexpr std::size_t kMaxStringValueLength = 231;
inline constexpr std::size_t kMaxBlockNameLength = 39;

struct NumericParameter
{
    std::string name;
    uint16_t defaultValue = 0xFFFF; // 65535: not set, the box uses its own default
};

struct StringParameter
{
    std::string name;
    std::string defaultValue;
};

struct MemoryBlock
{
    std::string name;
    std::vector<NumericParameter> parameters;
};

struct Layout
{
    std::string type; // "KVR5E", "MZ40"
    std::vector<MemoryBlock> blocks;
    std::vector<StringParameter> strings;
};

// The layouts compiled into the library; built once, never changed.
const std::vector<Layout>& builtInLayouts();

} // namespace moxta

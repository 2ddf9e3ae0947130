#pragma once

// A configuration of one layout: the values of its 16-bit and string parameters. The library's
// session holds one; every simulated box stores one.

#include "layouts.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace moxta {

// A layout with its names indexed: numeric parameters flattened in layout order.
struct LayoutIndex
{
    const Layout* layout = nullptr;
    std::vector<const NumericParameter*> numeric;
    std::unordered_map<std::string, std::size_t> numericByName;
    std::unordered_map<std::string, std::size_t> stringByName;
};

// The index of the layout of that type (names match exactly); null when there is none.
const LayoutIndex* findLayout(std::string_view type);

class Configuration
{
public:
    // The layout's defaults.
    explicit Configuration(const LayoutIndex& index);

    const LayoutIndex& index() const { return *m_index; }
    const std::string& type() const { return m_index->layout->type; }
    int parameterCount() const { return int(m_values.size()); }

    // Statuses: OK, or ERROR_CFG_UNKNOWN_PARAMETER for a name the layout does not hold.
    int16_t get(const std::string& name, uint16_t& value) const;
    int16_t getDefault(const std::string& name, uint16_t& value) const;
    int16_t set(const std::string& name, uint16_t value);
    int16_t getString(const std::string& name, std::string& value) const;
    // Also ERROR_TOO_LONG past 231 characters and ERROR_CFG_INVALID_PARAMETER for a line break or a
    // control character, which a .cfg line could not hold.
    int16_t setString(const std::string& name, const std::string& value);

    const std::vector<uint16_t>& values() const { return m_values; }
    const std::vector<std::string>& strings() const { return m_strings; }
    std::vector<uint16_t>& values() { return m_values; }
    std::vector<std::string>& strings() { return m_strings; }

    bool operator==(const Configuration& other) const
    {
        return m_index == other.m_index && m_values == other.m_values && m_strings == other.m_strings;
    }

private:
    const LayoutIndex* m_index;
    std::vector<uint16_t> m_values;
    std::vector<std::string> m_strings;
};

// True when the text may be stored as a string parameter.
bool isStorableString(std::string_view text);

} // namespace moxta

#include "session.h"

#include "statusnames.h"

#include <memory>

namespace moxta {

namespace {

std::vector<std::unique_ptr<LayoutIndex>> buildIndexes()
{
    std::vector<std::unique_ptr<LayoutIndex>> indexes;
    for (const Layout& layout : builtInLayouts()) {
        auto index = std::make_unique<LayoutIndex>();
        index->layout = &layout;
        for (const MemoryBlock& block : layout.blocks)
            for (const NumericParameter& p : block.parameters) {
                index->numericByName.emplace(p.name, index->numeric.size());
                index->numeric.push_back(&p);
            }
        for (std::size_t i = 0; i < layout.strings.size(); ++i)
            index->stringByName.emplace(layout.strings[i].name, i);
        indexes.push_back(std::move(index));
    }
    return indexes;
}

} // namespace

const LayoutIndex* findLayout(std::string_view type)
{
    static const std::vector<std::unique_ptr<LayoutIndex>> indexes = buildIndexes();
    for (const auto& index : indexes)
        if (index->layout->type == type)
            return index.get();
    return nullptr;
}

bool isStorableString(std::string_view text)
{
    if (text.size() > kMaxStringValueLength)
        return false;
    for (char c : text)
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t')
            return false;
    return true;
}

Configuration::Configuration(const LayoutIndex& index)
    : m_index(&index)
{
    m_values.reserve(index.numeric.size());
    for (const NumericParameter* p : index.numeric)
        m_values.push_back(p->defaultValue);
    for (const StringParameter& s : index.layout->strings)
        m_strings.push_back(s.defaultValue);
}

int16_t Configuration::get(const std::string& name, uint16_t& value) const
{
    const auto it = m_index->numericByName.find(name);
    if (it == m_index->numericByName.end())
        return ERROR_CFG_UNKNOWN_PARAMETER;
    value = m_values[it->second];
    return OK;
}

int16_t Configuration::getDefault(const std::string& name, uint16_t& value) const
{
    const auto it = m_index->numericByName.find(name);
    if (it == m_index->numericByName.end())
        return ERROR_CFG_UNKNOWN_PARAMETER;
    value = m_index->numeric[it->second]->defaultValue;
    return OK;
}

int16_t Configuration::set(const std::string& name, uint16_t value)
{
    const auto it = m_index->numericByName.find(name);
    if (it == m_index->numericByName.end())
        return ERROR_CFG_UNKNOWN_PARAMETER;
    m_values[it->second] = value;
    return OK;
}

int16_t Configuration::getString(const std::string& name, std::string& value) const
{
    const auto it = m_index->stringByName.find(name);
    if (it == m_index->stringByName.end())
        return ERROR_CFG_UNKNOWN_PARAMETER;
    value = m_strings[it->second];
    return OK;
}

int16_t Configuration::setString(const std::string& name, const std::string& value)
{
    const auto it = m_index->stringByName.find(name);
    if (it == m_index->stringByName.end())
        return ERROR_CFG_UNKNOWN_PARAMETER;
    if (value.size() > kMaxStringValueLength)
        return ERROR_TOO_LONG;
    if (!isStorableString(value))
        return ERROR_CFG_INVALID_PARAMETER;
    m_strings[it->second] = value;
    return OK;
}

} // namespace moxta

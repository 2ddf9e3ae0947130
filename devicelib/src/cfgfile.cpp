#include "cfgfile.h"

#include "inilite.h"
#include "statusnames.h"

namespace moxta {

namespace {

// Decimal 0-65535, nothing else.
bool parseWord(const std::string& text, uint16_t& value)
{
    if (text.empty() || text.size() > 5)
        return false;
    unsigned long v = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + unsigned(c - '0');
    }
    if (v > 65535)
        return false;
    value = uint16_t(v);
    return true;
}

const IniSection* uniqueSection(const IniText& ini, const char* name, bool& repeated)
{
    const IniSection* found = nullptr;
    for (const IniSection& s : ini.sections)
        if (equalsIgnoreCase(s.name, name)) {
            if (found)
                repeated = true;
            found = &s;
        }
    return found;
}

} // namespace

int16_t parseCfg(std::string_view text, CfgFile& out)
{
    const IniText ini = parseIniText(text);
    if (ini.errorLine != 0)
        return ERROR_MANGLED_FILE;
    bool repeated = false;
    const IniSection* head = uniqueSection(ini, "configuration", repeated);
    const IniSection* parameters = uniqueSection(ini, "parameters", repeated);
    const IniSection* strings = uniqueSection(ini, "strings", repeated);
    if (!head || repeated)
        return ERROR_MANGLED_FILE;

    const LayoutIndex* layout = nullptr;
    std::string hexFile;
    bool reset = false;
    for (const IniEntry& e : head->entries) {
        if (equalsIgnoreCase(e.key, "type")) {
            layout = findLayout(e.value);
            if (!layout)
                return ERROR_MANGLED_FILE;
        } else if (equalsIgnoreCase(e.key, "hexfile")) {
            hexFile = e.value;
        } else if (equalsIgnoreCase(e.key, "reset_to_defaults")) {
            if (e.value != "0" && e.value != "1")
                return ERROR_MANGLED_FILE;
            reset = e.value == "1";
        }
    }
    if (!layout)
        return ERROR_MANGLED_FILE;

    Configuration configuration(*layout);
    if (parameters) {
        std::vector<bool> seen(configuration.values().size());
        for (const IniEntry& e : parameters->entries) {
            uint16_t value = 0;
            if (!parseWord(e.value, value))
                return ERROR_MANGLED_FILE;
            const auto it = layout->numericByName.find(e.key);
            if (it == layout->numericByName.end() || seen[it->second])
                continue; // not of this layout, or a repeat: the first one holds
            seen[it->second] = true;
            configuration.values()[it->second] = value;
        }
    }
    if (strings) {
        std::vector<bool> seen(configuration.strings().size());
        for (const IniEntry& e : strings->entries) {
            if (!isStorableString(e.rawValue))
                return ERROR_MANGLED_FILE;
            const auto it = layout->stringByName.find(e.key);
            if (it == layout->stringByName.end() || seen[it->second])
                continue;
            seen[it->second] = true;
            configuration.strings()[it->second] = e.rawValue;
        }
    }
    out.configuration.emplace(std::move(configuration));
    out.hexFile = std::move(hexFile);
    out.resetToDefaults = reset;
    return OK;
}

int16_t loadCfg(const std::string& path, CfgFile& out)
{
    std::string text;
    if (!readWholeFile(path, text, kMaxCfgFileBytes))
        return ERROR_CFG_NO_FILE;
    return parseCfg(text, out);
}

std::string formatCfg(const Configuration& configuration, const std::string& hexFile, bool resetToDefaults)
{
    std::string text = "[configuration]\ntype=" + configuration.type() + "\nhexfile=" + hexFile
                       + "\nreset_to_defaults=" + (resetToDefaults ? "1" : "0") + "\n[parameters]\n";
    const LayoutIndex& index = configuration.index();
    for (std::size_t i = 0; i < index.numeric.size(); ++i)
        text += index.numeric[i]->name + "=" + std::to_string(configuration.values()[i]) + "\n";
    text += "[strings]\n";
    for (std::size_t i = 0; i < index.layout->strings.size(); ++i)
        text += index.layout->strings[i].name + "=" + configuration.strings()[i] + "\n";
    return text;
}

int16_t saveCfg(const std::string& path, const Configuration& configuration, const std::string& hexFile,
                bool resetToDefaults)
{
    // A firmware path must come back as written: one line, within the callers' 1024-byte buffer.
    if (hexFile.size() > 1023 || hexFile.find_first_of("\r\n") != std::string::npos)
        return ERROR_CFG_WRITING;
    return writeFileAtomically(path, formatCfg(configuration, hexFile, resetToDefaults)) ? OK : ERROR_CFG_WRITING;
}

} // namespace moxta

#include "bench.h"

#include "cfgfile.h"
#include "inilite.h"
#include "statusnames.h"

#include <climits>
#include <sys/stat.h>

namespace moxta {

namespace {

bool parseSigned(const std::string& text, long long min, long long max, long long& value)
{
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size() || text.size() - i > 12)
        return false;
    long long v = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        v = v * 10 + (text[i] - '0');
    }
    if (negative)
        v = -v;
    if (v < min || v > max)
        return false;
    value = v;
    return true;
}

struct Fault
{
    int line;
    std::string reason;
};

template <typename T>
void number(const IniEntry& e, long long min, long long max, T& target)
{
    long long v = 0;
    if (!parseSigned(e.value, min, max, v))
        throw Fault{e.line, e.key + " must be a whole number from " + std::to_string(min) + " to " + std::to_string(max)};
    target = T(v);
}

void flag(const IniEntry& e, bool& target)
{
    int v = 0;
    number(e, 0, 1, v);
    target = v != 0;
}

void text(const IniEntry& e, std::size_t maxLength, std::string& target)
{
    if (e.value.size() > maxLength)
        throw Fault{e.line, e.key + " is longer than " + std::to_string(maxLength) + " characters"};
    target = e.value;
}

// The trimmed items of a comma-separated list.
std::vector<std::string> listItems(const std::string& s)
{
    std::vector<std::string> items;
    std::size_t pos = 0;
    while (pos <= s.size()) {
        std::size_t comma = s.find(',', pos);
        if (comma == std::string::npos)
            comma = s.size();
        items.push_back(trimmed(std::string_view(s).substr(pos, comma - pos)));
        pos = comma + 1;
    }
    return items;
}

// "name:status,name:status"
FailMap failList(const IniEntry& e)
{
    FailMap fail;
    for (const std::string& item : listItems(e.value)) {
        const std::size_t colon = item.rfind(':');
        long long status = 0;
        if (colon == std::string::npos || colon == 0
            || !parseSigned(trimmed(std::string_view(item).substr(colon + 1)), INT16_MIN, INT16_MAX, status))
            throw Fault{e.line, "fail must list function:status pairs"};
        fail[trimmed(std::string_view(item).substr(0, colon))] = int16_t(status);
    }
    return fail;
}

// "time:code,time:code", at most ten
std::vector<ErrorRecord> errorList(const IniEntry& e)
{
    std::vector<ErrorRecord> records;
    if (e.value.empty())
        return records;
    for (const std::string& item : listItems(e.value)) {
        const std::size_t colon = item.find(':');
        long long time = 0;
        long long code = 0;
        if (colon == std::string::npos || !parseSigned(item.substr(0, colon), 0, UINT32_MAX, time)
            || !parseSigned(item.substr(colon + 1), 0, UINT16_MAX, code) || records.size() == 10)
            throw Fault{e.line, "errors must list up to ten time:code records"};
        records.push_back({uint32_t(time), uint16_t(code)});
    }
    return records;
}

std::string joinPath(const std::string& base, const std::string& path)
{
    if (path.empty() || path[0] == '/' || base.empty())
        return path;
    return base.back() == '/' ? base + path : base + "/" + path;
}

void parseAdapter(const IniSection& section, AdapterSpec& adapter, std::vector<std::string>& warnings)
{
    for (const IniEntry& e : section.entries) {
        if (equalsIgnoreCase(e.key, "serial"))
            text(e, 9, adapter.serial); // 20 bytes of UTF-16LE with the terminating zero
        else if (equalsIgnoreCase(e.key, "usable"))
            flag(e, adapter.usable);
        else if (equalsIgnoreCase(e.key, "in_use"))
            flag(e, adapter.inUse);
        else
            warnings.push_back("line " + std::to_string(e.line) + ": unknown key " + e.key + " ignored");
    }
}

void parseBox(const IniSection& section, const std::string& baseDirectory, BoxSpec& box,
              std::vector<std::string>& warnings)
{
    int configLine = section.line;
    int keepsLine = section.line;
    for (const IniEntry& e : section.entries) {
        const std::string& k = e.key;
        if (equalsIgnoreCase(k, "connected"))
            flag(e, box.connected);
        else if (equalsIgnoreCase(k, "hardware_id"))
            number(e, 0, 255, box.hardwareId);
        else if (equalsIgnoreCase(k, "revision"))
            number(e, 0, 127, box.revision); // 128 and up would make the production-info status negative
        else if (equalsIgnoreCase(k, "product_class"))
            number(e, 0, 255, box.productClass);
        else if (equalsIgnoreCase(k, "software"))
            number(e, INT32_MIN, INT32_MAX, box.software);
        else if (equalsIgnoreCase(k, "version"))
            number(e, 0, UINT16_MAX, box.version);
        else if (equalsIgnoreCase(k, "serial"))
            text(e, 15, box.serial);
        else if (equalsIgnoreCase(k, "date"))
            text(e, 15, box.date);
        else if (equalsIgnoreCase(k, "activations"))
            number(e, 0, UINT32_MAX, box.activations);
        else if (equalsIgnoreCase(k, "sit_stands"))
            number(e, 0, UINT32_MAX, box.sitStands);
        else if (equalsIgnoreCase(k, "busy"))
            number(e, -1, 1, box.busy);
        else if (equalsIgnoreCase(k, "powered_seconds"))
            number(e, 0, UINT32_MAX, box.poweredSeconds);
        else if (equalsIgnoreCase(k, "errors"))
            box.errors = errorList(e);
        else if (equalsIgnoreCase(k, "config_type")) {
            if (!findLayout(e.value))
                throw Fault{e.line, "config_type " + e.value + " is no known layout"};
            box.configType = e.value;
        } else if (equalsIgnoreCase(k, "config")) {
            if (e.value.empty())
                throw Fault{e.line, "config needs a file name"};
            box.configPath = joinPath(baseDirectory, e.value);
            configLine = e.line;
        } else if (equalsIgnoreCase(k, "fail"))
            box.fail = failList(e);
        else if (equalsIgnoreCase(k, "keeps")) {
            box.keeps = listItems(e.value);
            keepsLine = e.line;
        } else
            warnings.push_back("line " + std::to_string(e.line) + ": unknown key " + k + " ignored");
    }

    const LayoutIndex* layout = findLayout(box.configType);
    for (const std::string& name : box.keeps)
        if (!layout->numericByName.contains(name))
            throw Fault{keepsLine, "keeps names " + (name.empty() ? std::string("an empty name") : name) + ", which the "
                                       + box.configType + " layout does not hold"};
    struct stat st {};
    if (!box.configPath.empty() && ::stat(box.configPath.c_str(), &st) == 0) {
        CfgFile file;
        if (loadCfg(box.configPath, file) != OK)
            throw Fault{configLine, "config file " + box.configPath + " is no configuration"};
        if (file.configuration->type() != box.configType)
            throw Fault{configLine, "config file " + box.configPath + " holds a " + file.configuration->type()
                                        + " configuration, not " + box.configType};
        box.configuration = std::move(file.configuration);
    } else {
        box.configuration.emplace(*layout);
    }
}

// "adapter:NAME" or "box:NAME:DEVICE"; the name may itself hold colons.
bool splitSection(const std::string& name, std::string& kind, std::string& adapter, int& device)
{
    const std::size_t colon = name.find(':');
    if (colon == std::string::npos)
        return false;
    kind = name.substr(0, colon);
    adapter = name.substr(colon + 1);
    if (equalsIgnoreCase(kind, "box")) {
        const std::size_t last = adapter.rfind(':');
        if (last == std::string::npos || last + 2 != adapter.size() || adapter[last + 1] < '0' || adapter[last + 1] > '3')
            return false;
        device = adapter[last + 1] - '0';
        adapter.resize(last);
    }
    return !adapter.empty() && adapter.find('\t') == std::string::npos && adapter.size() <= 99;
}

} // namespace

bool parseBench(std::string_view benchText, const std::string& baseDirectory, Bench& bench, std::string& error,
                std::vector<std::string>& warnings)
{
    bench = Bench();
    const IniText ini = parseIniText(benchText);
    try {
        if (ini.errorLine != 0)
            throw Fault{ini.errorLine, ini.error};
        Bench result;
        std::vector<std::string> seen;
        for (const IniSection& section : ini.sections) {
            for (const std::string& s : seen)
                if (s == section.name)
                    throw Fault{section.line, "section [" + section.name + "] appears twice"};
            seen.push_back(section.name);

            if (equalsIgnoreCase(section.name, "bench")) {
                for (const IniEntry& e : section.entries) {
                    if (equalsIgnoreCase(e.key, "lin_baud"))
                        number(e, 0, 1000000, result.linBaud);
                    else if (equalsIgnoreCase(e.key, "lin_time_divisor"))
                        number(e, 1, 1000, result.linTimeDivisor);
                    else if (equalsIgnoreCase(e.key, "fail"))
                        result.fail = failList(e);
                    else
                        warnings.push_back("line " + std::to_string(e.line) + ": unknown key " + e.key + " ignored");
                }
                continue;
            }
            std::string kind;
            std::string adapter;
            int device = 0;
            if (!splitSection(section.name, kind, adapter, device))
                throw Fault{section.line, "unknown section [" + section.name + "]"};
            if (equalsIgnoreCase(kind, "adapter")) {
                AdapterSpec setup;
                setup.name = adapter;
                parseAdapter(section, setup, warnings);
                result.adapters.push_back(std::move(setup));
            } else if (equalsIgnoreCase(kind, "box")) {
                bool known = false;
                for (const AdapterSpec& a : result.adapters)
                    known = known || a.name == adapter;
                if (!known)
                    throw Fault{section.line, "box on adapter " + adapter + ", which no [adapter:] section before it names"};
                BoxSpec setup;
                setup.adapter = adapter;
                setup.device = device;
                parseBox(section, baseDirectory, setup, warnings);
                result.boxes.push_back(std::move(setup));
            } else {
                throw Fault{section.line, "unknown section [" + section.name + "]"};
            }
        }
        if (result.adapters.size() > 255)
            throw Fault{0, "more than 255 adapters"};
        bench = std::move(result);
        return true;
    } catch (const Fault& fault) {
        error = "line " + std::to_string(fault.line) + ": " + fault.reason;
        return false;
    }
}

const char* defaultBenchText()
{
    return "[bench]\n"
           "lin_baud=19200\n"
           "[adapter:ZUBREX-0001]\n"
           "serial=100001\n"
           "usable=1\n"
           "in_use=0\n"
           "[box:ZUBREX-0001:0]\n"
           "connected=1\n"
           "hardware_id=12\n"
           "revision=3\n"
           "product_class=0\n"
           "software=40123\n"
           "version=123\n"
           "serial=240611-0042\n"
           "date=20240611\n"
           "activations=1200\n"
           "sit_stands=340\n"
           "busy=0\n"
           "powered_seconds=5000\n"
           "errors=4000:18,3661:2,120:13\n"
           "config_type=KVR5E\n";
}

} // namespace moxta

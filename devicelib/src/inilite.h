#pragma once

// The INI text of bench and .cfg files: sections of key=value lines, kept in file order with their
// line numbers so the readers can name the line they refuse. A ';' starts a comment only at the
// beginning of a line.

#include <string>
#include <string_view>
#include <vector>

namespace moxta {

struct IniEntry
{
    std::string key; // trimmed
    std::string value; // trimmed
    std::string rawValue; // everything after '=', only the line end removed
    int line = 0;
};

struct IniSection
{
    std::string name; // trimmed, as written
    int line = 0;
    std::vector<IniEntry> entries;
};

struct IniText
{
    std::vector<IniSection> sections;
    int errorLine = 0; // first line that is neither blank, comment, section nor key=value; 0 = none
    std::string error;
};

IniText parseIniText(std::string_view text);

std::string trimmed(std::string_view s);
bool equalsIgnoreCase(std::string_view a, std::string_view b);

// Reads a whole file into text; false when it cannot be opened or is larger than maxBytes.
bool readWholeFile(const std::string& path, std::string& text, std::size_t maxBytes);
// Writes a file atomically (a temporary beside it, then rename), keeping an existing file's mode;
// false on any failure, and for an existing file that has no write permission at all.
bool writeFileAtomically(const std::string& path, const std::string& text);

} // namespace moxta

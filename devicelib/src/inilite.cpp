#include "inilite.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace moxta {

std::string trimmed(std::string_view s)
{
    std::size_t b = 0;
    std::size_t e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t'))
        ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t'))
        --e;
    return std::string(s.substr(b, e - b));
}

bool equalsIgnoreCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

IniText parseIniText(std::string_view text)
{
    IniText result;
    std::size_t pos = 0;
    int lineNumber = 0;
    while (pos < text.size()) {
        std::size_t end = pos;
        while (end < text.size() && text[end] != '\n' && text[end] != '\r')
            ++end;
        const std::string_view line = text.substr(pos, end - pos);
        ++lineNumber;
        if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n')
            pos = end + 2;
        else
            pos = end + 1;

        const std::string content = trimmed(line);
        if (content.empty() || content[0] == ';')
            continue;
        auto fail = [&](const char* why) {
            if (result.errorLine == 0) {
                result.errorLine = lineNumber;
                result.error = why;
            }
        };
        if (content[0] == '[') {
            const std::size_t close = content.find(']');
            if (close == std::string::npos || !trimmed(std::string_view(content).substr(close + 1)).empty()) {
                fail("malformed section header");
                continue;
            }
            result.sections.push_back({trimmed(std::string_view(content).substr(1, close - 1)), lineNumber, {}});
            continue;
        }
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) {
            fail("line without '='");
            continue;
        }
        if (result.sections.empty()) {
            fail("key before the first section");
            continue;
        }
        IniEntry entry;
        entry.key = trimmed(line.substr(0, eq));
        entry.rawValue = std::string(line.substr(eq + 1));
        entry.value = trimmed(entry.rawValue);
        entry.line = lineNumber;
        if (entry.key.empty()) {
            fail("empty key");
            continue;
        }
        for (char c : content)
            if (static_cast<unsigned char>(c) < 0x20 && c != '\t') {
                fail("control character");
                break;
            }
        if (result.errorLine == lineNumber)
            continue;
        result.sections.back().entries.push_back(std::move(entry));
    }
    return result;
}

bool readWholeFile(const std::string& path, std::string& text, std::size_t maxBytes)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || std::size_t(st.st_size) > maxBytes) {
        ::close(fd);
        return false;
    }
    std::string data;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ::close(fd);
            return false;
        }
        if (n == 0)
            break;
        data.append(buffer, std::size_t(n));
        if (data.size() > maxBytes) {
            ::close(fd);
            return false;
        }
    }
    ::close(fd);
    text = std::move(data);
    return true;
}

bool writeFileAtomically(const std::string& path, const std::string& text)
{
    if (path.empty())
        return false;
    // A file nobody may write stays as it is, even for root; one that may be written keeps its mode.
    mode_t mode = 0644;
    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0) {
        if (!S_ISREG(existing.st_mode) || (existing.st_mode & 0222) == 0)
            return false;
        mode = existing.st_mode & 07777;
    }
    const std::string temp = path + ".tmp-" + std::to_string(::getpid());
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
    if (fd < 0)
        return false;
    ::fchmod(fd, mode); // whatever the umask made of it
    std::size_t done = 0;
    bool ok = true;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ok = false;
            break;
        }
        done += std::size_t(n);
    }
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok)
        ok = ::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok)
        ::unlink(temp.c_str());
    return ok;
}

} // namespace moxta

// libFuzzer target: any bytes as an INI file, read every way the program reads, then one write into
// it. A document written back unchanged is the same bytes; an accepted write reads back as written
// and, in an 8-bit file, touches one line only (or adds its line, or its section and line): every
// other byte stays.

#include "platform/inifile.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

bool hasLineEnd(const QByteArray& bytes)
{
    return bytes.contains('\n') || bytes.contains('\r');
}

// What a read gives back for a stored value: blanks around it trimmed, one pair of quotes removed.
bool readsBackAsIs(const QString& text)
{
    if (text.isEmpty())
        return true;
    const auto blank = [](QChar c) { return c == u' ' || c == u'\t'; };
    if (blank(text.front()) || blank(text.back()))
        return false;
    return !(text.size() >= 2 && (text.front() == u'"' || text.front() == u'\'') && text.back() == text.front());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    const QString section = QString::fromUtf8(in.ConsumeRandomLengthString(24));
    const QString key = QString::fromUtf8(in.ConsumeRandomLengthString(24));
    const QString value = QString::fromUtf8(in.ConsumeRandomLengthString(64));
    const int buffer = in.ConsumeIntegralInRange(-1, 2100);
    const std::vector<uint8_t> rest = in.ConsumeRemainingBytes<uint8_t>();
    const QByteArray before(reinterpret_cast<const char*>(rest.data()), qsizetype(rest.size()));

    const platform::IniFile doc = platform::IniFile::fromBytes(before);
    const QStringList names = doc.sectionNames(buffer);
    if (buffer >= 0 && names.size() > buffer)
        std::abort();
    const QString read = doc.value(section, key, QStringLiteral("-"), buffer);
    if (buffer > 0 && read.size() >= buffer)
        std::abort();
    for (const QString& name : names)
        (void)doc.value(name, key, QString());
    if (doc.toBytes() != before)
        std::abort();

    platform::IniFile changed = doc;
    if (!changed.setValue(section, key, value))
        return 0;
    const QByteArray after = changed.toBytes();
    const platform::IniFile again = platform::IniFile::fromBytes(after);
    // Every read finds the encoding anew; an accepted write reads back as the same text, so only a
    // Latin-1 file that became plain ASCII may now read as UTF-8.
    const bool nowAscii = doc.encoding() == platform::IniFile::Encoding::Latin1
                          && again.encoding() == platform::IniFile::Encoding::Utf8;
    if (again.encoding() != doc.encoding() && !before.isEmpty() && !nowAscii)
        std::abort();
    const QString back = again.value(section, key, QStringLiteral("\x01missing"), int(value.size()) + 2);
    if (readsBackAsIs(section) && readsBackAsIs(key) && !section.isEmpty() && !key.isEmpty() && readsBackAsIs(value)
        && back != value)
        std::abort();

    if (doc.encoding() == platform::IniFile::Encoding::Utf8 || doc.encoding() == platform::IniFile::Encoding::Latin1) {
        // The smallest differing stretch of the old bytes lies inside one line.
        qsizetype prefix = 0;
        const qsizetype shorter = std::min(before.size(), after.size());
        while (prefix < shorter && before[prefix] == after[prefix])
            ++prefix;
        qsizetype suffix = 0;
        while (suffix < shorter - prefix && before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
            ++suffix;
        if (hasLineEnd(before.mid(prefix, before.size() - prefix - suffix)))
            std::abort();
    }
    return 0;
}

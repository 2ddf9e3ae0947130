#include "platform/inifile.h"

#include "platform/directories.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <climits>
#include <optional>

namespace platform {

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

QStringView trimBlanks(QStringView s)
{
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && isBlank(s[b]))
        ++b;
    while (e > b && isBlank(s[e - 1]))
        --e;
    return s.mid(b, e - b);
}

QStringView stripQuotes(QStringView s)
{
    if (s.size() >= 2 && (s.front() == u'"' || s.front() == u'\'') && s.back() == s.front())
        return s.mid(1, s.size() - 2);
    return s;
}

QStringConverter::Encoding converterOf(IniFile::Encoding e)
{
    switch (e) {
    case IniFile::Encoding::Utf8: return QStringConverter::Utf8;
    case IniFile::Encoding::Latin1: return QStringConverter::Latin1;
    case IniFile::Encoding::Utf16LE: return QStringConverter::Utf16LE;
    case IniFile::Encoding::Utf16BE: return QStringConverter::Utf16BE;
    }
    return QStringConverter::Utf8;
}

// Decodes only when the bytes come back unchanged from the text, so a write keeps every byte.
bool decodeExactly(const QByteArray& bytes, IniFile::Encoding encoding, QString& out)
{
    const auto flags = QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom;
    QStringDecoder decoder(converterOf(encoding), flags);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return false;
    QStringEncoder encoder(converterOf(encoding), flags);
    if (QByteArray(encoder.encode(text)) != bytes)
        return false;
    out = std::move(text);
    return true;
}

QString cut(const QString& text, int bufferSize)
{
    if (bufferSize <= 0)
        return QString();
    if (text.size() < bufferSize)
        return text;
    qsizetype n = bufferSize - 1;
    if (n > 0 && text[n - 1].isHighSurrogate())
        --n; // never split a character
    return text.left(n);
}

// The whole of a file no larger than kMaxIniFileBytes; nothing when it is larger or cannot be read.
// Read as it comes rather than into a buffer of the largest size, which most files never need.
std::optional<QByteArray> readBounded(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes;
    char chunk[16384];
    for (;;) {
        const qint64 n = file.read(chunk, sizeof chunk);
        if (n < 0 || bytes.size() + n > kMaxIniFileBytes)
            return std::nullopt;
        if (n == 0)
            return bytes;
        bytes.append(chunk, n);
    }
}

bool hasLineBreakOrZero(const QString& s)
{
    for (QChar c : s)
        if (c == u'\r' || c == u'\n' || c == QChar(0))
            return true;
    return false;
}

} // namespace

IniFile IniFile::load(const QString& path)
{
    if (path.isEmpty())
        return IniFile();
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > kMaxIniFileBytes)
        return IniFile();
    const std::optional<QByteArray> bytes = readBounded(path);
    return bytes ? fromBytes(*bytes) : IniFile();
}

IniFile IniFile::fromBytes(const QByteArray& bytes)
{
    IniFile doc;
    struct Bom
    {
        const char* bytes;
        Encoding encoding;
    };
    static const Bom boms[] = {{"\xEF\xBB\xBF", Encoding::Utf8},
                               {"\xFF\xFE", Encoding::Utf16LE},
                               {"\xFE\xFF", Encoding::Utf16BE}};
    for (const Bom& bom : boms) {
        const QByteArray mark(bom.bytes);
        if (bytes.startsWith(mark) && decodeExactly(bytes.mid(mark.size()), bom.encoding, doc.m_text)) {
            doc.m_bom = mark;
            doc.m_encoding = bom.encoding;
            doc.parse();
            return doc;
        }
    }
    if (decodeExactly(bytes, Encoding::Utf8, doc.m_text)) {
        doc.m_encoding = Encoding::Utf8;
    } else {
        doc.m_text = QString::fromLatin1(bytes);
        doc.m_encoding = Encoding::Latin1;
    }
    doc.parse();
    return doc;
}

void IniFile::parse()
{
    m_lines.clear();
    const QStringView text(m_text);
    const qsizetype n = text.size();
    bool inSection = false;
    qsizetype i = 0;
    while (i < n) {
        Line line;
        line.start = i;
        qsizetype j = i;
        while (j < n && text[j] != u'\r' && text[j] != u'\n')
            ++j;
        line.length = j - i;
        if (j < n)
            line.eolLength = (text[j] == u'\r' && j + 1 < n && text[j + 1] == u'\n') ? 2 : 1;

        const QStringView content = trimBlanks(text.mid(line.start, line.length));
        if (content.startsWith(u'[')) {
            qsizetype close = content.indexOf(u']');
            if (close < 0)
                close = content.size();
            line.kind = Line::Kind::Section;
            line.name = trimBlanks(content.mid(1, close - 1)).toString();
            inSection = true;
        } else if (inSection && !content.startsWith(u';')) {
            const qsizetype eq = content.indexOf(u'=');
            if (eq > 0) {
                const QStringView name = trimBlanks(content.left(eq));
                if (!name.isEmpty()) {
                    line.kind = Line::Kind::Key;
                    line.name = name.toString();
                    line.value = stripQuotes(trimBlanks(content.mid(eq + 1))).toString();
                }
            }
        }
        m_lines.push_back(std::move(line));
        i = j + m_lines.back().eolLength;
    }
}

qsizetype IniFile::findSection(const QString& section) const
{
    const QStringView wanted = trimBlanks(section);
    for (size_t i = 0; i < m_lines.size(); ++i)
        if (m_lines[i].kind == Line::Kind::Section
            && QStringView(m_lines[i].name).compare(wanted, Qt::CaseInsensitive) == 0)
            return qsizetype(i);
    return -1;
}

qsizetype IniFile::findKey(qsizetype sectionLine, const QString& key) const
{
    const QStringView wanted = trimBlanks(key);
    for (size_t i = size_t(sectionLine) + 1; i < m_lines.size(); ++i) {
        const Line& line = m_lines[i];
        if (line.kind == Line::Kind::Section)
            break;
        if (line.kind == Line::Kind::Key && QStringView(line.name).compare(wanted, Qt::CaseInsensitive) == 0)
            return qsizetype(i);
    }
    return -1;
}

QString IniFile::value(const QString& section, const QString& key, const QString& defaultValue,
                       int bufferSize) const
{
    const qsizetype s = findSection(section);
    const qsizetype k = s < 0 ? -1 : findKey(s, key);
    return cut(k < 0 ? defaultValue : m_lines[size_t(k)].value, bufferSize);
}

bool IniFile::contains(const QString& section, const QString& key) const
{
    const qsizetype s = findSection(section);
    return s >= 0 && findKey(s, key) >= 0;
}

QStringList IniFile::sectionNames(int bufferSize) const
{
    QStringList names;
    qsizetype used = 1; // the closing empty name
    for (const Line& line : m_lines) {
        if (line.kind != Line::Kind::Section || line.name.isEmpty()
            || names.contains(line.name, Qt::CaseInsensitive))
            continue;
        // Bytes as the file holds them: one per character in an 8-bit file.
        const qsizetype need = (m_encoding == Encoding::Latin1 ? line.name.size() : line.name.toUtf8().size()) + 1;
        if (used + need > bufferSize)
            break;
        used += need;
        names.append(line.name);
    }
    return names;
}

QString IniFile::lineEnd() const
{
    for (const Line& line : m_lines)
        if (line.eolLength > 0)
            return m_text.mid(line.start + line.length, line.eolLength);
    return QStringLiteral("\n");
}

bool IniFile::setValue(const QString& section, const QString& key, const QString& value)
{
    const QString sectionName = trimBlanks(section).toString();
    const QString keyName = trimBlanks(key).toString();
    // Anything that would read back as another line, another key or another section is refused.
    if (sectionName.isEmpty() || keyName.isEmpty() || hasLineBreakOrZero(sectionName)
        || hasLineBreakOrZero(keyName) || hasLineBreakOrZero(value) || sectionName.contains(u']')
        || keyName.contains(u'=') || keyName.startsWith(u'[') || keyName.startsWith(u';'))
        return false;
    if (m_encoding == Encoding::Latin1) {
        for (const QString* s : {&sectionName, &keyName, &value})
            for (QChar c : *s)
                if (c.unicode() > 0xFF)
                    return false;
    }

    const QString before = m_text;
    const QString eol = lineEnd();
    const qsizetype s = findSection(sectionName);
    if (s < 0) {
        if (!m_text.isEmpty() && !m_text.endsWith(u'\n') && !m_text.endsWith(u'\r'))
            m_text += eol;
        m_text += u'[' + sectionName + u']' + eol + keyName + u'=' + value + eol;
    } else if (const qsizetype k = findKey(s, keyName); k >= 0) {
        const Line& line = m_lines[size_t(k)];
        m_text.replace(line.start, line.length, line.name + u'=' + value);
    } else {
        qsizetype after = s;
        for (size_t i = size_t(s) + 1; i < m_lines.size() && m_lines[i].kind != Line::Kind::Section; ++i)
            if (m_lines[i].kind == Line::Kind::Key)
                after = qsizetype(i);
        const Line& line = m_lines[size_t(after)];
        const QString newLine = keyName + u'=' + value;
        if (line.eolLength > 0)
            m_text.insert(line.start + line.length + line.eolLength, newLine + eol);
        else
            m_text.insert(line.start + line.length, eol + newLine + eol);
    }
    // The encoding is found anew at every read: a Latin-1 file whose new bytes happen to look like
    // UTF-16 behind a byte order mark, or like UTF-8 that spells other characters, would read back
    // as another text. Such a write is refused rather than made.
    const IniFile reread = fromBytes(toBytes());
    if (reread.m_bom != m_bom || reread.m_text != m_text) {
        m_text = before;
        parse();
        return false;
    }
    m_lines = reread.m_lines;
    return true;
}

QByteArray IniFile::toBytes() const
{
    if (m_encoding == Encoding::Latin1)
        return m_bom + m_text.toLatin1();
    QStringEncoder encoder(converterOf(m_encoding),
                           QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    return m_bom + QByteArray(encoder.encode(m_text));
}

QString getProfileString(const QString& section, const QString& key, const QString& defaultValue,
                         int bufferSize, const QString& path)
{
    return IniFile::load(path).value(section, key, defaultValue, bufferSize);
}

QStringList getProfileSectionNames(const QString& path, int bufferSize)
{
    return IniFile::load(path).sectionNames(bufferSize);
}

bool writeProfileString(const QString& section, const QString& key, const QString& value,
                        const QString& path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    QByteArray before;
    if (info.exists()) {
        if (!info.isFile() || info.size() > kMaxIniFileBytes || nobodyMayWrite(info))
            return false;
        std::optional<QByteArray> bytes = readBounded(path);
        if (!bytes)
            return false; // rewriting a file we could not read would lose it
        before = std::move(*bytes);
    }
    IniFile doc = IniFile::fromBytes(before);
    if (!doc.setValue(section, key, value))
        return false;
    const QByteArray after = doc.toBytes();
    if (info.exists() && after == before)
        return true;
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    if (out.write(after) != after.size()) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

QString readIniText(const QString& section, const QString& key, const QString& defaultValue,
                    const QString& path)
{
    return getProfileString(section, key, defaultValue, kIniReadBufferSize, path);
}

long readIniInteger(const QString& section, const QString& key, const QString& defaultValue,
                    const QString& path)
{
    return atolLike(readIniText(section, key, defaultValue, path));
}

bool readIniBool(const QString& section, const QString& key, const QString& defaultValue,
                 const QString& path)
{
    return readIniInteger(section, key, defaultValue, path) > 0;
}

long atolLike(const QString& text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto isCSpace = [](QChar c) {
        return c == u' ' || c == u'\t' || c == u'\n' || c == u'\v' || c == u'\f' || c == u'\r';
    };
    while (i < n && isCSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    // Accumulate towards the sign's side so LONG_MIN is reachable; saturate like strtol.
    long result = 0;
    for (; i < n && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        const int digit = text[i].unicode() - u'0';
        if (negative) {
            if (result < (LONG_MIN + digit) / 10)
                return LONG_MIN;
            result = result * 10 - digit;
        } else {
            if (result > (LONG_MAX - digit) / 10)
                return LONG_MAX;
            result = result * 10 + digit;
        }
    }
    return result;
}

} // namespace platform

#pragma once

// INI files read and written like the Windows private-profile functions, because our data files and
// the settings file are written by those functions or by hand on Windows:
// - section and key names match without regard to case; blanks and tabs around names and values are
//   trimmed; one matching pair of surrounding " or ' is removed from a value;
// - a line whose first non-blank character is ';' is a comment (a ';' inside a value is not);
// - lines before the first section and lines without '=' hold no key;
// - the first of duplicate keys wins, and a repeated section adds nothing to lookups;
// - CR, LF and CRLF line ends all read;
// - texts are UTF-8 when the bytes are valid UTF-8, else Latin-1; a UTF-8 or UTF-16 byte order mark
//   is honoured and kept;
// - a write changes only the line of the key (or adds one line, or the section and the line) and keeps
//   every other byte, in the file's own line ends; it is atomic.
// Files larger than kMaxIniFileBytes, and anything that is not a regular file, read as missing and are
// never written.

#include <QString>
#include <QStringList>

#include <vector>

namespace platform {

inline constexpr qint64 kMaxIniFileBytes = 16 * 1024 * 1024;

// The buffer size of every reading operation of the program: at most 999 characters come back.
inline constexpr int kIniReadBufferSize = 1000;
// The buffer of a section name list.
inline constexpr int kIniSectionListBufferSize = 2048;

// One INI file as read at one moment; for reading many keys of one file without re-reading it.
class IniFile
{
public:
    enum class Encoding { Utf8, Latin1, Utf16LE, Utf16BE };

    IniFile() = default;

    // Reads the file; a missing, unreadable, oversized or non-regular file gives an empty document.
    static IniFile load(const QString& path);
    // Parses bytes as they would be stored in a file.
    static IniFile fromBytes(const QByteArray& bytes);

    // The key's value, or defaultValue when the section or key is missing; cut to bufferSize - 1
    // characters (a buffer of bufferSize characters with its terminating zero).
    QString value(const QString& section, const QString& key, const QString& defaultValue,
                  int bufferSize = kIniReadBufferSize) const;
    bool contains(const QString& section, const QString& key) const;

    // Section names in file order, each once; only the names that fit, with their terminating zeros
    // and the closing empty name, into a buffer of bufferSize bytes.
    QStringList sectionNames(int bufferSize = kIniSectionListBufferSize) const;

    // Sets the key in memory, in place when present; false when the names or the value cannot be
    // stored (line breaks, '=' in a key, a ']' in a section name, a character the file's encoding
    // cannot hold).
    bool setValue(const QString& section, const QString& key, const QString& value);

    // The document as bytes, in its own encoding, byte order mark and line ends.
    QByteArray toBytes() const;
    Encoding encoding() const { return m_encoding; }

private:
    struct Line
    {
        qsizetype start = 0; // first character of the line
        qsizetype length = 0; // without the line end
        qsizetype eolLength = 0;
        enum class Kind { Other, Section, Key } kind = Kind::Other;
        QString name; // section or key name, trimmed
        QString value; // key value, trimmed, quotes removed
    };

    void parse();
    // Index of the first line of the first section of that name, or -1.
    qsizetype findSection(const QString& section) const;
    // Index of the key line inside the section starting at sectionLine, or -1.
    qsizetype findKey(qsizetype sectionLine, const QString& key) const;
    QString lineEnd() const;

    QString m_text;
    QByteArray m_bom;
    Encoding m_encoding = Encoding::Utf8;
    std::vector<Line> m_lines;
};

// GetPrivateProfileString: the key's text or the default, cut to bufferSize - 1 characters.
QString getProfileString(const QString& section, const QString& key, const QString& defaultValue,
                         int bufferSize, const QString& path);
// GetPrivateProfileSectionNames with a buffer of bufferSize bytes.
QStringList getProfileSectionNames(const QString& path, int bufferSize = kIniSectionListBufferSize);
// WritePrivateProfileString: creates the file and the section when missing; false on any failure.
bool writeProfileString(const QString& section, const QString& key, const QString& value,
                        const QString& path);

// The three reading operations shared by every INI file of the program (buffer of 1000 bytes).
QString readIniText(const QString& section, const QString& key, const QString& defaultValue,
                    const QString& path);
long readIniInteger(const QString& section, const QString& key, const QString& defaultValue,
                    const QString& path);
bool readIniBool(const QString& section, const QString& key, const QString& defaultValue,
                 const QString& path);

// The C library's atol: leading white space, an optional sign, decimal digits up to the first other
// character; no digits gives 0; out of range saturates like strtol.
long atolLike(const QString& text);

} // namespace platform

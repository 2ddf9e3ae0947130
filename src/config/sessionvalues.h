#pragma once

// The session's numeric parameters taken out as a list, to compare one configuration with another,
// and the session kept across work that needs it for something else.

#include <QHash>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class QTemporaryDir;

namespace config {

// A configuration's numeric parameters in layout order, then its text parameters.
class SessionValues
{
public:
    void append(const QString& name, uint16_t value);
    const QStringList& names() const { return m_names; }
    uint16_t valueAt(qsizetype index) const { return m_values[std::size_t(index)]; }
    qsizetype size() const { return m_names.size(); }
    bool isEmpty() const { return m_names.isEmpty(); }
    std::optional<uint16_t> value(const QString& name) const;

    void appendText(const QString& name, const QString& text);
    const QStringList& textNames() const { return m_textNames; }
    const QString& textAt(qsizetype index) const { return m_texts[index]; }
    std::optional<QString> text(const QString& name) const;

    // Numbers and texts.
    qsizetype parameterCount() const { return m_names.size() + m_textNames.size(); }

private:
    QStringList m_names;
    std::vector<uint16_t> m_values;
    QHash<QString, qsizetype> m_index;
    QStringList m_textNames;
    QStringList m_texts;
};

// The text parameters a configuration may hold: the product tag and each reference's actuator name.
QStringList textParameterNames();

// The session's names and values: `count` numbers, or as many as the library names when count is
// negative, then the text parameters its layout holds. 0, or the status of the call that failed
// (the list is then incomplete).
int16_t readSessionValues(SessionValues& out, int count = -1);

// How many parameters differ between two configurations: values that differ, and names only one
// of them has.
int differenceCount(const SessionValues& a, const SessionValues& b);
// "12 of 667 parameters differ".
QString differenceSummary(int differing, int total);

// The session as it is now, given back when this ends (through a .cfg the library writes into a
// private temporary folder and reads again). Where nothing can be written, nothing is given back.
class SessionKeeper
{
public:
    SessionKeeper();
    ~SessionKeeper();
    SessionKeeper(const SessionKeeper&) = delete;
    SessionKeeper& operator=(const SessionKeeper&) = delete;

private:
    std::unique_ptr<QTemporaryDir> m_folder;
    QString m_file;
};

// A .cfg file's values as the library reads it; the session is kept. 0, or the failing status.
int16_t readFileValues(const QString& path, SessionValues& out);

} // namespace config

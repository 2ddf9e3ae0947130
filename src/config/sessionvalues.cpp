#include "config/sessionvalues.h"

#include "device/moxtalib.h"

#include <QTemporaryDir>

namespace config {

namespace {

// The library's status for a name its layout does not hold.
constexpr int16_t kUnknownParameter = -31;

int16_t readTexts(SessionValues& out)
{
    for (const QString& name : textParameterNames()) {
        QString text;
        const int16_t status = device::lib::getStringConfig(name, text);
        if (status == kUnknownParameter)
            continue;
        if (status < 0)
            return status;
        out.appendText(name, text);
    }
    return 0;
}

} // namespace

void SessionValues::append(const QString& name, uint16_t value)
{
    if (!m_index.contains(name))
        m_index.insert(name, m_names.size());
    m_names << name;
    m_values.push_back(value);
}

std::optional<uint16_t> SessionValues::value(const QString& name) const
{
    const auto found = m_index.constFind(name);
    if (found == m_index.constEnd())
        return std::nullopt;
    return m_values[std::size_t(found.value())];
}

void SessionValues::appendText(const QString& name, const QString& text)
{
    m_textNames << name;
    m_texts << text;
}

std::optional<QString> SessionValues::text(const QString& name) const
{
    const qsizetype found = m_textNames.indexOf(name);
    if (found < 0)
        return std::nullopt;
    return m_texts[found];
}

QStringList textParameterNames()
{
    QStringList names{QStringLiteral("ConfType")};
    for (int n = 1; n <= 8; ++n)
        names << QStringLiteral("ref%1_actname").arg(n);
    return names;
}

int16_t readSessionValues(SessionValues& out, int count)
{
    out = SessionValues();
    // Past the last name the library answers with an error; a layout has far fewer than this.
    constexpr int kMostNames = 10000;
    const int last = count >= 0 ? count : kMostNames;
    for (int index = 0; index < last; ++index) {
        QString name;
        if (const int16_t status = device::lib::getConfigNameExt(index, name); status < 0)
            return count >= 0 || index == 0 ? status : readTexts(out);
        uint16_t value = 0;
        if (const int16_t status = device::lib::getConfig(name, value); status < 0)
            return status;
        out.append(name, value);
    }
    return readTexts(out);
}

int differenceCount(const SessionValues& a, const SessionValues& b)
{
    int differing = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (b.value(a.names()[i]) != a.valueAt(i))
            ++differing;
    for (const QString& name : b.names())
        if (!a.value(name))
            ++differing;
    for (qsizetype i = 0; i < a.textNames().size(); ++i)
        if (b.text(a.textNames()[i]) != a.textAt(i))
            ++differing;
    for (const QString& name : b.textNames())
        if (!a.text(name))
            ++differing;
    return differing;
}

QString differenceSummary(int differing, int total)
{
    return QStringLiteral("%1 of %2 parameters %3").arg(differing).arg(total).arg(differing == 1 ? QStringLiteral("differs")
                                                                                                  : QStringLiteral("differ"));
}

SessionKeeper::SessionKeeper()
    : m_folder(std::make_unique<QTemporaryDir>())
{
    if (!m_folder->isValid())
        return;
    const QString file = m_folder->filePath(QStringLiteral("session.cfg"));
    if (device::lib::saveConfig(file, QString()) >= 0)
        m_file = file;
}

SessionKeeper::~SessionKeeper()
{
    if (m_file.isEmpty())
        return;
    QString firmware;
    device::lib::loadConfig(m_file, firmware);
}

int16_t readFileValues(const QString& path, SessionValues& out)
{
    const SessionKeeper keeper;
    QString firmware;
    if (const int16_t status = device::lib::loadConfig(path, firmware); status < 0)
        return status;
    return readSessionValues(out);
}

} // namespace config

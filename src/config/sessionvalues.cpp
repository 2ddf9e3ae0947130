#include "config/sessionvalues.h"

#include "device/moxtalib.h"

#include <QTemporaryDir>

namespace config {

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

int16_t readSessionValues(SessionValues& out, int count)
{
    out = SessionValues();
    // Past the last name the library answers with an error; a layout has far fewer than this.
    constexpr int kMostNames = 10000;
    const int last = count >= 0 ? count : kMostNames;
    for (int index = 0; index < last; ++index) {
        QString name;
        if (const int16_t status = device::lib::getConfigNameExt(index, name); status < 0)
            return count >= 0 || index == 0 ? status : int16_t(0);
        uint16_t value = 0;
        if (const int16_t status = device::lib::getConfig(name, value); status < 0)
            return status;
        out.append(name, value);
    }
    return 0;
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

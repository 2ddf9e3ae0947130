#include "compare/comparison.h"

namespace compare {

Family familyOf(const QString& deviceText)
{
    if (deviceText.startsWith(QStringLiteral("WZQ")))
        return Family::Wzq;
    if (deviceText.startsWith(QStringLiteral("RQ9")))
        return Family::Rq9;
    return Family::None;
}

void RawTable::clear()
{
    m_names.clear();
    m_rows.clear();
    m_columns.clear();
}

void RawTable::setRowCount(int rows)
{
    while (m_names.size() < rows)
        m_names << QString();
}

bool RawTable::setName(int row, const QString& name)
{
    setRowCount(row + 1);
    if (m_names[row].isEmpty()) {
        m_names[row] = name;
        if (!m_rows.contains(name))
            m_rows.insert(name, row);
        return true;
    }
    return m_names[row] == name;
}

void RawTable::setValue(int column, int row, const QString& value)
{
    if (column < 0)
        return;
    if (std::size_t(column) >= m_columns.size())
        m_columns.resize(std::size_t(column) + 1);
    QStringList& values = m_columns[std::size_t(column)];
    while (values.size() <= row)
        values << QString();
    values[row] = value;
}

std::optional<int> RawTable::rowOf(const QString& name) const
{
    const auto it = m_rows.constFind(name);
    if (it == m_rows.constEnd())
        return std::nullopt;
    return it.value();
}

QString RawTable::value(int column, int row) const
{
    if (column < 0 || std::size_t(column) >= m_columns.size())
        return QString();
    return m_columns[std::size_t(column)].value(row);
}

namespace {

bool wzqOrRq9(Family f)
{
    return f == Family::Wzq || f == Family::Rq9;
}

QString numbered(const char* stem, int n, const char* suffix = "")
{
    return QString::fromLatin1(stem) + QString::number(n) + QString::fromLatin1(suffix);
}

class Comparer
{
public:
    Comparer(const RawTable& raw, const QStringList& deviceTexts)
        : m_raw(raw)
    {
        for (const QString& text : deviceTexts)
            m_families.push_back(familyOf(text));
    }

    Comparison run()
    {
        customSelection();
        auxOutput();
        powerSettings();
        resetDrive();
        resetDriveTurnsOff();
        resetOrder();
        for (int k = 1; k <= 6; ++k)
            memory(k);
        return std::move(m_result);
    }

private:
    int lastColumn() const { return int(m_families.size()); }
    Family family(int column) const { return m_families[std::size_t(column - 1)]; }

    // The group's row, made when the group first comes up: "0" parameters, "-" for every box.
    int row(const QString& group)
    {
        const qsizetype found = m_result.groups.indexOf(group);
        if (found >= 0)
            return int(found);
        m_result.groups << group;
        QStringList cells{QStringLiteral("0")};
        for (int c = 2; c <= lastColumn(); ++c)
            cells << QStringLiteral("-");
        m_result.cells.push_back(cells);
        return int(m_result.groups.size()) - 1;
    }

    static void increment(QString& cell) { cell = QString::number(cell.toInt() + 1); }

    // One parameter of the group for box column a against column 1.
    void parameter(const QString& group, int a, const QString& name)
    {
        const std::optional<int> k = m_raw.rowOf(name);
        if (!k) {
            m_result.messages << QStringLiteral("Parameter name not found: ") + name;
            return;
        }
        QStringList& cells = m_result.cells[std::size_t(row(group))];
        // The count follows the comparisons with the box in column 2 only.
        if (a == 2)
            increment(cells[0]);
        const QString reference = m_raw.value(1, *k);
        const QString value = m_raw.value(a, *k);
        if (value != reference)
            increment(cells[a - 1]);
        const QString key = group + u':' + name;
        const auto line = m_detailLines.constFind(key);
        QStringList fields = line != m_detailLines.constEnd() ? m_result.details[*line].split(u':') : QStringList(6, QString());
        fields[0] = group;
        fields[1] = name;
        fields[2] = reference;
        fields[a + 1] = value;
        if (line != m_detailLines.constEnd()) {
            m_result.details[*line] = fields.join(u':');
        } else {
            m_detailLines.insert(key, int(m_result.details.size()));
            m_result.details << fields.join(u':');
        }
    }

    // The value index of memory k in a column: -1 when it is no number or the layout lacks it.
    int valueIndex(int column, int k)
    {
        const QString name = numbered("mem", k, "_value_index");
        const std::optional<int> row = m_raw.rowOf(name);
        if (!row) {
            m_result.messages << QStringLiteral("GetParameter not found: ") + name;
            return -1;
        }
        bool ok = false;
        const int v = m_raw.value(column, *row).toInt(&ok);
        return ok ? v : -1;
    }

    bool indexesAgree(int a, int k)
    {
        const int reference = valueIndex(1, k);
        const int other = valueIndex(a, k);
        return reference == other && reference >= 0 && reference <= 5;
    }

    // Every box column in turn: the row exists, and where the condition holds, the parameters.
    template <typename Condition, typename Parameters>
    void group(const QString& name, Condition holds, Parameters parameters)
    {
        for (int a = 2; a <= lastColumn(); ++a) {
            const int r = row(name);
            if (!holds(a))
                continue;
            m_result.cells[std::size_t(r)][a - 1] = QStringLiteral("0");
            parameters(a);
        }
    }

    auto bothWzqOrRq9()
    {
        return [this](int a) { return wzqOrRq9(family(1)) && wzqOrRq9(family(a)); };
    }

    void customSelection()
    {
        const QString g = QStringLiteral("Custom selection");
        group(g, [this](int a) { return family(1) == Family::Wzq && family(a) == Family::Wzq; }, [&](int a) {
            for (int n = 1; n <= 4; ++n)
                parameter(g, a, numbered("channel", n));
        });
    }

    void auxOutput()
    {
        const QString g = QStringLiteral("AUX output");
        group(g, bothWzqOrRq9(), [&](int a) {
            for (int n = 1; n <= 4; ++n)
                for (const char* stem : {"_timeout", "_type", "_voltmax", "_voltmin", "_step", "_vol_stop_up", "_vol_stop_dw",
                                         "_vol_off_dw"})
                    parameter(g, a, numbered("dcout", n, stem));
            parameter(g, a, QStringLiteral("extern_ubl"));
        });
    }

    void powerSettings()
    {
        const QString g = QStringLiteral("Power settings");
        group(g, bothWzqOrRq9(), [&](int a) {
            for (const char* name : {"default_power", "relative_over_voltage", "battery_voltage_reg"})
                parameter(g, a, QString::fromLatin1(name));
        });
    }

    void resetDrive()
    {
        const QString g = QStringLiteral("Reset drive");
        group(g, bothWzqOrRq9(), [&](int a) {
            if (family(1) == family(a)) {
                parameter(g, a, QStringLiteral("mem7_value_index"));
                parameter(g, a, QStringLiteral("mem8_value_index"));
                for (int j = 1; j <= 6; ++j) {
                    for (int p = 1; p <= 8; ++p)
                        parameter(g, a, numbered("mem", j, "_pos") + QString::number(p));
                    parameter(g, a, numbered("mem", j, "_inv_impulse"));
                    parameter(g, a, numbered("mem", j, "_impulse"));
                }
                return;
            }
            for (int i = 7; i <= 8; ++i)
                if (!indexesAgree(a, i))
                    parameter(g, a, numbered("mem", i, "_value_index"));
        });
    }

    void resetDriveTurnsOff()
    {
        const QString g = QStringLiteral("Reset drive turns off");
        group(g, bothWzqOrRq9(), [&](int a) {
            for (int i = 7; i <= 8; ++i)
                for (const char* stem : {"_use_massage", "_use_dc1", "_use_dc2", "_use_dc3", "_use_dc4"})
                    parameter(g, a, numbered("mem", i, stem));
        });
    }

    void resetOrder()
    {
        const QString g = QStringLiteral("Reset order");
        group(g, bothWzqOrRq9(), [&](int a) {
            for (int i = 7; i <= 8; ++i)
                for (int r = 1; r <= 8; ++r)
                    parameter(g, a, numbered("priority_memory", i, "_ref") + QString::number(r));
        });
    }

    void memory(int k)
    {
        const QString g = QStringLiteral("Memory ") + QString::number(k);
        group(g, bothWzqOrRq9(), [&](int a) {
            int p = k;
            if (family(1) == family(a)) {
                parameter(g, a, numbered("mem", k, "_value_index"));
            } else {
                if (!indexesAgree(a, k)) {
                    parameter(g, a, numbered("mem", k, "_value_index"));
                    return;
                }
                p = valueIndex(1, k) + 1;
            }
            for (const char* stem : {"_use_position", "_use_massage", "_use_dc1", "_use_dc2", "_use_dc3", "_use_dc4", "_impulse",
                                     "_inv_impulse", "_write_enabled", "_pos_mask"})
                parameter(g, a, numbered("mem", k, stem));
            for (int i = 1; i <= 8; ++i)
                parameter(g, a, numbered("mem", p, "_pos") + QString::number(i));
        });
    }

    const RawTable& m_raw;
    std::vector<Family> m_families;
    Comparison m_result;
    QHash<QString, int> m_detailLines; // "group:parameter" -> its detail line
};

} // namespace

Comparison compareGroups(const RawTable& raw, const QStringList& deviceTexts)
{
    return Comparer(raw, deviceTexts).run();
}

void addPrefixes(Comparison& comparison)
{
    for (QStringList& cells : comparison.cells)
        for (qsizetype c = 0; c < cells.size(); ++c) {
            if (c == 0)
                cells[c] = QStringLiteral("Parameters: ") + cells[c];
            else if (cells[c] != QStringLiteral("-"))
                cells[c] = QStringLiteral("Different: ") + cells[c];
        }
}

} // namespace compare

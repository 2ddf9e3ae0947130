#pragma once

// The comparison of a parallel system's boxes, without a window: the raw table of what each box
// holds, and the groups compared between the left-most box and each other box.

#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace compare {

// The family a box belongs to by its device text (its hardware designation first).
enum class Family { None, Wzq, Rq9 };
Family familyOf(const QString& deviceText);

// What was read: the layout's parameter names, and per grid column (1-4) the values as unsigned
// decimal texts.
class RawTable
{
public:
    void clear();
    // A column's values; the names of the first column read become the table's names. False when a
    // name differs from the one already at its place (the value is kept all the same).
    bool setName(int row, const QString& name);
    void setValue(int column, int row, const QString& value);
    void setRowCount(int rows);
    int rowCount() const { return int(m_names.size()); }

    // The row of a name; nothing when the layout has none of that name.
    std::optional<int> rowOf(const QString& name) const;
    QString value(int column, int row) const;

private:
    QStringList m_names;
    QHash<QString, int> m_rows;
    std::vector<QStringList> m_columns; // index = grid column
};

struct Comparison
{
    // The group rows, in order, and per row the cells of grid columns 1 to n (index 0 = column 1):
    // the parameter count, then the differences per box, "-" where a box did not take part.
    QStringList groups;
    std::vector<QStringList> cells;
    // "group:parameter:reference:column 2:column 3:column 4", one per compared parameter.
    QStringList details;
    // The messages the comparison gives, in order (names the layout lacks).
    QStringList messages;
};

// Compares every group for each box column against column 1. deviceTexts[c - 1] is the device
// text of grid column c (1 to n).
Comparison compareGroups(const RawTable& raw, const QStringList& deviceTexts);

// The cells with their prefixes: "Parameters: " in column 1, "Different: " in the others but "-".
void addPrefixes(Comparison& comparison);

} // namespace compare

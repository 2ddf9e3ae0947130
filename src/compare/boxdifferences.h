#pragma once

// What differs between two configurations of one layout (a box read and the window's values, a
// .cfg file, or what was just programmed): every parameter with the group it belongs to and its
// values as the window shows them, in the current unit, beside the raw numbers.

#include "config/sessionvalues.h"

#include <QHash>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace config {
struct Row;
struct WindowState;
} // namespace config

namespace ui {
class FormView;
}

namespace compare {

// The group and the shown value of a parameter, from the catalog and the window's controls.
class ParameterDescriber
{
public:
    ParameterDescriber(const ui::FormView& view, const config::WindowState& state);

    // The tab and group box of the parameter's control; for a parameter without one, what it
    // belongs to by its name.
    QString group(const QString& name) const;
    // The value as its box would show it, with its unit; the raw number where the window shows none.
    // `configuration` holds the other values of the same configuration (an aux output's type decides
    // whether its levels are volts or percent).
    QString shownValue(const QString& name, uint16_t value, const config::SessionValues& configuration) const;

private:
    struct Entry
    {
        const config::Row* row = nullptr;
        int number = 0; // the reference row or aux output, 0 for a fixed name
        QString group;
    };
    void add(const config::Row& row, const QString& name, int number, const QString& control, const QString& prefixGroup);
    QString groupOfControl(const QString& control) const;
    QString itemText(const QString& control, int index) const;

    const ui::FormView& m_view;
    const config::WindowState& m_state;
    QHash<QString, Entry> m_entries;
};

struct DifferenceRow
{
    QString name;
    QString group;
    // The raw number, or the text of a text parameter; nothing where one side's layout has no
    // parameter of that name.
    std::optional<QString> left;
    std::optional<QString> right;
    QString leftText;
    QString rightText;
    bool differs = false;
};

// Every parameter of either side, the left side's order first, numbers before texts.
std::vector<DifferenceRow> differenceRows(const config::SessionValues& left, const config::SessionValues& right,
                                          const ParameterDescriber& describer);

} // namespace compare

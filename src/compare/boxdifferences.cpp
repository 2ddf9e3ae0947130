#include "compare/boxdifferences.h"

#include "config/catalog.h"
#include "config/conversions.h"
#include "config/windowstate.h"
#include "rules/memorytable.h"
#include "ui/formview.h"

#include <QComboBox>
#include <QGroupBox>
#include <QRegularExpression>
#include <QTabWidget>

namespace compare {

namespace {

QString resolved(const char* pattern, int number)
{
    return QString::fromLatin1(pattern).replace(u'#', QString::number(number));
}

QString joined(const QString& a, const QString& b)
{
    if (a.isEmpty())
        return b;
    if (b.isEmpty())
        return a;
    return a + QStringLiteral(" › ") + b;
}

// The unit a value is shown in, as the window's labels name it.
QString unitSuffix(config::Unit unit, bool inch, bool led)
{
    switch (unit) {
    case config::Unit::Length: return inch ? QStringLiteral("inch") : QStringLiteral("mm");
    case config::Unit::Speed:
    case config::Unit::SpeedLengthPrecision: return inch ? QStringLiteral("inch/s") : QStringLiteral("mm/s");
    case config::Unit::Volt: return QStringLiteral("V");
    case config::Unit::Percent: return QStringLiteral("%");
    case config::Unit::AuxLevel: return led ? QStringLiteral("%") : QStringLiteral("V");
    case config::Unit::Minutes: return QStringLiteral("min");
    case config::Unit::Period:
    case config::Unit::ForcedSeconds: return QStringLiteral("s");
    case config::Unit::None:
    case config::Unit::Count:
    case config::Unit::Custom: break;
    }
    return {};
}

// Groups by name, for the parameters no control of the window shows on its own.
QString groupByName(const QString& name)
{
    static const QRegularExpression reference(QStringLiteral("^ref(\\d+)_"));
    static const QRegularExpression position(QStringLiteral("^mem(\\d+)_pos\\d+$"));
    static const QRegularExpression memory(QStringLiteral("^(?:mem|priority_memory)(\\d+)_"));
    static const QRegularExpression aux(QStringLiteral("^dcout(\\d+)_"));
    if (const auto m = reference.match(name); m.hasMatch())
        return QStringLiteral("Reference ") + m.captured(1);
    if (name.startsWith(QStringLiteral("channel")))
        return QStringLiteral("Reference selection");
    if (const auto m = position.match(name); m.hasMatch())
        return QStringLiteral("Memory positions, value slot ") + m.captured(1);
    if (const auto m = memory.match(name); m.hasMatch()) {
        const int n = m.captured(1).toInt();
        if (n == 7)
            return QStringLiteral("Reset drive down");
        if (n == 8)
            return QStringLiteral("Reset drive up");
        return QStringLiteral("Memory ") + m.captured(1);
    }
    if (name.startsWith(QStringLiteral("priority_")))
        return QStringLiteral("Memory order");
    if (const auto m = aux.match(name); m.hasMatch())
        return QStringLiteral("AUX output ") + m.captured(1);
    if (name.startsWith(QStringLiteral("massage_")))
        return QStringLiteral("Massage");
    if (name == QStringLiteral("ConfType"))
        return QStringLiteral("Product mode");
    return QStringLiteral("Not shown in the window");
}

} // namespace

ParameterDescriber::ParameterDescriber(const ui::FormView& view, const config::WindowState& state)
    : m_view(view)
    , m_state(state)
{
    using namespace config;
    // The first entry of a name holds: the rows of the view and mode in force come first.
    if (!state.advanced) {
        for (const Row& row : standardReferenceRows())
            add(row, referencePrefix(1) + QString::fromLatin1(row.name), 1, QString::fromLatin1(row.control), {});
        const Row& forced = standardForcedRow();
        add(forced, QString::fromLatin1(forced.name), 0, QString::fromLatin1(forced.control), {});
    }
    if (state.productMode == ModeRq9)
        for (const Row& row : rq9Rows())
            add(row, QString::fromLatin1(row.name), 0, QString::fromLatin1(row.control), {});
    for (int n = 1; n <= 8; ++n)
        for (const Row& row : referenceRows())
            add(row, referencePrefix(n) + QString::fromLatin1(row.name), n,
                n <= 4 && *row.control ? resolved(row.control, n) : QString(), QStringLiteral("Reference %1").arg(n));
    for (int n = 1; n <= 4; ++n)
        for (const Row& row : auxRows())
            add(row, resolved(row.name, n), n, resolved(row.control, n), QStringLiteral("AUX output %1").arg(n));
    for (auto rows : {mz40Rows(), massageRows(), auxCommonRows(), variousRows(), resetRows()})
        for (const Row& row : rows)
            add(row, QString::fromLatin1(row.name), 0, QString::fromLatin1(row.control), {});
}

void ParameterDescriber::add(const config::Row& row, const QString& name, int number, const QString& control,
                             const QString& prefixGroup)
{
    if (m_entries.contains(name))
        return;
    QString group = groupOfControl(control);
    if (!prefixGroup.isEmpty() && !group.contains(prefixGroup))
        group = joined(group, prefixGroup);
    m_entries.insert(name, Entry{&row, number, group.isEmpty() ? groupByName(name) : group});
}

QString ParameterDescriber::groupOfControl(const QString& control) const
{
    QWidget* w = control.isEmpty() ? nullptr : m_view.control(control);
    QString box;
    for (; w; w = w->parentWidget()) {
        if (auto* group = qobject_cast<QGroupBox*>(w); group && box.isEmpty())
            box = group->title();
        // A page of the tab control: its parent is the tab control's stack.
        if (QWidget* stack = w->parentWidget(); stack && qobject_cast<QTabWidget*>(stack->parentWidget()))
            return joined(w->windowTitle(), box);
    }
    return box;
}

QString ParameterDescriber::itemText(const QString& control, int index) const
{
    const auto* box = control.isEmpty() ? nullptr : m_view.control<QComboBox>(control);
    return box && index >= 0 && index < box->count() ? box->itemText(index) : QString();
}

QString ParameterDescriber::group(const QString& name) const
{
    const auto found = m_entries.constFind(name);
    return found != m_entries.constEnd() ? found->group : groupByName(name);
}

QString ParameterDescriber::shownValue(const QString& name, uint16_t value, const config::SessionValues& configuration) const
{
    using namespace config;
    const QChar separator = m_state.decimalSeparator;
    const auto found = m_entries.constFind(name);
    if (found == m_entries.constEnd()) {
        // A memory's check boxes.
        static const QRegularExpression flag(QStringLiteral("^mem\\d+_(use_\\w+|impulse|inv_impulse|write_enabled)$"));
        if (flag.match(name).hasMatch())
            return value != 0 ? QStringLiteral("on") : QStringLiteral("off");
        // A memory position, in the length unit (degrees in the RQ9 mode when chosen).
        static const QRegularExpression position(QStringLiteral("^mem\\d+_pos\\d+$"));
        if (!position.match(name).hasMatch())
            return QString::number(value);
        const QAction* degreesItem = m_view.menuItem(QStringLiteral("MenuMemUnitsDegrees"));
        const rules::PositionUnit unit{m_state.inch, m_state.productMode == ModeRq9 && degreesItem && degreesItem->isChecked(),
                                       separator};
        const rules::PositionText text = rules::positionText(value, unit);
        if (text.item >= 0) {
            const QString item = itemText(QStringLiteral("cmbRefUp1"), text.item);
            return item.isEmpty() ? QString::number(value) : item;
        }
        return text.text + u' ' + (unit.degrees ? QStringLiteral("°") : (unit.inch ? QStringLiteral("inch") : QStringLiteral("mm")));
    }
    const Row& row = *found->row;
    const QString control = *row.control ? resolved(row.control, found->number) : QString();
    switch (row.kind) {
    case Kind::Scaled:
    case Kind::TruncatedScaled: {
        const QString defaultText = QString::fromLatin1(row.defaultText);
        if (value == row.marker || value == kDefaultMarker)
            return defaultText;
        const bool led = row.unit == Unit::AuxLevel
                         && configuration.value(QStringLiteral("dcout%1_type").arg(found->number)).value_or(0) == 2;
        const Scale s = scaleOf(row.unit, UnitScales::forUnit(m_state.inch), led);
        const QString suffix = unitSuffix(row.unit, m_state.inch, led);
        const QString text = scaledText(value, s.divisor, row.marker, s.precision, defaultText, separator);
        return suffix.isEmpty() ? text : text + u' ' + suffix;
    }
    case Kind::Angle: {
        const QString text = angleText(value, row.marker, 10, QString::fromLatin1(row.defaultText), separator);
        double degrees = 0;
        return value != row.marker && value != kDefaultMarker && strokeToAngle(value, degrees) ? text + QStringLiteral("°") : text;
    }
    case Kind::Flag: return value != 0 ? QStringLiteral("on") : QStringLiteral("off");
    case Kind::InvertedFlag: return value == 0 ? QStringLiteral("on") : QStringLiteral("off");
    case Kind::ItemIndex: {
        const QString item = itemText(control, value);
        return item.isEmpty() ? QString::number(value) : item;
    }
    case Kind::Composite:
        if (row.composite == Composite::AuxType) {
            const QString item = itemText(control, value);
            return item.isEmpty() ? QString::number(value) : item;
        }
        break;
    }
    return QString::number(value);
}

std::vector<DifferenceRow> differenceRows(const config::SessionValues& left, const config::SessionValues& right,
                                          const ParameterDescriber& describer)
{
    std::vector<DifferenceRow> rows;
    rows.reserve(std::size_t(left.size()));
    const auto raw = [](std::optional<uint16_t> v) { return v ? std::optional<QString>(QString::number(*v)) : std::nullopt; };
    auto describe = [&](const QString& name, std::optional<uint16_t> l, std::optional<uint16_t> r) {
        DifferenceRow row;
        row.name = name;
        row.group = describer.group(name);
        row.left = raw(l);
        row.right = raw(r);
        row.leftText = l ? describer.shownValue(name, *l, left) : QString();
        row.rightText = r ? describer.shownValue(name, *r, right) : QString();
        row.differs = l != r;
        rows.push_back(std::move(row));
    };
    for (qsizetype i = 0; i < left.size(); ++i)
        describe(left.names()[i], left.valueAt(i), right.value(left.names()[i]));
    for (qsizetype i = 0; i < right.size(); ++i)
        if (!left.value(right.names()[i]))
            describe(right.names()[i], std::nullopt, right.valueAt(i));

    const auto shownText = [](const std::optional<QString>& t) { return !t ? QString() : t->isEmpty() ? QStringLiteral("(none)") : *t; };
    auto describeText = [&](const QString& name, const std::optional<QString>& l, const std::optional<QString>& r) {
        DifferenceRow row;
        row.name = name;
        row.group = describer.group(name);
        row.left = l;
        row.right = r;
        row.leftText = shownText(l);
        row.rightText = shownText(r);
        row.differs = l != r;
        rows.push_back(std::move(row));
    };
    for (qsizetype i = 0; i < left.textNames().size(); ++i)
        describeText(left.textNames()[i], left.textAt(i), right.text(left.textNames()[i]));
    for (const QString& name : right.textNames())
        if (!left.text(name))
            describeText(name, std::nullopt, right.text(name));
    return rows;
}

} // namespace compare

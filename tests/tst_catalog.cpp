// The catalog against the forms: every row's control exists, for every '#' substitution, and is of
// the class its kind needs; the same for the value boxes' entry rules and the named controls.

#include "config/catalog.h"
#include "ui/controlarrays.h"

#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>
#include <QTest>

#include <moxtasim.h>

#include "pagesview.h"

using config::Composite;
using config::Kind;
using config::Row;

namespace {

enum class Needs { Nothing, ComboBox, CheckBox, RadioButton };

Needs needsOf(const Row& row)
{
    switch (row.composite) {
    case Composite::None: break;
    case Composite::SlsAccelerate:
    case Composite::RefAlwaysParallel: return Needs::Nothing; // no control of its own
    case Composite::ImpulseKeys:
    case Composite::ResetImpulse: return Needs::CheckBox;
    case Composite::ImpulseStopSame: return Needs::RadioButton;
    case Composite::InitPlug:
    case Composite::AcEnable:
    case Composite::PwmDuty:
    case Composite::UblTimeoutEnlarged:
    case Composite::SnoreMemory:
    case Composite::AuxType:
    case Composite::AuxVoltMin:
    case Composite::PowerSetting:
    case Composite::PlugType: return Needs::ComboBox;
    }
    switch (row.kind) {
    case Kind::Flag:
    case Kind::InvertedFlag: return Needs::CheckBox;
    case Kind::Composite: return Needs::Nothing;
    default: return Needs::ComboBox;
    }
}

// The names a pattern stands for: 1 to 4 for '#', else the name itself.
QStringList namesOf(const char* pattern)
{
    const QString p = QString::fromLatin1(pattern);
    if (!p.contains(u'#'))
        return {p};
    QStringList names;
    for (int i = 0; i < 4; ++i)
        names << ui::resolvePattern(p, i);
    return names;
}

// Why the control of that name is not what it must be; empty when it is.
QString problem(const testutil::PagesView& view, const QString& name, Needs needs)
{
    QWidget* c = view.control(name);
    if (!c)
        return name + " is missing";
    const bool right = (needs == Needs::ComboBox && qobject_cast<QComboBox*>(c))
                       || (needs == Needs::CheckBox && qobject_cast<QCheckBox*>(c))
                       || (needs == Needs::RadioButton && qobject_cast<QRadioButton*>(c));
    return right ? QString() : name + " is a " + c->metaObject()->className();
}

} // namespace

class TestCatalog : public QObject
{
    Q_OBJECT

private slots:
    void rowsHaveTheirControls_data()
    {
        QTest::addColumn<QString>("table");
        for (const char* table : {"reference", "RQ9", "MZ40", "massage", "aux", "aux common", "various", "reset", "standard"})
            QTest::newRow(table) << table;
    }

    void rowsHaveTheirControls()
    {
        QFETCH(QString, table);
        const QMap<QString, std::span<const Row>> tables{
            {"reference", config::referenceRows()}, {"RQ9", config::rq9Rows()},      {"MZ40", config::mz40Rows()},
            {"massage", config::massageRows()},     {"aux", config::auxRows()},      {"aux common", config::auxCommonRows()},
            {"various", config::variousRows()},
            {"reset", config::resetRows()},         {"standard", config::standardReferenceRows()},
        };
        std::vector<Row> rows(tables[table].begin(), tables[table].end());
        if (table == "standard")
            rows.push_back(config::standardForcedRow());
        const testutil::PagesView view;
        QStringList problems;
        for (const Row& row : rows) {
            const Needs needs = needsOf(row);
            if (needs == Needs::Nothing) {
                if (*row.control)
                    problems << QString::fromLatin1(row.name) + " names a control it does not use";
                continue;
            }
            for (const QString& name : namesOf(row.control))
                if (const QString p = problem(view, name, needs); !p.isEmpty())
                    problems << QString::fromLatin1(row.name) + ": " + p;
        }
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));
    }

    // The value boxes the entry rules name, the channel boxes and the control arrays.
    void namedControlsExist()
    {
        const testutil::PagesView view;
        QStringList problems;
        for (const config::EntryRule& rule : config::entryRules())
            for (const QString& name : namesOf(rule.control))
                if (const QString p = problem(view, name, Needs::ComboBox); !p.isEmpty())
                    problems << p;
        QStringList boxes;
        for (int n = 1; n <= 4; ++n)
            boxes << config::channelBox(n) << config::channelPortBBox(n);
        for (int memory : {7, 8}) {
            boxes << config::resetOrderBox(memory) << config::resetPairBox(memory);
            for (int column = 0; column < 8; ++column)
                boxes << config::resetDriveBox(memory, column);
        }
        for (const QString& name : boxes)
            if (const QString p = problem(view, name, Needs::ComboBox); !p.isEmpty())
                problems << p;
        const ui::ControlArrays& arrays = view.arrays();
        for (int r = 0; r < ui::kReferenceRecords; ++r)
            for (int m = 0; m < ui::RefMemberCount; ++m)
                if (!arrays.refs[std::size_t(r)][std::size_t(m)])
                    problems << ui::resolvePattern(QString::fromLatin1(ui::kReferencePatterns[std::size_t(m)]), r) + " is missing";
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));
        // A pattern the forms do not know is reported as such.
        QCOMPARE(problem(view, "cmbNoSuchBox1", Needs::ComboBox), QString("cmbNoSuchBox1 is missing"));
        QCOMPARE(problem(view, "cmbStroke1", Needs::CheckBox), QString("cmbStroke1 is a QComboBox"));
    }

    void parameterNames()
    {
        QCOMPARE(config::memoryParameter(7, "pos_mask"), QString("mem7_pos_mask"));
        QCOMPARE(config::memoryPositionParameter(2, 7), QString("mem3_pos1")); // column 7 of slot 2
        QCOMPARE(config::stepParameter(8, 3), QString("priority_memory8_ref3"));
        QCOMPARE(config::channelParameter(4), QString("channel4"));
        QCOMPARE(config::resetDriveBox(8, 0), QString("cmbRefUp1"));
        QCOMPARE(config::resetDriveBox(7, 7), QString("cmbRefDown8"));
    }
};

QTEST_MAIN(TestCatalog)
#include "tst_catalog.moc"

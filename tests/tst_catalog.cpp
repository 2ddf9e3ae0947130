// The catalog against the forms: every row's control exists, for every '#' substitution, and is of
// the class its kind needs; the same for the value boxes' entry rules and the named controls.

#include "config/catalog.h"
#include "ui/controlarrays.h"
#include "ui/dialogs.h"

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

// The names a pattern stands for: 1 to count for '#', else the name itself.
QStringList namesOf(const char* pattern, int count = 4)
{
    const QString p = QString::fromLatin1(pattern);
    if (!p.contains(u'#'))
        return {p};
    QStringList names;
    for (int i = 0; i < count; ++i)
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
        ui::ScriptedDialogs script; // a missing array member would be reported, not shown
        const testutil::PagesView view;
        QStringList problems;
        for (const Row& row : rows) {
            // A composite row is of the composite kind, but for the voltmin row, which is shown and
            // stored as a scaled value under a rule of its own.
            if ((row.kind == Kind::Composite) != (row.composite != Composite::None) && row.composite != Composite::AuxVoltMin)
                problems << QString::fromLatin1(row.name) + ": kind and composite disagree";
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
        QVERIFY2(script.problems().isEmpty(), qPrintable(script.problems().join('\n')));
    }

    // The value boxes the entry rules name, the channel boxes and the control arrays.
    void namedControlsExist()
    {
        ui::ScriptedDialogs script;
        const testutil::PagesView view;
        QStringList problems;
        for (const config::EntryRule& rule : config::entryRules())
            for (const QString& name : namesOf(rule.control, rule.count))
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
        // Every member of the control arrays (the reset drives have no position, impulse or lock).
        const ui::ControlArrays& arrays = view.arrays();
        for (int r = 0; r < ui::kReferenceRecords; ++r)
            for (int m = 0; m < ui::RefMemberCount; ++m)
                if (!arrays.refs[std::size_t(r)][std::size_t(m)])
                    problems << ui::resolvePattern(QString::fromLatin1(ui::kReferencePatterns[std::size_t(m)]), r) + " is missing";
        for (int a = 0; a < ui::kAuxRecords; ++a)
            for (int m = 0; m < ui::AuxMemberCount; ++m)
                if (!arrays.aux[std::size_t(a)][std::size_t(m)])
                    problems << ui::resolvePattern(QString::fromLatin1(ui::kAuxPatterns[std::size_t(m)]), a) + " is missing";
        for (int s = 0; s < ui::kMemoryRecords; ++s)
            for (int m = 0; m < ui::MemMemberCount; ++m) {
                const bool resetDrive = s >= 6 && (m == ui::memPos || m == ui::memImp || m == ui::memLock);
                if (!arrays.mem[std::size_t(s)][std::size_t(m)] != resetDrive)
                    problems << QString("memory %1 member %2").arg(s + 1).arg(m) + (resetDrive ? " is set" : " is missing");
            }
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));
        QVERIFY2(script.problems().isEmpty(), qPrintable(script.problems().join('\n')));
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

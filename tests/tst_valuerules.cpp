// The value rules as pure functions: sections, the limits file, the limits check in mm and inch,
// the digit-count filter, the whole-number rule and the step repair.

#include "rules/memorytable.h"
#include "rules/valuerules.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

#include "testutil.h"

using rules::Filtered;
using rules::Limits;

Q_DECLARE_METATYPE(Filtered::Action)

class TestValueRules : public QObject
{
    Q_OBJECT

private slots:
    void sections_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("section");
        QTest::newRow("reference digit") << "cmbStroke3" << "cmbStroke";
        QTest::newRow("settings tab") << "cmbStrokeLt" << "cmbStroke";
        QTest::newRow("aux time-out") << "cmbAuxTO2" << "cmbAuxTO";
        QTest::newRow("no digit") << "cmbRq9BMax" << "cmbRq9BMax";
        QTest::newRow("digit 5 stays") << "cmbRef5" << "cmbRef5";
        QTest::newRow("digit then Lt") << "cmbForcedLt" << "cmbForced";
    }
    void sections()
    {
        QFETCH(QString, box);
        QFETCH(QString, section);
        QCOMPARE(rules::limitsSection(box), section);
    }

    void limitsFile()
    {
        QTemporaryDir dir;
        const QString file = testutil::writeFile(dir.filePath("limits.ini"),
                                                 "[cmbStroke]\r\nMin=0\r\nMax=6000\r\n[cmbLower]\r\nMin=\r\nMax=10\r\n"
                                                 "[cmbSpeed]\r\nMin=5x\r\n[cmbAuxMin]\r\nMin=12\r\n");
        const auto stroke = rules::readLimits(file, "cmbStroke");
        QVERIFY(stroke);
        QCOMPARE(stroke->min, 0L);
        QCOMPARE(stroke->max, 6000L);
        QVERIFY(!rules::readLimits(file, "cmbLower")); // an empty Min
        QVERIFY(!rules::readLimits(file, "cmbSpeed")); // no Max
        QVERIFY(!rules::readLimits(file, "cmbNone"));
        QVERIFY(!rules::readLimits(dir.filePath("missing.ini"), "cmbStroke"));
        QCOMPARE(rules::readMinimum(file, "cmbAuxMin"), 12L);
        QCOMPARE(rules::readMinimum(file, "cmbNone"), 0L);
    }

    void limitsCheck_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("factor");
        QTest::addColumn<int>("min");
        QTest::addColumn<int>("max");
        QTest::addColumn<QChar>("separator");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QStringList>("messages");
        const QStringList none;
        const QStringList above{rules::kAboveMaximum};
        const QStringList below{rules::kBelowMinimum};
        QTest::newRow("650 mm over 6000") << "650" << 10.0 << 0 << 6000 << QChar('.') << "600" << above;
        QTest::newRow("600 mm at 6000") << "600" << 10.0 << 0 << 6000 << QChar('.') << "600" << none;
        QTest::newRow("24 inch over 6000") << "24" << 254.0 << 0 << 6000 << QChar('.') << "23.62" << above;
        QTest::newRow("comma separator") << "24" << 254.0 << 0 << 6000 << QChar(',') << "23,62" << above;
        QTest::newRow("minimum in mm") << "0.1" << 10.0 << 5 << 6000 << QChar('.') << "0.5" << below;
        QTest::newRow("minimum in inch rounds up") << "0" << 254.0 << 5 << 6000 << QChar('.') << "0.02" << below;
        QTest::newRow("max below min: both, min wins") << "50" << 1.0 << 100 << 10 << QChar('.') << "100"
                                                       << QStringList{rules::kAboveMaximum, rules::kBelowMinimum};
        QTest::newRow("Default passes") << "Default" << 10.0 << 100 << 200 << QChar('.') << "Default" << none;
        QTest::newRow("Off passes") << "Off" << 60.0 << 100 << 200 << QChar('.') << "Off" << none;
        QTest::newRow("default in other case is a word") << "default" << 10.0 << 0 << 6000 << QChar('.') << "600"
                                                         << QStringList{rules::kIllegal};
        QTest::newRow("a word") << "abc" << 1.0 << 0 << 30 << QChar('.') << "30" << QStringList{rules::kIllegal};
        QTest::newRow("speed in inch") << "2" << 4161.536 << 0 << 9830 << QChar('.') << "2" << none;
        // Checked as the value will be stored (rounded half up), so nothing beyond the limit is stored.
        QTest::newRow("rounds above the maximum") << "600.05" << 10.0 << 0 << 6000 << QChar('.') << "600" << above;
        QTest::newRow("rounds to the maximum") << "600.04" << 10.0 << 0 << 6000 << QChar('.') << "600.04" << none;
        QTest::newRow("cycle half a step short") << "14.5" << 1.0 << 1 << 14 << QChar('.') << "14" << above;
        // The shown maximum is rounded down, so it passes its own check.
        QTest::newRow("inch speed maximum rounds down") << "1" << 4161.536 << 0 << 3277 << QChar('.') << "0.78" << above;
    }
    void limitsCheck()
    {
        QFETCH(QString, text);
        QFETCH(double, factor);
        QFETCH(int, min);
        QFETCH(int, max);
        QFETCH(QChar, separator);
        QFETCH(QString, result);
        QFETCH(QStringList, messages);
        const rules::Outcome out = rules::checkLimits(text, factor, Limits{min, max}, separator);
        QCOMPARE(out.text, result);
        QCOMPARE(out.messages, messages);
        QCOMPARE(out.focusBack, !messages.isEmpty());
    }

    // Checked in one unit, stored in another: judged by what is stored, against the limits as
    // they would be stored.
    void limitsCheckAsStored_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("factor");
        QTest::addColumn<double>("storeFactor");
        QTest::addColumn<bool>("truncates");
        QTest::addColumn<int>("min");
        QTest::addColumn<int>("max");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QStringList>("messages");
        const QStringList none;
        const QStringList above{rules::kAboveMaximum};
        const QStringList below{rules::kBelowMinimum};
        // Rounded as checked, 0.6 s would pass a minimum of 1 s and store 1200 ms.
        QTest::newRow("truncating store below") << "0.6" << 1.0 << 2000.0 << true << 1 << 30 << "1" << below;
        QTest::newRow("truncating store at the maximum") << "30" << 1.0 << 2000.0 << true << 1 << 30 << "30" << none;
        QTest::newRow("truncating store a hair above") << "30.001" << 1.0 << 2000.0 << true << 1 << 30 << "30" << above;
        // 0.95 mm/s checked in tenths would round to 10, but stores 156 of 164.
        QTest::newRow("speed store below") << "0.95" << 10.0 << 163.84 << false << 10 << 600 << "1" << below;
        QTest::newRow("speed store at the minimum") << "1" << 10.0 << 163.84 << false << 10 << 600 << "1" << none;
        QTest::newRow("speed store in inch") << "0.03" << 254.0 << 4161.536 << false << 10 << 600 << "0.04" << below;
        QTest::newRow("minutes stored, half seconds checked") << "1.9" << 0.5 << 60.0 << false << 1 << 30 << "2" << below;
        QTest::newRow("minutes over the maximum") << "60.1" << 0.5 << 60.0 << false << 1 << 30 << "60" << above;
        QTest::newRow("a word becomes the maximum") << "x" << 10.0 << 163.84 << false << 10 << 600 << "60"
                                                    << QStringList{rules::kIllegal};
    }
    void limitsCheckAsStored()
    {
        QFETCH(QString, text);
        QFETCH(double, factor);
        QFETCH(double, storeFactor);
        QFETCH(bool, truncates);
        QFETCH(int, min);
        QFETCH(int, max);
        QFETCH(QString, result);
        QFETCH(QStringList, messages);
        const rules::Outcome out =
            rules::checkLimits(text, factor, Limits{min, max}, u'.', rules::StoreScale{storeFactor, truncates});
        QCOMPARE(out.text, result);
        QCOMPARE(out.messages, messages);
    }

    // Every limit we ship, shown in every unit a box may use, passes its own check unchanged: else
    // the message would come back each time the box is left.
    void shippedLimitsPassTheirOwnCheck()
    {
        for (const char* file : {"limits.ini", "limitsWZQ.ini"}) {
            const QString path = QStringLiteral(TEST_DATA_DIR "/../../data/") + file;
            QSettings ini(path, QSettings::IniFormat);
            QVERIFY2(ini.childGroups().size() > 10, file);
            for (const QString& section : ini.childGroups()) {
                const auto limits = rules::readLimits(path, section);
                // The sections of the step repairs hold a minimum only.
                if (!ini.contains(section + "/Max"))
                    continue;
                QVERIFY2(limits, qPrintable(section));
                // Each factor a box is checked with, alone and with the other scales values are stored in.
                const std::pair<double, rules::StoreScale> scales[] = {
                    {1.0, {}},          {10.0, {}},    {254.0, {}},    {163.84, {}},           {4161.536, {}}, {60.0, {}},
                    {0.5, {}},          {9.90328820116054, {}},        {1.28, {}},             {10.0, {163.84, false}},
                    {254.0, {4161.536, false}},        {1.0, {2000.0, true}}, {0.5, {60.0, false}}};
                for (const auto& [factor, store] : scales) {
                    // A unit too coarse for the range shows no value inside it (cmbForced in inch/s).
                    if (std::floor(limits->max * 100.0 / factor) < std::ceil(limits->min * 100.0 / factor))
                        continue;
                    for (const QString& text : {rules::maximumText(limits->max, factor, u'.', store),
                                                rules::minimumText(limits->min, factor, u'.', store)}) {
                        const rules::Outcome out = rules::checkLimits(text, factor, *limits, u'.', store);
                        QVERIFY2(out.messages.isEmpty(), qPrintable(QStringLiteral("%1 [%2] factor %3 stored %4: %5 gives %6")
                                                                        .arg(file, section)
                                                                        .arg(factor)
                                                                        .arg(store.factor)
                                                                        .arg(text, out.messages.join(' '))));
                    }
                }
            }
        }
    }

    // A typed position as the Set values dialog and the Reset tab store it.
    void positionsStored_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("unit"); // 0 mm, 1 inch, 2 degrees
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("shownAgain");
        QTest::newRow("mm") << "123.4" << 0 << 1234 << "123";
        QTest::newRow("mm, a binary hair short") << "12.3" << 0 << 123 << "12";
        QTest::newRow("inch") << "3.94" << 1 << 1000 << "3.94";
        QTest::newRow("degrees") << "68" << 2 << 819 << "68";
        QTest::newRow("0 degrees stays 0") << "0" << 2 << 15 << "0";
        QTest::newRow("below 0 mm") << "-5" << 0 << 0 << "0";
        QTest::newRow("on the drive markers") << "3276.8" << 0 << 32766 << "3277";
        QTest::newRow("far beyond in inch") << "300" << 1 << 32766 << "129";
        QTest::newRow("Up") << "Up" << 0 << 32768 << "";
        QTest::newRow("up is no item") << "up" << 0 << 32769 << "";
        QTest::newRow("a word") << "12,5" << 0 << 32769 << "";
    }

    void positionsStored()
    {
        QFETCH(QString, text);
        QFETCH(int, unit);
        QFETCH(int, value);
        QFETCH(QString, shownAgain);
        const rules::PositionUnit u{unit == 1, unit == 2, u'.'};
        QCOMPARE(int(rules::positionValue(text, "Up", "Down", u)), value);
        QCOMPARE(rules::positionText(uint16_t(value), u).text, shownAgain);
    }

    void digitFilter_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("firstItem");
        QTest::addColumn<int>("digits");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<Filtered::Action>("action");
        QTest::addColumn<QString>("result");
        using A = Filtered::Action;
        QTest::newRow("five digits") << "12345" << "Default" << 4 << 1 << A::SetText << "1234";
        QTest::newRow("two decimals") << "12.34" << "Default" << 4 << 1 << A::SetText << "12.3";
        QTest::newRow("letter") << "1a" << "Default" << 4 << 1 << A::SetText << "1";
        QTest::newRow("pasted") << "12x34" << "Default" << 4 << 1 << A::SetText << "12";
        QTest::newRow("two separators") << "1.2." << "Default" << 4 << 1 << A::SetText << "1.2";
        QTest::newRow("whole number, separator") << "7." << "Default" << 2 << 0 << A::SetText << "7";
        QTest::newRow("fine") << "12.5" << "Default" << 3 << 2 << A::Keep << "";
        QTest::newRow("d selects Default") << "d" << "Default" << 4 << 1 << A::SelectFirstItem << "";
        QTest::newRow("Default typed") << "Default" << "Default" << 4 << 1 << A::SelectFirstItem << "";
        QTest::newRow("o selects Off") << "o" << "Off" << 2 << 2 << A::SelectFirstItem << "";
        QTest::newRow("o in a Default box") << "o" << "Default" << 2 << 2 << A::SetText << "";
        QTest::newRow("comma is no separator here") << "1,5" << "Default" << 3 << 1 << A::SetText << "1";
        QTest::newRow("digits after the separator count") << "123.45" << "Default" << 3 << 2 << A::Keep << "";
        QTest::newRow("run of digits after separator") << "1.234" << "Default" << 3 << 3 << A::Keep << "";
    }
    void digitFilter()
    {
        QFETCH(QString, text);
        QFETCH(QString, firstItem);
        QFETCH(int, digits);
        QFETCH(int, decimals);
        QFETCH(Filtered::Action, action);
        QFETCH(QString, result);
        const Filtered f = rules::filterDigits(text, firstItem, digits, decimals, u'.');
        QCOMPARE(f.action, action);
        if (action == Filtered::Action::SetText)
            QCOMPARE(f.text, result);
    }

    void wholeNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("result"); // "=" when unchanged
        QTest::newRow("12a") << "12a" << "12";
        QTest::newRow("abc") << "abc" << "";
        QTest::newRow("007") << "007" << "7";
        QTest::newRow("0") << "0" << "=";
        QTest::newRow("00") << "00" << "";
        QTest::newRow("45") << "45" << "=";
        QTest::newRow("-3") << "-3" << "";
    }
    void wholeNumbers()
    {
        QFETCH(QString, text);
        QFETCH(QString, result);
        const auto changed = rules::wholeNumberText(text);
        if (result == "=")
            QVERIFY(!changed);
        else
            QCOMPARE(changed.value_or("<unchanged>"), result);
    }

    void stepRepair_data()
    {
        QTest::addColumn<double>("smallestLow");
        QTest::addColumn<double>("smallestStep");
        QTest::addColumn<double>("high");
        QTest::addColumn<double>("low");
        QTest::addColumn<double>("step");
        QTest::newRow("step becomes the span") << 0.0 << 5.0 << 50.0 << 40.0 << 10.0;
        QTest::newRow("low moves down") << 0.0 << 20.0 << 50.0 << 30.0 << 20.0;
        QTest::newRow("high moves up") << 35.0 << 20.0 << 60.0 << 40.0 << 20.0;
    }
    void stepRepair()
    {
        QFETCH(double, smallestLow);
        QFETCH(double, smallestStep);
        QFETCH(double, high);
        QFETCH(double, low);
        QFETCH(double, step);
        const rules::Range r = rules::repairStep({50, 40, 30}, smallestLow, smallestStep);
        QCOMPARE(r.high, high);
        QCOMPARE(r.low, low);
        QCOMPARE(r.step, step);
    }
};

QTEST_MAIN(TestValueRules)
#include "tst_valuerules.moc"

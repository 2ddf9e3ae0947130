#include "config/conversions.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include <moxtasim.h>
#include <moxtausbdll.h>

using namespace config;

class TestConversions : public QObject
{
    Q_OBJECT

private slots:
    void roundHalfUpTiesUpward_data()
    {
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("rounded");
        QTest::newRow("2.5") << 2.5 << 3.0;
        QTest::newRow("2.49") << 2.49 << 2.0;
        QTest::newRow("-2.5") << -2.5 << -2.0;
        QTest::newRow("-2.51") << -2.51 << -3.0;
        QTest::newRow("whole") << 7.0 << 7.0;
    }
    void roundHalfUpTiesUpward()
    {
        QFETCH(double, x);
        QFETCH(double, rounded);
        QCOMPARE(roundHalfUp(x), rounded);
    }

    void scaledTexts_data()
    {
        QTest::addColumn<int>("raw");
        QTest::addColumn<double>("divisor");
        QTest::addColumn<int>("marker");
        QTest::addColumn<int>("precision");
        QTest::addColumn<QString>("defaultText");
        QTest::addColumn<QChar>("separator");
        QTest::addColumn<QString>("text");
        const UnitScales mm = UnitScales::forUnit(false);
        const UnitScales inch = UnitScales::forUnit(true);
        QTest::newRow("mm rounds up") << 7205 << mm.lengthDivisor << 65535 << mm.lengthPrecision << "" << QChar('.') << "721";
        QTest::newRow("inch") << 7205 << inch.lengthDivisor << 65535 << inch.lengthPrecision << "" << QChar('.') << "28.37";
        QTest::newRow("inch, comma") << 7205 << inch.lengthDivisor << 65535 << inch.lengthPrecision << "" << QChar(',') << "28,37";
        QTest::newRow("speed mm/s") << 6554 << mm.speedDivisor << 65535 << mm.speedPrecision << "" << QChar('.') << "40";
        QTest::newRow("speed inch/s") << 6554 << inch.speedDivisor << 65535 << inch.speedPrecision << "" << QChar('.') << "1.575";
        QTest::newRow("65535 whatever the marker") << 65535 << 10.0 << 0 << 1 << "" << QChar('.') << "Default";
        QTest::newRow("minimum stroke marker 0") << 0 << 10.0 << 0 << 1 << "" << QChar('.') << "Default";
        QTest::newRow("maximum stroke raw 0") << 0 << 10.0 << 65535 << 1 << "" << QChar('.') << "0";
        QTest::newRow("timeout Off") << 4095 << 60.0 << 4095 << 100 << "Off" << QChar('.') << "Off";
        QTest::newRow("minutes") << 90 << 60.0 << 4095 << 100 << "Off" << QChar('.') << "1.5";
        QTest::newRow("volts") << 120 << 9.90328820116054 << 255 << 10 << "" << QChar(',') << "12,1";
    }
    void scaledTexts()
    {
        QFETCH(int, raw);
        QFETCH(double, divisor);
        QFETCH(int, marker);
        QFETCH(int, precision);
        QFETCH(QString, defaultText);
        QFETCH(QChar, separator);
        QFETCH(QString, text);
        QCOMPARE(scaledText(uint16_t(raw), divisor, uint16_t(marker), precision, defaultText, separator), text);
    }

    void storedValues_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("factor");
        QTest::addColumn<QChar>("separator");
        QTest::addColumn<int>("value");
        QTest::newRow("inch round trip") << "28.37" << 254.0 << QChar('.') << 7206;
        QTest::newRow("comma separator") << "28,37" << 254.0 << QChar(',') << 7206;
        QTest::newRow("point where comma is the separator") << "28.37" << 254.0 << QChar(',') << 4242;
        QTest::newRow("Default") << "Default" << 10.0 << QChar('.') << 4242;
        QTest::newRow("Off") << "Off" << 60.0 << QChar('.') << 4242;
        QTest::newRow("empty") << "" << 10.0 << QChar('.') << 4242;
        QTest::newRow("letters") << "abc" << 10.0 << QChar('.') << 4242;
        QTest::newRow("zero stores zero") << "0" << 10.0 << QChar('.') << 0;
        QTest::newRow("blanks around") << " 12 " << 10.0 << QChar('.') << 120;
        QTest::newRow("wider than 16 bits") << "6553.6" << 10.0 << QChar('.') << 0;
        QTest::newRow("negative") << "-1" << 1.0 << QChar('.') << 65535;
    }
    void storedValues()
    {
        QFETCH(QString, text);
        QFETCH(double, factor);
        QFETCH(QChar, separator);
        QFETCH(int, value);
        QCOMPARE(int(scaledValue(text, factor, 4242, separator)), value);
    }

    void truncatedAndAngles()
    {
        QCOMPARE(truncatedValue("1.9999", 2000, '.'), uint16_t(3999));
        QCOMPARE(truncatedValue("1.5", 2000, '.'), uint16_t(3000));
        QCOMPARE(truncatedValue("Default", 2000, '.'), uint16_t(65535));
        QCOMPARE(angleValue("68", 1, '.'), uint16_t(819));
        QCOMPARE(angleValue("45", 1, '.'), uint16_t(548));
        QCOMPARE(angleValue("0", 1, '.'), uint16_t(15));
        QCOMPARE(angleValue("Default", 819, '.'), uint16_t(819));
        QCOMPARE(angleText(819, 65535, 10, "68", '.'), QString("68"));
        QCOMPARE(angleText(548, 65535, 10, "45", ','), QString("45"));
        QCOMPARE(angleText(1169, 65535, 10, "0", '.'), QString("0")); // beyond the angle's reach
        QCOMPARE(angleText(65535, 65535, 10, "", '.'), QString("Default"));
        QCOMPARE(angleText(600, 65535, 10, "", ','), QString("49,2"));
    }

    void entryFilter_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("caret");
        QTest::addColumn<QChar>("separator");
        QTest::addColumn<bool>("changed");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("selectionStart");
        QTest::addColumn<int>("selectionLength");
        QTest::newRow("comma becomes the point") << "12,5" << 4 << QChar('.') << true << "12.5" << 4 << 0;
        QTest::newRow("point becomes the comma") << "12.5" << 4 << QChar(',') << true << "12,5" << 4 << 0;
        QTest::newRow("second separator removed") << "1.2.3" << 5 << QChar('.') << true << "1.23" << 4 << 0;
        QTest::newRow("letter d gives Default") << "d" << 1 << QChar('.') << true << "Default" << 0 << 7;
        QTest::newRow("cleared gives Default") << "" << 0 << QChar('.') << true << "Default" << 0 << 7;
        QTest::newRow("d5 gives 5") << "d5" << 2 << QChar('.') << true << "5" << 1 << 0;
        QTest::newRow("letters after the caret") << "5xy" << 1 << QChar('.') << true << "5" << 1 << 0;
        QTest::newRow("paste in the middle") << "1abc2" << 4 << QChar('.') << true << "12" << 1 << 0;
        QTest::newRow("clean number left alone") << "12.5" << 2 << QChar('.') << false << "" << 0 << 0;
        QTest::newRow("another word is removed") << "x" << 1 << QChar('.') << true << "" << 0 << 0;
    }
    void entryFilter()
    {
        QFETCH(QString, typed);
        QFETCH(int, caret);
        QFETCH(QChar, separator);
        QFETCH(bool, changed);
        QFETCH(QString, text);
        QFETCH(int, selectionStart);
        QFETCH(int, selectionLength);
        const FilteredEntry f = filterNumericText(typed, caret, 0, "Default", separator);
        QCOMPARE(f.changed, changed);
        if (!changed)
            return;
        QCOMPARE(f.text, text);
        QCOMPARE(f.selectionStart, selectionStart);
        QCOMPARE(f.selectionLength, selectionLength);
    }

    void entryFilterOnABox()
    {
        QComboBox box;
        box.setEditable(true);
        box.addItem("Default");
        box.lineEdit()->setText("1a2,5");
        box.lineEdit()->setCursorPosition(2);
        filterNumericEntry(&box, "Default", '.');
        QCOMPARE(box.currentText(), QString("12.5"));
        QCOMPARE(box.lineEdit()->cursorPosition(), 1);
    }

    void boxBindingsOverTheSession()
    {
        moxtasim::reset();
        moxtasim::loadBench("[bench]\nlin_baud=0\n");
        QVERIFY(lin_OpenConfig("KVR5E", 0, 0) > 0);
        const Converter inch(',', UnitScales::forUnit(true));
        QComboBox box;
        box.setEditable(true);
        box.addItem("Default");
        lin_SetConfig("ref1_stroke_max", 7205);
        inch.showScaled("ref1_stroke_max", &box, inch.units.lengthDivisor, 65535, false, inch.units.lengthPrecision, "");
        QCOMPARE(box.currentText(), QString("28,37"));
        // Untouched, the box gives back the value it was shown with, not its rounded text.
        inch.storeScaled("ref1_stroke_max", &box, inch.units.lengthDivisor, 65535);
        uint16_t v = 0;
        lin_GetConfig("ref1_stroke_max", &v);
        QCOMPARE(int(v), 7205);
        // Typed, even the same text, it is the number typed.
        box.lineEdit()->selectAll();
        QTest::keyClicks(box.lineEdit(), "28,37");
        inch.storeScaled("ref1_stroke_max", &box, inch.units.lengthDivisor, 65535);
        lin_GetConfig("ref1_stroke_max", &v);
        QCOMPARE(int(v), 7206);
        // A text set by the program is what the box holds.
        inch.showScaled("ref1_stroke_max", &box, inch.units.lengthDivisor, 65535, false, inch.units.lengthPrecision, "");
        setBoxText(&box, "10");
        inch.storeScaled("ref1_stroke_max", &box, inch.units.lengthDivisor, 65535);
        lin_GetConfig("ref1_stroke_max", &v);
        QCOMPARE(int(v), 2540);
        // The defaults flag reads the layout's default, not the session.
        inch.showScaled("ref1_stroke_max", &box, inch.units.lengthDivisor, 65535, true, inch.units.lengthPrecision, "");
        QCOMPARE(box.currentText(), QString("Default"));

        // By index: a value past the list selects the fallback item when there is one, else item 0.
        QVERIFY(lin_OpenConfig("MZ40", 0, 0) > 0);
        QComboBox list;
        list.addItems({"No", "Yes"});
        QCOMPARE(lin_SetConfig("power_led", 7), 0);
        list.setCurrentIndex(1);
        inch.showListValue("power_led", &list, 0, true, 0, 0);
        QCOMPARE(list.currentIndex(), 0);
        list.setCurrentIndex(0);
        inch.showListValue("power_led", &list, 1, true, 0, 0);
        QCOMPARE(list.currentIndex(), 1);
        list.setCurrentIndex(1);
        inch.showListValue("power_led", &list, 5, true, 0, 0);
        QCOMPARE(list.currentIndex(), 0);
        lin_SetConfig("power_led", 1);
        inch.showListValue("power_led", &list, 0, true, 0, 0);
        QCOMPARE(list.currentIndex(), 1);
        // An unknown name leaves the box as it was.
        list.setCurrentIndex(0);
        inch.showListValue("no_such_name", &list, 1, true, 0, 0);
        QCOMPARE(list.currentIndex(), 0);
        // A free-text box outside its range shows the fallback.
        QComboBox free;
        free.setEditable(true);
        lin_SetConfig("power_led", 300);
        inch.showListValue("power_led", &free, 5, false, 0, 254);
        QCOMPARE(free.currentText(), QString("5"));
    }
};

QTEST_MAIN(TestConversions)
#include "tst_conversions.moc"

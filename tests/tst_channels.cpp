#include "config/access.h"
#include "config/channels.h"
#include "config/transfers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QRadioButton>

#include "windowtest.h"

using namespace config;
using testutil::WindowTest;

class TestChannels : public QObject
{
    Q_OBJECT

private slots:
    void encode_data()
    {
        QTest::addColumn<int>("a");
        QTest::addColumn<int>("tag");
        QTest::addColumn<int>("b");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("code");
        QTest::newRow("automatic") << 0 << 65535 << 0 << 0 << 65535;
        QTest::newRow("reference 3, mode 0") << 2 << 0 << 0 << 0 << 2;
        QTest::newRow("reference 3, mode 1") << 2 << 0 << 0 << 1 << 5;
        QTest::newRow("automatic tag on an aux item") << 8 << 65535 << 1 << 0 << 0x0908;
        QTest::newRow("massage 1 with aux 2") << 12 << 0 << 1 << 0 << 0x0910;
        QTest::newRow("massage 1 with massage 2") << 12 << 0 << 5 << 1 << 0x1110;
        QTest::newRow("aux 4 with massage 1") << 11 << 0 << 4 << 0 << 0x100B;
    }
    void encode()
    {
        QFETCH(int, a);
        QFETCH(int, tag);
        QFETCH(int, b);
        QFETCH(int, mode);
        QFETCH(int, code);
        QCOMPARE(int(encodeChannel(a, tag, b, mode)), code);
    }

    void decode_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("a");
        QTest::addColumn<int>("b");
        QTest::addColumn<bool>("ok");
        QTest::newRow("mode 0 reference") << 2 << 0 << 2 << 0 << true;
        QTest::newRow("mode 2 counts like mode 0") << 2 << 2 << 2 << 0 << true;
        QTest::newRow("mode 1 counts down") << 7 << 1 << 0 << 0 << true;
        QTest::newRow("massage 1 + massage 2") << 0x1110 << 1 << 12 << 5 << true;
        QTest::newRow("aux 1 + aux 2") << 0x0908 << 0 << 8 << 1 << true;
        QTest::newRow("B byte 14 is invalid") << 0x0E08 << 0 << 8 << 0 << false;
        QTest::newRow("automatic is no code") << 65535 << 0 << 0 << 0 << false;
        QTest::newRow("A byte 13 is invalid") << 0x080D << 0 << 0 << 0 << false;
    }
    void decode()
    {
        QFETCH(int, code);
        QFETCH(int, mode);
        QFETCH(int, a);
        QFETCH(int, b);
        QFETCH(bool, ok);
        const DecodedChannel d = decodeChannel(uint16_t(code), mode);
        QCOMPARE(d.a, a);
        QCOMPARE(d.b, b);
        QCOMPARE(d.ok, ok);
    }

    void radioButtonFromCodes_data()
    {
        QTest::addColumn<QList<int>>("codes");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("selection");
        QTest::newRow("all automatic, mode 0") << QList<int>{65535, 65535, 65535, 65535} << 0 << int(Selection::PnP);
        QTest::newRow("all automatic, mode 1") << QList<int>{65535, 65535, 65535, 65535} << 1 << int(Selection::Custom);
        QTest::newRow("aux and automatic") << QList<int>{0x0908, 65535, 8, 8} << 0 << int(Selection::PnP);
        QTest::newRow("all aux") << QList<int>{0x0908, 8, 8, 8} << 0 << int(Selection::Custom);
        QTest::newRow("one reference with aux") << QList<int>{0, 0, 8, 0} << 0 << int(Selection::OneRef);
        QTest::newRow("2 parallel + singles") << QList<int>{0, 0, 1, 2} << 0 << int(Selection::TwoPar);
        QTest::newRow("2 + 2") << QList<int>{0, 0, 1, 1} << 0 << int(Selection::TwoPlusTwo);
        QTest::newRow("3 parallel") << QList<int>{0, 0, 0, 1} << 0 << int(Selection::ThreePar);
        QTest::newRow("single") << QList<int>{0, 1, 2, 3} << 0 << int(Selection::Single);
        QTest::newRow("anything else") << QList<int>{1, 0, 2, 3} << 0 << int(Selection::Custom);
    }
    void radioButtonFromCodes()
    {
        QFETCH(QList<int>, codes);
        QFETCH(int, mode);
        QFETCH(int, selection);
        const std::array<uint16_t, 4> c{uint16_t(codes[0]), uint16_t(codes[1]), uint16_t(codes[2]), uint16_t(codes[3])};
        QCOMPARE(int(selectionForCodes(c, mode)), selection);
    }

    void presetsStoreTheirCodes_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QList<int>>("codes");
        QTest::addColumn<QList<bool>>("rows");
        QTest::newRow("rb2par, mode 0") << 0 << "rb2par" << QList<int>{0, 0, 1, 2} << QList<bool>{true, true, true, false};
        QTest::newRow("rbSingle, mode 0") << 0 << "rbSingle" << QList<int>{0, 1, 2, 3} << QList<bool>{true, true, true, true};
        QTest::newRow("rbPnP, mode 0") << 0 << "rbPnP" << QList<int>{65535, 65535, 65535, 65535} << QList<bool>{true, false, false, false};
        QTest::newRow("rb1Ref, mode 0") << 0 << "rb1Ref" << QList<int>{0, 0, 0, 0} << QList<bool>{true, false, false, false};
    }
    void presetsStoreTheirCodes()
    {
        QFETCH(int, mode);
        QFETCH(QString, button);
        QFETCH(QList<int>, codes);
        QFETCH(QList<bool>, rows);
        WindowTest t;
        t.writeSetting("Hardware", QByteArray::number(mode));
        auto w = t.start({"COMBINED"});
        w->control<QRadioButton>(button)->click();
        for (int r = 0; r < 4; ++r)
            QCOMPARE(w->control(QStringLiteral("cmbAct%1").arg(r + 1))->isEnabled(), rows[r]);
        for (int i = 0; i < 4; ++i)
            QCOMPARE(int(encodeChannel(w->control<QComboBox>(QStringLiteral("cmbChan%1").arg(i + 1)),
                                       w->control<QComboBox>(QStringLiteral("cmbChan%1B").arg(i + 1)), mode)),
                     codes[i]);
        QCOMPARE(w->control<QLabel>("lblRefRef1")->text(), w->control<QComboBox>("cmbChan1")->itemText(0));
    }

    void sameSelectionOutsideMode0CountsDown()
    {
        WindowTest t;
        t.writeSetting("Hardware", "1");
        auto w = t.start({"COMBINED"});
        w->control<QRadioButton>("rbCustom")->click();
        const int items[] = {0, 0, 1, 2};
        for (int i = 0; i < 4; ++i) {
            auto* box = w->control<QComboBox>(QStringLiteral("cmbChan%1").arg(i + 1));
            box->setCurrentIndex(items[i]);
            emit box->activated(items[i]);
        }
        const int expected[] = {7, 7, 6, 5};
        for (int i = 0; i < 3; ++i) // reference 3 has no fourth row in mode 1
            QCOMPARE(int(encodeChannel(w->control<QComboBox>(QStringLiteral("cmbChan%1").arg(i + 1)), nullptr, 1)), expected[i]);
    }

    void customSelectionNamesAndNumbersTheRows()
    {
        WindowTest t;
        auto w = t.start({"COMBINED"});
        w->control<QRadioButton>("rbCustom")->click();
        QVERIFY(!w->control("gbCustomSelection")->isHidden());
        const int items[] = {1, 1, 4, 0}; // references 2, 2, 5 and 1
        for (int i = 0; i < 4; ++i)
            w->control<QComboBox>(QStringLiteral("cmbChan%1").arg(i + 1))->setCurrentIndex(items[i]);
        emit w->control<QComboBox>("cmbChan1")->activated(1);
        QCOMPARE(w->control<QLabel>("lblRefRef1")->text(), QString("Reference 1"));
        QCOMPARE(w->control<QLabel>("lblRefRef2")->text(), QString("Reference 2"));
        QCOMPARE(w->control<QLabel>("lblRefRef3")->text(), QString("Reference 5"));
        QCOMPARE(w->control<QLabel>("lblRefRef4")->text(), QString("Unused"));
        QCOMPARE(w->control<QLabel>("lblSetRef3")->text(), QString("Reference 5"));
        QVERIFY(!w->control("cmbAct4")->isEnabled());
        QVERIFY(!w->control("cmbStroke4")->isEnabled());
        QVERIFY(w->control("cmbStroke3")->isEnabled());
        const int tags[] = {1, 1, 2, 0};
        for (int i = 0; i < 4; ++i)
            QCOMPARE(w->control(QStringLiteral("cmbChan%1").arg(i + 1))->property("tag").toInt(), tags[i]);
        QVERIFY(w->control<QLabel>("lblRef5")->font().bold());
        QVERIFY(!w->control<QLabel>("lblRef3")->font().bold());

        // An aux channel shows its B port and the group grows.
        const int before = w->control("gbCustomSelection")->height();
        w->control<QComboBox>("cmbChan2")->setCurrentIndex(12);
        emit w->control<QComboBox>("cmbChan2")->activated(12);
        QVERIFY(!w->control("cmbChan2B")->isHidden());
        QVERIFY(w->control("cmbChan1B")->isHidden());
        QVERIFY(!w->control("lPortB")->isHidden());
        auto* b1 = w->control("cmbChan1B");
        QCOMPARE(w->control("gbCustomSelection")->height(), b1->y() + b1->height() + 11);
        QVERIFY(w->control("gbCustomSelection")->height() > before);
        auto* actuators = w->control("gbActuatorType");
        auto* custom = w->control("gbCustomSelection");
        QCOMPARE(actuators->y(), custom->y() + custom->height() + 8);
    }

    void ignoringSlsDisablesTheReturnBox()
    {
        WindowTest t;
        auto w = t.start({"COMBINED"});
        w->control<QRadioButton>("rbSingle")->click();
        auto* ignore = w->control<QCheckBox>("cbxIgnUp2");
        ignore->setChecked(false);
        ignore->click();
        QVERIFY(!w->control("cmbSlsRetUp2")->isEnabled());
        ignore->click();
        QVERIFY(w->control("cmbSlsRetUp2")->isEnabled());
        QVERIFY(w->control("cmbSlsRetDw2")->isEnabled() == !w->control<QCheckBox>("cbxIgnDw2")->isChecked());
    }
};

QTEST_MAIN(TestChannels)
#include "tst_channels.moc"

#include "device/boxerrors.h"
#include "device/unitdatamodule.h"

#include <QSet>
#include <QTest>

#include <climits>

class TestNames : public QObject
{
    Q_OBJECT

private slots:
    void statusNames_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("name");
        QTest::newRow("0") << 0 << "OK";
        QTest::newRow("-1") << -1 << "ERROR_GEN_READWRITE";
        QTest::newRow("-9 (the library's spelling)") << -9 << "ERROR_OFF_BOUNDRY";
        QTest::newRow("-28") << -28 << "ERROR_CFG_NOT_OPEN";
        QTest::newRow("-34") << -34 << "ERROR_CFG_UNDECODABLE_TEXT";
        QTest::newRow("-35") << -35 << "Unknown error code";
        QTest::newRow("-39") << -39 << "Unknown error code";
        QTest::newRow("-40") << -40 << "ERROR_READ_SERIAL";
        QTest::newRow("-42") << -42 << "ERROR_OUT_OF_SERIAL";
        QTest::newRow("-43") << -43 << "Unknown error code";
        QTest::newRow("-49") << -49 << "Unknown error code";
        QTest::newRow("-50") << -50 << "ERROR_ZBX_TOO_OLD";
        QTest::newRow("-52") << -52 << "ERROR_NO_DOWNLOAD";
        QTest::newRow("-53") << -53 << "Unknown error code";
        QTest::newRow("1") << 1 << "Unknown error code";
        QTest::newRow("most negative") << int(INT16_MIN) << "Unknown error code";
        QTest::newRow("most positive") << int(INT16_MAX) << "Unknown error code";
    }

    void statusNames()
    {
        QFETCH(int, status);
        QFETCH(QString, name);
        QCOMPARE(device::statusName(int16_t(status)), name);
        QCOMPARE(TDM().statusName(int16_t(status)), name);
    }

    void everyStatusFromMinus1ToMinus34HasAName()
    {
        for (int s = -1; s >= -34; --s)
            QVERIFY2(device::statusName(int16_t(s)).startsWith(QStringLiteral("ERROR_")), qPrintable(QString::number(s)));
    }

    void boxErrorTexts_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        QTest::newRow("first") << 0 << "E00 - NO ERROR";
        QTest::newRow("bare code") << 4 << "E04";
        QTest::newRow("the boxes' spelling") << 13 << "E13 - Short curcuit";
        QTest::newRow("middle") << 71 << "E71 - Ch1A short";
        QTest::newRow("last bare") << 99 << "E99";
        QTest::newRow("first three-digit") << 100 << "E100 - Forced init. ref 1";
        QTest::newRow("last") << 107 << "E107 - Forced init. ref 8";
        QTest::newRow("past the table") << 108 << "";
        QTest::newRow("negative") << -1 << "";
    }

    void boxErrorTexts()
    {
        QFETCH(int, code);
        QFETCH(QString, text);
        QCOMPARE(device::boxErrorText(code), text);
    }

    void boxErrorTextsAreInCodeOrder()
    {
        for (int code = 0; code < device::kBoxErrorCount; ++code) {
            const QString prefix = QStringLiteral("E%1").arg(code, 2, 10, QLatin1Char('0'));
            const QString text = device::boxErrorText(code);
            QVERIFY2(text == prefix || text.startsWith(prefix + QStringLiteral(" - ")), qPrintable(text));
        }
    }

    void hardwareDesignations()
    {
        const QList<int> ids{1,   2,   3,   4,   5,   12,  13,  22,  23,  24,  25,  32,  33,  42,  43,  44,  45,
                             50,  51,  52,  53,  60,  61,  62,  70,  80,  81,  90,  95,  96,  100, 101, 102, 103,
                             104, 110, 120, 130, 131, 132, 133, 134, 135, 136, 137, 138, 140, 145, 146};
        QCOMPARE(ids.size(), 49);
        QCOMPARE(device::hardwareDesignationCount(), 49);

        QSet<QString> texts;
        for (int id = 0; id <= 255; ++id) {
            const QString text = device::hardwareDesignation(uint8_t(id));
            QCOMPARE(TDM().hardwareDesignation(uint8_t(id)), text);
            if (!ids.contains(id)) {
                QCOMPARE(text, QStringLiteral("UNKNOWN"));
                continue;
            }
            QVERIFY(!text.isEmpty() && text != QStringLiteral("UNKNOWN"));
            // The family prefixes by which bed boxes are recognised belong to their IDs alone.
            QCOMPARE(text.startsWith(QStringLiteral("WZQ")), id == 80 || id == 81);
            QCOMPARE(text.startsWith(QStringLiteral("RQ9")), id == 90 || id == 95 || id == 96);
            if (id != 137 && id != 138)
                texts.insert(text);
        }
        QCOMPARE(texts.size(), 47); // every other text is its own
        QCOMPARE(device::hardwareDesignation(5), QStringLiteral("Reserved"));
        QCOMPARE(device::hardwareDesignation(135), device::hardwareDesignation(137));
        QCOMPARE(device::hardwareDesignation(136), device::hardwareDesignation(138));
        QVERIFY(device::hardwareDesignation(135) != device::hardwareDesignation(136));
    }
};

QTEST_GUILESS_MAIN(TestNames)
#include "tst_names.moc"

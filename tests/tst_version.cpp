#include "platform/version.h"

#include <QTest>

class TestVersion : public QObject
{
    Q_OBJECT

private slots:
    void shorten_data()
    {
        QTest::addColumn<QString>("fileVersion");
        QTest::addColumn<QString>("text");
        QTest::newRow("four parts") << "1.6.9.0" << "1.6.9";
        QTest::newRow("three parts") << "1.6.9" << "1.6";
        QTest::newRow("two parts") << "1.6" << "1";
        QTest::newRow("no dot") << "16" << "16";
        QTest::newRow("five parts") << "1.6.9.0.7" << "1.6.9";
        QTest::newRow("long numbers") << "10.20.300.4000" << "10.20.300";
        QTest::newRow("leading dot") << ".6" << "";
        QTest::newRow("trailing dot") << "1." << "1";
        QTest::newRow("empty") << "" << "";
    }

    void shorten()
    {
        QFETCH(QString, fileVersion);
        QFETCH(QString, text);
        QCOMPARE(platform::shortenVersion(fileVersion), text);
    }

    void programVersionIsShortened()
    {
        // The build gives a four-part version; the caption shows its first three parts.
        const QString full = platform::fileVersion();
        QCOMPARE(full.count(u'.'), 3);
        QCOMPARE(platform::versionText(), full.section(u'.', 0, 2));
    }
};

QTEST_GUILESS_MAIN(TestVersion)
#include "tst_version.moc"

#include "app/settingsstore.h"
#include "platform/directories.h"
#include "platform/inifile.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "testutil.h"

#include <functional>

using app::SettingsStore;

// Declared before the first use, or an optimising build instantiates the type id twice.
Q_DECLARE_METATYPE(std::function<void(SettingsStore&)>)
Q_DECLARE_METATYPE(std::function<QString(const SettingsStore&)>)

class TestSettingsStore : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString settingsWith(const QByteArray& bytes)
    {
        return testutil::writeFile(m_dir.filePath(QStringLiteral("configurator.ini")), bytes);
    }

private slots:
    void defaults()
    {
        for (const QString& path : {m_dir.filePath("missing.ini"), settingsWith(""), settingsWith("[OTHER]\nHardware=3\n"), QString()}) {
            const SettingsStore store(path);
            QCOMPARE(store.hintLanguage(), QStringLiteral("English"));
            QCOMPARE(store.lengthUnitInch(), false);
            QCOMPARE(store.conflictHandler(), 0L);
            QCOMPARE(store.timeFormat(), 0L);
            QCOMPARE(store.colorTimer(), 5L);
            QCOMPARE(store.colorType(), 0L);
            QCOMPARE(store.showHints(), true);
            QCOMPARE(store.warnOnChange(), true);
            QCOMPARE(store.hardware(), 0L);
            QCOMPARE(store.usbFileName(), QString());
        }
    }

    void storedValuesRead()
    {
        const SettingsStore store(settingsWith("[config]\r\nlengthunit=yes\r\nShowHints=-1\r\nColorTimer=12abc\r\n"
                                               "TimeFormat=7\r\nWarnOnChange=0\r\nHardware=4\r\nColorType=2\r\n"
                                               "ConflictHandler=1\r\nHintLanguage=Deutsch\r\nusbfilename=ZUBREX-0001\r\n"));
        QCOMPARE(store.lengthUnitInch(), false); // "yes" is no number
        QCOMPARE(store.showHints(), false);
        QCOMPARE(store.colorTimer(), 12L);
        QCOMPARE(store.timeFormat(), 7L); // no entry of the list; the caller decides
        QCOMPARE(store.warnOnChange(), false);
        QCOMPARE(store.hardware(), 4L);
        QCOMPARE(store.colorType(), 2L);
        QCOMPARE(store.conflictHandler(), 1L);
        QCOMPARE(store.hintLanguage(), QStringLiteral("Deutsch"));
        QCOMPARE(store.usbFileName(), QStringLiteral("ZUBREX-0001"));
        QCOMPARE(SettingsStore(settingsWith("[CONFIG]\nLengthUnit=2\n")).lengthUnitInch(), true);
    }

    void adapterNameIsCut()
    {
        const SettingsStore store(settingsWith("[CONFIG]\nusbfilename=" + QByteArray(150, 'z') + "\n"));
        QCOMPARE(store.usbFileName(), QString(99, u'z'));
    }

    void writesStoreTheExactTexts_data()
    {
        using Write = std::function<void(SettingsStore&)>;
        using Read = std::function<QString(const SettingsStore&)>;
        QTest::addColumn<Write>("write");
        QTest::addColumn<Read>("read");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("text");
        auto number = [](long v) { return QString::number(v); };
        QTest::newRow("HintLanguage") << Write([](SettingsStore& s) { s.setHintLanguage("Deutsch"); })
                                      << Read([](const SettingsStore& s) { return s.hintLanguage(); }) << "HintLanguage" << "Deutsch";
        QTest::newRow("LengthUnit inch") << Write([](SettingsStore& s) { s.setLengthUnitInch(true); })
                                         << Read([=](const SettingsStore& s) { return number(s.lengthUnitInch()); }) << "LengthUnit" << "1";
        QTest::newRow("LengthUnit mm") << Write([](SettingsStore& s) { s.setLengthUnitInch(false); })
                                       << Read([=](const SettingsStore& s) { return number(s.lengthUnitInch()); }) << "LengthUnit" << "0";
        QTest::newRow("ConflictHandler") << Write([](SettingsStore& s) { s.setConflictHandler(2); })
                                         << Read([=](const SettingsStore& s) { return number(s.conflictHandler()); }) << "ConflictHandler" << "2";
        QTest::newRow("TimeFormat") << Write([](SettingsStore& s) { s.setTimeFormat(3); })
                                    << Read([=](const SettingsStore& s) { return number(s.timeFormat()); }) << "TimeFormat" << "3";
        QTest::newRow("ColorTimer") << Write([](SettingsStore& s) { s.setColorTimer(120); })
                                    << Read([=](const SettingsStore& s) { return number(s.colorTimer()); }) << "ColorTimer" << "120";
        QTest::newRow("ColorType") << Write([](SettingsStore& s) { s.setColorType(1); })
                                   << Read([=](const SettingsStore& s) { return number(s.colorType()); }) << "ColorType" << "1";
        QTest::newRow("ShowHints off") << Write([](SettingsStore& s) { s.setShowHints(false); })
                                       << Read([=](const SettingsStore& s) { return number(s.showHints()); }) << "ShowHints" << "0";
        QTest::newRow("WarnOnChange off") << Write([](SettingsStore& s) { s.setWarnOnChange(false); })
                                          << Read([=](const SettingsStore& s) { return number(s.warnOnChange()); }) << "WarnOnChange" << "0";
        QTest::newRow("Hardware") << Write([](SettingsStore& s) { s.setHardware(2); })
                                  << Read([=](const SettingsStore& s) { return number(s.hardware()); }) << "Hardware" << "2";
        QTest::newRow("usbfilename") << Write([](SettingsStore& s) { s.setUsbFileName("ZUBREX-0002"); })
                                     << Read([](const SettingsStore& s) { return s.usbFileName(); }) << "usbfilename" << "ZUBREX-0002";
    }

    void writesStoreTheExactTexts()
    {
        QFETCH(std::function<void(SettingsStore&)>, write);
        QFETCH(std::function<QString(const SettingsStore&)>, read);
        QFETCH(QString, key);
        QFETCH(QString, text);
        // A file as Windows left it: the other keys and the line ends stay as they are.
        const QByteArray before("[CONFIG]\r\nHintLanguage=English\r\nColorTimer=5\r\n");
        const QString path = settingsWith(before);
        SettingsStore store(path);
        write(store);

        const QByteArray line = (key + u'=' + text + QStringLiteral("\r\n")).toUtf8();
        QByteArray rest = testutil::readFile(path);
        QVERIFY2(rest.contains(line), rest.constData());
        rest.replace(line, "");
        const QRegularExpressionMatch old =
            QRegularExpression(QStringLiteral("(?m)^") + key + QStringLiteral("=[^\\r]*\\r\\n")).match(QString::fromLatin1(before));
        QByteArray untouched = before;
        if (old.hasMatch())
            untouched.remove(old.capturedStart(), old.capturedLength());
        QCOMPARE(rest, untouched);

        // The next start reads what was written.
        QCOMPARE(read(SettingsStore(path)), text);
    }

    void failedWriteHoldsForTheRun()
    {
        // The settings directory cannot be created below a plain file.
        QFile blocker(m_dir.filePath("plain"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const QString path = platform::prepareSettingsFile(m_dir.filePath("plain/Moxta/configurator"));
        SettingsStore store(path);
        store.setColorTimer(42);
        store.setShowHints(false);
        store.setHintLanguage(QStringLiteral(" \"Deutsch\" "));
        QVERIFY(!QFileInfo::exists(path));
        QCOMPARE(store.colorTimer(), 42L);
        QCOMPARE(store.showHints(), false);
        QCOMPARE(store.hintLanguage(), QStringLiteral("Deutsch")); // read back as the file would give it
        QCOMPARE(SettingsStore(path).colorTimer(), 5L);
    }

    void advancedMode_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("advanced");
        QTest::newRow("on") << QByteArray("[CONFIG]\r\nAdvancedMode=1\r\n") << true;
        QTest::newRow("off") << QByteArray("[CONFIG]\r\nAdvancedMode=0\r\n") << false;
        QTest::newRow("word") << QByteArray("[CONFIG]\r\nAdvancedMode=yes\r\n") << false;
        QTest::newRow("empty value") << QByteArray("[CONFIG]\r\nAdvancedMode=\r\n") << false;
        QTest::newRow("other section") << QByteArray("[ADV]\r\nAdvancedMode=1\r\n") << false;
    }

    void advancedMode()
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, advanced);
        const QString path = testutil::writeFile(m_dir.filePath("Adv.ini"), file);
        QCOMPARE(app::readAdvancedMode(path), advanced);
        QVERIFY(!app::readAdvancedMode(m_dir.filePath("NoAdv.ini")));
    }
};


QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"

#include "platform/inifile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "testutil.h"

#include <climits>

using platform::IniFile;

class TestIniFile : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString fileWith(const QByteArray& bytes, const QString& name = QStringLiteral("t.ini"))
    {
        return testutil::writeFile(m_dir.filePath(name), bytes);
    }

private slots:
    void read_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");

        const QString dflt = QStringLiteral("<default>");
        QTest::newRow("names without regard to case") << QByteArray("[Config]\nLengthUnit=1\n") << "CONFIG" << "lengthunit" << "1";
        QTest::newRow("blanks and tabs trimmed") << QByteArray("  [ CONFIG ]\t\n \t Key \t=\t  a b  \t\n") << "CONFIG" << "key" << "a b";
        QTest::newRow("double quotes removed") << QByteArray("[s]\nk=\" a \"\n") << "s" << "k" << " a ";
        QTest::newRow("single quotes removed") << QByteArray("[s]\nk='x'\n") << "s" << "k" << "x";
        QTest::newRow("only one pair removed") << QByteArray("[s]\nk=\"\"x\"\"\n") << "s" << "k" << "\"x\"";
        QTest::newRow("unmatched quotes kept") << QByteArray("[s]\nk=\"x'\n") << "s" << "k" << "\"x'";
        QTest::newRow("lone quote kept") << QByteArray("[s]\nk=\"\n") << "s" << "k" << "\"";
        QTest::newRow("comment line is no key") << QByteArray("[s]\n  ; k=1\n") << "s" << "k" << dflt;
        QTest::newRow("semicolon inside a value") << QByteArray("[s]\nk=1 ; note\n") << "s" << "k" << "1 ; note";
        QTest::newRow("equals inside a value") << QByteArray("[s]\nk=a=b\n") << "s" << "k" << "a=b";
        QTest::newRow("key before any section") << QByteArray("k=1\n[s]\n") << "s" << "k" << dflt;
        QTest::newRow("line without equals") << QByteArray("[s]\nk\nk 2\n") << "s" << "k" << dflt;
        QTest::newRow("empty value is not the default") << QByteArray("[s]\nk=\n") << "s" << "k" << "";
        QTest::newRow("first duplicate key wins") << QByteArray("[s]\nk=1\nK=2\n") << "s" << "k" << "1";
        QTest::newRow("repeated section adds nothing") << QByteArray("[s]\na=1\n[t]\n[S]\nk=2\n") << "s" << "k" << dflt;
        QTest::newRow("key of another section") << QByteArray("[s]\n[t]\nk=2\n") << "s" << "k" << dflt;
        QTest::newRow("missing section") << QByteArray("[s]\nk=1\n") << "x" << "k" << dflt;
        QTest::newRow("CR line ends") << QByteArray("[s]\ra=1\rk=2\r") << "s" << "k" << "2";
        QTest::newRow("mixed line ends") << QByteArray("[s]\r\na=1\rk=2\n[t]\r\n") << "s" << "k" << "2";
        QTest::newRow("no line end at the end") << QByteArray("[s]\nk=last") << "s" << "k" << "last";
        QTest::newRow("UTF-8 text") << QByteArray("[Français]\nk=d\xc3\xa9j\xc3\xa0\n") << "FRANÇAIS" << "k" << "déjà";
        QTest::newRow("Latin-1 text") << QByteArray("[s]\nk=d\xe9j\xe0\n") << "s" << "k" << "déjà";
        QTest::newRow("UTF-8 byte order mark") << QByteArray("\xef\xbb\xbf[s]\nk=1\n") << "s" << "k" << "1";
        QTest::newRow("UTF-16LE byte order mark")
            << (QByteArray("\xff\xfe") + QByteArray("[\0s\0]\0\r\0\n\0k\0=\0\xe9\0", 16)) << "s" << "k" << "é";
        QTest::newRow("binary bytes")
            << QByteArray("\x00\x01\xff[s\x00\nk=\x80\x00\n\xfe", 13) << "s" << "k" << dflt;
        QTest::newRow("empty file") << QByteArray() << "s" << "k" << dflt;
    }

    void read()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        QCOMPARE(platform::getProfileString(section, key, QStringLiteral("<default>"), 1000, fileWith(file)), expected);
    }

    void windowsFileReads()
    {
        const QString path = QStringLiteral(TEST_DATA_DIR "/windows_crlf.ini");
        QCOMPARE(platform::readIniText("config", "hintlanguage", "x", path), QStringLiteral("English"));
        QCOMPARE(platform::readIniInteger("Limits", "MaxStroke", "0", path), 650L);
        QCOMPARE(platform::readIniBool("CONFIG", "LengthUnit", "", path), true); // the repeat says 0
        QCOMPARE(platform::getProfileSectionNames(path), (QStringList{"CONFIG", "Limits"}));
    }

    void bufferLimits()
    {
        const QString longValue(1500, u'v');
        const QString path = fileWith("[s]\nk=" + longValue.toLatin1() + "\nhuge=" + QByteArray(100000, 'h') + "\n");
        QCOMPARE(platform::readIniText("s", "k", "", path), QString(999, u'v'));
        QCOMPARE(platform::readIniText("s", "huge", "", path).size(), 999);
        QCOMPARE(platform::getProfileString("s", "k", "", 100, path), QString(99, u'v'));
        QCOMPARE(platform::getProfileString("s", "missing", "abcdef", 4, path), QStringLiteral("abc"));
        QCOMPARE(platform::getProfileString("s", "k", "", 1, path), QString());
        QCOMPARE(platform::getProfileString("s", "k", "", 0, path), QString());
        // A cut never leaves half a character behind.
        const QString emoji = QStringLiteral("ab\U0001F600");
        QCOMPARE(platform::getProfileString("s", "missing", emoji, 4, path), QStringLiteral("ab"));
    }

    void sectionNamesFitTheBuffer()
    {
        const QString path = fileWith("[English]\n[Deutsch]\n[english]\n[]\n[Fran\xc3\xa7" "ais]\n");
        QCOMPARE(platform::getProfileSectionNames(path), (QStringList{"English", "Deutsch", "Français"}));
        // "English\0Deutsch\0" + the closing zero need 17 bytes; "Français\0" needs 10 more (ç is two bytes).
        QCOMPARE(platform::getProfileSectionNames(path, 26), (QStringList{"English", "Deutsch"}));
        QCOMPARE(platform::getProfileSectionNames(path, 27), (QStringList{"English", "Deutsch", "Français"}));
        QCOMPARE(platform::getProfileSectionNames(path, 8), QStringList());
        QCOMPARE(platform::getProfileSectionNames(path, 9), QStringList{"English"});
        // In an 8-bit file the same name takes one byte less.
        const QString latin1 = fileWith("[English]\n[Deutsch]\n[Fran\xe7" "ais]\n");
        QCOMPARE(platform::getProfileSectionNames(latin1, 26), (QStringList{"English", "Deutsch", "Français"}));
        QCOMPARE(platform::getProfileSectionNames(latin1, 25), (QStringList{"English", "Deutsch"}));
    }

    void missingAndUnusableFiles()
    {
        const QString dflt = QStringLiteral("d");
        QCOMPARE(platform::readIniText("s", "k", dflt, m_dir.filePath("none.ini")), dflt);
        QCOMPARE(platform::readIniText("s", "k", dflt, QString()), dflt);
        QCOMPARE(platform::readIniText("s", "k", dflt, m_dir.path()), dflt);
        QVERIFY(!platform::writeProfileString("s", "k", "1", m_dir.path()));

        // Too large to be an INI file of ours: neither read nor rewritten.
        const QString big = fileWith("[s]\nk=1\n", QStringLiteral("big.ini"));
        QFile f(big);
        QVERIFY(f.resize(platform::kMaxIniFileBytes + 1));
        QCOMPARE(platform::readIniText("s", "k", dflt, big), dflt);
        QVERIFY(!platform::writeProfileString("s", "k", "2", big));
        QCOMPARE(QFileInfo(big).size(), platform::kMaxIniFileBytes + 1);
    }

    void write_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("after");

        QTest::newRow("replace in place, keeping spelling and every other byte")
            << QByteArray("; top\r\n[CONFIG]\r\n  ColorTimer  =  12 \r\nShowHints=1\r\n\r\n[x]\r\nColorTimer=3\r\n")
            << "config" << "colortimer" << "7"
            << QByteArray("; top\r\n[CONFIG]\r\nColorTimer=7\r\nShowHints=1\r\n\r\n[x]\r\nColorTimer=3\r\n");
        QTest::newRow("add after the section's last key, in the file's line ends")
            << QByteArray("[CONFIG]\r\na=1\r\n; note\r\n\r\n[x]\r\n") << "CONFIG" << "b" << "2"
            << QByteArray("[CONFIG]\r\na=1\r\nb=2\r\n; note\r\n\r\n[x]\r\n");
        QTest::newRow("add to a section without keys")
            << QByteArray("[CONFIG]\n\n[x]\n") << "CONFIG" << "b" << "2" << QByteArray("[CONFIG]\nb=2\n\n[x]\n");
        QTest::newRow("add to the first of a repeated section")
            << QByteArray("[s]\na=1\n[s]\nb=1\n") << "s" << "b" << "2" << QByteArray("[s]\na=1\nb=2\n[s]\nb=1\n");
        QTest::newRow("first of duplicate keys is replaced")
            << QByteArray("[s]\nk=1\nk=2\n") << "s" << "K" << "3" << QByteArray("[s]\nk=3\nk=2\n");
        QTest::newRow("key on the last line without a line end")
            << QByteArray("[s]\nk=1") << "s" << "j" << "2" << QByteArray("[s]\nk=1\nj=2\n");
        QTest::newRow("new section after a last line without a line end")
            << QByteArray("[s]\r\nk=1") << "CONFIG" << "j" << "2" << QByteArray("[s]\r\nk=1\r\n[CONFIG]\r\nj=2\r\n");
        QTest::newRow("CR line ends kept") << QByteArray("[s]\rk=1\r") << "s" << "j" << "2" << QByteArray("[s]\rk=1\rj=2\r");
        QTest::newRow("Latin-1 file stays Latin-1")
            << QByteArray("[s]\nname=caf\xe9\n") << "s" << "v" << "é" << QByteArray("[s]\nname=caf\xe9\nv=\xe9\n");
        QTest::newRow("UTF-8 byte order mark kept")
            << QByteArray("\xef\xbb\xbf[s]\nk=1\n") << "s" << "k" << "é" << QByteArray("\xef\xbb\xbf[s]\nk=\xc3\xa9\n");
        QTest::newRow("comment that looks like the key is left alone")
            << QByteArray("[s]\n;k=1\n") << "s" << "k" << "2" << QByteArray("[s]\nk=2\n;k=1\n");
    }

    void write()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QByteArray, after);
        const QString path = fileWith(before);
        QVERIFY(platform::writeProfileString(section, key, value, path));
        QCOMPARE(testutil::readFile(path), after);
        QCOMPARE(platform::readIniText(section, key, "<default>", path), value);
    }

    void writeCreatesTheFile()
    {
        const QString path = m_dir.filePath("new.ini");
        QFile::remove(path);
        QVERIFY(platform::writeProfileString("CONFIG", "Hardware", "2", path));
        QVERIFY(platform::writeProfileString("CONFIG", "ShowHints", "0", path));
        QCOMPARE(testutil::readFile(path), QByteArray("[CONFIG]\nHardware=2\nShowHints=0\n"));
    }

    void refusedWritesChangeNothing_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        const QByteArray latin1("[s]\nk=caf\xe9\n");
        QTest::newRow("line break in a value") << latin1 << "s" << "k" << "1\n[evil]\nx=1";
        QTest::newRow("carriage return in a value") << latin1 << "s" << "k" << "1\rx=1";
        QTest::newRow("equals in a key") << latin1 << "s" << "a=b" << "1";
        QTest::newRow("key that reads as a section") << latin1 << "s" << "[t]" << "1";
        QTest::newRow("key that reads as a comment") << latin1 << "s" << ";k" << "1";
        QTest::newRow("bracket in a section") << latin1 << "a]b" << "k" << "1";
        QTest::newRow("empty key") << latin1 << "s" << " " << "1";
        QTest::newRow("empty section") << latin1 << "" << "k" << "1";
        QTest::newRow("character Latin-1 cannot hold") << latin1 << "s" << "k" << "€";
        // The encoding is found at every read: these writes would read back as another text.
        QTest::newRow("Latin-1 that would read as UTF-16") << QByteArray("\xfe\xff[s]\nk=12\n") << "s" << "k" << "1234";
        QTest::newRow("Latin-1 that would read as other UTF-8")
            << QByteArray("[s]\nk=\xff\nt=\xc3\xa4\n") << "s" << "k" << "1";
    }

    void refusedWritesChangeNothing()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        const QString path = fileWith(before);
        QVERIFY(!platform::writeProfileString(section, key, value, path));
        QCOMPARE(testutil::readFile(path), before);
    }

    void failedWrites()
    {
        QVERIFY(!platform::writeProfileString("s", "k", "1", m_dir.filePath("no/such/dir/t.ini")));
        QVERIFY(!QFileInfo::exists(m_dir.filePath("no")));

        const QByteArray before("[s]\nk=1\n");
        const QString readOnly = fileWith(before, QStringLiteral("ro.ini"));
        QVERIFY(QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        QVERIFY(!platform::writeProfileString("s", "k", "2", readOnly));
        QCOMPARE(testutil::readFile(readOnly), before);
        QCOMPARE(platform::readIniText("s", "k", "", readOnly), QStringLiteral("1"));
    }

    void readingOperations_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<long>("integer");
        QTest::addColumn<bool>("boolean");
        QTest::newRow("plain") << "12" << 12L << true;
        QTest::newRow("digits then letters") << "12abc" << 12L << true;
        QTest::newRow("negative") << "-1" << -1L << false;
        QTest::newRow("zero") << "0" << 0L << false;
        QTest::newRow("word") << "yes" << 0L << false;
        QTest::newRow("two") << "2" << 2L << true;
        QTest::newRow("empty") << "" << 0L << false;
        QTest::newRow("plus sign and white space") << " \t+7" << 7L << true;
        QTest::newRow("sign without digits") << "-x" << 0L << false;
        QTest::newRow("stops at a blank") << "1 2" << 1L << true;
        QTest::newRow("decimal point") << "3.9" << 3L << true;
        QTest::newRow("too large saturates") << "99999999999999999999" << LONG_MAX << true;
        QTest::newRow("too small saturates") << "-99999999999999999999" << LONG_MIN << false;
        QTest::newRow("smallest long") << "-9223372036854775808" << LONG_MIN << false;
    }

    void readingOperations()
    {
        QFETCH(QString, text);
        QFETCH(long, integer);
        QFETCH(bool, boolean);
        const QString path = fileWith("[CONFIG]\nkey=" + text.toUtf8() + "\n");
        QCOMPARE(platform::readIniInteger("CONFIG", "key", "99", path), integer);
        QCOMPARE(platform::readIniBool("CONFIG", "key", "99", path), boolean);
        // The default goes through the same conversion.
        QCOMPARE(platform::readIniInteger("CONFIG", "missing", text, path), integer);
    }
};

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_inifile.moc"

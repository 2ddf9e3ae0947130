#include "platform/directories.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <map>
#include <string>

class TestDirectories : public QObject
{
    Q_OBJECT

private slots:
    void dataDirectory()
    {
        QTemporaryDir dir;
        const QString program = dir.path() + QStringLiteral("/bin");
        QVERIFY(QDir().mkpath(program));
        // Without Actuators.ini beside the program the parent is used, present there or not.
        QCOMPARE(platform::dataDirectoryFor(program), program + QStringLiteral("/../"));
        QCOMPARE(platform::dataDirectoryFor(program + u'/'), program + QStringLiteral("/../"));
        QFile f(program + QStringLiteral("/Actuators.ini"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        QCOMPARE(platform::dataDirectoryFor(program), program + u'/');
    }

    void programDirectory()
    {
        const QString dir = platform::programDirectory();
        QVERIFY(dir.endsWith(u'/'));
        QVERIFY(QFileInfo::exists(dir + QStringLiteral("tst_directories")));
    }

    void settingsDirectory_data()
    {
        QTest::addColumn<QString>("appData");
        QTest::addColumn<QString>("xdg");
        QTest::addColumn<QString>("home");
        QTest::addColumn<QString>("expected");
        QTest::newRow("APPDATA") << "/data/app" << "/x" << "/home/u" << "/data/app/Moxta/configurator";
        QTest::newRow("APPDATA with slash") << "/data/app/" << "" << "/home/u" << "/data/app/Moxta/configurator";
        QTest::newRow("empty APPDATA, XDG") << "" << "/home/u/cfg" << "/home/u" << "/home/u/cfg/Moxta/configurator";
        QTest::newRow("relative XDG is ignored") << "" << "cfg" << "/home/u" << "/home/u/.config/Moxta/configurator";
        QTest::newRow("home") << "" << "" << "/home/u" << "/home/u/.config/Moxta/configurator";
    }

    void settingsDirectory()
    {
        QFETCH(QString, appData);
        QFETCH(QString, xdg);
        QFETCH(QString, home);
        QFETCH(QString, expected);
        const std::map<std::string, QString> env{{"APPDATA", appData}, {"XDG_CONFIG_HOME", xdg}, {"HOME", home}};
        const auto lookup = [&env](const char* name) {
            const auto it = env.find(name);
            return it == env.end() ? QString() : it->second;
        };
        QCOMPARE(platform::settingsDirectory(lookup), expected);
    }

    void settingsDirectoryNeverAtTheRoot()
    {
        for (const QString& home : {QString(), QStringLiteral("/"), QStringLiteral("relative")}) {
            const auto lookup = [&home](const char* name) {
                return std::string(name) == "HOME" ? home : QString();
            };
            const QString dir = platform::settingsDirectory(lookup);
            // Either the user's home from the password database, or no settings directory at all.
            QVERIFY2(dir.isEmpty() || (dir.endsWith(QStringLiteral("/.config/Moxta/configurator"))
                                       && !dir.startsWith(QStringLiteral("/.config"))),
                     qPrintable(dir));
        }
    }

    void settingsFileIsPrepared()
    {
        QTemporaryDir dir;
        const QString settings = dir.path() + QStringLiteral("/a/b/Moxta/configurator");
        QCOMPARE(platform::prepareSettingsFile(settings), settings + QStringLiteral("/configurator.ini"));
        QVERIFY(QFileInfo(settings).isDir());

        // Below a plain file nothing can be created; the path still comes back, quietly.
        QFile blocker(dir.filePath("file"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const QString blocked = dir.filePath("file/Moxta/configurator");
        QCOMPARE(platform::prepareSettingsFile(blocked), blocked + QStringLiteral("/configurator.ini"));
        QVERIFY(!QFileInfo::exists(blocked));
        QCOMPARE(platform::prepareSettingsFile(QString()), QString());
    }
};

QTEST_GUILESS_MAIN(TestDirectories)
#include "tst_directories.moc"

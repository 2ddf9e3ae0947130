#include "app/application.h"
#include "config/transfers.h"
#include "files/filenames.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QProcess>

#include <moxtausbdll.h>

#include "windowtest.h"

using testutil::WindowTest;
using ui::MessageKind;

namespace {

// A .cfg as the library writes it, with a few values of its own.
QString writeConfiguration(const QString& path, const char* type, const char* tag, int strokeMax,
                           const char* hexFile = "")
{
    lin_OpenConfig(type, 0, 0);
    lin_SetConfig("ref1_stroke_max", uint16_t(strokeMax));
    lin_SetStringConfig("ConfType", tag);
    lin_SaveConfig(path.toLocal8Bit().constData(), *hexFile ? hexFile : nullptr, 1);
    return path;
}

using Values = QList<QPair<QString, int>>;

} // namespace

Q_DECLARE_METATYPE(Values)

namespace {

// The built program's surroundings: offscreen, its own settings and a quiet bench in dir.
QProcessEnvironment programEnvironment(const QTemporaryDir& dir)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("APPDATA", dir.filePath("appdata"));
    env.insert("ASAN_OPTIONS", "detect_leaks=0");
    testutil::writeFile(dir.filePath("bench.ini"), testutil::kQuietBench);
    env.insert("MOXTA_BENCH", dir.filePath("bench.ini"));
    return env;
}

int storedValue(const QString& path, const QString& key)
{
    return platform::readIniInteger("parameters", key, "-1", path);
}

} // namespace

class TestConfigFiles : public QObject
{
    Q_OBJECT

private slots:
    void extensionRule_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("saved");
        QTest::newRow("no extension") << "/tmp/box1" << "/tmp/box1.cfg";
        QTest::newRow("upper case kept") << "/tmp/box1.CFG" << "/tmp/box1.CFG";
        QTest::newRow("mixed case kept") << "/tmp/box1.Cfg" << "/tmp/box1.Cfg";
        QTest::newRow("other extension") << "/tmp/box1.txt" << "/tmp/box1.txt.cfg";
        QTest::newRow("backup") << "/tmp/box1.cfg.bak" << "/tmp/box1.cfg.bak.cfg";
        QTest::newRow("dot in the folder") << "/tmp/v1.2/box1" << "/tmp/v1.2/box1.cfg";
    }
    void extensionRule()
    {
        QFETCH(QString, chosen);
        QFETCH(QString, saved);
        QCOMPARE(files::withCfgExtension(chosen), saved);
    }

    void productTags()
    {
        QCOMPARE(files::modeOfProductTag("tavrin"), 0);
        QCOMPARE(files::modeOfProductTag("KVR5E"), 0);
        QCOMPARE(files::modeOfProductTag("Belmora"), 1);
        QCOMPARE(files::modeOfProductTag("rq9"), 2);
        QCOMPARE(files::modeOfProductTag("MZ40std"), 3);
        QCOMPARE(files::modeOfProductTag("MZ40ADV"), 4);
        QCOMPARE(files::modeOfProductTag("MZ40"), -1);
        QCOMPARE(files::modeOfProductTag(""), -1);
    }

    void saveAndLoadBack()
    {
        WindowTest t;
        auto w = t.start({"COMBINED"});
        QTemporaryDir dir;
        w->control<QComboBox>("cmbStroke1")->setEditText("612");
        w->control<QLineEdit>("edtHexFile")->setText("/fw/desk.hex");
        t.script.expectSaveFile(dir.filePath("desk"));
        w->mniSaveClick();
        const QString file = dir.filePath("desk.cfg");
        QCOMPARE(storedValue(file, "ref1_stroke_max"), 6120);
        QCOMPARE(platform::readIniText("configuration", "hexfile", "", file), QString("/fw/desk.hex"));
        QCOMPARE(w->windowTitle(), "desk - " + w->windowCaption()); // the name as it was chosen

        // Overwriting asks; No writes nothing.
        w->control<QComboBox>("cmbStroke1")->setEditText("700");
        t.script.expectSaveFile(file);
        t.script.expect(MessageKind::Question, "File exists. Overwrite?", false);
        w->mniSaveClick();
        QCOMPARE(storedValue(file, "ref1_stroke_max"), 6120);

        // Loading shows the file and its firmware name.
        w->control<QLineEdit>("edtHexFile")->clear();
        t.script.expectOpenFile(file);
        w->mniLoadClick();
        QCOMPARE(w->control<QComboBox>("cmbStroke1")->currentText(), QString("612"));
        QCOMPARE(w->control<QLineEdit>("edtHexFile")->text(), QString("/fw/desk.hex"));
        QVERIFY(w->control<QLineEdit>("edtHexFile")->font().bold());
        QCOMPARE(w->windowTitle(), "desk.cfg - " + w->windowCaption());

        // Cancelling leaves the guard cleared; Reset to defaults restores the caption.
        t.script.expectOpenFile(QString());
        w->mniLoadClick();
        QVERIFY(!w->state().operationGuard);
        w->menuItem("mniReset")->trigger();
        QCOMPARE(w->windowTitle(), w->windowCaption());
        QVERIFY2(t.script.problems().isEmpty(), qPrintable(t.script.problems().join('\n')));
    }

    void firmwareNameNeedsTheProgrammerTab()
    {
        WindowTest t; // standard mode: only the Settings tab
        auto w = t.start();
        QTemporaryDir dir;
        w->control<QLineEdit>("edtHexFile")->setText("/fw/desk.hex");
        t.script.expectSaveFile(dir.filePath("std.cfg"));
        w->mniSaveClick();
        QCOMPARE(platform::readIniText("configuration", "hexfile", "x", dir.filePath("std.cfg")), QString());
        const QString withHex = writeConfiguration(dir.filePath("hex.cfg"), "KVR5E", "KVR5E", 100, "/fw/a.hex");
        t.script.expectOpenFile(withHex);
        w->mniLoadClick();
        QCOMPARE(w->control<QLineEdit>("edtHexFile")->text(), QString());
        QVERIFY(!w->control<QLineEdit>("edtHexFile")->font().bold());
        QVERIFY(t.script.problems().isEmpty());
    }

    void fileOfAnotherMode()
    {
        QTemporaryDir dir;
        const QString file = writeConfiguration(dir.filePath("bed.cfg"), "KVR5E", "belmora", 4321);
        const QString question = "Configurator needs to change mode to continue.\n\nAre you sure you want to change to WZQ";

        WindowTest accept;
        accept.writeSetting("WarnOnChange", "1");
        auto w = accept.start({"COMBINED"});
        accept.script.expectOpenFile(file);
        accept.script.expect(MessageKind::Question, question, true);
        w->mniLoadClick();
        QCOMPARE(w->checkedMode(), 1);
        QCOMPARE(w->control<QComboBox>("cmbStroke1")->currentText(), QString("432")); // the file, not the defaults
        QCOMPARE(w->windowTitle(), "bed.cfg - " + w->windowCaption());
        QVERIFY(accept.script.problems().isEmpty());

        WindowTest decline;
        auto d = decline.start({"COMBINED"});
        decline.script.expectOpenFile(file);
        decline.script.expect(MessageKind::Question, question, false);
        d->mniLoadClick();
        QCOMPARE(d->checkedMode(), 0);
        QCOMPARE(d->control<QComboBox>("cmbStroke1")->currentText(), QString("Default"));
        QCOMPARE(d->windowTitle(), d->windowCaption());
        QVERIFY(decline.script.problems().isEmpty());

        WindowTest fixed;
        auto f = fixed.start({"RQ9"});
        fixed.script.expectOpenFile(file);
        fixed.script.expect(MessageKind::Information, "Please use WZQ configurator to read this file");
        f->mniLoadClick();
        QCOMPARE(f->checkedMode(), 2);
        QVERIFY(fixed.script.problems().isEmpty());

        // A file without a tag loads in whatever mode is fixed, without a word.
        const QString untagged = testutil::writeFile(dir.filePath("untagged.cfg"),
                                                     "[configuration]\ntype=KVR5E\n[parameters]\nref1_stroke_max=4321\n");
        for (const char* product : {"WZQ", "RQ9", "COMBINED"}) {
            WindowTest any;
            auto a = any.start({product});
            any.script.expectOpenFile(untagged);
            a->mniLoadClick();
            QCOMPARE(a->windowTitle(), "untagged.cfg - " + a->windowCaption());
            QVERIFY2(any.script.problems().isEmpty(), qPrintable(product + (": " + any.script.problems().join('\n'))));
        }

        // With the current mode's tag: no question at all.
        WindowTest same;
        same.writeSetting("Hardware", "1");
        auto s = same.start({"COMBINED"});
        same.script.expectOpenFile(file);
        s->mniLoadClick();
        QCOMPARE(s->control<QComboBox>("cmbStroke1")->currentText(), QString("432"));
        QVERIFY(same.script.problems().isEmpty());
    }

    void unreadableAndUnwritableFiles()
    {
        WindowTest t;
        auto w = t.start({"COMBINED"});
        QTemporaryDir dir;
        const QString broken = testutil::writeFile(dir.filePath("broken.cfg"), "not a configuration\n");
        t.script.expectOpenFile(broken);
        t.script.expect(MessageKind::Information, "Could not read config file (not for supported hardware?)");
        w->mniLoadClick();
        QCOMPARE(w->windowTitle(), "broken.cfg - " + w->windowCaption());

        const QString before = w->windowTitle();
        moxtasim::injectStatus("lin_SaveConfig", -32);
        t.script.expectSaveFile(dir.filePath("x.cfg"));
        t.script.expect(MessageKind::Information, "Could not save config file (ERROR_CFG_WRITING)");
        w->mniSaveClick();
        QCOMPARE(w->windowTitle(), before);
        QVERIFY(!QFileInfo::exists(dir.filePath("x.cfg")));

        // A read-only target: the user may confirm, the file stays as it was.
        const QString readOnly = writeConfiguration(dir.filePath("ro.cfg"), "KVR5E", "KVR5E", 100);
        const QByteArray kept = testutil::readFile(readOnly);
        QVERIFY(QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        t.script.expectSaveFile(readOnly);
        t.script.expect(MessageKind::Question, "File exists. Overwrite?", true);
        t.script.expect(MessageKind::Information, "Could not save config file (ERROR_CFG_WRITING)");
        w->mniSaveClick();
        QCOMPARE(testutil::readFile(readOnly), kept);
        QVERIFY2(t.script.problems().isEmpty(), qPrintable(t.script.problems().join('\n')));
    }

    void loadSaveInTheWindow()
    {
        QTemporaryDir dir;
        const QString file = writeConfiguration(dir.filePath("a.cfg"), "KVR5E", "WZQ", 4320, "/fw/bed.hex");
        // A fixed desk mode refuses the bed file: the message, then the end with status 1, nothing written.
        const QByteArray before = testutil::readFile(file);
        WindowTest refused;
        refused.script.expect(MessageKind::Information, "Please use WZQ configurator to read this file");
        auto r = refused.start({"LOADSAVE", file});
        r->formActivate();
        QCOMPARE(refused.lastExitCode, 1);
        QCOMPARE(testutil::readFile(file), before);
        QVERIFY(refused.script.problems().isEmpty());

        // As the bed product it passes through the window and keeps its firmware name.
        WindowTest bed;
        auto b = bed.start({"wzq", "loadsave", file});
        b->formActivate();
        QCOMPARE(bed.lastExitCode, 0);
        QCOMPARE(storedValue(file, "ref1_stroke_max"), 4320);
        QCOMPARE(platform::readIniText("configuration", "hexfile", "", file), QString("/fw/bed.hex"));
        QCOMPARE(platform::readIniText("strings", "ConfType", "", file), QString("WZQ"));
        QVERIFY(bed.script.problems().isEmpty());

        // A file without a tag passes in a fixed mode and comes back with that mode's tag.
        const QString untagged = testutil::writeFile(dir.filePath("u.cfg"),
                                                     "[configuration]\ntype=KVR5E\n[parameters]\nmassage_volt_max=99\n");
        WindowTest plain;
        auto p = plain.start({"WZQ", "LOADSAVE", untagged});
        p->formActivate();
        QCOMPARE(plain.lastExitCode, 0);
        QCOMPARE(storedValue(untagged, "massage_volt_max"), 99);
        QCOMPARE(platform::readIniText("strings", "ConfType", "", untagged), QString("WZQ"));
        QVERIFY2(plain.script.problems().isEmpty(), qPrintable(plain.script.problems().join('\n')));

        // Two memories on one value slot: the window cannot show it and would not save it; neither
        // does the run, which ends with status 1 and leaves the file as it was.
        const QString shared = testutil::writeFile(dir.filePath("s.cfg"), "[configuration]\ntype=KVR5E\n[parameters]\n"
                                                                         "mem1_value_index=2\nmem2_value_index=2\n");
        const QByteArray sharedBefore = testutil::readFile(shared);
        WindowTest undecodable;
        undecodable.script.expect(MessageKind::Information, "Configuration cannot be decoded correctly by configurator.\n\n"
                                                            "Cannot program/save until reset to defaults is performed.");
        auto u = undecodable.start({"WZQ", "LOADSAVE", shared});
        u->formActivate();
        QCOMPARE(undecodable.lastExitCode, 1);
        QCOMPARE(testutil::readFile(shared), sharedBefore);
        QVERIFY2(undecodable.script.problems().isEmpty(), qPrintable(undecodable.script.problems().join('\n')));
    }

    void loadSaveRunOfEachMode_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("tag");
        QTest::addColumn<Values>("values"); // set, and expected back unless listed below
        QTest::addColumn<Values>("normalised");
        using V = QList<QPair<QString, int>>;
        QTest::newRow("desk") << QStringList{"COMBINED"} << "KVR5E" << "KVR5E"
                              << V{{"channel1", 0}, {"channel2", 1}, {"channel3", 2}, {"channel4", 3}, {"ref2_reference", 1},
                                   {"ref3_reference", 2}, {"ref4_reference", 3}, {"ref1_stroke_max", 5000},
                                   {"ref2_speed_up", 6554}, {"custom1", 25}, {"ref1_sls_accelerate", 5},
                                   {"plug_type", 65535}, {"dcout3_voltmax", 255}, {"dcout3_voltmin", 65535}}
                              << V{{"ref1_sls_accelerate", 1}, {"plug_type", 255}, {"dcout3_voltmax", 65535}, {"dcout3_voltmin", 65535}};
        QTest::newRow("bed") << QStringList{"WZQ"} << "KVR5E" << "WZQ"
                             << V{{"channel1", 6}, {"channel2", 7}, {"ref1_reference", 7}, {"ref2_reference", 6},
                                  {"ref2_stroke_max", 4000}, {"massage_volt_max", 99}, {"mem1_value_index", 0},
                                  {"mem1_pos_mask", 255}, {"mem1_pos8", 1234}}
                             << V{};
        QTest::newRow("RQ9") << QStringList{"rq9"} << "KVR5E" << "RQ9"
                             << V{{"ref1_stroke_max", 700}, {"dcout1_timeout", 300}, {"ref2_speed_dw", 3277}} << V{};
        QTest::newRow("MZ40 Standard") << QStringList{"MZ40STD"} << "MZ40" << "MZ40STD"
                                       << V{{"power_led", 1}, {"pwm_duty", 50}, {"ref1_stroke_max", 3000}} << V{};
        QTest::newRow("MZ40 Advanced") << QStringList{"mz40adv"} << "MZ40" << "MZ40ADV"
                                       << V{{"snore_time", 5}, {"ref_always_parallel", 0x30}, {"chirps_disabled", 1}} << V{};
    }

    void loadSaveRunOfEachMode()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, type);
        QFETCH(QString, tag);
        using V = QList<QPair<QString, int>>;
        QFETCH(V, values);
        QFETCH(V, normalised);
        QTemporaryDir dir;
        const QString file = dir.filePath("m.cfg");
        lin_OpenConfig(type.toLatin1().constData(), 0, 0);
        for (const auto& [name, v] : values)
            QCOMPARE(lin_SetConfig(name.toLatin1().constData(), uint16_t(v)), int16_t(0));
        lin_SetStringConfig("ConfType", tag.toLatin1().constData());
        QCOMPARE(lin_SaveConfig(file.toLocal8Bit().constData(), nullptr, 1), int16_t(0));

        // In the test's own process: the built program's run and its exit status are below.
        WindowTest t;
        auto w = t.start(arguments + QStringList{"LOADSAVE", file});
        w->formActivate();
        QCOMPARE(t.quitRequests, 1);
        QCOMPARE(t.lastExitCode, 0);
        QVERIFY2(t.script.problems().isEmpty(), qPrintable(t.script.problems().join('\n')));
        QCOMPARE(platform::readIniText("strings", "ConfType", "", file), tag);
        for (const auto& [name, v] : values) {
            int expected = v;
            for (const auto& [n, changed] : normalised)
                if (n == name)
                    expected = changed;
            QVERIFY2(storedValue(file, name) == expected,
                     qPrintable(QStringLiteral("%1: %2 instead of %3").arg(name).arg(storedValue(file, name)).arg(expected)));
        }
    }

    void loadSaveProcess()
    {
        QTemporaryDir dir;
        const QString file = writeConfiguration(dir.filePath("p.cfg"), "KVR5E", "KVR5E", 2500);
        QProcess run;
        run.setProcessEnvironment(programEnvironment(dir));
        run.start(QStringLiteral(CONFIGURATOR_BINARY), {"LOADSAVE", file});
        QVERIFY(run.waitForFinished(60000));
        QCOMPARE(run.exitStatus(), QProcess::NormalExit);
        QCOMPARE(run.exitCode(), 0);
        QCOMPARE(storedValue(file, "ref1_stroke_max"), 2500);
        QCOMPARE(platform::readIniText("strings", "ConfType", "", file), QString("KVR5E"));

    }

    // A file that does not exist leaves the program running, its window open.
    void loadSaveOfAMissingFileKeepsTheWindow()
    {
        QTemporaryDir dir;
        WindowTest t;
        auto w = t.start({"LOADSAVE", dir.filePath("none.cfg")});
        w->formActivate();
        QCOMPARE(t.quitRequests, 0);
        QVERIFY2(t.script.problems().isEmpty(), qPrintable(t.script.problems().join('\n')));
    }

    // Without a display nobody can answer a message: the run tells it on standard error, takes the
    // safe answer and ends, leaving the file as it was.
    void unattendedRunNeverWaits_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("content"); // empty: a configuration tagged RQ9
        QTest::addColumn<QStringList>("expectedLines");
        QTest::newRow("file of another mode")
            << QStringList{} << QByteArray()
            << QStringList{"Configurator: Information: Please use RQ9 configurator to read this file",
                           "Configurator: no display, answered: OK"};
        QTest::newRow("mode change asked")
            << QStringList{"COMBINED"} << QByteArray()
            << QStringList{"Configurator: Question: Configurator needs to change mode to continue.", "    ",
                           "    Are you sure you want to change to RQ9", "Configurator: no display, answered: No"};
        QTest::newRow("file not decodable")
            << QStringList{} << QByteArray("not a configuration\n")
            << QStringList{"Configurator: Information: Could not read config file (not for supported hardware?)",
                           "Configurator: no display, answered: OK"};
    }

    void unattendedRunNeverWaits()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, content);
        QFETCH(QStringList, expectedLines);
        QTemporaryDir dir;
        const QString file = dir.filePath("u.cfg");
        if (content.isEmpty())
            writeConfiguration(file, "KVR5E", "RQ9", 700);
        else
            testutil::writeFile(file, content);
        const QByteArray before = testutil::readFile(file);
        QProcess run;
        run.setProcessEnvironment(programEnvironment(dir));
        run.start(QStringLiteral(CONFIGURATOR_BINARY), arguments + QStringList{"LOADSAVE", file});
        const bool ended = run.waitForFinished(30000);
        if (!ended) {
            run.kill();
            run.waitForFinished();
        }
        QVERIFY2(ended, "the run still waits after 30 s");
        QCOMPARE(run.exitStatus(), QProcess::NormalExit);
        QCOMPARE(run.exitCode(), 1);
        QCOMPARE(testutil::readFile(file), before);
        QStringList lines;
        for (const QString& line : QString::fromLocal8Bit(run.readAllStandardError()).split(u'\n'))
            if (line.startsWith(u"Configurator: ") || line.startsWith(u"    "))
                lines << line;
        QCOMPARE(lines, expectedLines);
    }
};



QTEST_MAIN(TestConfigFiles)
#include "tst_configfiles.moc"

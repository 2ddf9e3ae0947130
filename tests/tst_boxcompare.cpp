// Compare with box and Verify after programming, against benches whose boxes hold known
// configurations: the difference list for the window's values and for a file (mm and inch), the
// failures, and a box that silently keeps a parameter against one that takes everything.

#include "app/application.h"
#include "compare/frmboxdifferences.h"
#include "config/transfers.h"
#include "platform/inifile.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTableWidget>

#include <moxtausbdll.h>

#include "windowtest.h"

using testutil::WindowTest;
using ui::MessageKind;

namespace {

const QByteArray kBox = "[bench]\nlin_baud=0\n[adapter:ZUBREX-0001]\nserial=100001\n[box:ZUBREX-0001:0]\nserial=240611-0042\n";

struct Bench : testutil::BenchWindow
{
    explicit Bench(const QByteArray& bench)
        : BenchWindow(bench, "[CONFIG]\nAdvancedMode=1\n")
    {
        t.writeSetting("ColorType", "1");
        start({"COMBINED"}, false);
        w->show();
        w->formActivate();
    }

    // What another tool left in the box: the layout's defaults with these values.
    void programBox(const std::vector<std::pair<const char*, uint16_t>>& values)
    {
        QVERIFY(w->poll().mutex().try_lock_for(std::chrono::milliseconds(1000)));
        lin_OpenConfig("KVR5E", 0, 0);
        for (const auto& [name, value] : values)
            lin_SetConfig(name, value);
        zbx_SetUsageOfControlLink(8);
        const int16_t programmed = lin_ProgramConfigRunMode(0, 1, 1);
        lin_OpenConfig("KVR5E", 0, 0);
        w->poll().mutex().unlock();
        QVERIFY(programmed >= 0);
    }

    // Types into a value box as a user does, then leaves it.
    void type(const QString& name, const QString& text)
    {
        auto* box = w->control<QComboBox>(name);
        QWidget* page = box;
        while (page && w->pgcMain()->indexOf(page) < 0)
            page = page->parentWidget();
        w->setActivePage(page);
        box->setFocus(Qt::MouseFocusReason);
        box->lineEdit()->selectAll();
        QTest::keyClicks(box->lineEdit(), text);
        w->pgcMain()->tabBar()->setFocus(Qt::MouseFocusReason);
    }

    // The next difference window goes to `inspect` instead of the screen.
    void expectDifferences(std::function<void(TfrmBoxDifferences&)> inspect)
    {
        t.script.expectDialog("frmBoxDifferences", [inspect](QDialog* d) {
            inspect(*static_cast<TfrmBoxDifferences*>(d));
            return int(QDialog::Accepted);
        });
    }

    void problemsCheck() const { QVERIFY2(t.script.problems().isEmpty(), qPrintable(t.script.problems().join('\n'))); }
};

// The parameters of the bench's KVR5E layout: its numbers, and seven texts (the product tag and
// six actuator names).
int layoutSize()
{
    return lin_OpenConfig("KVR5E", 0, 0) + 7;
}

// The cells of a parameter's row in the difference table; empty when it is not listed.
QStringList rowOf(const TfrmBoxDifferences& d, const QString& name)
{
    const QTableWidget* table = d.table();
    for (int r = 0; r < table->rowCount(); ++r)
        if (table->item(r, 0)->text() == name) {
            QStringList cells;
            for (int c = 0; c < table->columnCount(); ++c)
                cells << table->item(r, c)->text();
            return cells;
        }
    return {};
}

QStringList listed(const TfrmBoxDifferences& d)
{
    QStringList names;
    for (int r = 0; r < d.table()->rowCount(); ++r)
        names << d.table()->item(r, 0)->text();
    return names;
}

// Everything the window holds, as Program would write it.
config::SessionValues windowValues(app::TfrmMain& w)
{
    config::storeConfiguration(w, w.state());
    config::SessionValues values;
    config::readSessionValues(values);
    return values;
}

uint16_t sessionValue(const char* name)
{
    uint16_t v = 0;
    lin_GetConfig(name, &v);
    return v;
}

} // namespace

class TestBoxCompare : public QObject
{
    Q_OBJECT

private slots:
    void differencesWithTheWindowAndAFile_data()
    {
        QTest::addColumn<bool>("inch");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("boxStroke");
        QTest::addColumn<QString>("fileStroke");
        QTest::newRow("mm") << false << "612" << "432 mm" << "300 mm";
        QTest::newRow("inch") << true << "24" << "17.01 inch" << "11.81 inch";
    }

    void differencesWithTheWindowAndAFile()
    {
        QFETCH(bool, inch);
        QFETCH(QString, typed);
        QFETCH(QString, boxStroke);
        QFETCH(QString, fileStroke);
        Bench b(kBox);
        app::TfrmMain& w = *b.w;
        QVERIFY(!w.menuItem("mniCompareBox")->isEnabled());
        QVERIFY(!w.control("btnCompareBox")->isEnabled());
        QVERIFY(b.identified());
        QVERIFY(w.menuItem("mniCompareBox")->isEnabled());
        QVERIFY(w.control("btnCompareBox")->isEnabled());
        b.programBox({{"ref1_stroke_max", 4320}, {"ref1_safety_stop_max_up", 1}});
        if (inch)
            w.menuItem("mniinch")->trigger();
        b.type("cmbStroke1", typed);
        const QString shown = w.control<QComboBox>("cmbStroke1")->currentText();
        const QString unit = inch ? " inch" : " mm";
        const int total = layoutSize();
        const config::SessionValues windowBefore = windowValues(w);
        const uint16_t sessionBefore = sessionValue("ref1_stroke_max");
        const QString file = b.t.appData.filePath("other.cfg");
        testutil::writeFile(file, "[configuration]\ntype=KVR5E\nhexfile=\nreset_to_defaults=0\n[parameters]\n"
                                  "ref1_stroke_max=4320\nref1_safety_stop_max_up=1\nref2_stroke_max=3000\n[strings]\n"
                                  "ref1_actname=OtherMotor\n");

        b.expectDifferences([&](TfrmBoxDifferences& d) {
            QCOMPARE(d.windowTitle(), QString("Compare with box"));
            const QStringList stroke = rowOf(d, "ref1_stroke_max");
            QCOMPARE(stroke.mid(2), (QStringList{boxStroke, shown + unit, "4320", QString::number(qRound(shown.toDouble() * (inch ? 254 : 10)))}));
            QVERIFY2(stroke[1].contains("Reference 1"), qPrintable(stroke[1]));
            QCOMPARE(rowOf(d, "ref1_safety_stop_max_up").mid(2, 3), (QStringList{"on", "off", "1"}));
            // Only the differences, each counted once.
            QCOMPARE(d.summary(), QString("%1 of %2 parameters differ").arg(d.table()->rowCount()).arg(total));
            for (int r = 0; r < d.table()->rowCount(); ++r)
                QVERIFY(d.table()->item(r, 4)->text() != d.table()->item(r, 5)->text());

            // The filter narrows the list; all parameters without "Only differences".
            QTest::keyClicks(d.findChild<QLineEdit*>("edtFilter"), "STROKE_MAX");
            QCOMPARE(listed(d), QStringList{"ref1_stroke_max"});
            QVERIFY(d.summary().endsWith("; 1 shown"));
            d.findChild<QLineEdit*>("edtFilter")->clear();
            d.findChild<QCheckBox*>("cbxOnlyDifferences")->click();
            QCOMPARE(d.table()->rowCount(), total);

            // The clipboard gets what is shown, with the headings, and with every parameter shown
            // which of them differ.
            d.findChild<QLineEdit*>("edtFilter")->setText("ref1_stroke_m");
            d.findChild<QPushButton*>("btnCopy")->click();
            const QStringList low = rowOf(d, "ref1_stroke_min");
            QCOMPARE(QApplication::clipboard()->text(), "Parameter\tGroup\tBox\tWindow\tBox (raw)\tWindow (raw)\tDiffers\n"
                                                            + stroke.join('\t') + "\tyes\n" + low.join('\t') + '\t'
                                                            + (low[4] != low[5] ? "yes" : "") + '\n');
            // An empty list says why.
            d.findChild<QLineEdit*>("edtFilter")->setText("no such parameter");
            QCOMPARE(d.table()->rowCount(), 0);
            QVERIFY(d.findChild<QLabel*>("lblEmpty")->isVisibleTo(&d));
            QCOMPARE(d.findChild<QLabel*>("lblEmpty")->text(), QString("Nothing shown matches the filter"));

            // Against a file: only what the file holds otherwise.
            d.findChild<QCheckBox*>("cbxOnlyDifferences")->click();
            d.findChild<QLineEdit*>("edtFilter")->clear();
            b.t.script.expectOpenFile(file);
            d.findChild<QRadioButton*>("rbWithFile")->click();
            QCOMPARE(listed(d), (QStringList{"ref2_stroke_max", "ref1_actname"}));
            QCOMPARE(rowOf(d, "ref2_stroke_max").mid(2), (QStringList{"Default", fileStroke, "65535", "3000"}));
            QCOMPARE(rowOf(d, "ref1_actname").mid(1), (QStringList{"Reference 1", "(none)", "OtherMotor", "", "OtherMotor"}));
            QCOMPARE(d.table()->horizontalHeaderItem(3)->text(), QString("File"));
            QCOMPARE(d.summary(), QString("2 of %1 parameters differ").arg(total));
            // And back.
            d.findChild<QRadioButton*>("rbWithWindow")->click();
            QVERIFY(listed(d).contains("ref1_stroke_max"));
        });
        w.menuItem("mniCompareBox")->trigger();
        QCOMPARE(b.statusText(), QString("Done"));
        // Nothing of the window or the session changed.
        QCOMPARE(w.control<QComboBox>("cmbStroke1")->currentText(), shown);
        QCOMPARE(sessionValue("ref1_stroke_max"), sessionBefore);
        const config::SessionValues windowAfter = windowValues(w);
        QCOMPARE(windowAfter.names(), windowBefore.names());
        QCOMPARE(config::differenceCount(windowAfter, windowBefore), 0);
        // What the box held is kept, as after a Read.
        QCOMPARE(QDir(b.t.appData.filePath("Moxta/configurator/backups")).entryList({"240611-0042_*.cfg"}, QDir::Files).size(), 1);
        b.problemsCheck();
    }

    void failuresLeaveEverythingAsItWas()
    {
        Bench b(kBox);
        app::TfrmMain& w = *b.w;
        QVERIFY(b.identified());
        const uint16_t sessionBefore = sessionValue("ref1_stroke_max");

        // The box cannot be read: said as Read says it (here in colour), and no window.
        QVERIFY(moxtasim::setFail("ZUBREX-0001", 0, "lin_ReadConfigRunMode", -2));
        w.control<QPushButton>("btnCompareBox")->click();
        QCOMPARE(b.statusText(), QString("Could not read configuration (ERROR_READ_TIMEOUT)"));
        const QColor shown = w.centralWidget()->palette().color(QPalette::Window);
        QVERIFY2(shown.red() > shown.green(), qPrintable(shown.name()));
        QVERIFY(moxtasim::setFail("ZUBREX-0001", 0, "lin_ReadConfigRunMode", 0));
        b.problemsCheck();

        // A file that does not load, and one of another layout: said, and the comparison stays.
        const QString broken = testutil::writeFile(b.t.appData.filePath("broken.cfg"), "not a configuration\n");
        const QString mz40 = testutil::writeFile(b.t.appData.filePath("mz40.cfg"), "[configuration]\ntype=MZ40\n[parameters]\n");
        // The file chooser starts at the file last saved.
        const QString saved = b.t.appData.filePath("saved.cfg");
        b.t.script.expectSaveFile(saved);
        w.mniSaveClick();
        QVERIFY(QFileInfo::exists(saved));
        b.expectDifferences([&](TfrmBoxDifferences& d) {
            const QStringList before = listed(d);
            b.t.script.expectOpenFile(broken);
            b.t.script.expect(MessageKind::Information, "Could not read config file " + broken + " (ERROR_MANGLED_FILE)");
            d.findChild<QRadioButton*>("rbWithFile")->click();
            QCOMPARE(b.t.script.lastFileDirectory(), saved);
            b.t.script.expectOpenFile(mz40);
            b.t.script.expect(MessageKind::Information, "The file holds another type of configuration than the box: they cannot be compared");
            d.findChild<QPushButton*>("btnChooseFile")->click();
            QVERIFY(d.findChild<QRadioButton*>("rbWithWindow")->isChecked());
            QCOMPARE(listed(d), before);
        });
        w.menuItem("mniCompareBox")->trigger();
        QCOMPARE(b.statusText(), QString("Done"));
        QCOMPARE(sessionValue("ref1_stroke_max"), sessionBefore);
        b.problemsCheck();
    }

    void aBoxOfAnotherModeIsComparedAsItIs()
    {
        // A bed box, the window in the desk mode: nothing switches, the list says so.
        Bench b(QByteArray(kBox).replace("serial=240611-0042\n", "serial=240611-0042\nhardware_id=80\n"));
        app::TfrmMain& w = *b.w;
        QVERIFY(b.identified());
        QCOMPARE(w.state().connectedBoxMode, int(config::ModeBelmora));
        b.expectDifferences([&](TfrmBoxDifferences& d) {
            QVERIFY2(d.findChild<QLabel*>("lblBox")->text().endsWith("; a BELMORA box, compared with the window in TAVRIN mode"),
                     qPrintable(d.findChild<QLabel*>("lblBox")->text()));
        });
        // From the Programmer tab by keyboard: Tab goes from the factory-defaults box to the button.
        w.setActivePage(w.tab("tsProgrammer"));
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.control("cbxFactoryDefaults")->setFocus(Qt::TabFocusReason);
        QTest::keyClick(w.control("cbxFactoryDefaults"), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), w.control("btnCompareBox"));
        QTest::keyClick(w.control("btnCompareBox"), Qt::Key_Space);
        QCOMPARE(w.state().productMode, int(config::ModeTavrin));
        QVERIFY(w.menuItem("mniKVR5E")->isChecked());
        QCOMPARE(platform::readIniText("CONFIG", "Hardware", "", b.t.settingsFile()), QString("0"));
        b.problemsCheck();
    }

    void verifyAfterProgramming_data()
    {
        QTest::addColumn<QByteArray>("keeps");
        QTest::addColumn<bool>("factoryDefaults");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("box takes everything") << QByteArray() << false << "Done (verified)" << QColor(Qt::green);
        QTest::newRow("box keeps a speed") << QByteArray("keeps=ref1_speed_up\n") << false
                                           << "Verify failed: 1 of %1 parameters differs" << QColor(Qt::red);
        QTest::newRow("factory defaults") << QByteArray("keeps=ref1_speed_up\n") << true
                                          << "Done; not verified (factory defaults programmed)" << QColor(Qt::green);
    }

    void verifyAfterProgramming()
    {
        QFETCH(QByteArray, keeps);
        QFETCH(bool, factoryDefaults);
        QFETCH(QString, status);
        QFETCH(QColor, colour);
        Bench b(kBox + keeps);
        app::TfrmMain& w = *b.w;
        QVERIFY(b.identified());
        // Off by default; remembered once chosen.
        QAction* verify = w.menuItem("mniVerifyProgram");
        QVERIFY(verify->isCheckable() && !verify->isChecked());
        verify->trigger();
        QCOMPARE(platform::readIniText("CONFIG", "VerifyAfterProgram", "", b.t.settingsFile()), QString("1"));
        b.type("cmbSpeed1", "20");
        if (factoryDefaults)
            w.control<QCheckBox>("cbxFactoryDefaults")->click();
        const int total = layoutSize();
        if (status.startsWith("Verify failed")) {
            b.expectDifferences([&](TfrmBoxDifferences& d) {
                QCOMPARE(d.windowTitle(), QString("Verify after programming"));
                QCOMPARE(listed(d), QStringList{"ref1_speed_up"});
                QCOMPARE(rowOf(d, "ref1_speed_up").mid(2), (QStringList{"Default", "20 mm/s", "65535", "3277"}));
                QCOMPARE(d.table()->horizontalHeaderItem(3)->text(), QString("Programmed"));
                QCOMPARE(d.table()->item(0, 0)->foreground().color(), QColor(200, 0, 0));
                QVERIFY(!d.findChild<QRadioButton*>("rbWithFile")->isVisibleTo(&d));
            });
        }
        w.mniProgramClick();
        QCOMPARE(b.statusText(), status.contains("%1") ? status.arg(total) : status);
        const QColor shown = w.centralWidget()->palette().color(QPalette::Window);
        QVERIFY2(colour == Qt::red ? shown.red() > shown.green() : shown.green() > shown.red(), qPrintable(shown.name()));
        b.problemsCheck();

        // The next start keeps the choice.
        b.program.reset();
        b.program = b.t.startApplication({"COMBINED"});
        QVERIFY(b.program->mainWindow().menuItem("mniVerifyProgram")->isChecked());
    }
};

QTEST_MAIN(TestBoxCompare)
#include "tst_boxcompare.moc"

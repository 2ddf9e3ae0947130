// The window against simulated benches: adapter choice at start-up, the live status, Read and
// Program with their feedback, the error list, the firmware download and the service commands.

#include "app/application.h"
#include "app/colortime.h"
#include "app/windows.h"
#include "config/transfers.h"
#include "device/errorlog.h"
#include "device/moxtalib.h"
#include "device/pollthread.h"
#include "device/selectdevice.h"
#include "platform/documents.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>

#include <moxtausbdll.h>

#include "../devicelib/tests/hextext.h"
#include "windowtest.h"

using testutil::WindowTest;
using ui::MessageKind;

namespace {

const char* const kOneBox = "[bench]\nlin_baud=0\n[adapter:ZUBREX-0001]\nserial=100001\n[box:ZUBREX-0001:0]\n"
                            "hardware_id=12\nsoftware=40123\nversion=123\nserial=240611-0042\ndate=20240611\n"
                            "activations=1200\nsit_stands=340\npowered_seconds=5000\nerrors=4000:18,3661:2,100:200\n";

QString statusText(const app::TfrmMain& w)
{
    return w.statusBar()->currentMessage();
}

QColor windowColour(const app::TfrmMain& w)
{
    return w.centralWidget()->palette().color(QPalette::Window);
}


struct Bench : testutil::BenchWindow
{
    explicit Bench(const char* bench, const QStringList& arguments = {"COMBINED"}, const QByteArray& colorType = "1",
                   const QByteArray& adapter = QByteArray())
        : BenchWindow(bench)
    {
        t.writeSetting("ColorType", colorType);
        if (!adapter.isEmpty())
            t.addSetting("usbfilename", QString::fromLatin1(adapter));
        start(arguments);
    }
};

} // namespace

class TestBoxOperations : public QObject
{
    Q_OBJECT

private slots:
    void startupAdapterSearch_data()
    {
        QTest::addColumn<QByteArray>("bench");
        QTest::addColumn<QByteArray>("remembered");
        QTest::addColumn<bool>("dialog");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("stored");
        const QByteArray two = "[bench]\nlin_baud=0\n[adapter:A]\nserial=111111\n[adapter:B]\nserial=12\n";
        QTest::newRow("none") << QByteArray("[bench]\n") << QByteArray() << false << "" << "<none>";
        QTest::newRow("one, nothing remembered") << QByteArray("[adapter:A]\n") << QByteArray() << false << "A" << "<none>";
        QTest::newRow("remembered and present") << two << QByteArray("B") << false << "B" << "B";
        QTest::newRow("two, remembered one gone") << two << QByteArray("C") << true << "B" << "B";
        QTest::newRow("remembered, none present") << QByteArray("[bench]\n") << QByteArray("C") << false << "" << "C";
    }

    void startupAdapterSearch()
    {
        QFETCH(QByteArray, bench);
        QFETCH(QByteArray, remembered);
        QFETCH(bool, dialog);
        QFETCH(QString, chosen);
        QFETCH(QString, stored);
        WindowTest t;
        moxtasim::loadBench(bench.toStdString());
        if (!remembered.isEmpty())
            t.writeSetting("usbfilename", remembered);
        const QString none = "No usb device found OR device in use\n\nPlease stop Oskelo software if it is running\n\nCannot Read/Program";
        if (chosen.isEmpty())
            t.script.expect(MessageKind::Information, none);
        QStringList entries;
        if (dialog)
            t.script.expectDialog("frmSelectDevice", [&entries](QDialog* d) {
                auto* list = d->findChild<QListWidget*>("lbxDevices");
                for (int i = 0; i < list->count(); ++i)
                    entries << list->item(i)->text();
                list->setCurrentRow(1);
                d->findChild<QPushButton*>("btnSelect")->click();
                return int(d->result());
            });
        auto program = t.startApplication();
        QCOMPARE(app::windows().frmSelectDevice->adapterName, chosen);
        if (dialog)
            QCOMPARE(entries, (QStringList{"SN: 111111", "Device 2"})); // a serial of two characters is no serial
        QCOMPARE(platform::readIniText("CONFIG", "usbfilename", "<none>", t.settingsFile()), stored);
        QVERIFY2(t.script.problems().isEmpty(), qPrintable(t.script.problems().join('\n')));
    }

    void probePairsEntriesByName()
    {
        WindowTest t;
        moxtasim::loadBench("[adapter:BUSY]\nin_use=1\n[adapter:OLD]\nusable=0\nserial=654321\n[adapter:GOOD]\n");
        t.script.expectDialog("frmSelectDevice", [](QDialog* d) {
            auto* list = d->findChild<QListWidget*>("lbxDevices");
            if (list->count() != 2 || list->item(0)->text() != "SN: 654321 (UNUSABLE)" || list->item(1)->text() != "Device 3")
                return int(QDialog::Rejected);
            list->setCurrentRow(1);
            d->findChild<QPushButton*>("btnSelect")->click();
            return int(d->result());
        });
        auto program = t.startApplication();
        QCOMPARE(app::windows().frmSelectDevice->adapterName, QString("GOOD"));
        QVERIFY(t.script.problems().isEmpty());
    }

    void chooseAnotherAdapterFromTheMenu()
    {
        Bench b("[bench]\nlin_baud=0\n[adapter:A]\n[adapter:OLD]\nusable=0\n[box:A:0]\n", {"COMBINED"}, "1", "A");
        app::TfrmMain& w = *b.w;
        QVERIFY(testutil::waitForBox(w));
        b.t.script.expectDialog("frmSelectDevice", [](QDialog* d) {
            auto* list = d->findChild<QListWidget*>("lbxDevices");
            if (!d->findChild<QLabel*>("lblInfo")->text().startsWith("Select new Zubrex device from the list"))
                return int(QDialog::Rejected);
            list->setCurrentRow(1);
            d->findChild<QPushButton*>("btnSelect")->click();
            return int(d->result());
        });
        b.t.script.expect(MessageKind::Information, "The currently selected ZUBREX is too old for configuration.\n\nCannot Read/Program.");
        w.menuItem("mniUsbDevice")->trigger();
        QCOMPARE(app::windows().frmSelectDevice->adapterName, QString("OLD"));
        QCOMPARE(w.poll().state().load(), int(device::PollIdle));
        w.GuiTimerTimer();
        QVERIFY(!w.control("btnReadConfig")->isEnabled());
        // Only the start-up search remembers the choice.
        QCOMPARE(platform::readIniText("CONFIG", "usbfilename", "<none>", b.t.settingsFile()), QString("A"));
        QVERIFY2(b.t.script.problems().isEmpty(), qPrintable(b.t.script.problems().join('\n')));
    }

    void boxAppearsAndDisappears()
    {
        Bench b(kOneBox);
        app::TfrmMain& w = *b.w;
        QVERIFY(testutil::waitForBox(w));
        QCOMPARE(w.control<QLabel>("lblSoftware")->text(), QString("40123"));
        QCOMPARE(w.control<QLabel>("lblVersion")->text(), QString("1.23"));
        QCOMPARE(w.control<QLabel>("lblSerial")->text(), QString("240611-0042"));
        QCOMPARE(w.control<QLabel>("lblType")->text(), QString("KVR5E"));
        QCOMPARE(w.control<QLabel>("lblActivations")->text(), QString("1200"));
        QCOMPARE(w.control<QLabel>("lblReady")->text(), QString("Ready"));
        QVERIFY(w.control("btnProgramConfig")->isEnabled());
        QVERIFY(w.tabShown(w.tab("tsErrList")));

        w.pgcMain()->setCurrentWidget(w.tab("tsErrList"));
        w.readErrorList();
        auto* errors = w.control<QTreeWidget>("lvErrors");
        QCOMPARE(errors->topLevelItemCount(), 3);
        QCOMPARE(errors->topLevelItem(0)->text(1), QString("E18 - Initialization lock"));
        QCOMPARE(errors->topLevelItem(2)->text(1), QString("200"));

        moxtasim::unplug("ZUBREX-0001", 0);
        QTRY_VERIFY_WITH_TIMEOUT((w.GuiTimerTimer(), !w.control("btnReadConfig")->isEnabled()), 10000);
        QCOMPARE(w.control<QLabel>("lblSoftware")->text(), QString("xxxxx"));
        QCOMPARE(w.control<QLabel>("lblPowered")->text(), QString("----"));
        QVERIFY(!w.tabShown(w.tab("tsErrList")));
        QCOMPARE(errors->topLevelItemCount(), 0);

        // Plugged in again, the Status tab comes back as the active page.
        moxtasim::plug("ZUBREX-0001", 0);
        QVERIFY(testutil::waitForBox(w));
        QCOMPARE(w.pgcMain()->currentWidget(), w.tab("tsErrList"));
        QVERIFY(b.t.script.problems().isEmpty());
    }

    // The poll thread alone on the box's adapter: it announces each state with the changed flag
    // only once the state is in place, and a stop that comes in the middle of a cycle stays.
    void pollAnnouncesTheStateFirst()
    {
        moxtasim::loadBench(kOneBox);
        QVERIFY(device::lib::openSpecificDevice("ZUBREX-0001"));
        device::PollThread poll;
        std::mutex seenMutex;
        QList<int> seen; // the state at each raise of the flag
        poll.setChangeObserver([&] {
            std::lock_guard<std::mutex> lock(seenMutex);
            seen << poll.state().load();
        });
        const auto announced = [&] {
            std::lock_guard<std::mutex> lock(seenMutex);
            return seen;
        };
        poll.state() = device::PollSense;
        QVERIFY(poll.start());
        QTRY_COMPARE(announced(), QList<int>{device::PollWatch});
        // The watch fails: a redraw that takes the flag must find the box gone, not still watched.
        moxtasim::unplug("ZUBREX-0001", 0);
        QTRY_COMPARE(announced(), (QList<int>{device::PollWatch, device::PollSense}));
        poll.state() = device::PollStop;
        QVERIFY(poll.waitForEnd(std::chrono::seconds(5)));
        device::lib::closeDevice();
    }

    void pollNeverOverwritesAStop_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("held");
        QTest::newRow("sensing") << int(device::PollSense) << "zbx_GetData";
        QTest::newRow("reading the identity") << int(device::PollSense) << "lin_RC_GetSoftwareVersion";
        QTest::newRow("watching") << int(device::PollWatch) << "lin_RC_DoAny";
    }
    void pollNeverOverwritesAStop()
    {
        QFETCH(int, state);
        QFETCH(QString, held);
        moxtasim::loadBench(kOneBox);
        QVERIFY(device::lib::openSpecificDevice("ZUBREX-0001"));
        device::PollThread poll;
        poll.state() = state;
        moxtasim::holdNextCall(held.toStdString(), 200);
        QVERIFY(poll.start());
        QVERIFY(moxtasim::waitForHeldCall(5000));
        // As at shutdown when the poll mutex could not be had: the stop is set in the middle of a
        // call, and the thread ends after that call without another (the held call is logged once
        // it goes on).
        moxtasim::clearCallLog();
        poll.state() = device::PollStop;
        QVERIFY(poll.waitForEnd(std::chrono::seconds(5)));
        QCOMPARE(poll.state().load(), int(device::PollStop));
        QStringList calls;
        for (const auto& call : moxtasim::callLog())
            if (call.thread == poll.threadId())
                calls << QString::fromStdString(call.function);
        QCOMPARE(calls, QStringList{held});
        device::lib::closeDevice();
    }

    // A box that starts driving while it is watched: Program goes out of reach until it stops.
    void boxStartsAndStopsDriving()
    {
        QTemporaryDir dir;
        const QString bench = dir.filePath("bench.ini");
        const QByteArray idle = "[bench]\nlin_baud=0\n[adapter:ZUBREX-0001]\n[box:ZUBREX-0001:0]\nhardware_id=12\n";
        testutil::writeFile(bench, idle);
        WindowTest t;
        QVERIFY(moxtasim::loadBenchFile(bench.toStdString()));
        auto program = t.startApplication();
        app::TfrmMain& w = program->mainWindow();
        w.formActivate();
        QVERIFY(testutil::waitForBox(w));
        QCOMPARE(w.control<QLabel>("lblReady")->text(), QString("Ready"));
        testutil::writeFile(bench, idle + "busy=1\n");
        QTRY_COMPARE_WITH_TIMEOUT((w.GuiTimerTimer(), w.control<QLabel>("lblReady")->text()), QString("Busy"), 5000);
        QVERIFY(!w.control("btnProgramConfig")->isEnabled() && !w.menuItem("mniProgram")->isEnabled());
        testutil::writeFile(bench, idle);
        QTRY_COMPARE_WITH_TIMEOUT((w.GuiTimerTimer(), w.control<QLabel>("lblReady")->text()), QString("Ready"), 5000);
        QVERIFY(w.control("btnProgramConfig")->isEnabled());
        QVERIFY(t.script.problems().isEmpty());
    }

    // The Status tab reached by keyboard reads the box's errors; clicking it again while it is the
    // active page does not. The Status tab comes back with the box only if nobody changed the page.
    void statusTabFollowsThePageAndTheBox()
    {
        Bench b(kOneBox);
        app::TfrmMain& w = *b.w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(testutil::waitForBox(w));
        QTabWidget* tabs = w.pgcMain();
        QTabBar* bar = tabs->tabBar();
        QWidget* status = w.tab("tsErrList");
        auto* errors = w.control<QTreeWidget>("lvErrors");
        auto errorReads = [] {
            int reads = 0;
            for (const auto& call : moxtasim::callLog())
                reads += call.function == "lin_RC_GetErrors";
            return reads;
        };

        tabs->setCurrentWidget(w.tab("tsParameters"));
        QTest::keyClick(bar, Qt::Key_Right); // the next shown tab is Status
        QCOMPARE(tabs->currentWidget(), status);
        QCOMPARE(errors->topLevelItemCount(), 3);
        QCOMPARE(errors->topLevelItem(0)->text(1), QString("E18 - Initialization lock"));
        const int reads = errorReads();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(tabs->indexOf(status)).center());
        QCoreApplication::processEvents();
        QCOMPARE(errorReads(), reads);

        // Unplugged while Status is shown, twice redrawn without a box: back to Status with the box.
        moxtasim::unplug("ZUBREX-0001", 0);
        QTRY_VERIFY_WITH_TIMEOUT((w.GuiTimerTimer(), !w.tabShown(status)), 10000);
        w.poll().changed() = 1;
        w.GuiTimerTimer();
        moxtasim::plug("ZUBREX-0001", 0);
        QVERIFY(testutil::waitForBox(w));
        QCOMPARE(tabs->currentWidget(), status);

        // Unplugged again, then the user steps to another page by keyboard: the page stays.
        moxtasim::unplug("ZUBREX-0001", 0);
        QTRY_VERIFY_WITH_TIMEOUT((w.GuiTimerTimer(), !w.tabShown(status)), 10000);
        QWidget* before = tabs->currentWidget();
        QTest::keyClick(bar, Qt::Key_Left);
        QVERIFY(tabs->currentWidget() != before);
        QWidget* chosen = tabs->currentWidget();
        moxtasim::plug("ZUBREX-0001", 0);
        QVERIFY(testutil::waitForBox(w));
        QCOMPARE(tabs->currentWidget(), chosen);

        // A mode switch that moves the page while the box is gone is the program's move, not the
        // user's: Status comes back with the box.
        tabs->setCurrentWidget(status);
        moxtasim::unplug("ZUBREX-0001", 0);
        QTRY_VERIFY_WITH_TIMEOUT((w.GuiTimerTimer(), !w.tabShown(status)), 10000);
        w.menuItem("mniWZQ")->trigger();
        QCOMPARE(tabs->currentWidget(), w.tab("tsRefs"));
        moxtasim::plug("ZUBREX-0001", 0);
        QVERIFY(testutil::waitForBox(w));
        QCOMPARE(tabs->currentWidget(), status);
        QVERIFY2(b.t.script.problems().isEmpty(), qPrintable(b.t.script.problems().join('\n')));
    }

    // Read and Program, buttons and menu items, wait for a box from the first moment on.
    void readAndProgramNeedABox()
    {
        Bench b("[bench]\nlin_baud=0\n[adapter:ZUBREX-0001]\n");
        app::TfrmMain& w = *b.w;
        const char* const commands[] = {"btnReadConfig", "btnProgramConfig"};
        const char* const items[] = {"mniRead", "mniProgram"};
        for (int tick = 0; tick < 4; ++tick) {
            for (const char* name : commands)
                QVERIFY2(!w.control(name)->isEnabled(), name);
            for (const char* name : items)
                QVERIFY2(!w.menuItem(name)->isEnabled(), name);
            QTest::qWait(150);
            w.GuiTimerTimer();
        }
        w.menuItem("mniRead")->trigger();
        QCOMPARE(statusText(w), QString());
        QVERIFY2(b.t.script.problems().isEmpty(), qPrintable(b.t.script.problems().join('\n')));
    }

    // A message open during Read lets the GUI timer run while the poll is paused: the box is not
    // gone, and the window shows it again once Read hands it back.
    void timerDuringReadKeepsTheBox()
    {
        Bench b("[bench]\nlin_baud=0\n[adapter:ZUBREX-0001]\n[box:ZUBREX-0001:0]\nhardware_id=80\nsoftware=40123\n", {"WZQ"});
        app::TfrmMain& w = *b.w;
        QVERIFY(testutil::waitForBox(w));
        // The box holds a configuration the window cannot show: two memories on one value slot.
        QVERIFY(w.poll().mutex().try_lock_for(std::chrono::milliseconds(1000)));
        lin_OpenConfig("KVR5E", 0, 0);
        lin_SetConfig("mem1_value_index", 2);
        lin_SetConfig("mem2_value_index", 2);
        zbx_SetUsageOfControlLink(8);
        QVERIFY(lin_ProgramConfigRunMode(0, 1, 1) >= 0);
        w.poll().mutex().unlock();

        w.poll().changed() = 1; // the poll has news when Read starts
        b.t.script.expect(MessageKind::Information,
                          "Configuration cannot be decoded correctly by configurator.\n\n"
                          "Cannot program/save until reset to defaults is performed.",
                          true, [&w] { w.GuiTimerTimer(); });
        w.mniReadClick();
        QCOMPARE(statusText(w), QString("Done"));
        w.GuiTimerTimer();
        QVERIFY(w.control("btnReadConfig")->isEnabled());
        QVERIFY(w.menuItem("mniRead")->isEnabled());
        QCOMPARE(w.control<QLabel>("lblSoftware")->text(), QString("40123"));
        QVERIFY(w.tabShown(w.tab("tsErrList")));
        QVERIFY2(b.t.script.problems().isEmpty(), qPrintable(b.t.script.problems().join('\n')));
    }

    void readAndProgramFeedback_data()
    {
        QTest::addColumn<QByteArray>("colorType");
        QTest::addColumn<bool>("fail");
        QTest::newRow("timed, success") << QByteArray("1") << false;
        QTest::newRow("timed, failure") << QByteArray("1") << true;
        QTest::newRow("off, success") << QByteArray("0") << false;
        QTest::newRow("off, failure") << QByteArray("0") << true;
        QTest::newRow("stay, failure") << QByteArray("2") << true;
    }

    void readAndProgramFeedback()
    {
        QFETCH(QByteArray, colorType);
        QFETCH(bool, fail);
        Bench b(kOneBox, {"COMBINED"}, colorType);
        app::TfrmMain& w = *b.w;
        QVERIFY(testutil::waitForBox(w));
        const bool off = colorType == "0";
        const QColor normal = windowColour(w);

        if (fail) {
            moxtasim::injectStatus("lin_ReadConfigRunMode", -2);
            if (off)
                b.t.script.expect(MessageKind::Information, "Could not read configuration");
        }
        w.mniReadClick();
        QCOMPARE(statusText(w), fail ? QString("Could not read configuration (ERROR_READ_TIMEOUT)") : QString("Done"));
        QCOMPARE(windowColour(w), off ? normal : (fail ? QColor(255, 0, 0) : QColor(0, 255, 0)));
        QCOMPARE(w.tmrColorChange()->isActive(), colorType == "1");
        QCOMPARE(w.poll().state().load(), int(device::PollWatch));

        if (fail) {
            moxtasim::injectStatus("lin_ProgramConfigRunMode", -33);
            if (off)
                b.t.script.expect(MessageKind::Information, "Could not program configuration");
        }
        w.mniProgramClick();
        QCOMPARE(statusText(w), fail ? QString("Could not program configuration (ERROR_CFG_ILLEGAL_HW)") : QString("Done"));
        QCOMPARE(windowColour(w), off ? normal : (fail ? QColor(255, 0, 0) : QColor(0, 255, 0)));
        QVERIFY(w.poll().mutex().try_lock_for(std::chrono::milliseconds(500))); // always handed back
        w.poll().mutex().unlock();
        if (colorType == "1") {
            w.tmrColorChangeTimer();
            QCOMPARE(windowColour(w), normal);
        }
        QVERIFY2(b.t.script.problems().isEmpty(), qPrintable(b.t.script.problems().join('\n')));
    }

    // Every Read keeps what the box held in the settings folder's backups, the newest 50 per box;
    // a backup that cannot be written is said in the status bar and the Read stands.
    void everyReadKeepsABackup()
    {
        Bench b(kOneBox);
        app::TfrmMain& w = *b.w;
        QVERIFY(testutil::waitForBox(w));
        QDir backups(b.t.appData.filePath("Moxta/configurator/backups"));
        QVERIFY(backups.mkpath("."));
        for (int i = 0; i < 50; ++i)
            testutil::writeFile(backups.filePath(QString("240611-0042_20000101-0000%1.cfg").arg(i, 2, 10, QChar('0'))), "old\n");
        testutil::writeFile(backups.filePath("240611-0043_20000101-000000.cfg"), "another box\n");

        QVERIFY(w.poll().mutex().try_lock_for(std::chrono::milliseconds(1000)));
        lin_OpenConfig("KVR5E", 0, 0);
        lin_SetConfig("ref1_stroke_max", 4320);
        zbx_SetUsageOfControlLink(8);
        QVERIFY(lin_ProgramConfigRunMode(0, 1, 1) >= 0);
        w.poll().mutex().unlock();
        w.control<QAbstractButton>("btnReadConfig")->click();
        QCOMPARE(statusText(w), QString("Done"));
        const QStringList mine = backups.entryList({"240611-0042_*.cfg"}, QDir::Files, QDir::Name);
        QCOMPARE(mine.size(), 50);
        QCOMPARE(mine.first(), QString("240611-0042_20000101-000001.cfg")); // the oldest went
        const QString newest = backups.filePath(mine.last());
        QVERIFY(mine.last().startsWith("240611-0042_" + QDate::currentDate().toString("yyyyMMdd") + '-'));
        QCOMPARE(platform::readIniText("parameters", "ref1_stroke_max", "", newest), QString("4320"));
        QVERIFY(backups.exists("240611-0043_20000101-000000.cfg"));

        // A second Read within the same second keeps both.
        w.control<QAbstractButton>("btnReadConfig")->click();
        QCOMPARE(backups.entryList({"240611-0042_*.cfg"}, QDir::Files).size(), 50);

        // The folder cannot be made: the Read is done, the status bar says why there is no backup.
        QVERIFY(backups.removeRecursively());
        testutil::writeFile(backups.path(), "a file where the folder should be\n");
        w.control<QAbstractButton>("btnReadConfig")->click();
        QCOMPARE(statusText(w), "Done; no backup of the configuration read (cannot create " + QDir::toNativeSeparators(backups.path()) + ")");
        QVERIFY2(b.t.script.problems().isEmpty(), qPrintable(b.t.script.problems().join('\n')));
    }

    void openBackupFolder()
    {
        Bench b(kOneBox);
        app::TfrmMain& w = *b.w;
        QString asked;
        bool viewerThere = true;
        platform::setDocumentOpener([&](const QString& path) {
            asked = path;
            return viewerThere;
        });
        const QString folder = b.t.appData.filePath("Moxta/configurator/backups");
        w.menuItem("mniOpenBackups")->trigger();
        QCOMPARE(asked, folder);
        QVERIFY(QFileInfo(folder).isDir());
        viewerThere = false;
        b.t.script.expect(MessageKind::Information, "Could not open the backup folder\n\n" + folder);
        w.menuItem("mniOpenBackups")->trigger();
        platform::setDocumentOpener({});
        // Between Reset to defaults and Print in the File menu.
        const QList<QAction*> items = w.findChild<QMenu*>("mnuFile")->actions();
        QCOMPARE(items.indexOf(w.menuItem("mniOpenBackups")), items.indexOf(w.menuItem("mniReset")) + 1);
        QVERIFY2(b.t.script.problems().isEmpty(), qPrintable(b.t.script.problems().join('\n')));
    }

    void programWritesTheWindowIntoTheBox()
    {
        Bench b(kOneBox);
        app::TfrmMain& w = *b.w;
        QVERIFY(testutil::waitForBox(w));
        w.control<QComboBox>("cmbStroke1")->setEditText("612");
        w.mniProgramClick();
        QCOMPARE(statusText(w), QString("Done"));
        moxtasim::StoredConfiguration stored;
        QVERIFY(moxtasim::storedConfiguration("ZUBREX-0001", 0, stored));
        bool found = false;
        for (const auto& [name, value] : stored.values)
            found = found || (name == "ref1_stroke_max" && value == 6120);
        QVERIFY(found);
        // Reading it back shows it; activation failing is reported as such.
        w.control<QComboBox>("cmbStroke1")->setEditText("1");
        w.mniReadClick();
        QCOMPARE(w.control<QComboBox>("cmbStroke1")->currentText(), QString("612"));
        moxtasim::injectStatus("lin_RC_ActivateConfig", -1);
        w.mniProgramClick();
        QCOMPARE(statusText(w), QString("Could not activate configuration"));
    }

    void readChecksTheMode()
    {
        Bench b("[bench]\nlin_baud=0\n[adapter:A]\n[box:A:0]\nhardware_id=90\nproduct_class=2\n");
        app::TfrmMain& w = *b.w;
        QVERIFY(testutil::waitForBox(w));
        QCOMPARE(w.state().connectedBoxMode, 2);
        const QString question = "Configurator needs to change mode to continue.\n\nAre you sure you want to change to RQ9";
        b.t.script.expect(MessageKind::Question, question, false);
        w.mniReadClick();
        QCOMPARE(statusText(w), QString()); // declined: no feedback at all
        QCOMPARE(w.checkedMode(), 0);
        b.t.script.expect(MessageKind::Question, question, true);
        w.mniReadClick();
        QCOMPARE(w.checkedMode(), 2);
        QCOMPARE(statusText(w), QString("Done"));
        QVERIFY(b.t.script.problems().isEmpty());
    }

    void unitSwitchRoundTrip()
    {
        WindowTest t;
        auto w = t.start({"COMBINED"});
        w->control<QComboBox>("cmbStroke1")->setEditText("500");
        w->menuItem("mniinch")->trigger();
        QCOMPARE(w->control<QComboBox>("cmbStroke1")->currentText(), QString("19.69"));
        QCOMPARE(w->control<QLabel>("Label22")->text(), QString("Fixed stroke length in inches"));
        QCOMPARE(w->control<QLabel>("Label20")->text(), QString("Max speed up in inch/s"));
        QCOMPARE(platform::readIniText("CONFIG", "LengthUnit", "", t.settingsFile()), QString("1"));
        w->menuItem("mniinch")->trigger(); // the unit in force: nothing converts
        QCOMPARE(w->control<QComboBox>("cmbStroke1")->currentText(), QString("19.69"));
        QVERIFY(w->menuItem("mniinch")->isChecked());
        w->menuItem("mnimm")->trigger();
        QCOMPARE(w->control<QComboBox>("cmbStroke1")->currentText(), QString("500"));
        QVERIFY(w->menuItem("mnimm")->isChecked() && !w->menuItem("mniinch")->isChecked());
        QCOMPARE(w->control<QLabel>("Label22")->text(), QString("Fixed stroke length in mm"));
    }

    void colourTimeDialog_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::newRow("45") << "45" << "30";
        QTest::newRow("0") << "0" << "1";
        QTest::newRow("-3") << "-3" << "1";
        QTest::newRow("abc") << "abc" << "5";
        QTest::newRow("12") << "12" << "12";
    }

    void colourTimeDialog()
    {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        WindowTest t;
        auto program = t.startApplication({"COMBINED"});
        app::TfrmMain& w = program->mainWindow();
        t.script.expectDialog("frmColorTime", [typed](QDialog* d) {
            d->findChild<QLineEdit*>("edtSeconds")->setText(typed);
            d->findChild<QPushButton*>("btnOK")->click();
            return int(d->result());
        });
        w.menuItem("mniColorTimed")->trigger();
        QCOMPARE(platform::readIniText("CONFIG", "ColorTimer", "", t.settingsFile()), stored);
        QCOMPARE(platform::readIniText("CONFIG", "ColorType", "", t.settingsFile()), QString("1"));
        QCOMPARE(w.menuItem("mniColorTimed")->text(), "&Timed (" + stored + "s)...");
        QCOMPARE(w.tmrColorChange()->interval(), stored.toInt() * 1000);

        // Closed without OK: Timed all the same, the time as it was.
        t.script.expectDialog("frmColorTime", [](QDialog*) { return int(QDialog::Rejected); });
        w.menuItem("mniColorOff")->trigger();
        w.menuItem("mniColorTimed")->trigger();
        QVERIFY(w.menuItem("mniColorTimed")->isChecked());
        QCOMPARE(platform::readIniText("CONFIG", "ColorTimer", "", t.settingsFile()), stored);
        QVERIFY(t.script.problems().isEmpty());
    }

    void preferencesAtStartUp()
    {
        WindowTest t;
        QDir().mkpath(t.appData.filePath("Moxta/configurator"));
        testutil::writeFile(t.settingsFile(), "[CONFIG]\nColorTimer=12\nColorType=2\nLengthUnit=1\nTimeFormat=7\n"
                                              "ConflictHandler=2\nShowHints=0\n");
        auto w = t.start({"COMBINED"});
        QCOMPARE(w->menuItem("mniColorTimed")->text(), QString("&Timed (12s)..."));
        QVERIFY(w->menuItem("mniColorStay")->isChecked());
        QVERIFY(w->menuItem("mniinch")->isChecked());
        QCOMPARE(w->control<QLabel>("lEOP_up")->text(), QString("EOP up in inches"));
        QCOMPARE(w->control<QComboBox>("cmbTimeFormat")->currentIndex(), -1);
        QVERIFY(w->menuItem("mniConflictConfiguration")->isChecked());
        QVERIFY(!w->hintsShown());
    }

    void errorListFormats_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<QStringList>("captions");
        QTest::newRow("relative seconds") << 0 << QStringList{"1000 s ago", "1339 s ago", "4294967196 s ago"};
        QTest::newRow("relative d-h-m-s") << 1 << QStringList{"16m-40s ago", "22m-19s ago", "49710d-6h-26m-36s ago"};
        QTest::newRow("absolute seconds") << 2 << QStringList{"4000 s", "3661 s", "5100 s"};
        QTest::newRow("absolute d-h-m-s") << 3 << QStringList{"1h-6m-40s", "1h-1m-1s", "1h-25m-0s"};
    }

    void errorListFormats()
    {
        QFETCH(int, format);
        QFETCH(QStringList, captions);
        QByteArray buffer(64, '\0');
        const uint32_t times[] = {4000, 3661, 5100};
        const uint16_t codes[] = {18, 2, 108};
        for (int i = 0; i < 3; ++i) {
            for (int k = 0; k < 4; ++k)
                buffer[6 * i + k] = char((times[i] >> (8 * k)) & 0xFF);
            buffer[6 * i + 4] = char(codes[i] & 0xFF);
        }
        const auto rows = device::errorRows(buffer, 5000, format);
        QCOMPARE(int(rows.size()), 3);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(rows[std::size_t(i)].powered, captions[i]);
        QCOMPARE(rows[2].error, QString("108"));
        QCOMPARE(device::errorRows(QByteArray(64, '\0'), 5000, format).front().powered, QString("NO ERRORS RECORDED"));
        QCOMPARE(device::dhms(0), QString("0s"));
        QCOMPARE(device::dhms(59), QString("59s"));
        QCOMPARE(device::dhms(86400), QString("1d-0s"));
        QCOMPARE(device::dhms(3600), QString("1h-0s"));
    }

    void firmwareDownload()
    {
        Bench b(kOneBox);
        app::TfrmMain& w = *b.w;
        QVERIFY(testutil::waitForBox(w));
        QTemporaryDir dir;
        const QString file = testutil::writeFile(dir.filePath("app.hex"), QByteArray::fromStdString(hextext::image(4096)));
        QVERIFY(!w.control("btnDownloadOnly")->isEnabled());
        b.t.script.expectOpenFile(file);
        w.btnFileSelectClick();
        QVERIFY(w.control("btnDownloadOnly")->isEnabled());

        const QString prompt = "Please remove all handsets from the control box before continuing\n\nPressing <Cancel> will skip hexfile-programming";
        // Cancel: nothing downloaded, reported as done. While the download has the box, the window
        // shows none, and Read and Program are out of reach.
        bool readOffMeanwhile = false;
        b.t.script.expect(MessageKind::Confirmation, prompt, false, [&] {
            w.GuiTimerTimer();
            readOffMeanwhile = !w.control("btnReadConfig")->isEnabled() && !w.menuItem("mniRead")->isEnabled()
                               && !w.menuItem("mniProgram")->isEnabled() && !w.tabShown(w.tab("tsErrList"));
        });
        w.btnDownloadOnlyClick();
        QVERIFY(readOffMeanwhile);
        QCOMPARE(statusText(w), QString("Done"));
        QCOMPARE(windowColour(w), QColor(0, 255, 0));
        QCOMPARE(w.poll().state().load(), int(device::PollSense));

        b.t.script.expect(MessageKind::Confirmation, prompt, true);
        w.btnDownloadOnlyClick();
        QCOMPARE(statusText(w), QString("Done"));
        moxtasim::BoxState box;
        QVERIFY(moxtasim::boxState("ZUBREX-0001", 0, box));
        QCOMPARE(int(box.downloadedBytes), 4096);
        QVERIFY(box.applicationRunning);
        QVERIFY(!w.progressBar()->isVisible());

        // The box unplugged: the download fails, red, and the poll starts over.
        moxtasim::unplug("ZUBREX-0001", 0);
        b.t.script.expect(MessageKind::Confirmation, prompt, true);
        b.t.script.expect(MessageKind::Information, "Control box application cannot be downloaded");
        w.btnDownloadOnlyClick();
        QCOMPARE(windowColour(w), QColor(255, 0, 0));
        QCOMPARE(w.poll().state().load(), int(device::PollSense));
        QVERIFY2(b.t.script.problems().isEmpty(), qPrintable(b.t.script.problems().join('\n')));
    }

    // Closing the window while a firmware download runs: the window stays and says why, and
    // closes when the download has ended.
    void closingWaitsForTheDownload()
    {
        Bench b(kOneBox);
        app::TfrmMain& w = *b.w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(testutil::waitForBox(w));
        QTemporaryDir dir;
        w.control<QLineEdit>("edtHexFile")->setText(
            testutil::writeFile(dir.filePath("app.hex"), QByteArray::fromStdString(hextext::image(4096))));

        bool shownWhileClosing = false;
        bool downloadOffWhileRunning = false;
        QString saidWhileClosing;
        QString barWhileClosing;
        b.t.script.expect(MessageKind::Confirmation,
                          "Please remove all handsets from the control box before continuing\n\n"
                          "Pressing <Cancel> will skip hexfile-programming",
                          true, [&] {
                              // The user closes the window as the download starts.
                              QTimer::singleShot(0, &w, [&] {
                                  w.close();
                                  shownWhileClosing = w.isVisible();
                                  saidWhileClosing = statusText(w);
                                  // The progress bar covers the status text's end: it says so too.
                                  if (w.progressBar()->isVisible() && w.progressBar()->isTextVisible())
                                      barWhileClosing = w.progressBar()->format();
                                  downloadOffWhileRunning = !w.control("btnDownloadOnly")->isEnabled()
                                                            && !w.menuItem("mniUsbDevice")->isEnabled();
                              });
                          });
        w.btnDownloadOnlyClick();
        QVERIFY(shownWhileClosing);
        QCOMPARE(saidWhileClosing, QString("Programming hexfile"));
        QCOMPARE(barWhileClosing, QString("The program closes when the download has ended (%p%)"));
        QVERIFY(downloadOffWhileRunning);
        moxtasim::BoxState box;
        QVERIFY(moxtasim::boxState("ZUBREX-0001", 0, box));
        QCOMPARE(int(box.downloadedBytes), 4096);
        QVERIFY(w.isVisible()); // the result is shown first
        QTRY_VERIFY(!w.isVisible());
        QVERIFY2(b.t.script.problems().isEmpty(), qPrintable(b.t.script.problems().join('\n')));
    }

    void eraseMemoryPositions()
    {
        Bench b(kOneBox);
        app::TfrmMain& w = *b.w;
        QVERIFY(testutil::waitForBox(w));
        const QString question = "This will erase the connected devices stored memory positions\n\nContinue?";
        b.t.script.expect(MessageKind::Question, question, false);
        w.ButtonResetMemoryPositionsClick();
        QCOMPARE(w.poll().state().load(), int(device::PollWatch));
        b.t.script.expect(MessageKind::Question, question, true);
        w.ButtonResetMemoryPositionsClick();
        moxtasim::BoxState box;
        QVERIFY(moxtasim::boxState("ZUBREX-0001", 0, box));
        QCOMPARE(box.memoryPositionErasures, 1);
        QCOMPARE(w.poll().state().load(), int(device::PollSense));

        w.poll().state() = device::PollIdle; // the poll must not take the injected failure
        QTest::qWait(300);
        moxtasim::injectStatus("zbx_SetUsageOfControlLink", -1);
        b.t.script.expect(MessageKind::Question, question, true);
        b.t.script.expect(MessageKind::Information, "Could not set usage of control link");
        w.ButtonResetMemoryPositionsClick();
        QCOMPARE(w.poll().state().load(), int(device::PollIdle));
        QVERIFY2(b.t.script.problems().isEmpty(), qPrintable(b.t.script.problems().join('\n')));
    }

    void initializationLockReset()
    {
        Bench b(kOneBox);
        app::TfrmMain& w = *b.w;
        QVERIFY(testutil::waitForBox(w));
        b.t.script.expect(MessageKind::Information, "Initialization lock successfully reset");
        w.btnResetInitLockClick();
        moxtasim::injectStatus("lin_RC_DoAny", -2);
        b.t.script.expect(MessageKind::Information, "Falied to reset initialization lock - error code: 254");
        w.btnResetInitLockClick();
        QVERIFY2(b.t.script.problems().isEmpty(), qPrintable(b.t.script.problems().join('\n')));
    }
};

QTEST_MAIN(TestBoxOperations)
#include "tst_boxoperations.moc"

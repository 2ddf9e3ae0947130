// Every road of the window that talks to a box, with each device call of that road failing in turn
// (a bench fail= entry, for as long as the road runs), and the boxes unplugged in the middle of the
// long calls. Each cell checks the message the road gives, that the poll mutex is handed back, that
// the poll finds the box again (or waits, idle, for the user to reopen the adapter), that no file is
// lost or half-written, and that the next Read works.

#include "app/application.h"
#include "app/windows.h"
#include "compare/formcompare.h"
#include "device/pollthread.h"
#include "device/selectdevice.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTreeWidget>

#include <moxtausbdll.h>

#include <algorithm>
#include <condition_variable>
#include <functional>
#include <numeric>
#include <optional>
#include <set>
#include <thread>

#include "../devicelib/tests/hextext.h"
#include "windowtest.h"

using testutil::WindowTest;
using ui::MessageKind;

namespace {

const char* const kAdapter = "ZUBREX-0001";
const QString kNoAdapter = "No usb device found OR device in use\n\nPlease stop Oskelo software if it is running\n\nCannot Read/Program";
const QString kTooOld = "The currently selected ZUBREX is too old for configuration.\n\nCannot Read/Program.";
const QString kHandsets = "Please remove all handsets from the control box before continuing\n\n"
                          "Pressing <Cancel> will skip hexfile-programming";
const QString kNotDownloaded = "Control box application cannot be downloaded";
const QString kNotStarted = "Control box application cannot be started.\n\nThe downloaded software is probably not compatible.";
const QString kUndecodable = "Configuration cannot be decoded correctly by configurator.\n\n"
                             "Cannot program/save until reset to defaults is performed.";
// Among a cell's messages: those before it come ahead of the road's own dialogs.
const QString kThen = QStringLiteral("<the road's own dialogs>");
// Among a cell's messages: the difference window shows there (and is closed at once).
const QString kDifferences = QStringLiteral("<the difference window>");
const QString kErase = "This will erase the connected devices stored memory positions\n\nContinue?";

// Two bed boxes of a parallel system (WZQ), or one desk box (KVR5E) for the desk's own commands. A
// bus with a baud rate runs ten times faster than it, frame by frame.
QByteArray bedBench(int baud = 0)
{
    return "[bench]\nlin_baud=" + QByteArray::number(baud) + "\nlin_time_divisor=10\n[adapter:ZUBREX-0001]\nserial=100001\n"
           "[box:ZUBREX-0001:0]\nhardware_id=81\nserial=240611-0001\nerrors=4000:18,3661:2\n"
           "[box:ZUBREX-0001:1]\nhardware_id=80\nserial=240611-0002\n";
}
const QByteArray kDeskBench = "[bench]\nlin_baud=0\n[adapter:ZUBREX-0001]\nserial=100001\n[box:ZUBREX-0001:0]\nhardware_id=12\n";

// Where the fault is: a fail= entry of the bench or of a box, or the poll mutex held elsewhere for
// longer than a procedure waits for it.
enum class Where { Bench, Box0, Box1, Mutex };

// What it takes, once the fault is gone, for the poll to watch the box again.
enum class After {
    Watching, // nothing: the poll finds the box by itself
    Update, // the poll stays idle until the adapter is reopened (Update)
    Choose, // no adapter is chosen: the poll stays idle until one is (Choose USB-device)
    Download, // the box waits in its bootloader for a download that completes
    Ended, // the program ends
};

struct Cell
{
    const char* function;
    int16_t status;
    Where where;
    QStringList messages; // information messages after the road's own steps, in order
    QString statusText = {}; // the status bar after the road; not looked at when empty
    After after = After::Watching;
    int boxShown = -1; // while the fault lasts: the window shows the box (1) or none (0)
    bool steps = true; // the road gets as far as its own dialogs
};

struct Matrix;

struct Road
{
    QString name;
    QByteArray bench;
    QStringList arguments;
    QByteArray setting; // one more setting, key=value (the COMBINED start's mode, the remembered adapter)
    bool faultAtStart; // the fault is there as the program starts
    bool pollCalls; // the road's calls are the poll's own
    int resume; // the poll state the road hands back when it ends (-1: looked at otherwise)
    QStringList cleanMessages; // what the road says when nothing fails
    std::function<void(Matrix&)> prepare;
    std::function<void(Matrix&)> steps; // the road's own dialogs, before any failure message
    std::function<void(Matrix&)> run;
    std::function<void(Matrix&, const Cell&)> check;
    QList<Cell> cells;
};

struct Matrix : testutil::BenchWindow
{
    QTemporaryDir files;
    QString hexFile;
    QString cfgFile;
    QByteArray cfgBefore;

    explicit Matrix(const Road& road)
        : BenchWindow(road.bench)
    {
        t.writeSetting("ColorType", "0"); // failures are said in messages, not only in colour
        if (const int equals = road.setting.indexOf('='); equals > 0)
            t.addSetting(QString::fromLatin1(road.setting.left(equals)), QString::fromLatin1(road.setting.mid(equals + 1)));
        hexFile = testutil::writeFile(files.filePath("app.hex"), QByteArray::fromStdString(hextext::image(2048)));
    }

    // "%cfg" in the arguments names the configuration file; a LOADSAVE road activates the window
    // in its run.
    void start(const Road& road)
    {
        QStringList arguments = road.arguments;
        for (QString& argument : arguments)
            if (argument == u"%cfg")
                argument = cfgFile = files.filePath(QStringLiteral("kept.cfg"));
        BenchWindow::start(arguments, !arguments.contains(QStringLiteral("LOADSAVE")));
    }

    // Until the poll watches the addressed box and the window offers Read.
    bool identified() { return BenchWindow::identified(true); }

    void showParallelPanel()
    {
        w->menuItem("mniMultiparallel")->trigger();
        QTRY_VERIFY((w->GuiTimerTimer(), button("ButtonDevice1")->isEnabled()));
    }

    void chooseHexFile()
    {
        t.script.expectOpenFile(hexFile);
        button("btnFileSelect")->click();
    }

    void chooseAdapter(bool identify)
    {
        t.script.expectDialog("frmSelectDevice", [identify](QDialog* d) {
            auto* list = d->findChild<QListWidget*>("lbxDevices");
            if (list->count() > 0)
                list->setCurrentRow(0);
            d->parentWidget()->setProperty("adapterEntry", list->count() > 0 ? list->item(0)->text() : QString());
            if (identify)
                d->findChild<QPushButton*>("btnIdentify")->click();
            d->findChild<QPushButton*>("btnSelect")->click();
            return int(d->result());
        });
    }
};

bool setFail(const Cell& c, int16_t status)
{
    switch (c.where) {
    case Where::Bench: return moxtasim::setFail(std::string(), -1, c.function, status);
    case Where::Box0: return moxtasim::setFail(kAdapter, 0, c.function, status);
    case Where::Box1: return moxtasim::setFail(kAdapter, 1, c.function, status);
    case Where::Mutex: return true;
    }
    return false;
}

QString whereName(Where where)
{
    switch (where) {
    case Where::Bench: return {};
    case Where::Box0: return QStringLiteral(" (master)");
    case Where::Box1: return QStringLiteral(" (slave 1)");
    case Where::Mutex: return QStringLiteral(" (held)");
    }
    return {};
}

// Holds the poll mutex from another thread, as a procedure that never ends would.
class MutexHolder
{
public:
    explicit MutexHolder(device::PollMutex& mutex)
        : m_thread([this, &mutex] {
            const bool locked = mutex.try_lock_for(std::chrono::milliseconds(2000));
            {
                std::unique_lock<std::mutex> lock(m_lock);
                m_held = locked ? 1 : -1;
                m_changed.notify_all();
                m_changed.wait_for(lock, std::chrono::seconds(10), [this] { return m_release; });
            }
            if (locked)
                mutex.unlock();
        })
    {
        std::unique_lock<std::mutex> lock(m_lock);
        m_changed.wait(lock, [this] { return m_held != 0; });
    }
    ~MutexHolder()
    {
        {
            std::lock_guard<std::mutex> lock(m_lock);
            m_release = true;
        }
        m_changed.notify_all();
        m_thread.join();
    }
    bool held() const { return m_held == 1; }

private:
    std::mutex m_lock;
    std::condition_variable m_changed;
    int m_held = 0;
    bool m_release = false;
    std::thread m_thread;
};

// The poll state the road handed back: told by the poll's first cycle after the road's last call
// (sensing asks for the adapter's data, reading the identity for the software version, watching
// for the powered time); 0 when the poll makes no call for a while. Waits without running the
// window's timers, whose redraw would call the library too.
int resumedState(const Matrix& m, bool idle)
{
    const std::thread::id poll = m.w->poll().threadId();
    const auto step = std::chrono::milliseconds(testutil::pollPauseMs() / 2);
    // Idle when four of the poll's pauses pass without a call.
    const auto patience = std::chrono::milliseconds(idle ? 4 * testutil::pollPauseMs() : 1500);
    for (auto waited = std::chrono::milliseconds(0); waited <= patience; waited += step) {
        const std::vector<moxtasim::CallRecord> log = moxtasim::callLog();
        std::size_t from = 0;
        for (std::size_t i = 0; i < log.size(); ++i)
            if (log[i].thread != poll)
                from = i + 1;
        for (std::size_t i = from; i < log.size(); ++i) {
            if (log[i].thread != poll)
                continue;
            if (log[i].function == "zbx_GetData")
                return device::PollSense;
            if (log[i].function == "lin_RC_GetSoftwareVersion")
                return device::PollReadIdentity;
            if (log[i].function == "lin_RC_DoAny")
                return device::PollWatch;
        }
        std::this_thread::sleep_for(step);
    }
    return device::PollIdle;
}

QStringList parallelPanel(const app::TfrmMain& w)
{
    QStringList lines;
    for (int d = 0; d < 4; ++d)
        lines << w.control<QLabel>(QStringLiteral("lblDevice%1").arg(d))->text().section('\n', 0, 0);
    return lines;
}

void clickTab(app::TfrmMain& w, const char* name)
{
    QTabWidget* pages = w.pgcMain();
    const int index = pages->indexOf(w.tab(QString::fromLatin1(name)));
    QTest::mouseClick(pages->tabBar(), Qt::LeftButton, {}, pages->tabBar()->tabRect(index).center());
}

// The parameters a box holds, to see that a failed program leaves them as they were.
std::vector<std::pair<std::string, uint16_t>> stored(int device = 0)
{
    moxtasim::StoredConfiguration c;
    moxtasim::storedConfiguration(kAdapter, device, c);
    return c.values;
}

const QStringList kNone;

QList<Road> roads()
{
    QList<Road> all;
    const Where B = Where::Bench, M = Where::Box0, S = Where::Box1;
    auto nothing = [](Matrix&) {};
    auto noCheck = [](Matrix&, const Cell&) {};
    auto identified = [](Matrix& m) { QVERIFY(m.identified()); };
    const QString readFailed = "Could not read configuration";
    const QString programFailed = "Could not program configuration";

    all << Road{"start-up", bedBench(), {"WZQ"}, {}, true, false, 1, {}, nothing, nothing, nothing, noCheck,
                {
                    {"lin_OpenConfig", -29, B, {"MoxtaUsbDll is out of date\n\nProgram terminating"}, {}, After::Ended},
                    {"zbx_FindAllMoxtaDevices", -1, B, {kNoAdapter}, {}, After::Choose},
                    {"zbx_OpenSpecificDevice", -1, B, kNone, {}, After::Update},
                    {"zbx_GetZubrexSerial", -1, B, kNone},
                    {"zbx_SetUsageOfControlLink", -1, B, {kTooOld}, {}, After::Update},
                    {"zbx_CloseDevice", -1, B, kNone},
                    {"lin_CloseConfig", -1, B, kNone},
                    {"lin_GetConfig", -2, B, {kUndecodable}},
                    {"lin_GetConfigResetToDefaults", -2, B, kNone},
                    // The panel of the parallel boxes, drawn with the first news of the poll.
                    {"lin_RC_GetProductionInfo", -2, M, kNone, {}, After::Watching, 0},
                }};

    // The remembered adapter is gone and two others are there: the user chooses one at start-up.
    const QByteArray twoAdapters = bedBench() + "[adapter:ZUBREX-0002]\nserial=100002\n";
    all << Road{"start-up, adapter to choose", twoAdapters, {"WZQ"}, "usbfilename=ZUBREX-0009", true, false, 1, {}, nothing,
                [](Matrix& m) { m.chooseAdapter(false); }, nothing,
                [](Matrix& m, const Cell& c) {
                    // The choice is remembered.
                    if (c.steps)
                        QCOMPARE(platform::readIniText("CONFIG", "usbfilename", "", m.t.settingsFile()),
                                 c.after == After::Choose ? QString() : QString(kAdapter));
                },
                {
                    {"lin_OpenConfig", -29, B, {"MoxtaUsbDll is out of date\n\nProgram terminating"}, {}, After::Ended, -1, false},
                    // Nothing listed, nothing opened: the remembered adapter is forgotten, no dialog.
                    {"zbx_FindAllMoxtaDevices", -1, B, {kNoAdapter}, {}, After::Choose, -1, false},
                    {"zbx_OpenSpecificDevice", -1, B, kNone, {}, After::Choose},
                    {"zbx_GetZubrexSerial", -1, B, kNone},
                    {"zbx_SetUsageOfControlLink", -1, B, {kTooOld}, {}, After::Update},
                    {"zbx_CloseDevice", -1, B, kNone},
                    {"lin_CloseConfig", -1, B, kNone},
                    {"lin_GetConfig", -2, B, {kUndecodable, kThen}},
                    {"lin_GetConfigResetToDefaults", -2, B, kNone},
                    {"lin_RC_GetProductionInfo", -2, M, kNone, {}, After::Watching, 0},
                }};

    all << Road{"adapter selection", bedBench(), {"WZQ"}, {}, false, false, 1, {}, identified,
                [](Matrix& m) { m.chooseAdapter(true); },
                [](Matrix& m) { m.w->menuItem("mniUsbDevice")->trigger(); },
                [](Matrix& m, const Cell& c) {
                    // The list names the adapter by its serial; one that refuses usage 8 is marked.
                    const QByteArray f = c.function;
                    const QString entry = f == "zbx_FindAllMoxtaDevices" || f == "zbx_OpenSpecificDevice" ? QString()
                                          : f == "zbx_GetZubrexSerial"                                   ? "Device 1"
                                          : f == "zbx_SetUsageOfControlLink"                             ? "SN: 100001 (UNUSABLE)"
                                                                                                         : "SN: 100001";
                    if (c.where != Where::Mutex)
                        QCOMPARE(m.w->property("adapterEntry").toString(), entry);
                    // Without a usable adapter the window offers no box.
                    if (c.after != After::Watching) {
                        m.w->GuiTimerTimer();
                        QVERIFY(!m.button("btnReadConfig")->isEnabled());
                    }
                },
                {
                    {"zbx_CloseDevice", -1, B, kNone},
                    {"zbx_FindAllMoxtaDevices", -1, B, kNone, {}, After::Choose},
                    {"zbx_OpenSpecificDevice", -1, B, kNone, {}, After::Choose},
                    {"zbx_GetZubrexSerial", -1, B, kNone},
                    {"zbx_SetUsageOfControlLink", -1, B, {kTooOld}, {}, After::Update},
                    {"zbx_IdentifyZubrex", -1, B, kNone},
                    {"", 0, Where::Mutex, {"Internal error"}, {}, After::Watching, -1, false},
                }};

    // The poll's own calls: it starts sensing with the fault there, which lasts fifteen of its
    // pauses; the window shows what the poll found meanwhile.
    auto watchAWhile = [](Matrix& m) {
        const int halfPause = testutil::pollPauseMs() / 2;
        for (int i = 0; i < 30; ++i) {
            m.w->GuiTimerTimer();
            QTest::qWait(halfPause);
        }
    };
    all << Road{"poll", bedBench(), {"WZQ"}, {}, false, true, -1, {},
                [](Matrix& m) {
                    QVERIFY(m.identified());
                    m.showParallelPanel();
                },
                nothing,
                [watchAWhile](Matrix& m) {
                    // The adapter reopened: the window shows no box until the poll has sensed and
                    // identified one anew.
                    moxtasim::clearCallLog();
                    m.button("ButtonUpdateDevices")->click();
                    watchAWhile(m);
                },
                [](Matrix& m, const Cell& c) {
                    const QByteArray f = c.function;
                    auto label = [&m](const char* name) { return m.w->control<QLabel>(QString::fromLatin1(name))->text(); };
                    if (f == "lin_RC_GetActivations32")
                        QCOMPARE(label("lblActivations") + label("lblSitStands"), QString("??"));
                    if (f == "lin_GetRC_ProductInfo")
                        QCOMPARE(label("lblType"), QString("WZQ")); // product class 0: by the hardware ID
                    if (f == "lin_RC_GetConfigBusy") {
                        // A box that cannot say whether it drives is taken as ready.
                        QCOMPARE(label("lblReady"), QString("Ready"));
                        QVERIFY(m.button("btnProgramConfig")->isEnabled());
                    }
                },
                {
                    // Also the Update's own: the adapter is not taken into use again.
                    {"zbx_SetUsageOfControlLink", -1, B, kNone, {}, After::Update, 0},
                    {"zbx_GetData", -1, B, kNone, {}, After::Watching, 0},
                    {"lin_RC_GetSoftwareVersion", -2, M, kNone, {}, After::Watching, 0},
                    {"lin_RC_GetProductionInfo", -2, M, kNone, {}, After::Watching, 0},
                    {"lin_GetRC_ProductInfo", -2, M, kNone, {}, After::Watching, 1},
                    {"lin_RC_GetActivations32", -2, M, kNone, {}, After::Watching, 1},
                    {"lin_RC_DoAny", -2, M, kNone},
                    {"lin_RC_GetConfigBusy", -2, M, kNone, {}, After::Watching, 1},
                }};

    all << Road{"Read", bedBench(), {"WZQ"}, {}, false, false, 3, {}, identified, nothing,
                [](Matrix& m) { m.button("btnReadConfig")->click(); }, noCheck,
                {
                    {"lin_CloseConfig", -1, B, kNone, "Done"},
                    {"lin_OpenConfig", -29, B, {readFailed}, "Could not read configuration (ERROR_CFG_NOT_OPEN)"},
                    {"zbx_SetUsageOfControlLink", -1, B, kNone, "Done"},
                    {"lin_ReadConfigRunMode", -2, M, {readFailed}, "Could not read configuration (ERROR_READ_TIMEOUT)"},
                    {"lin_GetConfig", -2, B, {kUndecodable}, "Done"},
                    {"lin_GetConfigResetToDefaults", -2, B, kNone, "Done"},
                    // The backup of what was read.
                    {"lin_SaveConfig", -20, B, kNone, "Done; no backup of the configuration read (ERROR_CFG_NO_PATH)"},
                    {"", 0, Where::Mutex, {"Internal error"}},
                }};

    // Compare with box: the window's values taken out of the session, the box read into it, the
    // session given back; the difference window when both could be read.
    all << Road{"Compare with box", bedBench(), {"WZQ"}, {}, false, false, 3, {kDifferences}, identified, nothing,
                [](Matrix& m) { m.button("btnCompareBox")->click(); }, noCheck,
                {
                    {"lin_SaveConfig", -20, B, {kDifferences}, "Done; no backup of the configuration read (ERROR_CFG_NO_PATH)"},
                    {"lin_CloseConfig", -1, B, {kDifferences}, "Done"},
                    {"lin_OpenConfig", -29, B, {readFailed}, "Could not read the window's values (ERROR_CFG_NOT_OPEN)"},
                    {"lin_SetConfig", -2, B, {kDifferences}, "Done"},
                    {"lin_SetStringConfig", -2, B, {kDifferences}, "Done"},
                    {"lin_SetConfigResetToDefaults", -2, B, {kDifferences}, "Done"},
                    {"lin_GetConfigNameExt", -24, B, {readFailed}, "Could not read the window's values (ERROR_CFG_INVALID_PARAMETER)"},
                    {"lin_GetConfig", -2, B, {readFailed}, "Could not read the window's values (ERROR_READ_TIMEOUT)"},
                    {"lin_GetStringConfig", -2, B, {readFailed}, "Could not read the window's values (ERROR_READ_TIMEOUT)"},
                    {"zbx_SetUsageOfControlLink", -1, B, {kDifferences}, "Done"},
                    {"lin_ReadConfigRunMode", -2, M, {readFailed}, "Could not read configuration (ERROR_READ_TIMEOUT)"},
                    {"lin_LoadConfig", -30, B, {kDifferences}, "Done"},
                    {"", 0, Where::Mutex, {"Internal error"}},
                }};

    // Program stores the window into a fresh session first; a failed session makes it fail as a
    // whole. With firmware, the download comes between the store and the program.
    const QList<Cell> store = {
        {"lin_CloseConfig", -1, B, kNone, "Done"},
        {"lin_OpenConfig", -29, B, {programFailed}, "Could not program configuration (ERROR_CFG_NOT_OPEN)"},
        {"lin_SetConfig", -2, B, kNone, "Done"},
        {"lin_SetStringConfig", -2, B, kNone, "Done"},
        {"lin_SetConfigResetToDefaults", -2, B, kNone, "Done"},
    };
    const QList<Cell> programming = {
        {"lin_ProgramConfigRunMode", -33, M, {programFailed}, "Could not program configuration (ERROR_CFG_ILLEGAL_HW)"},
        {"lin_RC_ActivateConfig", -2, M, {programFailed}, "Could not activate configuration"},
    };
    // A download that fails after the box went into its bootloader leaves it there.
    const QList<Cell> download = {
        {"zbx_SetUsageOfControlLink(6)", -1, B, {kNotDownloaded}, {}, After::Download},
        {"lin_RC_GetProductionInfo", -2, M, kNone, "Done"},
        {"lin_RC_GotoBootMode", -2, M, {kNotDownloaded}},
        {"nbl_Download", -2, B, {kNotDownloaded}, {}, After::Download},
        {"nbl_ExecuteApp", -19, B, {kNotStarted}, {}, After::Download},
    };
    const Cell held = {"", 0, Where::Mutex, {"Internal error"}, {}, After::Watching, -1, false};
    all << Road{"Program", bedBench(), {"WZQ"}, {}, false, false, 3, {}, identified, nothing,
                [](Matrix& m) { m.button("btnProgramConfig")->click(); }, noCheck,
                store + QList<Cell>{{"zbx_SetUsageOfControlLink", -1, B, kNone, "Done"}} + programming + QList<Cell>{held}};

    auto withHexFile = [](Matrix& m) {
        QVERIFY(m.identified());
        m.chooseHexFile();
        QCOMPARE(m.w->control<QLineEdit>("edtHexFile")->text(), m.hexFile);
    };
    auto confirmHandsets = [](Matrix& m) { m.t.script.expect(MessageKind::Confirmation, kHandsets, true); };
    all << Road{"Program with firmware", bedBench(), {"WZQ"}, {}, false, false, 2, {}, withHexFile, confirmHandsets,
                [](Matrix& m) { m.button("btnProgramConfig")->click(); }, noCheck,
                store + download + programming
                    + QList<Cell>{
                        // The download's goes unnoticed, the program's leaves the adapter with the download's usage.
                        {"zbx_SetUsageOfControlLink(8)", -1, B, {programFailed}, "Could not program configuration (ERROR_INVALID_COMMAND)"},
                        held,
                    }};
    // Verify after programming: the box read back after a successful Program. What cannot be
    // read back leaves the Program done, not verified.
    auto verified = [](QList<Cell> cells) {
        for (Cell& c : cells)
            if (c.statusText == u"Done")
                c.statusText = QStringLiteral("Done (verified)");
        return cells;
    };
    all << Road{"Program, verified", bedBench(), {"WZQ"}, {}, false, false, 3, {},
                [](Matrix& m) {
                    QVERIFY(m.identified());
                    m.w->menuItem("mniVerifyProgram")->trigger();
                    QVERIFY(m.w->menuItem("mniVerifyProgram")->isChecked());
                },
                nothing, [](Matrix& m) { m.button("btnProgramConfig")->click(); }, noCheck,
                verified(store + QList<Cell>{{"zbx_SetUsageOfControlLink", -1, B, kNone, "Done"}}) + programming
                    + QList<Cell>{
                        {"lin_GetConfigResetToDefaults", -2, B, kNone, "Done (verified)"},
                        {"lin_SaveConfig", -20, B, kNone, "Done (verified)"},
                        {"lin_GetConfigNameExt", -24, B, kNone, "Done; not verified (ERROR_CFG_INVALID_PARAMETER)"},
                        {"lin_GetConfig", -2, B, kNone, "Done; not verified (ERROR_READ_TIMEOUT)"},
                        {"lin_GetStringConfig", -2, B, kNone, "Done; not verified (ERROR_READ_TIMEOUT)"},
                        {"lin_ReadConfigRunMode", -2, M, kNone, "Done; not verified (the box could not be read back: ERROR_READ_TIMEOUT)"},
                        {"lin_LoadConfig", -30, B, kNone, "Done (verified)"},
                        held,
                    }};

    all << Road{"Download only", bedBench(), {"WZQ"}, {}, false, false, 1, {}, withHexFile, confirmHandsets,
                [](Matrix& m) { m.button("btnDownloadOnly")->click(); }, noCheck,
                download + QList<Cell>{{"zbx_SetUsageOfControlLink(8)", -1, B, kNone, "Done"}, held}};
    // With the factory defaults asked for, the box is programmed with them after the download;
    // a failure there is not reported.
    all << Road{"Download only, factory defaults", bedBench(), {"WZQ"}, {}, false, false, 1, {},
                [withHexFile](Matrix& m) {
                    withHexFile(m);
                    m.w->control<QCheckBox>("cbxFactoryDefaults")->click();
                    QVERIFY(m.w->control<QCheckBox>("cbxFactoryDefaults")->isChecked());
                },
                confirmHandsets, [](Matrix& m) { m.button("btnDownloadOnly")->click(); }, noCheck,
                download
                    + QList<Cell>{
                        {"zbx_SetUsageOfControlLink(8)", -1, B, kNone, "Done"},
                        {"lin_CloseConfig", -1, B, kNone, "Done"},
                        {"lin_OpenConfig", -29, B, kNone, "Done"},
                        {"lin_SetConfigResetToDefaults", -2, B, kNone, "Done"},
                        {"lin_ProgramConfigRunMode", -33, M, kNone, "Done"},
                        {"lin_RC_ActivateConfig", -2, M, kNone, "Done"},
                    }};

    all << Road{"error list", bedBench(), {"WZQ"}, {}, false, false, 3, {}, identified, nothing,
                [](Matrix& m) { clickTab(*m.w, "tsErrList"); },
                [](Matrix& m, const Cell& c) {
                    const int rows = m.w->control<QTreeWidget>("lvErrors")->topLevelItemCount();
                    QCOMPARE(rows, c.messages.isEmpty() ? 2 : 0);
                    // Nor does a later redraw of the relative times claim there are none.
                    for (int i = 0; i < 12; ++i) {
                        QTest::qWait(100);
                        m.w->GuiTimerTimer();
                    }
                    QCOMPARE(m.w->control<QTreeWidget>("lvErrors")->topLevelItemCount(), c.messages.isEmpty() ? 2 : 0);
                },
                {
                    {"zbx_SetUsageOfControlLink", -1, B, kNone},
                    {"lin_RC_GetErrors", -2, M, {"Could not read error list"}},
                    {"", 0, Where::Mutex, {"Internal error"}},
                }};

    all << Road{"initialization lock reset", kDeskBench, {"COMBINED"}, "Hardware=0", false, false, 3,
                {"Initialization lock successfully reset"}, identified, nothing,
                [](Matrix& m) { m.button("btnResetInitLock")->click(); }, noCheck,
                {
                    {"zbx_SetUsageOfControlLink", -1, B, {"Initialization lock successfully reset"}},
                    {"lin_RC_DoAny", -2, B, {"Falied to reset initialization lock - error code: 254"}},
                    {"", 0, Where::Mutex, {"Internal error"}},
                }};

    all << Road{"erase memory positions", bedBench(), {"WZQ"}, {}, false, false, 1, {}, identified,
                [](Matrix& m) { m.t.script.expect(MessageKind::Question, kErase, true); },
                [](Matrix& m) { m.button("ButtonResetMemoryPositions")->click(); }, noCheck,
                {
                    {"zbx_CloseDevice", -1, B, kNone},
                    {"zbx_OpenSpecificDevice", -1, B, {"Could not open device"}, {}, After::Update},
                    {"zbx_SetUsageOfControlLink", -1, B, {"Could not set usage of control link"}, {}, After::Update},
                    {"lin_SetHandsetCommand", -2, B, kNone},
                    held,
                }};

    const QString wzq4 = "WZQ4 bed box, 4 channels and massage";
    all << Road{"multiparallel scan", bedBench(), {"WZQ"}, {}, false, false, 3, {}, identified, nothing,
                [](Matrix& m) {
                    // The panel is scanned at the redraw that follows the poll's news.
                    m.w->menuItem("mniMultiparallel")->trigger();
                    m.w->poll().changed() = 1;
                    m.w->GuiTimerTimer();
                },
                [wzq4](Matrix& m, const Cell& c) {
                    // The scan ends at the first box that does not answer.
                    const QString none = QStringLiteral("Not present");
                    const bool masterGone = c.where == Where::Box0 || c.where == Where::Mutex;
                    const QString slave = masterGone || c.where == Where::Box1 ? none : QStringLiteral("WZQ2 bed box, 2 channels");
                    QCOMPARE(parallelPanel(*m.w), (QStringList{masterGone ? none : wzq4, slave, none, none}));
                },
                {
                    {"zbx_SetUsageOfControlLink", -1, B, kNone},
                    {"lin_RC_GetProductionInfo", -2, M, kNone},
                    {"lin_RC_GetProductionInfo", -2, S, kNone},
                    {"", 0, Where::Mutex, {"Internal error"}},
                }};

    all << Road{"Update", bedBench(), {"WZQ"}, {}, false, false, 1, {},
                [](Matrix& m) {
                    QVERIFY(m.identified());
                    m.showParallelPanel();
                },
                nothing,
                [](Matrix& m) {
                    // The poll's identity read after the Update is held, so that the check below
                    // sees the window before the poll has found the box again, however fast it is.
                    moxtasim::holdNextCall("lin_RC_GetSoftwareVersion", 200);
                    m.button("ButtonUpdateDevices")->click();
                },
                [wzq4](Matrix& m, const Cell& c) {
                    // The panel as the Update's scan found it; the next redraw offers no box until
                    // the poll has found one again, and none when the adapter could not be reopened.
                    // A closed adapter reaches no box.
                    const bool none = c.where == Where::Box0 || c.after == After::Update;
                    QCOMPARE(parallelPanel(*m.w).at(0), none ? QStringLiteral("Not present") : wzq4);
                    if (c.where != Where::Mutex) {
                        m.w->GuiTimerTimer();
                        QVERIFY(!m.button("btnReadConfig")->isEnabled());
                    }
                },
                {
                    {"zbx_CloseDevice", -1, B, kNone},
                    {"zbx_OpenSpecificDevice", -1, B, kNone, {}, After::Update},
                    {"zbx_SetUsageOfControlLink", -1, B, kNone, {}, After::Update},
                    {"lin_RC_GetProductionInfo", -2, M, kNone},
                    {"", 0, Where::Mutex, {"Internal error"}},
                }};

    // Switch: the questions are the window's; the box is then identified by the poll.
    all << Road{"Switch", bedBench(), {"WZQ"}, {}, false, true, -1, {},
                [](Matrix& m) {
                    QVERIFY(m.identified());
                    m.showParallelPanel();
                },
                [](Matrix& m) {
                    m.t.script.expect(MessageKind::Question, "Switch to Slave 1 :\n\nWZQ2 bed box, 2 channels\n240611-0002", true);
                    m.t.script.expect(MessageKind::WarningQuestion,
                                      "By switching to another device you will loose the configurators current settings\n\n"
                                      "Continue anyway?",
                                      true);
                },
                [watchAWhile](Matrix& m) {
                    m.button("ButtonDevice1")->click();
                    watchAWhile(m);
                },
                [wzq4](Matrix& m, const Cell& c) {
                    // The switch waits for the poll between two cycles; while it cannot have the
                    // poll mutex the master stays addressed.
                    const bool switched = c.where != Where::Mutex;
                    QCOMPARE(int(m.w->poll().deviceNumber()), switched ? 1 : 0);
                    // The poll went to read the slave's identity.
                    bool asked = false;
                    for (const moxtasim::CallRecord& call : moxtasim::callLog())
                        asked = asked || (call.function == "lin_RC_GetSoftwareVersion" && call.arguments.rfind("1,", 0) == 0);
                    QCOMPARE(asked, switched);
                    // A slave that cannot be identified leaves the master within reach.
                    if (c.boxShown == 0) {
                        QCOMPARE(parallelPanel(*m.w).at(0), wzq4);
                        QVERIFY(m.button("ButtonDevice0")->isEnabled());
                    }
                },
                {
                    {"zbx_SetUsageOfControlLink", -1, B, kNone, {}, After::Watching, 1},
                    {"lin_RC_GetSoftwareVersion", -2, S, kNone, {}, After::Watching, 0},
                    // The box answers: the poll asks again and again, and offers no box meanwhile
                    // (Read would address the slave with the master's identity).
                    {"lin_RC_GetProductionInfo", -2, S, kNone, {}, After::Watching, 0},
                    {"lin_GetRC_ProductInfo", -2, S, kNone, {}, After::Watching, 1},
                    {"lin_RC_GetActivations32", -2, S, kNone, {}, After::Watching, 1},
                    {"lin_RC_DoAny", -2, S, kNone},
                    {"lin_RC_GetConfigBusy", -2, S, kNone, {}, After::Watching, 1},
                    {"", 0, Where::Mutex, {"Internal error"}, {}, After::Watching, 1},
                }};

    all << Road{"Compare", bedBench(), {"WZQ"}, {}, false, false, 3, {},
                [](Matrix& m) {
                    QVERIFY(m.identified());
                    m.showParallelPanel();
                },
                [](Matrix& m) {
                    m.t.script.expectDialog("fCompare", [&m](QDialog* d) {
                        d->findChild<QPushButton*>("ButtonCompare")->click();
                        m.w->setProperty("compareSaid", static_cast<TfCompare*>(d)->statusText());
                        return int(QDialog::Accepted);
                    });
                },
                [](Matrix& m) { m.button("ButtonCompareDevs")->click(); },
                [](Matrix& m, const Cell& c) {
                    const QString said = m.w->property("compareSaid").toString();
                    QCOMPARE(said, c.messages.isEmpty() ? QString("Comparison completed") : c.messages.last());
                },
                {
                    {"lin_CloseConfig", -1, B, kNone},
                    {"lin_OpenConfig", -29, B, {"Could not read configuration (ERROR_CFG_NOT_OPEN)", "Error reading Master"}},
                    {"zbx_SetUsageOfControlLink", -1, B, kNone},
                    {"lin_ReadConfigRunMode", -2, M, {"Could not read configuration (ERROR_READ_TIMEOUT)", "Error reading Master"}},
                    {"lin_ReadConfigRunMode", -2, S, {"Could not read configuration (ERROR_READ_TIMEOUT)", "Error reading Slave 1"}},
                    {"lin_GetConfigMemBlockName", -2, B, kNone},
                    {"lin_GetConfigNameExt", -24, B, {"Could not read configuration (ERROR_CFG_INVALID_PARAMETER)", "Error reading Master"}},
                    {"", 0, Where::Mutex, {"Internal error", "Error reading Master"}},
                    // A value read from the session just filled; its status is not looked at.
                    {"lin_GetConfig", -31, B, kNone},
                }};

    // Load and Save: the file is the user's; it never changes on a load and is replaced whole or
    // not at all on a save.
    auto withFile = [](Matrix& m) {
        QVERIFY(m.identified());
        m.cfgFile = m.files.filePath("kept.cfg");
        m.cfgBefore = "[configuration]\ntype=KVR5E\nhexfile=\nreset_to_defaults=0\n[parameters]\nchannel1=5\n";
        testutil::writeFile(m.cfgFile, m.cfgBefore);
    };
    all << Road{"Load", bedBench(), {"WZQ"}, {}, false, false, 3, {}, withFile, [](Matrix& m) { m.t.script.expectOpenFile(m.cfgFile); },
                [](Matrix& m) { m.button("btnLoadConfig")->click(); },
                [](Matrix& m, const Cell&) {
                    QCOMPARE(testutil::readFile(m.cfgFile), m.cfgBefore);
                    QCOMPARE(QDir(m.files.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
                },
                {
                    {"lin_OpenConfig", -29, B, kNone},
                    {"lin_LoadConfig", -30, B, {"Could not read config file (not for supported hardware?)"}},
                    {"lin_GetStringConfig", -2, B, kNone},
                    {"lin_GetConfig", -2, B, {kUndecodable}},
                    {"lin_GetConfigResetToDefaults", -2, B, kNone},
                }};
    all << Road{"Save", bedBench(), {"WZQ"}, {}, false, false, 3, {}, withFile,
                [](Matrix& m) {
                    m.t.script.expectSaveFile(m.cfgFile);
                    m.t.script.expect(MessageKind::Question, "File exists. Overwrite?", true);
                },
                [](Matrix& m) { m.button("btnSaveConfig")->click(); },
                [](Matrix& m, const Cell& c) {
                    const QByteArray now = testutil::readFile(m.cfgFile);
                    if (!c.messages.isEmpty())
                        QCOMPARE(now, m.cfgBefore);
                    else
                        QVERIFY(now.startsWith("[configuration]\ntype=KVR5E\n") && now.contains("\nchannel4=") && now != m.cfgBefore);
                    QCOMPARE(QDir(m.files.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
                },
                {
                    {"lin_CloseConfig", -1, B, kNone},
                    {"lin_OpenConfig", -29, B, {"Could not save config file (ERROR_CFG_NOT_OPEN)"}},
                    {"lin_SetConfig", -2, B, kNone},
                    {"lin_SetStringConfig", -2, B, kNone},
                    {"lin_SetConfigResetToDefaults", -2, B, kNone},
                    {"lin_SaveConfig", -20, B, {"Could not save config file (ERROR_CFG_NO_PATH)"}},
                }};

    // An unattended LOADSAVE run: the file is written back whole, or, when the run fails, left as
    // it was and the run ends with status 1.
    auto bedFile = [](Matrix& m) {
        m.cfgBefore = "[configuration]\ntype=KVR5E\nhexfile=\nreset_to_defaults=0\n[parameters]\nchannel1=5\n"
                      "ref1_stroke_max=4320\n[strings]\nConfType=WZQ\n";
        testutil::writeFile(m.cfgFile, m.cfgBefore);
    };
    all << Road{"LOADSAVE", bedBench(), {"WZQ", "LOADSAVE", "%cfg"}, {}, false, false, -1, {}, bedFile, nothing,
                [](Matrix& m) { m.w->formActivate(); },
                [](Matrix& m, const Cell& c) {
                    const QByteArray f = c.function;
                    const bool fails = f == "lin_OpenConfig" || f == "lin_LoadConfig" || f == "lin_GetConfig" || f == "lin_SaveConfig";
                    QCOMPARE(m.t.quitRequests, 1);
                    QCOMPARE(m.t.lastExitCode, fails ? 1 : 0);
                    const QByteArray now = testutil::readFile(m.cfgFile);
                    if (fails)
                        QCOMPARE(now, m.cfgBefore);
                    else if (f.startsWith("lin_Set")) // written whole, with what the session took
                        QVERIFY(now.startsWith("[configuration]\ntype=KVR5E\n") && now.contains("\nchannel4="));
                    else
                        QVERIFY(now.contains("\nref1_stroke_max=4320\n") && now.contains("\nchannel4="));
                    QCOMPARE(QDir(m.files.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
                },
                {
                    {"zbx_OpenSpecificDevice", -1, B, kNone, {}, After::Ended},
                    {"zbx_SetUsageOfControlLink", -1, B, {kTooOld}, {}, After::Ended},
                    {"lin_OpenConfig", -29, B, {"Could not save config file (ERROR_CFG_NOT_OPEN)"}, {}, After::Ended},
                    {"lin_LoadConfig", -30, B, {"Could not read config file (not for supported hardware?)"}, {}, After::Ended},
                    {"lin_GetStringConfig", -2, B, kNone, {}, After::Ended},
                    {"lin_GetConfig", -2, B, {kUndecodable}, {}, After::Ended},
                    {"lin_GetConfigResetToDefaults", -2, B, kNone, {}, After::Ended},
                    {"lin_CloseConfig", -1, B, kNone, {}, After::Ended},
                    // As a library refuses a name its layout does not hold: not looked at.
                    {"lin_SetConfig", -31, B, kNone, {}, After::Ended},
                    {"lin_SetStringConfig", -31, B, kNone, {}, After::Ended},
                    {"lin_SetConfigResetToDefaults", -2, B, kNone, {}, After::Ended},
                    {"lin_SaveConfig", -20, B, {"Could not save config file (ERROR_CFG_NO_PATH)"}, {}, After::Ended},
                }};
    return all;
}

const QList<Road>& allRoads()
{
    static const QList<Road> r = roads();
    return r;
}

int allCells()
{
    int count = 0;
    for (const Road& r : allRoads())
        count += int(r.cells.size());
    return count;
}

// A run may take one part of the roads, so that the parts run side by side: TEST_PART=k/n
// deals the roads out to n parts, the roads with the most cells first, each to the part with the
// fewest cells so far. Together the parts take every road once. Without it, a run takes them all.
struct Part
{
    int index = 1;
    int count = 1;
};

Part thisPart()
{
    static const Part part = [] {
        Part p;
        const QString text = qEnvironmentVariable("TEST_PART");
        if (text.isEmpty())
            return p;
        const QStringList numbers = text.split('/');
        bool indexOk = false;
        bool countOk = false;
        if (numbers.size() == 2) {
            p.index = numbers[0].toInt(&indexOk);
            p.count = numbers[1].toInt(&countOk);
        }
        if (!indexOk || !countOk || p.count < 1 || p.index < 1 || p.index > p.count)
            qFatal("TEST_PART=%s is not k/n with 1 <= k <= n", qPrintable(text));
        return p;
    }();
    return part;
}

bool inThisPart(int road)
{
    static const QList<int> partOfRoad = [] {
        const QList<Road>& roads = allRoads();
        QList<int> order(roads.size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(), [&roads](int a, int b) { return roads[a].cells.size() > roads[b].cells.size(); });
        QList<int> cells(thisPart().count, 0);
        QList<int> part(roads.size(), 1);
        for (int r : order) {
            const int lightest = int(std::min_element(cells.begin(), cells.end()) - cells.begin());
            part[r] = lightest + 1;
            cells[lightest] += int(roads[r].cells.size());
        }
        return part;
    }();
    return partOfRoad[road] == thisPart().index;
}

// A message the road gives, or the difference window.
void expectMessage(Matrix& m, const QString& message)
{
    if (message == kDifferences)
        m.t.script.expectDialog(QStringLiteral("frmBoxDifferences"), [](QDialog*) { return int(QDialog::Accepted); });
    else
        m.t.script.expect(MessageKind::Information, message);
}

// The road's own dialogs and the cell's messages, in the order they come.
void expectCell(Matrix& m, const Road& road, const Cell& cell)
{
    const qsizetype then = cell.messages.indexOf(kThen);
    for (qsizetype i = 0; i < then; ++i)
        expectMessage(m, cell.messages[i]);
    if (cell.steps)
        road.steps(m);
    for (qsizetype i = then + 1; i < cell.messages.size(); ++i)
        expectMessage(m, cell.messages[i]);
}

// The library functions a road calls, apart from the poll's (or only the poll's, for its own roads).
std::set<std::string> callsOf(const Matrix& m, const Road& road)
{
    const std::thread::id poll = m.w->poll().threadId();
    std::set<std::string> calls;
    for (const moxtasim::CallRecord& call : moxtasim::callLog())
        if ((call.thread == poll) == road.pollCalls && call.function != "lin_GetErrorMessage")
            calls.insert(call.function);
    return calls;
}

} // namespace

Q_DECLARE_METATYPE(Cell)

class TestFaultMatrix : public QObject
{
    Q_OBJECT

private slots:
    // The matrix names every call each road makes, and no other.
    void everyCallOfEachRoad_data()
    {
        QTest::addColumn<int>("road");
        for (int r = 0; r < allRoads().size(); ++r)
            if (inThisPart(r))
                QTest::newRow(qPrintable(allRoads()[r].name)) << r;
    }

    void everyCallOfEachRoad()
    {
        if (!QTest::currentDataTag())
            QSKIP("no road of this part is in this table");
        QFETCH(int, road);
        const Road& r = allRoads()[road];
        Matrix m(r);
        if (r.faultAtStart) {
            r.steps(m);
            moxtasim::clearCallLog();
        }
        m.start(r);
        r.prepare(m);
        if (!r.faultAtStart) {
            moxtasim::clearCallLog();
            r.steps(m);
        }
        for (const QString& message : r.cleanMessages)
            expectMessage(m, message);
        r.run(m);
        if (r.faultAtStart && !r.pollCalls)
            QVERIFY(m.identified()); // the start-up's calls end with the first activation
        std::set<std::string> inMatrix;
        for (const Cell& c : r.cells)
            if (c.where != Where::Mutex) {
                const std::string f = c.function;
                inMatrix.insert(f.substr(0, f.find('(')));
            }
        std::set<std::string> made = callsOf(m, r);
        QString missing, extra;
        for (const std::string& f : made)
            if (!inMatrix.count(f))
                missing += QString::fromStdString(f) + ' ';
        for (const std::string& f : inMatrix)
            if (!made.count(f))
                extra += QString::fromStdString(f) + ' ';
        QVERIFY2(missing.isEmpty() && extra.isEmpty(), qPrintable("not in the matrix: " + missing + "; not called: " + extra));
        QVERIFY2(m.t.script.problems().isEmpty(), qPrintable(m.problems()));
    }

    void cells_data()
    {
        QTest::addColumn<int>("road");
        QTest::addColumn<Cell>("cell");
        int roads = 0;
        int count = 0;
        for (int r = 0; r < allRoads().size(); ++r) {
            if (!inThisPart(r))
                continue;
            ++roads;
            for (const Cell& c : allRoads()[r].cells) {
                const QString call = c.where == Where::Mutex ? QStringLiteral("poll mutex") : QString::fromLatin1(c.function);
                QTest::newRow(qPrintable(allRoads()[r].name + " x " + call + whereName(c.where))) << r << c;
                ++count;
            }
        }
        if (thisPart().count == 1)
            qInfo("fault matrix: %d roads, %d cells", roads, count);
        else
            qInfo("fault matrix part %d of %d: %d roads, %d cells (of %d roads, %d cells)", thisPart().index, thisPart().count,
                  roads, count, int(allRoads().size()), allCells());
    }

    void cells()
    {
        if (!QTest::currentDataTag())
            QSKIP("no road of this part is in this table");
        QFETCH(int, road);
        QFETCH(Cell, cell);
        const Road& r = allRoads()[road];
        Matrix m(r);
        if (r.faultAtStart) {
            QVERIFY(setFail(cell, cell.status));
            expectCell(m, r, cell);
            moxtasim::clearCallLog();
            m.start(r);
        } else {
            m.start(r);
            r.prepare(m);
            if (QTest::currentTestFailed())
                return;
        }
        const auto storedBefore = stored();
        std::optional<MutexHolder> holder;
        if (!r.faultAtStart) {
            expectCell(m, r, cell);
            QVERIFY(setFail(cell, cell.status));
            if (cell.where == Where::Mutex) {
                holder.emplace(m.w->poll().mutex());
                QVERIFY(holder->held());
            }
            moxtasim::clearCallLog();
        }
        r.run(m);
        holder.reset();
        // The poll goes on in the state the road hands back: none while the user must reopen the
        // adapter, the one it had when the road could not begin.
        if (r.resume >= 0 && cell.after != After::Ended) {
            const bool idle = cell.after == After::Update || cell.after == After::Choose;
            QCOMPARE(resumedState(m, idle), idle ? int(device::PollIdle) : cell.where == Where::Mutex ? int(device::PollWatch) : r.resume);
        }
        if (cell.boxShown >= 0) {
            m.w->GuiTimerTimer();
            QCOMPARE(m.w->control("btnReadConfig")->isEnabled(), cell.boxShown == 1);
        }
        QVERIFY2(m.t.script.problems().isEmpty(), qPrintable(m.problems()));
        if (!cell.statusText.isEmpty())
            QCOMPARE(m.statusText(), cell.statusText);
        r.check(m, cell);
        // A program that failed leaves the box's configuration as it was.
        if (cell.statusText.startsWith("Could not program configuration ("))
            QVERIFY(stored() == storedBefore);
        QVERIFY(setFail(cell, 0));

        if (cell.after == After::Ended) {
            QCOMPARE(m.t.quitRequests, 1);
            return;
        }
        // The mutex is free whoever had it.
        QVERIFY(m.w->poll().mutex().try_lock_for(std::chrono::milliseconds(1000)));
        m.w->poll().mutex().unlock();
        if (cell.after != After::Watching) {
            if (cell.after == After::Download) {
                // Another download, complete this time, starts the box's application again.
                m.t.script.expect(MessageKind::Confirmation, kHandsets, true);
                m.button("btnDownloadOnly")->click();
                QCOMPARE(m.statusText(), QString("Done"));
            } else {
                // Idle until the user reopens the adapter (three of the poll's pauses).
                QTest::qWait(3 * testutil::pollPauseMs());
                QCOMPARE(m.w->poll().state().load(), int(device::PollIdle));
            }
            if (cell.after == After::Update) {
                m.w->menuItem("mniMultiparallel")->trigger();
                m.button("ButtonUpdateDevices")->click();
            } else if (cell.after == After::Choose) {
                m.chooseAdapter(false);
                m.w->menuItem("mniUsbDevice")->trigger();
            }
        }
        // The poll watches the box again and the next Read works.
        QVERIFY(m.identified());
        QCOMPARE(m.w->poll().state().load(), int(device::PollWatch));
        m.button("btnReadConfig")->click();
        QCOMPARE(m.statusText(), QString("Done"));
        QVERIFY2(m.t.script.problems().isEmpty(), qPrintable(m.problems()));
    }

    // The box unplugged in the middle of each long call: the call fails as a bus would make it
    // fail, the box keeps a consistent configuration, and plugging it in again is all it takes.
    void unplugMidway_data()
    {
        QTest::addColumn<int>("road");
        QTest::addColumn<int>("baud");
        QTest::addColumn<QString>("call"); // the long call, cut at a frame of its middle
        QTest::addColumn<int>("frames");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QString>("statusText");
        QTest::addColumn<bool>("download");
        const QString readFailed = "Could not read configuration";
        const QString programFailed = "Could not program configuration";
        const QString readTimeout = "Could not read configuration (ERROR_READ_TIMEOUT)";
        // A configuration is some 60 frames, the error list 8, the firmware image 256.
        const QString read = "lin_ReadConfigRunMode";
        struct Row
        {
            const char* road;
            int baud;
            QString call;
            int frames;
            QStringList messages;
            QString statusText;
            bool download;
        };
        const Row rows[] = {
            {"Read", 19200, read, 30, {readFailed}, readTimeout, false},
            {"Program", 19200, "lin_ProgramConfigRunMode", 30, {programFailed}, "Could not program configuration (ERROR_READ_TIMEOUT)", false},
            {"Program with firmware", 9600, "nbl_Download", 128, {kNotDownloaded}, {}, true},
            {"Download only", 9600, "nbl_Download", 128, {kNotDownloaded}, {}, true},
            {"error list", 19200, "lin_RC_GetErrors", 4, {"Could not read error list"}, {}, false},
            {"Compare with box", 19200, read, 30, {readFailed}, readTimeout, false},
            {"Compare", 19200, read, 30, {readTimeout, "Error reading Master"}, {}, false},
        };
        for (const Row& row : rows) {
            int road = -1;
            for (int r = 0; r < allRoads().size(); ++r)
                if (allRoads()[r].name == QLatin1String(row.road))
                    road = r;
            QVERIFY2(road >= 0, row.road);
            if (inThisPart(road))
                QTest::newRow(row.road) << road << row.baud << row.call << row.frames << row.messages << row.statusText << row.download;
        }
    }

    void unplugMidway()
    {
        if (!QTest::currentDataTag())
            QSKIP("no road of this part is in this table");
        QFETCH(int, road);
        QFETCH(int, baud);
        QFETCH(QString, call);
        QFETCH(int, frames);
        QFETCH(QStringList, messages);
        QFETCH(QString, statusText);
        QFETCH(bool, download);
        const Road& r = allRoads()[road];
        Matrix m(r);
        std::string error;
        QVERIFY2(moxtasim::loadBench(bedBench(baud).toStdString(), &error), error.c_str());
        m.start(r);
        r.prepare(m);
        if (QTest::currentTestFailed())
            return;
        const auto storedBefore = stored();
        r.steps(m);
        for (const QString& message : messages)
            expectMessage(m, message);
        QVERIFY(moxtasim::unplugAfterFrames(call.toStdString(), kAdapter, 0, frames));
        r.run(m);
        QVERIFY2(moxtasim::unplugMade(), "the call was not cut");
        QVERIFY2(m.t.script.problems().isEmpty(), qPrintable(m.problems()));
        if (!statusText.isEmpty())
            QCOMPARE(m.statusText(), statusText);
        QVERIFY(stored() == storedBefore);
        QVERIFY(m.w->poll().mutex().try_lock_for(std::chrono::milliseconds(1000)));
        m.w->poll().mutex().unlock();

        // Plugged in again.
        QVERIFY(moxtasim::plug(kAdapter, 0));
        moxtasim::BoxState box;
        QVERIFY(moxtasim::boxState(kAdapter, 0, box) && box.connected);
        if (download) {
            // The program area was cut short: the box waits in its bootloader for a whole download.
            QVERIFY(box.inBootloader && !box.applicationRunning);
            m.t.script.expect(MessageKind::Confirmation, kHandsets, true);
            m.button("btnDownloadOnly")->click();
            QCOMPARE(m.statusText(), QString("Done"));
        }
        QVERIFY(m.identified());
        m.button("btnReadConfig")->click();
        QCOMPARE(m.statusText(), QString("Done"));
        QVERIFY2(m.t.script.problems().isEmpty(), qPrintable(m.problems()));
    }
};

QTEST_MAIN(TestFaultMatrix)
#include "tst_faultmatrix.moc"

#include "app/frmmain.h"

#include "app/windows.h"
#include "compare/formcompare.h"
#include "compare/frmboxdifferences.h"
#include "config/channels.h"
#include "config/transfers.h"
#include "config/windowstate.h"
#include "device/boxoperations.h"
#include "device/livestatus.h"
#include "device/moxtalib.h"
#include "device/multiparallel.h"
#include "device/selectdevice.h"
#include "files/backups.h"
#include "files/configfiles.h"
#include "platform/directories.h"
#include "platform/documents.h"
#include "platform/intervals.h"
#include "platform/version.h"
#include "rules/actuators.h"
#include "rules/entryrules.h"
#include "rules/memorypositions.h"
#include "ui/dialogs.h"
#include "ui/events.h"
#include "ui/pages.h"

#include "ui_frmMain.h"

#include <QAbstractButton>
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>

#include <utility>

namespace app {

namespace intervals = platform::intervals;

namespace {

// The file of an unattended run (LOADSAVE file, or PRODUCT LOADSAVE file); empty when the
// arguments ask for none or the file does not exist (then the window starts as usual).
QString loadSaveFileOf(const QStringList& arguments)
{
    QString file;
    if (arguments.size() >= 2) {
        if (arguments[0].toUpper() == u"LOADSAVE")
            file = arguments[1];
        else if (arguments[1].toUpper() == u"LOADSAVE" && arguments.size() >= 3)
            file = arguments[2];
    }
    return !file.isEmpty() && QFileInfo::exists(file) ? file : QString();
}

} // namespace

std::function<void(int)>& TfrmMain::quitRequester()
{
    static std::function<void(int)> requester = [](int exitCode) {
        QMetaObject::invokeMethod(qApp, [exitCode] { QCoreApplication::exit(exitCode); }, Qt::QueuedConnection);
    };
    return requester;
}

std::function<bool(const QString&, const QStringList&)>& TfrmMain::processStarter()
{
    static std::function<bool(const QString&, const QStringList&)> starter =
        [](const QString& program, const QStringList& args) { return QProcess::startDetached(program, args); };
    return starter;
}

TfrmMain::TfrmMain(const StartOptions& options, QWidget* parent)
    : QMainWindow(parent)
    , m_ui(std::make_unique<Ui::frmMain>())
    , m_state(std::make_unique<config::WindowState>())
    , m_live(std::make_unique<device::LiveStatus>(*this, *m_state, m_poll))
    , m_box(std::make_unique<device::BoxOperations>(*this, *m_state, m_poll, *m_live))
    , m_parallel(std::make_unique<device::Multiparallel>(*this, m_poll))
    , m_arguments(options.arguments)
{
    ui::setUnattendedRun(!loadSaveFileOf(m_arguments).isEmpty());
    construct(options);
    formCreate();
}

TfrmMain::~TfrmMain()
{
    formDestroy();
}

void TfrmMain::construct(const StartOptions& options)
{
    m_ui->setupUi(this);
    ui::addPages(m_ui->pgcMain);
    // Up to ten tabs share the bar in the desk mode; a narrower padding keeps them all in view.
    m_ui->pgcMain->tabBar()->setStyleSheet(QStringLiteral("QTabBar::tab { padding: 4px 7px; }"));
    m_side = ui::createSidePanel(m_ui->pnlClient);
    m_side->move(m_ui->pgcMain->geometry().right() + 9, m_ui->pgcMain->y());
    m_multiparallel = ui::createMultiparallelPanel(m_ui->pnlClient);
    m_multiparallel->move(m_side->geometry().right() + 13, m_ui->pgcMain->y());

    // The client area ends 32 pixels below the logo; the window cannot shrink below its first size.
    auto* logo = control<QLabel>(QStringLiteral("imgMoxta"));
    const int logoBottom = logo ? logo->mapTo(m_ui->pnlClient, QPoint(0, logo->height())).y()
                                : m_ui->pgcMain->geometry().bottom();
    const int clientHeight = std::max(logoBottom, m_ui->pgcMain->geometry().bottom()) + 32;
    m_ui->pnlClient->setMinimumSize(m_multiparallel->geometry().right() + 9, clientHeight);
    setWindowFlag(Qt::WindowMaximizeButtonHint, false);
    adjustSize();
    resize(minimumSizeHint().expandedTo(sizeHint()));
    // The layout would otherwise put its own (menu and status bar) minimum height in place of ours
    // when the window is shown.
    layout()->setSizeConstraint(QLayout::SetNoConstraint);
    setMinimumSize(size());
    m_ui->pnlClient->setMinimumSize(0, 0);
    applyMultiparallel(false);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    m_programDirectory = options.programDirectory.isEmpty() ? platform::programDirectory() : options.programDirectory;
    if (!m_programDirectory.endsWith(u'/'))
        m_programDirectory += u'/';
    m_state->dataDirectory = platform::dataDirectoryFor(m_programDirectory);
    m_advancedSettingsPath = m_state->dataDirectory + QStringLiteral("Adv.ini");
    m_hintFilePath = m_state->dataDirectory + QStringLiteral("Hints.ini");

    m_tmrColorChange = new QTimer(this);
    m_tmrColorChange->setObjectName(QStringLiteral("tmrColorChange"));
    m_tmrColorChange->setSingleShot(true);
    m_guiTimer = new QTimer(this);
    m_guiTimer->setObjectName(QStringLiteral("GuiTimer"));
    m_guiTimer->setInterval(intervals::pause(intervals::kGuiTick));
    connect(m_guiTimer, &QTimer::timeout, this, &TfrmMain::GuiTimerTimer);
    m_guiTimer->start();
    m_lastShownPage = m_ui->pgcMain->currentIndex();
    connect(m_ui->pgcMain, &QTabWidget::currentChanged, this, &TfrmMain::activePageChanged);

    // The window's colour shows around the tabs and the white groups.
    centralWidget()->setAutoFillBackground(true);
    m_clientPalette = centralWidget()->palette();
    QPalette tabs = m_ui->pgcMain->palette();
    tabs.setColor(QPalette::Window, tabs.color(QPalette::Window));
    m_ui->pgcMain->setPalette(tabs);

    m_modeGroup = new QActionGroup(this);
    for (int mode = 0; mode <= config::ModeMz40Advanced; ++mode) {
        QAction* item = modeItem(mode);
        item->setProperty("tag", mode);
        m_modeGroup->addAction(item);
        connect(item, &QAction::triggered, this, [this, item] { mniModeItemClick(item); });
    }
    // The information panel's context menu.
    auto* resetAct = new QMenu(this);
    resetAct->setObjectName(QStringLiteral("mnuResetAct"));
    QAction* resetActItem = resetAct->addAction(QStringLiteral("Reset activation stats when configuring"));
    resetActItem->setObjectName(QStringLiteral("mniResetAct"));
    resetActItem->setCheckable(true);
    if (QWidget* info = control(QStringLiteral("gbInfo"))) {
        info->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(info, &QWidget::customContextMenuRequested, this,
                [info, resetAct](const QPoint& at) { resetAct->popup(info->mapToGlobal(at)); });
    }

    connect(menuItem(QStringLiteral("mniWarn")), &QAction::triggered, this, &TfrmMain::mniWarnClick);
    connect(menuItem(QStringLiteral("menuFileRestart")), &QAction::triggered, this, &TfrmMain::menuFileRestartClick);
    connect(menuItem(QStringLiteral("mniQuit")), &QAction::triggered, this, &TfrmMain::mniQuitClick);
    connect(menuItem(QStringLiteral("mniMultiparallel")), &QAction::triggered, this, &TfrmMain::mniMultiparallelClick);
    connect(menuItem(QStringLiteral("mniUsbDevice")), &QAction::triggered, this, &TfrmMain::mniUsbDeviceClick);
    connect(menuItem(QStringLiteral("mniHelp")), &QAction::triggered, this, &TfrmMain::mniHelpClick);
    connect(menuItem(QStringLiteral("mniPrint")), &QAction::triggered, this, &TfrmMain::mniPrintClick);
    // File > Open backup folder: the backups of every Read, in the desktop's file manager.
    auto* openBackups = new QAction(QStringLiteral("Open &backup folder"), this);
    openBackups->setObjectName(QStringLiteral("mniOpenBackups"));
    if (auto* file = findChild<QMenu*>(QStringLiteral("mnuFile"))) {
        const QList<QAction*> items = file->actions();
        const qsizetype reset = items.indexOf(menuItem(QStringLiteral("mniReset")));
        file->insertAction(reset >= 0 && reset + 1 < items.size() ? items[reset + 1] : nullptr, openBackups);
    }
    connect(openBackups, &QAction::triggered, this, [this] {
        const QString folder = files::backupDirectory();
        const auto notOpened = [this, folder] {
            ui::dialogs().information(this, QStringLiteral("Could not open the backup folder\n\n") + QDir::toNativeSeparators(folder));
        };
        if (folder.isEmpty() || !QDir().mkpath(folder) || !platform::openDocument(folder, notOpened))
            notOpened();
    });
    addComparisonItems();
    connect(m_box.get(), &device::BoxOperations::downloadEnded, this, [this] {
        if (m_afterDownload != AfterDownload::Nothing)
            QTimer::singleShot(0, this, &TfrmMain::finishDeferredAction);
    });
}

void TfrmMain::addComparisonItems()
{
    // File > Compare with box, after Program, and its button on the Programmer tab: both offered
    // whenever Read is.
    auto* compareItem = new QAction(QStringLiteral("&Compare with box..."), this);
    compareItem->setObjectName(QStringLiteral("mniCompareBox"));
    if (auto* file = findChild<QMenu*>(QStringLiteral("mnuFile"))) {
        const QList<QAction*> items = file->actions();
        const qsizetype program = items.indexOf(menuItem(QStringLiteral("mniProgram")));
        file->insertAction(program >= 0 && program + 1 < items.size() ? items[program + 1] : nullptr, compareItem);
    }
    QPushButton* compareButton = nullptr;
    if (QWidget* page = tab(QStringLiteral("tsProgrammer"))) {
        auto* group = new QGroupBox(QStringLiteral("Compare with box"), page);
        group->setObjectName(QStringLiteral("gbCompareBox"));
        group->setGeometry(8, 212, 754, 100);
        auto* note = new QLabel(QStringLiteral("Before programming, see how the connected box differs from the window's values "
                                               "or from a configuration file. The comparison changes nothing, in the box or in "
                                               "the window."),
                                group);
        note->setObjectName(QStringLiteral("lblCompareBoxNote"));
        note->setWordWrap(true);
        note->setGeometry(12, 24, 730, 34);
        compareButton = new QPushButton(QStringLiteral("Compare with box..."), group);
        compareButton->setObjectName(QStringLiteral("btnCompareBox"));
        compareButton->setToolTip(QStringLiteral("Read the connected box and list every parameter in which it differs from the "
                                                 "window's values or from a configuration file."));
        compareButton->setGeometry(12, 62, 160, 28);
        connect(compareButton, &QPushButton::clicked, this, &TfrmMain::mniCompareBoxClick);
        // Tab comes to it after the tab's other controls, not at the end of the window.
        if (QWidget* factory = control(QStringLiteral("cbxFactoryDefaults")))
            setTabOrder(factory, compareButton);
    }
    connect(compareItem, &QAction::triggered, this, &TfrmMain::mniCompareBoxClick);
    QAction* read = menuItem(QStringLiteral("mniRead"));
    const auto followRead = [read, compareItem, compareButton] {
        compareItem->setEnabled(read->isEnabled());
        if (compareButton)
            compareButton->setEnabled(read->isEnabled());
    };
    connect(read, &QAction::changed, this, followRead);
    followRead();

    // Settings > Verify after programming, before the multiparallel item.
    auto* verify = new QAction(QStringLiteral("&Verify after programming"), this);
    verify->setObjectName(QStringLiteral("mniVerifyProgram"));
    verify->setCheckable(true);
    if (auto* settings = findChild<QMenu*>(QStringLiteral("mnuSettings"))) {
        const QList<QAction*> items = settings->actions();
        const qsizetype multiparallel = items.indexOf(menuItem(QStringLiteral("mniMultiparallel")));
        // Above the separator that sets the multiparallel item apart.
        settings->insertAction(multiparallel >= 1 ? items[multiparallel - 1] : nullptr, verify);
    }
    connect(verify, &QAction::triggered, this, [this, verify] { m_settings.setVerifyAfterProgram(verify->isChecked()); });

    m_box->showDifferences = [this](const device::BoxDifferences& found) { showDifferences(found); };
}

void TfrmMain::showDifferences(const device::BoxDifferences& found)
{
    // Closed while the box was being read: the program is ending.
    if (m_closed)
        return;
    // Made for each showing: the groups and units follow the mode and unit in force.
    TfrmBoxDifferences window(*this, *m_state, this);
    TfrmBoxDifferences::Setup setup;
    setup.title = found.verify ? QStringLiteral("Verify after programming") : QStringLiteral("Compare with box");
    setup.boxText = found.boxText;
    setup.box = found.box;
    setup.other = found.other;
    setup.otherHeading = found.verify ? QStringLiteral("Programmed") : QStringLiteral("Window");
    setup.fileChoice = !found.verify;
    setup.readFile = [](const QString& path, config::SessionValues& values) { return config::readFileValues(path, values); };
    setup.statusText = [](int16_t status) { return device::lib::errorMessage(status); };
    setup.alarm = found.verify;
    // The file chooser starts where the last file loaded, saved or compared with was.
    setup.startFile = m_state->lastFileUsed;
    window.setUp(std::move(setup));
    ui::dialogs().run(&window);
    if (!window.comparedFile().isEmpty())
        m_state->lastFileUsed = window.comparedFile();
}

void TfrmMain::mniCompareBoxClick()
{
    // A value being typed is checked first, as for Program: the comparison takes the window as it
    // stands.
    if (!ui::finishEntry(this))
        return;
    m_box->compareWithBox();
}

void TfrmMain::formCreate()
{
    config::WindowState& state = *m_state;
    state.programmable = true;
    m_settings = SettingsStore(platform::prepareSettingsFile(platform::settingsDirectory()));
    setTabShown(tab(QStringLiteral("tsErrList")), false);
    state.decimalSeparator = QLocale().toString(1.2).at(1);
    state.advanced = readAdvancedMode(m_advancedSettingsPath);
    buildHintLanguageMenu();

    state.configurationType = QStringLiteral("KVR5E");
    if (device::lib::openConfig(state.configurationType) < 0) {
        ui::dialogs().information(this, QStringLiteral("MoxtaUsbDll is out of date\n\nProgram terminating"));
        requestTerminate();
        return;
    }

    applyDisplayPreferences();
    menuItem(QStringLiteral("mniVerifyProgram"))->setChecked(m_settings.verifyAfterProgram());

    m_arrays.resolve(*this);
    connectHandlers();
    state.memory.reset();
    m_versionText = platform::versionText();
    // The information panel shows no box until the poll finds one.
    m_live->drawNoBox();
    m_live->setMultiparallel(m_parallel.get());
    config::referenceSelectClick(*this, state);
    createProgressBar();

    // Widgets draw double-buffered already, so the error list needs nothing more for a flicker-free refresh.
    m_poll.state() = device::PollIdle;
    if (!m_poll.start()) {
        ui::dialogs().information(this, QStringLiteral("Not enough resources\n\nProgram terminating"));
        requestTerminate();
    }

    m_windowCaption = productSelection(m_settings.hardware()) + u' ' + m_versionText;
    if (state.advanced) {
        setTabShown(tab(QStringLiteral("tsSettings")), false);
    } else {
        for (int i = 0; i < pgcMain()->count(); ++i)
            setTabShown(pgcMain()->widget(i), pgcMain()->widget(i) == tab(QStringLiteral("tsSettings")));
        menuItem(QStringLiteral("mniSelectConflict"))->setVisible(false);
    }
    showFileInTitle(QString());
    config::mniResetClick(*this, state);
    rules::buildActuatorFileMenu(*this, state);
    menuItem(QStringLiteral("mniMultiparallel"))->setVisible(state.advanced);
    m_firstActivation = true;
}

void TfrmMain::connectHandlers()
{
    connectPreferenceHandlers();
    const std::pair<const char*, void (TfrmMain::*)()> buttons[] = {
        {"btnReadConfig", &TfrmMain::mniReadClick},
        {"btnLoadConfig", &TfrmMain::mniLoadClick},
        {"btnSaveConfig", &TfrmMain::mniSaveClick},
        {"btnProgramConfig", &TfrmMain::mniProgramClick},
        {"btnFileSelect", &TfrmMain::btnFileSelectClick},
        {"btnDownloadOnly", &TfrmMain::btnDownloadOnlyClick},
        {"btnResetInitLock", &TfrmMain::btnResetInitLockClick},
        {"ButtonResetMemoryPositions", &TfrmMain::ButtonResetMemoryPositionsClick},
    };
    for (const auto& [name, handler] : buttons)
        if (auto* button = control<QAbstractButton>(QString::fromLatin1(name)))
            connect(button, &QAbstractButton::clicked, this, handler);
    connect(menuItem(QStringLiteral("mniRead")), &QAction::triggered, this, &TfrmMain::mniReadClick);
    connect(menuItem(QStringLiteral("mniLoad")), &QAction::triggered, this, &TfrmMain::mniLoadClick);
    connect(menuItem(QStringLiteral("mniSave")), &QAction::triggered, this, &TfrmMain::mniSaveClick);
    menuItem(QStringLiteral("mniLoad"))->setShortcut(QKeySequence(QStringLiteral("Ctrl+O")));
    menuItem(QStringLiteral("mniSave"))->setShortcut(QKeySequence(QStringLiteral("Ctrl+S")));
    connect(menuItem(QStringLiteral("mniProgram")), &QAction::triggered, this, &TfrmMain::mniProgramClick);
    // Any change of the field, also one the program makes (Read clears it).
    if (auto* hex = control<QLineEdit>(QStringLiteral("edtHexFile")))
        connect(hex, &QLineEdit::textChanged, this, [this] { m_box->hexFileChanged(); });
    config::connectChannelHandlers(*this, *m_state);
    rules::connectActuatorHandlers(*this, *m_state);
    rules::connectValueRules(*this, *m_state);
    for (int memory = 1; memory <= 6; ++memory) {
        if (auto* button = control<QAbstractButton>(QStringLiteral("btnSetMem%1").arg(memory)))
            connect(button, &QAbstractButton::clicked, this, [this, button] { btnSetMemValuesClick(button); });
        if (auto* button = control<QAbstractButton>(QStringLiteral("btnSetOrd%1").arg(memory)))
            connect(button, &QAbstractButton::clicked, this, [this, button] { btnSetMemOrderClick(button); });
    }
    for (int device = 0; device < 4; ++device)
        if (auto* button = control<QAbstractButton>(QStringLiteral("ButtonDevice%1").arg(device)))
            connect(button, &QAbstractButton::clicked, this, [this, button] { ButtonDeviceClick(button); });
    if (auto* button = control<QAbstractButton>(QStringLiteral("ButtonUpdateDevices")))
        connect(button, &QAbstractButton::clicked, this, &TfrmMain::ButtonUpdateDevicesClick);
    if (auto* button = control<QAbstractButton>(QStringLiteral("ButtonCompareDevs")))
        connect(button, &QAbstractButton::clicked, this, &TfrmMain::ButtonCompareDevsClick);
    connect(menuItem(QStringLiteral("mniReset")), &QAction::triggered, this, [this] { config::mniResetClick(*this, *m_state); });
    ui::onUserEdit(control(QStringLiteral("cmbSnoreTime")), [this](QWidget*) { config::cmbSnoreTimeSelect(*this); });
    ui::onUserEdit(control(QStringLiteral("cbxFactoryDefaults")),
                   [this](QWidget*) { config::updateProgramSaveState(*this, *m_state); });
}

void TfrmMain::formActivate()
{
    if (!m_firstActivation)
        return;
    m_firstActivation = false;

    if (m_state->advanced) {
        const int mode = m_state->productMode;
        const char* start = mode == config::ModeRq9 ? "tsRQ9" : (config::isMz40(mode) ? "tsMZ40" : "tsRefs");
        setActivePage(tab(QString::fromLatin1(start)));
    } else {
        setActivePage(tab(QStringLiteral("tsSettings")));
    }

    const QString adapter = windows().frmSelectDevice ? windows().frmSelectDevice->adapterName : QString();
    if (adapter.isEmpty()) {
        m_poll.state() = device::PollIdle;
    } else if (m_poll.state() == device::PollIdle && device::lib::openSpecificDevice(adapter)) {
        if (device::lib::setUsageOfControlLink(8))
            m_poll.state() = device::PollSense;
        else
            ui::dialogs().information(
                this, QStringLiteral("The currently selected ZUBREX is too old for configuration.\n\nCannot Read/Program."));
    }

    m_commandLineText = m_arguments.join(u' ');

    if (const QString file = loadSaveFileOf(m_arguments); !file.isEmpty())
        loadSaveRun(file);
    emit firstActivationDone();
}

void TfrmMain::formDestroy()
{
    device::lib::closeConfig();
    const bool locked = m_poll.mutex().try_lock_for(intervals::timeout(intervals::kClosingAdapterWait));
    m_poll.state() = device::PollStop;
    if (locked)
        m_poll.mutex().unlock();
    m_poll.waitForEnd(intervals::timeout(intervals::kClosingPollEnd));
    device::lib::setUsageOfControlLink(0);
    device::lib::closeDevice();
}

void TfrmMain::requestTerminate(int exitCode)
{
    m_terminateRequested = true;
    quitRequester()(exitCode);
}

bool TfrmMain::event(QEvent* event)
{
    // The status bar keeps the program's text: passing over a menu item must not wipe "Done".
    if (event->type() == QEvent::StatusTip)
        return true;
    return QMainWindow::event(event);
}

void TfrmMain::closeEvent(QCloseEvent* event)
{
    if (m_box->downloadRunning()) {
        event->ignore();
        deferUntilDownloadEnds(AfterDownload::Close);
        return;
    }
    QMainWindow::closeEvent(event);
    m_closed = event->isAccepted();
}

void TfrmMain::deferUntilDownloadEnds(AfterDownload action)
{
    // A box in the middle of a download must not be left to an invisible process: the window stays
    // and says so, and does what was asked once the download has ended.
    if (m_afterDownload != AfterDownload::Restart)
        m_afterDownload = action;
    const QString closing = m_afterDownload == AfterDownload::Restart ? QStringLiteral("restarts") : QStringLiteral("closes");
    const QString notice = QStringLiteral("The program %1 when the download has ended").arg(closing);
    // The progress bar covers the status text beyond its start: while it is shown, it carries the notice.
    if (m_progressBar) {
        m_progressBar->setFormat(notice + QStringLiteral(" (%p%)"));
        m_progressBar->setTextVisible(true);
    }
    if (!m_progressBar || m_progressBar->isHidden())
        setStatusText(QStringLiteral("Programming hexfile - ") + notice.toLower());
}

void TfrmMain::finishDeferredAction()
{
    const AfterDownload action = std::exchange(m_afterDownload, AfterDownload::Nothing);
    switch (action) {
    case AfterDownload::Nothing: break;
    case AfterDownload::Close: close(); break;
    case AfterDownload::Quit: requestTerminate(); break;
    case AfterDownload::Restart:
        processStarter()(QCoreApplication::applicationFilePath(), m_arguments);
        close();
        break;
    }
}

void TfrmMain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // Not every platform activates a window that is shown; the first showing counts as activation.
    QTimer::singleShot(0, this, &TfrmMain::formActivate);
}

void TfrmMain::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        formActivate();
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ToolTip && !m_hintsShown)
        return true; // hints are off
    if (event->type() == QEvent::KeyPress) {
        // Ctrl+Tab, Ctrl+Shift+Tab, Ctrl+PageDown and Ctrl+PageUp step through the shown tabs from
        // anywhere in the window, also from a box that would take the key for itself.
        const auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
        int step = 0;
        if (mods == Qt::ControlModifier && (key->key() == Qt::Key_Tab || key->key() == Qt::Key_PageDown))
            step = 1;
        else if ((mods == Qt::ControlModifier && key->key() == Qt::Key_PageUp)
                 || (mods == (Qt::ControlModifier | Qt::ShiftModifier) && (key->key() == Qt::Key_Backtab || key->key() == Qt::Key_Tab)))
            step = -1;
        if (auto* target = qobject_cast<QWidget*>(watched); step != 0 && target && target->window() == this) {
            stepPage(step);
            return true;
        }
    }
    if (watched == statusBar() && event->type() == QEvent::Resize)
        placeProgressBar();
    return QMainWindow::eventFilter(watched, event);
}

void TfrmMain::createProgressBar()
{
    m_progressBar = new QProgressBar(statusBar());
    m_progressBar->setRange(0, 100);
    m_progressBar->setValue(0);
    m_progressBar->setTextVisible(false);
    m_progressBar->hide();
    statusBar()->installEventFilter(this);
    placeProgressBar();
}

void TfrmMain::placeProgressBar()
{
    if (m_progressBar)
        m_progressBar->setGeometry(200, 4, std::max(0, statusBar()->width() - 200 - 20), std::max(0, statusBar()->height() - 6));
}

void TfrmMain::menuFileRestartClick()
{
    if (!ui::dialogs().question(this, QStringLiteral("This will restart the program. All settings will be lost !\n\nContinue?"),
                                true))
        return;
    if (m_box->downloadRunning()) {
        deferUntilDownloadEnds(AfterDownload::Restart);
        return;
    }
    // The new instance gets the same arguments, each one whole.
    processStarter()(QCoreApplication::applicationFilePath(), m_arguments);
    close();
}

void TfrmMain::mniQuitClick()
{
    if (m_box->downloadRunning()) {
        deferUntilDownloadEnds(AfterDownload::Quit);
        return;
    }
    requestTerminate();
}

void TfrmMain::mniMultiparallelClick()
{
    applyMultiparallel(menuItem(QStringLiteral("mniMultiparallel"))->isChecked());
}

void TfrmMain::applyMultiparallel(bool shown)
{
    QWidget* group = control(QStringLiteral("gbMultiparallelInfo"));
    if (!group || shown == m_multiparallelShown)
        return;
    m_multiparallelShown = shown;
    const int change = group->width() + 12;
    group->setVisible(shown);
    m_multiparallel->setVisible(shown);
    setMinimumWidth(minimumWidth() + (shown ? change : -change));
    // A maximised window stays maximised; it takes its new width when it is restored.
    if (!(windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)))
        resize(minimumWidth(), height());
}

void TfrmMain::ButtonDeviceClick(QObject* button)
{
    // The box switched to is not identified yet: Read and Program wait for it from now on.
    if (m_parallel->ButtonDeviceClick(button->property("tag").toInt()))
        m_live->tick();
}

void TfrmMain::ButtonUpdateDevicesClick()
{
    m_parallel->ButtonUpdateDevicesClick(windows().frmSelectDevice ? windows().frmSelectDevice->adapterName : QString());
}

void TfrmMain::ButtonCompareDevsClick()
{
    TfCompare* compare = windows().fCompare;
    if (!compare)
        return;
    compare->setLink({this,
                      [this](int device, QStringList& names, QStringList& values) {
                          return device::readBoxParameters(m_poll, *this, m_state->configurationType, device, names, values);
                      },
                      windows().fCompareDetails});
    compare->FormShow();
    ui::dialogs().run(compare);
}

// ---- Talking to the box ---------------------------------------------------------------------

void TfrmMain::mniReadClick()
{
    m_box->read();
}

void TfrmMain::mniProgramClick()
{
    // From the menu or a shortcut the focus stays in the box being typed in: its value is checked
    // first, and a corrected value is shown rather than programmed unseen.
    if (!ui::finishEntry(this))
        return;
    m_box->program();
}

void TfrmMain::btnFileSelectClick()
{
    m_box->selectHexFile();
}

void TfrmMain::btnDownloadOnlyClick()
{
    m_box->downloadOnly();
}

void TfrmMain::btnResetInitLockClick()
{
    m_box->resetInitLock();
}

void TfrmMain::ButtonResetMemoryPositionsClick()
{
    m_box->eraseMemoryPositions(windows().frmSelectDevice ? windows().frmSelectDevice->adapterName : QString());
}

void TfrmMain::mniUsbDeviceClick()
{
    m_box->chooseAdapter(windows().frmSelectDevice);
}

void TfrmMain::GuiTimerTimer()
{
    m_live->tick();
}

void TfrmMain::readErrorList()
{
    m_live->readErrorList();
}

void TfrmMain::pgcMainChange()
{
    m_live->pageChanged();
}

// ---- Memory positions -----------------------------------------------------------------------

void TfrmMain::btnSetMemValuesClick(QObject* button)
{
    const QString name = button->objectName();
    rules::btnSetMemValuesClick(*this, *m_state, windows().frmMemory, name.back().digitValue());
}

void TfrmMain::btnSetMemOrderClick(QObject* button)
{
    const QString name = button->objectName();
    rules::btnSetMemOrderClick(*this, *m_state, windows().frmMemOrder, name.back().digitValue());
}

// ---- Configuration files --------------------------------------------------------------------

void TfrmMain::mniLoadClick()
{
    files::loadCommand(*this, *m_state);
}

void TfrmMain::mniSaveClick()
{
    if (!ui::finishEntry(this))
        return;
    files::saveCommand(*this, *m_state);
}

bool TfrmMain::fileLoad(const QString& path, QString* storedFirmware)
{
    return files::fileLoad(*this, *m_state, path, storedFirmware);
}

void TfrmMain::loadSaveRun(const QString& path)
{
    files::loadSaveRun(*this, *m_state, path);
}

// ---- The window seam ------------------------------------------------------------------------

QTabWidget* TfrmMain::pgcMain() const
{
    return m_ui->pgcMain;
}

QWidget* TfrmMain::tab(const QString& name) const
{
    return m_ui->pgcMain->findChild<QWidget*>(name);
}

void TfrmMain::setTabShown(QWidget* page, bool shown)
{
    const int index = page ? m_ui->pgcMain->indexOf(page) : -1;
    if (index < 0)
        return;
    // Hiding the active tab moves the active page: that is the program's change, not the user's.
    ++m_pageChangesByProgram;
    m_ui->pgcMain->setTabVisible(index, shown);
    // This toolkit's tab bar still steps onto hidden tabs with the arrow keys, the wheel and
    // Ctrl+Tab, but never onto disabled ones. Only the bar's tab is disabled: the page's controls
    // keep their own enabled state.
    m_ui->pgcMain->tabBar()->setTabEnabled(index, shown);
    --m_pageChangesByProgram;
}

bool TfrmMain::tabShown(const QWidget* page) const
{
    const int index = page ? m_ui->pgcMain->indexOf(const_cast<QWidget*>(page)) : -1;
    return index >= 0 && m_ui->pgcMain->isTabVisible(index);
}

QWidget* TfrmMain::activePage() const
{
    return m_ui->pgcMain->currentWidget();
}

void TfrmMain::setActivePage(QWidget* page)
{
    if (!tabShown(page))
        return;
    ++m_pageChangesByProgram;
    m_ui->pgcMain->setCurrentWidget(page);
    --m_pageChangesByProgram;
}

void TfrmMain::stepPage(int step)
{
    QTabWidget* tabs = m_ui->pgcMain;
    const int count = tabs->count();
    for (int i = 1; i < count; ++i) {
        const int index = ((tabs->currentIndex() + step * i) % count + count) % count;
        if (tabs->isTabVisible(index) && tabs->isTabEnabled(index)) {
            tabs->setCurrentIndex(index);
            return;
        }
    }
}

void TfrmMain::activePageChanged(int index)
{
    QTabWidget* tabs = m_ui->pgcMain;
    if (index >= 0 && !tabs->isTabVisible(index)) {
        // No path leads onto a hidden tab: back to the page that was active, or the first one shown.
        int back = (m_lastShownPage >= 0 && tabs->isTabVisible(m_lastShownPage)) ? m_lastShownPage : -1;
        for (int i = 0; back < 0 && i < tabs->count(); ++i)
            if (tabs->isTabVisible(i))
                back = i;
        if (back >= 0) {
            ++m_pageChangesByProgram;
            tabs->setCurrentIndex(back);
            --m_pageChangesByProgram;
        }
        return;
    }
    m_lastShownPage = index;
    if (m_pageChangesByProgram == 0)
        pgcMainChange();
}

QWidget* TfrmMain::control(const QString& name) const
{
    // One lookup for the whole window; what was found once is kept while it lives under its name,
    // and anything else is searched for again, so a control made after the first lookup is found.
    if (const auto cached = m_controls.constFind(name); cached != m_controls.constEnd())
        if (QWidget* w = cached.value(); w && w->objectName() == name)
            return w;
    QWidget* found = name.isEmpty() ? nullptr : findChild<QWidget*>(name);
    if (found)
        m_controls.insert(name, found);
    return found;
}

QAction* TfrmMain::menuItem(const QString& name) const
{
    if (auto* action = findChild<QAction*>(name))
        return action;
    if (auto* menu = findChild<QMenu*>(name))
        return menu->menuAction();
    return nullptr;
}

void TfrmMain::showFileInTitle(const QString& fileName)
{
    m_fileInTitle = fileName;
    setWindowTitle(fileName.isEmpty() ? m_windowCaption : fileName + QStringLiteral(" - ") + m_windowCaption);
}

void TfrmMain::showProgress(bool shown)
{
    if (m_progressBar)
        m_progressBar->setVisible(shown);
}

void TfrmMain::setProgress(int percent)
{
    if (m_progressBar)
        m_progressBar->setValue(percent);
}

void TfrmMain::requestQuit(int exitCode)
{
    requestTerminate(exitCode);
}

void TfrmMain::switchMode(int mode)
{
    mniModeItemClick(modeItem(mode));
}

void TfrmMain::setStatusText(const QString& text)
{
    statusBar()->showMessage(text);
    statusBar()->repaint();
}

} // namespace app

#include "app/frmmain.h"

#include "app/windows.h"
#include "config/channels.h"
#include "config/transfers.h"
#include "device/moxtalib.h"
#include "device/selectdevice.h"
#include "platform/directories.h"
#include "platform/inifile.h"
#include "platform/version.h"
#include "ui/dialogs.h"

#include "ui_frmMain.h"
#include "ui_frmMainMultiparallel.h"
#include "ui_frmMainSide.h"
#include "ui_tsAux.h"
#include "ui_tsErrList.h"
#include "ui_tsMemory.h"
#include "ui_tsMZ40.h"
#include "ui_tsMZ40AdvVar.h"
#include "ui_tsParameters.h"
#include "ui_tsProgrammer.h"
#include "ui_tsRefCfgs.h"
#include "ui_tsRefs.h"
#include "ui_tsReset.h"
#include "ui_tsRQ9.h"
#include "ui_tsSafetyStop1.h"
#include "ui_tsSafetyStop2.h"
#include "ui_tsSettings.h"
#include "ui_tsSLS.h"
#include "ui_tsVarious.h"

#include <QAction>
#include <QCloseEvent>
#include <QActionGroup>
#include <QApplication>
#include <QAbstractButton>
#include <QCheckBox>
#include <QLineEdit>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeySequence>
#include <QLayout>
#include <QLabel>
#include <QMenu>
#include <QLocale>
#include <QProcess>
#include <QProgressBar>
#include <QPalette>
#include <QScreen>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>

#include <utility>

// The forms' images live in the core library, whose resources only load when asked for (and the
// macro cannot be used inside a namespace).
static void initFormResources()
{
    Q_INIT_RESOURCE(forms);
}

namespace app {

namespace {

TfrmMain* g_mainWindow = nullptr;

template <typename Form>
QWidget* makePage()
{
    auto* page = new QWidget;
    Form form;
    form.setupUi(page);
    return page;
}

// The tabs of pgcMain, in the form's order.
QWidget* (*const kPages[])() = {
    makePage<Ui::tsRefs>,        makePage<Ui::tsRefCfgs>,     makePage<Ui::tsRQ9>,       makePage<Ui::tsMZ40>,
    makePage<Ui::tsSafetyStop2>, makePage<Ui::tsSafetyStop1>, makePage<Ui::tsSLS>,       makePage<Ui::tsAux>,
    makePage<Ui::tsProgrammer>,  makePage<Ui::tsVarious>,     makePage<Ui::tsParameters>, makePage<Ui::tsMemory>,
    makePage<Ui::tsReset>,       makePage<Ui::tsMZ40AdvVar>,  makePage<Ui::tsErrList>,   makePage<Ui::tsSettings>,
};

} // namespace

TfrmMain* mainWindow()
{
    return g_mainWindow;
}

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
    , arguments(options.arguments)
    , m_ui(std::make_unique<Ui::frmMain>())
{
    g_mainWindow = this;
    construct(options);
    formCreate();
}

TfrmMain::~TfrmMain()
{
    formDestroy();
    if (g_mainWindow == this)
        g_mainWindow = nullptr;
}

void TfrmMain::construct(const StartOptions& options)
{
    initFormResources();
    m_ui->setupUi(this);
    for (auto make : kPages) {
        QWidget* page = make();
        m_ui->pgcMain->addTab(page, page->windowTitle());
    }
    // Up to ten tabs share the bar in the desk mode; a narrower padding keeps them all in view.
    m_ui->pgcMain->tabBar()->setStyleSheet(QStringLiteral("QTabBar::tab { padding: 4px 7px; }"));
    m_side = new QWidget(m_ui->pnlClient);
    Ui::pnlMainSide side;
    side.setupUi(m_side);
    m_side->move(m_ui->pgcMain->geometry().right() + 9, m_ui->pgcMain->y());
    m_multiparallel = new QWidget(m_ui->pnlClient);
    Ui::pnlMainMultiparallel multiparallel;
    multiparallel.setupUi(m_multiparallel);
    m_multiparallel->move(m_side->geometry().right() + 13, m_ui->pgcMain->y());

    // The client area ends 32 pixels below the logo; the window cannot shrink below its first size.
    auto* logo = findChild<QLabel*>(QStringLiteral("imgMoxta"));
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

    programDirectory = options.programDirectory.isEmpty() ? platform::programDirectory() : options.programDirectory;
    if (!programDirectory.endsWith(u'/'))
        programDirectory += u'/';
    dataDirectory = platform::dataDirectoryFor(programDirectory);
    advancedSettingsPath = dataDirectory + QStringLiteral("Adv.ini");
    hintFilePath = dataDirectory + QStringLiteral("Hints.ini");

    tmrColorChange = new QTimer(this);
    tmrColorChange->setObjectName(QStringLiteral("tmrColorChange"));
    tmrColorChange->setSingleShot(true);
    GuiTimer = new QTimer(this);
    GuiTimer->setObjectName(QStringLiteral("GuiTimer"));
    GuiTimer->setInterval(500);
    connect(GuiTimer, &QTimer::timeout, this, &TfrmMain::GuiTimerTimer);
    GuiTimer->start();
    m_lastShownPage = m_ui->pgcMain->currentIndex();
    connect(m_ui->pgcMain, &QTabWidget::currentChanged, this, &TfrmMain::activePageChanged);

    // The window's colour shows around the tabs and the white groups.
    centralWidget()->setAutoFillBackground(true);
    m_clientPalette = centralWidget()->palette();
    QPalette tabs = m_ui->pgcMain->palette();
    tabs.setColor(QPalette::Window, tabs.color(QPalette::Window));
    m_ui->pgcMain->setPalette(tabs);

    m_modeGroup = new QActionGroup(this);
    for (int mode = 0; mode <= ModeMz40Advanced; ++mode) {
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
    if (auto* info = findChild<QWidget*>(QStringLiteral("gbInfo"))) {
        info->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(info, &QWidget::customContextMenuRequested, this,
                [info, resetAct](const QPoint& at) { resetAct->popup(info->mapToGlobal(at)); });
    }

    connect(menuItem(QStringLiteral("mniWarn")), &QAction::triggered, this, &TfrmMain::mniWarnClick);
    connect(menuItem(QStringLiteral("menuFileRestart")), &QAction::triggered, this, &TfrmMain::menuFileRestartClick);
    connect(menuItem(QStringLiteral("mniQuit")), &QAction::triggered, this, &TfrmMain::mniQuitClick);
    connect(menuItem(QStringLiteral("mniMultiparallel")), &QAction::triggered, this, &TfrmMain::mniMultiparallelClick);
    connect(menuItem(QStringLiteral("mniUsbDevice")), &QAction::triggered, this, &TfrmMain::mniUsbDeviceClick);
}

void TfrmMain::formCreate()
{
    programmable = true;
    settings = SettingsStore(platform::prepareSettingsFile(platform::settingsDirectory()));
    setTabShown(tab(QStringLiteral("tsErrList")), false);
    decimalSeparator = QLocale().toString(1.2).at(1);
    advanced = readAdvancedMode(advancedSettingsPath);

    configurationType = QStringLiteral("KVR5E");
    if (device::lib::openConfig(configurationType) < 0) {
        ui::dialogs().information(this, QStringLiteral("MoxtaUsbDll is out of date\n\nProgram terminating"));
        requestTerminate();
        return;
    }

    applyDisplayPreferences();

    arrays.resolve(this);
    connectHandlers();
    memory.reset();
    versionText = platform::versionText();
    config::referenceSelectClick(*this);
    createProgressBar();

    // Widgets draw double-buffered already, so the error list needs nothing more for a flicker-free refresh.
    poll.state() = device::PollIdle;
    if (!poll.start()) {
        ui::dialogs().information(this, QStringLiteral("Not enough resources\n\nProgram terminating"));
        requestTerminate();
    }

    windowCaption = productSelection(settings.hardware()) + u' ' + versionText;
    if (advanced) {
        setTabShown(tab(QStringLiteral("tsSettings")), false);
    } else {
        for (int i = 0; i < pgcMain()->count(); ++i)
            setTabShown(pgcMain()->widget(i), pgcMain()->widget(i) == tab(QStringLiteral("tsSettings")));
        findChild<QMenu*>(QStringLiteral("mniSelectConflict"))->menuAction()->setVisible(false);
    }
    setWindowTitle(windowCaption);
    config::mniResetClick(*this);
    rules::buildActuatorFileMenu(*this);
    menuItem(QStringLiteral("mniMultiparallel"))->setVisible(advanced);
    firstActivation = true;
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
    if (auto* hex = control<QLineEdit>(QStringLiteral("edtHexFile")))
        connect(hex, &QLineEdit::textChanged, this, &TfrmMain::edtHexFileChange);
    config::connectChannelHandlers(*this);
    rules::connectActuatorHandlers(*this);
    connect(menuItem(QStringLiteral("mniReset")), &QAction::triggered, this, [this] { config::mniResetClick(*this); });
    if (auto* snore = control<QComboBox>(QStringLiteral("cmbSnoreTime")))
        connect(snore, &QComboBox::activated, this, [this] { config::cmbSnoreTimeSelect(*this); });
    if (auto* factory = control<QCheckBox>(QStringLiteral("cbxFactoryDefaults")))
        connect(factory, &QCheckBox::clicked, this, [this] { config::updateProgramSaveState(*this); });
}

void TfrmMain::formActivate()
{
    if (!firstActivation)
        return;
    firstActivation = false;

    if (advanced) {
        const char* start = productMode == ModeRq9 ? "tsRQ9"
                            : (productMode == ModeMz40Standard || productMode == ModeMz40Advanced) ? "tsMZ40"
                                                                                                      : "tsRefs";
        setActivePage(tab(QString::fromLatin1(start)));
    } else {
        setActivePage(tab(QStringLiteral("tsSettings")));
    }

    const QString adapter = windows().frmSelectDevice ? windows().frmSelectDevice->adapterName : QString();
    if (adapter.isEmpty()) {
        poll.state() = device::PollIdle;
    } else if (poll.state() == device::PollIdle && device::lib::openSpecificDevice(adapter)) {
        if (device::lib::setUsageOfControlLink(8))
            poll.state() = device::PollSense;
        else
            ui::dialogs().information(
                this, QStringLiteral("The currently selected ZUBREX is too old for configuration.\n\nCannot Read/Program."));
    }

    commandLineText = arguments.join(u' ');

    // LOADSAVE file, or PRODUCT LOADSAVE file.
    if (arguments.size() >= 2) {
        QString file;
        if (arguments[0].toUpper() == u"LOADSAVE")
            file = arguments[1];
        else if (arguments[1].toUpper() == u"LOADSAVE" && arguments.size() >= 3)
            file = arguments[2];
        if (!file.isEmpty() && QFileInfo::exists(file))
            loadSaveRun(file);
    }
    emit firstActivationDone();
}

void TfrmMain::formDestroy()
{
    device::lib::closeConfig();
    const bool locked = poll.mutex().try_lock_for(std::chrono::milliseconds(2000));
    poll.state() = device::PollStop;
    if (locked)
        poll.mutex().unlock();
    poll.waitForEnd(std::chrono::milliseconds(1000));
    device::lib::setUsageOfControlLink(0);
    device::lib::closeDevice();
}

void TfrmMain::requestTerminate(int exitCode)
{
    terminateRequested = true;
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
    if (m_downloadRunning) {
        event->ignore();
        deferUntilDownloadEnds(AfterDownload::Close);
        return;
    }
    QMainWindow::closeEvent(event);
}

void TfrmMain::deferUntilDownloadEnds(AfterDownload action)
{
    // A box in the middle of a download must not be left to an invisible process: the window stays
    // and says so, and does what was asked once the download has ended.
    if (m_afterDownload != AfterDownload::Restart)
        m_afterDownload = action;
    const QString closing = action == AfterDownload::Restart ? QStringLiteral("restarts") : QStringLiteral("closes");
    setStatusText(QStringLiteral("Programming hexfile - the program %1 when the download has ended").arg(closing));
}

void TfrmMain::finishDeferredAction()
{
    const AfterDownload action = std::exchange(m_afterDownload, AfterDownload::Nothing);
    switch (action) {
    case AfterDownload::Nothing: break;
    case AfterDownload::Close: close(); break;
    case AfterDownload::Quit: requestTerminate(); break;
    case AfterDownload::Restart:
        processStarter()(QCoreApplication::applicationFilePath(), arguments);
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
    if (watched == statusBar() && event->type() == QEvent::Resize)
        placeProgressBar();
    return QMainWindow::eventFilter(watched, event);
}

void TfrmMain::createProgressBar()
{
    progressBar = new QProgressBar(statusBar());
    progressBar->setRange(0, 100);
    progressBar->setValue(0);
    progressBar->setTextVisible(false);
    progressBar->hide();
    statusBar()->installEventFilter(this);
    placeProgressBar();
}

void TfrmMain::placeProgressBar()
{
    if (progressBar)
        progressBar->setGeometry(200, 4, std::max(0, statusBar()->width() - 200 - 20), std::max(0, statusBar()->height() - 6));
}

int TfrmMain::progressCallback(int percent)
{
    if (TfrmMain* w = g_mainWindow; w && w->progressBar)
        w->progressBar->setValue(percent & 0xFF);
    QCoreApplication::processEvents();
    return 1;
}

void TfrmMain::menuFileRestartClick()
{
    if (!ui::dialogs().question(this, QStringLiteral("This will restart the program. All settings will be lost !\n\nContinue?"),
                                true))
        return;
    if (m_downloadRunning) {
        deferUntilDownloadEnds(AfterDownload::Restart);
        return;
    }
    // The new instance gets the same arguments, each one whole.
    processStarter()(QCoreApplication::applicationFilePath(), arguments);
    close();
}

void TfrmMain::mniQuitClick()
{
    if (m_downloadRunning) {
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
    auto* group = findChild<QGroupBox*>(QStringLiteral("gbMultiparallelInfo"));
    if (!group || shown == m_multiparallelShown)
        return;
    m_multiparallelShown = shown;
    const int change = group->width() + 12;
    group->setVisible(shown);
    m_multiparallel->setVisible(shown);
    setMinimumWidth(minimumWidth() + (shown ? change : -change));
    resize(minimumWidth(), height());
}

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

void TfrmMain::setActivePage(QWidget* page)
{
    if (!tabShown(page))
        return;
    ++m_pageChangesByProgram;
    m_ui->pgcMain->setCurrentWidget(page);
    --m_pageChangesByProgram;
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

bool TfrmMain::tabShown(QWidget* page) const
{
    const int index = page ? m_ui->pgcMain->indexOf(page) : -1;
    return index >= 0 && m_ui->pgcMain->isTabVisible(index);
}

QWidget* TfrmMain::control(const QString& name) const
{
    if (m_controls.isEmpty())
        for (QWidget* w : findChildren<QWidget*>())
            if (!w->objectName().isEmpty() && !m_controls.contains(w->objectName()))
                m_controls.insert(w->objectName(), w);
    return m_controls.value(name);
}

QAction* TfrmMain::menuItem(const QString& name) const
{
    if (auto* action = findChild<QAction*>(name))
        return action;
    if (auto* menu = findChild<QMenu*>(name))
        return menu->menuAction();
    return nullptr;
}

} // namespace app

#pragma once

// The main window: its state for the whole run, start-up, first activation, product modes, the
// advanced flag and shutdown.

#include "app/controlarrays.h"
#include "app/settingsstore.h"
#include "device/pollthread.h"
#include "rules/actuators.h"
#include "rules/memorytable.h"

#include <QByteArray>
#include <QHash>
#include <QPalette>
#include <QMainWindow>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>

class QAction;
class QActionGroup;
class QLabel;
class QProgressBar;
class QTabWidget;
class QTimer;

namespace Ui {
class frmMain;
}

namespace app {

struct StartOptions
{
    QStringList arguments; // the command line without the program
    QString programDirectory; // empty: the running program's directory
};

// Product modes: the numbers of the Settings > Mode items.
enum ProductMode { ModeTavrin = 0, ModeBelmora = 1, ModeRq9 = 2, ModeMz40Standard = 3, ModeMz40Advanced = 4 };

// Product names used in messages about a box of another mode, by mode.
QString productNameOfMode(int mode);

class TfrmMain : public QMainWindow
{
    Q_OBJECT

public:
    explicit TfrmMain(const StartOptions& options, QWidget* parent = nullptr);
    ~TfrmMain() override;

    // How the program asks the application to end and how Restart starts the new instance; tests
    // replace them.
    static std::function<void(int exitCode)>& quitRequester();
    static std::function<bool(const QString& program, const QStringList& arguments)>& processStarter();

    // Window parts
    QTabWidget* pgcMain() const;
    QWidget* tab(const QString& name) const;
    // A hidden tab is out of reach: no click, key, wheel or shortcut selects it.
    void setTabShown(QWidget* page, bool shown);
    bool tabShown(QWidget* page) const;
    // Makes a shown tab the active page; a change made by the program, not by the user.
    void setActivePage(QWidget* page);
    QAction* menuItem(const QString& name) const;
    // Any control of the window by its name (null when there is none).
    QWidget* control(const QString& name) const;
    template <typename T>
    T* control(const QString& name) const
    {
        return qobject_cast<T*>(control(name));
    }

    // Start-up and shutdown
    void formActivate();
    void menuFileRestartClick();
    void mniQuitClick();
    void mniMultiparallelClick();
    // Sets the progress bar to the low 8 bits of percent and keeps the window painted.
    static int progressCallback(int percent);

    // Colour feedback: back to the normal window colour, stopping the colour timer.
    void restoreNormalColour();
    // Green after success, red after failure, unless the feedback is off; starts the colour timer
    // when it is timed. True when the feedback is off (the caller then reports by message).
    bool colorFeedback(bool success);
    // 0 Off, 1 Timed, 2 Stay colored.
    int colorType() const;

    // Device > Choose USB-device...
    void mniUsbDeviceClick();

    // Configuration files
    void mniLoadClick();
    void mniSaveClick();
    // Loads a file into the session and the window; true when the window shows the file.
    // storedFirmware receives the firmware file name the file carries.
    bool fileLoad(const QString& path, QString* storedFirmware = nullptr);
    // The unattended run of the command line: load, store, save back, end.
    void loadSaveRun(const QString& path);
    QString lastLoadedFile;

    // Talking to the box
    void mniReadClick();
    void mniProgramClick();
    // Before Program and Save: no pulse or wave massage when low and high intensity are equal.
    void massageConsistencyCheck();
    // The firmware download; true when the caller may go on.
    bool downloadFirmware(bool fromProgram);
    void btnFileSelectClick();
    void edtHexFileChange();
    void btnDownloadOnlyClick();
    void btnResetInitLockClick();
    void ButtonResetMemoryPositionsClick();
    // The status bar's one text, painted at once.
    void setStatusText(const QString& text);
    // Waits while the window stays painted and responsive.
    static void waitPainted(int milliseconds);
    // Keeps Read, Program, Load, Save and the initialization-lock reset from overlapping.
    bool operationGuard = false;
    // The guard, the mode check and the poll mutex, in this order; false (and nothing held) when
    // one of them says no.
    bool beginGuardedBoxOperation();

    // Live status
    void GuiTimerTimer();
    // The pause protocol of every GUI procedure that talks to a box: the poll mutex within 1000 ms
    // ("Internal error" otherwise) and the poll state 0. Resume hands the adapter back.
    bool pausePoll();
    void resumePoll(int state);
    // The error list of the Status tab.
    void readErrorList();
    void renderErrorList();
    // The user made another page active.
    void pgcMainChange();

    // Display preferences (Settings menu)
    void applyDisplayPreferences();
    void MenuUnitsClick(QAction* chosen);
    bool inch() const { return m_inch; }
    void rebuildUnitCaptions();
    void mniColorOffClick();
    void mniColorTimedClick();
    void mniColorStayClick();
    void tmrColorChangeTimer();
    void mniShowHintsClick();
    void cmbTimeFormatChange();
    void mniConflictAskClick(QAction* item);
    bool hintsShown() const { return m_hintsShown; }

    // Product modes
    QString productSelection(long hardware);
    void mniModeItemClick(QAction* item);
    void modeVisibility(int mode);
    void reflowGroups();
    void referenceNaming();
    bool modeCheck();
    void mniWarnClick();
    QAction* modeItem(int mode) const;
    int checkedMode() const;

    // State of the whole run
    QStringList arguments;
    QString programDirectory;
    QString dataDirectory;
    QString advancedSettingsPath;
    QString hintFilePath;
    QString limitsFilePath;
    QString commandLineText;
    QString windowCaption;
    QString versionText;
    QString configurationType;
    QChar decimalSeparator;
    SettingsStore settings;
    bool advanced = false;
    bool programmable = true;
    bool firstActivation = false;
    bool terminateRequested = false;
    int productMode = ModeTavrin;
    int connectedBoxMode = ModeTavrin; // the mode the connected box belongs to, from the live status
    ControlArrays arrays;
    device::PollThread poll;
    QProgressBar* progressBar = nullptr;
    QTimer* tmrColorChange = nullptr;
    QTimer* GuiTimer = nullptr;
    QByteArray errorBuffer = QByteArray(64, '\0');
    bool statusTabWasActive = false;

    // The actuator table and, per transfer, whether the actuator conflict question was asked.
    rules::ActuatorTable actuators;
    bool conflictAsked = false;
    // The memory records and their value slots.
    rules::MemoryTable memory;
    // The connected box reports busy (live status).
    bool boxBusy = false;
    // Per reference row: "sls_accelerate" read as 0 (acceleration off), written back as 0, else 1.
    std::array<bool, 4> slsAccelerationOff{};

signals:
    void firstActivationDone();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void construct(const StartOptions& options);
    void formCreate();
    void formDestroy();
    void connectHandlers();
    void requestTerminate(int exitCode = 0);
    void createProgressBar();
    void placeProgressBar();
    void applyMultiparallel(bool shown);
    void activePageChanged(int index);
    // What the user asked for while a firmware download ran; done when it ends.
    enum class AfterDownload { Nothing, Close, Quit, Restart };
    void deferUntilDownloadEnds(AfterDownload action);
    void finishDeferredAction();

    std::unique_ptr<Ui::frmMain> m_ui;
    mutable QHash<QString, QWidget*> m_controls;
    QWidget* m_side = nullptr;
    QWidget* m_multiparallel = nullptr;
    QActionGroup* m_modeGroup = nullptr;
    bool m_multiparallelShown = true; // as designed, until construction hides it
    int m_pageChangesByProgram = 0; // > 0 while the program changes the active page
    int m_lastShownPage = -1;
    bool m_downloadRunning = false;
    AfterDownload m_afterDownload = AfterDownload::Nothing;
    bool m_inch = false; // the length unit in force
    uint32_t m_lastShownPowered = 0;
    bool m_poweredShown = false;
    QPalette m_clientPalette;
    bool m_hintsShown = true;
    void setWindowColour(const QColor& colour);
    void connectPreferenceHandlers();
};

// The one main window of the process (null before it exists).
TfrmMain* mainWindow();

} // namespace app

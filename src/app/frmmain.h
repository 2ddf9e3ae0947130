#pragma once

// The main window: it holds the state of the whole run and wires its controls' events to the
// handlers of the subsystems; start-up, first activation, product modes, display preferences and
// shutdown are its own.

#include "app/settingsstore.h"
#include "device/pollthread.h"
#include "ui/formview.h"

#include <QHash>
#include <QMainWindow>
#include <QPalette>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <memory>

class QActionGroup;
class QImage;
class QProgressBar;
class QTabWidget;
class QTimer;

namespace Ui {
class frmMain;
}

namespace config {
struct WindowState;
}

namespace device {
class BoxOperations;
struct BoxDifferences;
class LiveStatus;
class Multiparallel;
}

namespace app {

struct StartOptions
{
    QStringList arguments; // the command line without the program
    QString programDirectory; // empty: the running program's directory
};

// The manual of a product mode ("KVR5E-configurator.pdf", ...).
QString helpDocumentName(int productMode, bool advanced);

class TfrmMain : public QMainWindow, public ui::FormView
{
    Q_OBJECT

public:
    explicit TfrmMain(const StartOptions& options, QWidget* parent = nullptr);
    ~TfrmMain() override;

    // How the program asks the application to end and how Restart starts the new instance; tests
    // replace them.
    static std::function<void(int exitCode)>& quitRequester();
    static std::function<bool(const QString& program, const QStringList& arguments)>& processStarter();

    // What the window holds for the run.
    config::WindowState& state() { return *m_state; }
    const config::WindowState& state() const { return *m_state; }
    device::PollThread& poll() { return m_poll; }
    SettingsStore& settings() { return m_settings; }
    const QStringList& arguments() const { return m_arguments; }
    // The command line as Restart passes it on (set at the first activation).
    const QString& commandLineText() const { return m_commandLineText; }
    bool firstActivationPending() const { return m_firstActivation; }
    // Start-up asked the application to end (the library refused, or resources failed).
    bool terminateRequested() const { return m_terminateRequested; }
    // The title without a file name: product, " Configurator" and the version.
    const QString& windowCaption() const { return m_windowCaption; }
    QTabWidget* pgcMain() const;
    QProgressBar* progressBar() const { return m_progressBar; }
    QTimer* tmrColorChange() const { return m_tmrColorChange; }

    // ui::FormView
    using ui::FormView::control;
    QWidget* control(const QString& name) const override;
    const ui::ControlArrays& arrays() const override { return m_arrays; }
    QWidget* tab(const QString& name) const override;
    using ui::FormView::tabShown;
    bool tabShown(const QWidget* page) const override;
    void setTabShown(QWidget* page, bool shown) override;
    QWidget* activePage() const override;
    void setActivePage(QWidget* page) override;
    QAction* menuItem(const QString& name) const override;
    QWidget* dialogParent() const override { return const_cast<TfrmMain*>(this); }
    // ui::WindowCalls
    void reflowGroups() override;
    void restoreNormalColour() override;
    bool colorFeedback(bool success) override;
    void setStatusText(const QString& text) override;
    void showFileInTitle(const QString& fileName) override;
    QString fileInTitle() const override { return m_fileInTitle; }
    void showProgress(bool shown) override;
    void setProgress(int percent) override;
    void requestQuit(int exitCode) override;
    bool modeCheck() override;
    void switchMode(int mode) override;

    // Start-up and shutdown
    void formActivate();
    void menuFileRestartClick();
    void mniQuitClick();

    // Talking to the box
    void mniReadClick();
    void mniProgramClick();
    void mniCompareBoxClick();
    void btnFileSelectClick();
    void btnDownloadOnlyClick();
    void btnResetInitLockClick();
    void ButtonResetMemoryPositionsClick();
    void mniUsbDeviceClick();

    // Live status and the Status tab
    void GuiTimerTimer();
    void readErrorList();

    // Configuration files
    void mniLoadClick();
    void mniSaveClick();

    // Display preferences (Settings menu)
    void tmrColorChangeTimer();
    // 0 Off, 1 Timed, 2 Stay colored.
    int colorType() const;
    bool hintsShown() const { return m_hintsShown; }

    // Hints, help and the configuration picture
    void mniHintLanguageClick(QAction* item);
    void mniHelpClick();
    void mniPrintClick();
    // What the picture shows: the window below its menu (standard mode), or every shown tab two per
    // row with the information panel below (advanced mode).
    QImage configurationPicture();

    // Product modes
    void mniModeItemClick(QAction* item);
    QAction* modeItem(int mode) const;
    int checkedMode() const;

signals:
    void firstActivationDone();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Handlers of the menus and controls, wired at start-up.
    void mniMultiparallelClick();
    // The multiparallel panel: Switch (the box of the button's tag), Update and Compare.
    void ButtonDeviceClick(QObject* button);
    void ButtonUpdateDevicesClick();
    void ButtonCompareDevsClick();
    // Set values and Set order of the memory whose number ends the button's name.
    void btnSetMemValuesClick(QObject* button);
    void btnSetMemOrderClick(QObject* button);
    // The user made another page active.
    void pgcMainChange();
    // Loads a file into the session and the window; true when the window shows the file.
    bool fileLoad(const QString& path, QString* storedFirmware = nullptr);
    // The unattended run of the command line: load, store, save back, end.
    void loadSaveRun(const QString& path);
    void MenuUnitsClick(QAction* chosen);
    void mniColorOffClick();
    void mniColorTimedClick();
    void mniColorStayClick();
    void mniShowHintsClick();
    void cmbTimeFormatChange();
    void mniConflictAskClick(QAction* item);
    QString productSelection(long hardware);
    void modeVisibility(int mode);
    void referenceNaming();
    void mniWarnClick();
    void buildHintLanguageMenu();
    QColor windowColour() const;
    QImage informationPicture() const;

    void construct(const StartOptions& options);
    // Compare with box and Verify after programming: their menu items and button, and the window
    // that shows what differs.
    void addComparisonItems();
    void showDifferences(const device::BoxDifferences& found);
    void formCreate();
    void formDestroy();
    void connectHandlers();
    void connectPreferenceHandlers();
    void applyDisplayPreferences();
    void rebuildUnitCaptions();
    void requestTerminate(int exitCode = 0);
    void createProgressBar();
    void placeProgressBar();
    void applyMultiparallel(bool shown);
    void setWindowColour(const QColor& colour);
    void activePageChanged(int index);
    // The user steps to the next (+1) or previous (-1) shown tab, round the end.
    void stepPage(int step);
    // What the user asked for while a firmware download ran; done when it ends.
    enum class AfterDownload { Nothing, Close, Quit, Restart };
    void deferUntilDownloadEnds(AfterDownload action);
    void finishDeferredAction();

    std::unique_ptr<Ui::frmMain> m_ui;
    std::unique_ptr<config::WindowState> m_state;
    SettingsStore m_settings;
    device::PollThread m_poll;
    ui::ControlArrays m_arrays;
    std::unique_ptr<device::LiveStatus> m_live;
    std::unique_ptr<device::BoxOperations> m_box;
    // The window was closed: nothing opens over it any more.
    bool m_closed = false;
    std::unique_ptr<device::Multiparallel> m_parallel;
    // Lookups already made; a missing or renamed entry is looked up again.
    mutable QHash<QString, QPointer<QWidget>> m_controls;

    QStringList m_arguments;
    QString m_programDirectory;
    QString m_advancedSettingsPath;
    QString m_hintFilePath;
    QString m_commandLineText;
    QString m_versionText;
    QString m_windowCaption;
    QString m_fileInTitle;
    bool m_firstActivation = false;
    bool m_terminateRequested = false;

    QWidget* m_side = nullptr;
    QWidget* m_multiparallel = nullptr;
    QActionGroup* m_modeGroup = nullptr;
    QProgressBar* m_progressBar = nullptr;
    QTimer* m_tmrColorChange = nullptr;
    QTimer* m_guiTimer = nullptr;
    QPalette m_clientPalette;
    bool m_multiparallelShown = true; // as designed, until construction hides it
    bool m_hintsShown = true;
    int m_pageChangesByProgram = 0; // > 0 while the program changes the active page
    int m_lastShownPage = -1;
    AfterDownload m_afterDownload = AfterDownload::Nothing;
};

} // namespace app

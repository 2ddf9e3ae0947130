#include "app/application.h"

#include "app/colortime.h"
#include "app/windows.h"
#include "compare/formcompare.h"
#include "compare/formcomparedetails.h"
#include "device/selectdevice.h"
#include "device/unitdatamodule.h"
#include "rules/memorder.h"
#include "rules/memory.h"
#include "ui/dialogs.h"

#include <QApplication>
#include <QFont>
#include <QIcon>

#include <exception>

namespace app {

void setUpApplication()
{
    QApplication::setApplicationName(QStringLiteral("Configurator"));
    // The desktop matches the windows to the menu entry and its icon by this name; the installed
    // theme icon wins, the built-in copy serves a build tree.
    QGuiApplication::setDesktopFileName(QStringLiteral("com.moxta.Configurator"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("com.moxta.Configurator"),
                                                 QIcon(QStringLiteral(":/configurator.png"))));
    QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
}

Windows& windows()
{
    static Windows w;
    return w;
}

Application::Application(const StartOptions& options)
{
    Windows& w = windows();
    m_frmMain = std::make_unique<TfrmMain>(options);
    w.frmMain = m_frmMain.get();
    TfrmMain* main = m_frmMain.get();
    if (main->terminateRequested()) {
        m_frmSelectDevice = std::make_unique<TfrmSelectDevice>(main);
    } else {
        const AdapterStartup startup{main->settings().usbFileName(),
                                     [main](const QString& name) { main->settings().setUsbFileName(name); },
                                     [main] { main->mniQuitClick(); }};
        m_frmSelectDevice = std::make_unique<TfrmSelectDevice>(main, &startup);
    }
    w.frmSelectDevice = m_frmSelectDevice.get();
    m_frmColorTime = std::make_unique<TfrmColorTime>(m_frmMain.get());
    w.frmColorTime = m_frmColorTime.get();
    m_frmMemory = std::make_unique<TfrmMemory>(m_frmMain.get());
    w.frmMemory = m_frmMemory.get();
    m_frmMemOrder = std::make_unique<TfrmMemOrder>(m_frmMain.get());
    w.frmMemOrder = m_frmMemOrder.get();
    m_DM = std::make_unique<TDM>();
    w.DM = m_DM.get();
    m_fCompare = std::make_unique<TfCompare>(m_frmMain.get());
    w.fCompare = m_fCompare.get();
    m_fCompareDetails = std::make_unique<TfCompareDetails>(m_frmMain.get());
    w.fCompareDetails = m_fCompareDetails.get();
}

Application::~Application()
{
    // The small windows are the main window's children; they go before it, which shuts down last.
    m_fCompareDetails.reset();
    m_fCompare.reset();
    m_DM.reset();
    m_frmMemOrder.reset();
    m_frmMemory.reset();
    m_frmColorTime.reset();
    m_frmSelectDevice.reset();
    m_frmMain.reset();
    windows() = Windows();
}

int Application::exec()
{
    if (!m_frmMain->terminateRequested())
        m_frmMain->show();
    return QApplication::exec();
}

int runProgram(const std::function<std::unique_ptr<Application>()>& create)
{
    try {
        const std::unique_ptr<Application> program = create();
        return program->exec();
    } catch (const std::exception& e) {
        ui::dialogs().error(nullptr, QString::fromLocal8Bit(e.what()));
    } catch (...) {
        ui::dialogs().error(nullptr, QStringLiteral("Unknown error"));
    }
    return 1;
}

} // namespace app

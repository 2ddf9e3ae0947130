#pragma once

// The program as a whole: the windows created at start in their fixed order, the message loop, and
// the windows' end.

#include "app/frmmain.h"
#include "app/windows.h"

#include <functional>
#include <memory>

namespace app {

// The application's title and the font the forms are laid out for (the build installs it).
void setUpApplication();

class Application
{
public:
    // Creates the eight windows in order; the main window's start-up runs first.
    explicit Application(const StartOptions& options);
    ~Application();

    TfrmMain& mainWindow() { return *m_frmMain; }

    // Shows the main window (unless start-up asked to end) and runs the message loop.
    int exec();

private:
    std::unique_ptr<TfrmMain> m_frmMain;
    std::unique_ptr<TfrmSelectDevice> m_frmSelectDevice;
    std::unique_ptr<TfrmColorTime> m_frmColorTime;
    std::unique_ptr<TfrmMemory> m_frmMemory;
    std::unique_ptr<TfrmMemOrder> m_frmMemOrder;
    std::unique_ptr<TDM> m_DM;
    std::unique_ptr<TfCompare> m_fCompare;
    std::unique_ptr<TfCompareDetails> m_fCompareDetails;
};

// Creates the program with `create` and runs its message loop. An exception that escapes the
// start-up or the message loop is shown in a message box, and the program ends with status 1.
int runProgram(const std::function<std::unique_ptr<Application>()>& create);

} // namespace app

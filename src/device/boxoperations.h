#pragma once

// Read, Program, the firmware download and the service commands: everything the window asks of the
// connected box, under the pause protocol of the live status.

#include "config/sessionvalues.h"

#include <QObject>
#include <QString>

#include <chrono>
#include <functional>

class TfrmSelectDevice;

namespace config {
struct WindowState;
}

namespace ui {
class FormView;
}

namespace device {

class LiveStatus;
class PollThread;

// The pause protocol of every GUI procedure that talks to a box: the poll mutex within 1000 ms
// ("Internal error" otherwise) and the poll state 0. Resume hands the adapter back in a state; a
// poll that was still sensing or identifying its box goes on doing so rather than watch.
bool pausePoll(PollThread& poll, ui::FormView& view);
void resumePoll(PollThread& poll, int state);

// Keeps the window painted while it waits; what the user does meanwhile waits for the end.
void waitPainted(std::chrono::milliseconds duration);

// What a comparison read: the box, and what it is compared with (the window's values, or what was
// just programmed).
struct BoxDifferences
{
    bool verify = false;
    // Which box, as the window names it.
    QString boxText;
    config::SessionValues box;
    config::SessionValues other;
};

class BoxOperations : public QObject
{
    Q_OBJECT

public:
    BoxOperations(ui::FormView& view, config::WindowState& state, PollThread& poll, LiveStatus& live);

    // File > Read configuration, File > Program configuration.
    void read();
    void program();
    // File > Compare with box: the box read as Read reads it, against the window's values; the
    // window itself is left as it is.
    void compareWithBox();
    // Shows what a comparison or a verify found (the difference window).
    std::function<void(const BoxDifferences&)> showDifferences;
    // The firmware download, on its own (the Download button) or as Program's first step; true
    // when the caller may go on.
    bool downloadFirmware(bool fromProgram);
    void downloadOnly();
    bool downloadRunning() const { return m_downloadRunning; }
    // The Programmer tab's Select button, and the field's change.
    void selectHexFile();
    void hexFileChanged();
    // The initialization-lock reset and the erase of the box's memory positions (through the
    // chosen adapter, reopened for it).
    void resetInitLock();
    void eraseMemoryPositions(const QString& adapterName);
    // Device > Choose USB-device...: the selection dialog, then the chosen adapter handed to the poll.
    void chooseAdapter(TfrmSelectDevice* dialog);

signals:
    // A download has ended, successfully or not.
    void downloadEnded();

private:
    // The guard, the mode check (unless not asked for) and the poll mutex, in this order; false
    // (and nothing held) when one of them says no.
    bool beginGuardedBoxOperation(bool checkMode = true);
    // Reads the box addressed into the session (the window kept painted) and takes out its values;
    // empty, or the library's name of what failed.
    QString readBoxValues(config::SessionValues& values);
    // After a successful Program, with verifying asked for: the box read back against what was
    // programmed. The status text of the outcome, and whether the box holds something else (then
    // `differences` has both sides).
    struct Verification
    {
        QString status;
        bool differs = false;
    };
    Verification verifyProgrammed(BoxDifferences& differences);
    QString boxText(bool readBack) const;
    // The progress callback of the download: the bar, and the window kept painted.
    static int progressCallback(int percent);

    ui::FormView& m_view;
    config::WindowState& m_state;
    PollThread& m_poll;
    LiveStatus& m_live;
    bool m_downloadRunning = false;
};

} // namespace device

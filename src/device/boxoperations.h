#pragma once

// Read, Program, the firmware download and the service commands: everything the window asks of the
// connected box, under the pause protocol of the live status.

#include <QObject>
#include <QString>

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
// ("Internal error" otherwise) and the poll state 0. Resume hands the adapter back in a state.
bool pausePoll(PollThread& poll, ui::FormView& view);
void resumePoll(PollThread& poll, int state);

// Keeps the window painted while it waits; what the user does meanwhile waits for the end.
void waitPainted(int milliseconds);

class BoxOperations : public QObject
{
    Q_OBJECT

public:
    BoxOperations(ui::FormView& view, config::WindowState& state, PollThread& poll, LiveStatus& live);

    // File > Read configuration, File > Program configuration.
    void read();
    void program();
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
    // The guard, the mode check and the poll mutex, in this order; false (and nothing held) when
    // one of them says no.
    bool beginGuardedBoxOperation();
    // The progress callback of the download: the bar, and the window kept painted.
    static int progressCallback(int percent);

    ui::FormView& m_view;
    config::WindowState& m_state;
    PollThread& m_poll;
    LiveStatus& m_live;
    bool m_downloadRunning = false;
};

} // namespace device

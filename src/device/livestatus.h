#pragma once

// The live status: the information panel, the Status tab and the enabling of Read and Program
// follow what the poll thread found; the error list of the Status tab.

#include <QByteArray>

#include <cstdint>

namespace config {
struct WindowState;
}

namespace ui {
class FormView;
}

namespace device {

class Multiparallel;
class PollThread;

class LiveStatus
{
public:
    LiveStatus(ui::FormView& view, config::WindowState& state, PollThread& poll);

    // The GUI timer's tick: redraws what changed.
    void tick();
    // The panel, the buttons and the Status tab as they are with the box identified, or without a
    // box (also while the stand-alone firmware download has the box in its bootloader).
    void drawBox();
    void drawNoBox();
    // The error list of the Status tab: read from the box (under the pause protocol), and drawn
    // from what was read in the chosen time format.
    void readErrorList();
    void renderErrorList();
    // The user made another page active.
    void pageChanged();
    // The time format was changed by the user.
    void timeFormatChanged();
    // The multiparallel panel, refreshed with every redraw of the information panel.
    void setMultiparallel(Multiparallel* panel) { m_multiparallel = panel; }

private:
    ui::FormView& m_view;
    config::WindowState& m_state;
    PollThread& m_poll;
    Multiparallel* m_multiparallel = nullptr;
    QByteArray m_errorBuffer = QByteArray(64, '\0');
    // No read of the error list has succeeded yet, or the last one failed: the list stays empty
    // rather than claiming no errors.
    bool m_errorListUnread = true;
    // The Status tab was the active page when the box went away.
    bool m_statusTabWasActive = false;
    uint32_t m_lastShownPowered = 0;
    bool m_poweredShown = false;
};

} // namespace device

#pragma once

// The boxes of a parallel system on one adapter: the multiparallel panel of the main window (which
// of the master and slaves 1-3 answer, the one addressed, switching and re-opening the adapter),
// and reading one box's whole configuration for the comparison.

#include <QString>
#include <QStringList>

#include <functional>

namespace config {
struct WindowState;
}

namespace ui {
class FormView;
}

namespace device {

class PollThread;

// The position names of device numbers 0 to 3.
inline const QStringList kPositionNames = {QStringLiteral("Master"), QStringLiteral("Slave 1"), QStringLiteral("Slave 2"),
                                           QStringLiteral("Slave 3")};

class Multiparallel
{
public:
    Multiparallel(ui::FormView& view, PollThread& poll);

    // Which boxes answer, from the master up to the first that does not; the addressed one in bold.
    void refresh();
    // A box's Switch button: after two questions, the box every device procedure addresses; true
    // when it was switched (the window then redraws at once).
    bool ButtonDeviceClick(int device);
    // Update: the adapter closed and opened again, then the panel refreshed.
    void ButtonUpdateDevicesClick(const QString& adapterName);

private:
    ui::FormView& m_view;
    PollThread& m_poll;
};

// Runs a device library call on a thread of its own while the window stays painted (what the user
// does meanwhile waits for the end); its result.
int16_t runPainted(const std::function<int16_t()>& call);

// Reads a box's whole configuration, under the pause protocol: the layout's parameter names and
// the box's values as unsigned decimal texts. False after the message of what failed.
bool readBoxParameters(PollThread& poll, ui::FormView& view, const QString& configurationType, int device,
                       QStringList& names, QStringList& values);

} // namespace device

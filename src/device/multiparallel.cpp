#include "device/multiparallel.h"

#include "device/boxoperations.h"
#include "device/moxtalib.h"
#include "device/pollthread.h"
#include "device/unitdatamodule.h"
#include "platform/intervals.h"
#include "ui/dialogs.h"
#include "ui/formview.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QLabel>

#include <array>
#include <chrono>
#include <future>

namespace device {

namespace intervals = platform::intervals;

Multiparallel::Multiparallel(ui::FormView& view, PollThread& poll)
    : m_view(view)
    , m_poll(poll)
{
}

void Multiparallel::refresh()
{
    const int addressed = m_poll.deviceNumber();
    for (int d = 0; d < 4; ++d)
        for (const QString& name : {QStringLiteral("lblDevice%1Hdr").arg(d), QStringLiteral("lblDevice%1").arg(d)})
            if (QWidget* label = m_view.control(name)) {
                QFont font = label->font();
                font.setBold(d == addressed);
                label->setFont(font);
            }

    int present = 0;
    std::array<QString, 4> texts;
    if (!m_poll.mutex().try_lock_for(intervals::timeout(intervals::kAdapterWait))) {
        ui::dialogs().information(m_view.dialogParent(), QStringLiteral("Internal error"));
    } else {
        // The boxes answer these queries only with usage 8; while the poll senses a box the adapter
        // is left in usage 0. Every poll cycle sets the usage it needs first, so the poll is not
        // disturbed.
        lib::setUsageOfControlLink(8);
        // The scan ends at the first box that does not answer.
        for (; present < 4; ++present) {
            QString serial;
            QString date;
            const int16_t p = lib::getProductionInfo(uint8_t(present), serial, date);
            if (p < 0)
                break;
            texts[std::size_t(present)] = hardwareDesignation(uint8_t(p & 0xFF)) + u'\n' + serial;
        }
        m_poll.mutex().unlock();
    }
    for (int d = 0; d < 4; ++d) {
        const bool answers = d < present;
        if (auto* label = m_view.control<QLabel>(QStringLiteral("lblDevice%1").arg(d)))
            label->setText(answers ? texts[std::size_t(d)] : QStringLiteral("Not present"));
        for (const QString& name :
             {QStringLiteral("lblDevice%1Hdr").arg(d), QStringLiteral("lblDevice%1").arg(d), QStringLiteral("ButtonDevice%1").arg(d)})
            if (QWidget* c = m_view.control(name))
                c->setEnabled(answers);
    }
}

bool Multiparallel::ButtonDeviceClick(int device)
{
    if (device < 0 || device > 3 || device == m_poll.deviceNumber())
        return false;
    const auto* header = m_view.control<QLabel>(QStringLiteral("lblDevice%1Hdr").arg(device));
    const auto* label = m_view.control<QLabel>(QStringLiteral("lblDevice%1").arg(device));
    QWidget* parent = m_view.dialogParent();
    if (!ui::dialogs().question(parent, QStringLiteral("Switch to ") + (header ? header->text() : QString()) + QStringLiteral(" :\n\n")
                                            + (label ? label->text() : QString())))
        return false;
    if (!ui::dialogs().question(parent, QStringLiteral("By switching to another device you will loose the configurators current "
                                                       "settings\n\nContinue anyway?"),
                                 true))
        return false;
    // Between two poll cycles: a cycle reading the identity of the box addressed so far must not
    // publish it as the identity of the new one.
    if (!m_poll.mutex().try_lock_for(intervals::timeout(intervals::kAdapterWait))) {
        ui::dialogs().information(parent, QStringLiteral("Internal error"));
        return false;
    }
    m_poll.deviceNumber() = uint8_t(device);
    // The poll reads the identity of the newly addressed box; its redraw refreshes this panel.
    int watching = PollWatch;
    m_poll.state().compare_exchange_strong(watching, PollReadIdentity);
    // Until then no box is identified: the next redraw stops offering the box addressed before.
    m_poll.changed() = 1;
    m_poll.mutex().unlock();
    return true;
}

void Multiparallel::ButtonUpdateDevicesClick(const QString& adapterName)
{
    if (!m_poll.mutex().try_lock_for(intervals::timeout(intervals::kAdapterWait))) {
        ui::dialogs().information(m_view.dialogParent(), QStringLiteral("Internal error"));
        return;
    }
    m_poll.state() = PollIdle;
    lib::closeDevice();
    if (!adapterName.isEmpty() && lib::openSpecificDevice(adapterName) && lib::setUsageOfControlLink(8))
        m_poll.state() = PollSense;
    // The box is sensed afresh (or no longer can be): the next redraw shows that, and Read and
    // Program wait for the identity.
    m_poll.changed() = 1;
    m_poll.mutex().unlock();
    refresh();
}

int16_t runPainted(const std::function<int16_t()>& call)
{
    std::future<int16_t> result = std::async(std::launch::async, call);
    while (result.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
    return result.get();
}

bool readBoxParameters(PollThread& poll, ui::FormView& view, const QString& configurationType, int device,
                       QStringList& names, QStringList& values)
{
    if (!pausePoll(poll, view))
        return false;
    lib::closeConfig();
    const int16_t n = lib::openConfig(configurationType);
    lib::setUsageOfControlLink(8);
    const int16_t r = runPainted([device] { return lib::readConfigRunMode(uint8_t(device)); });
    auto fail = [&](const QString& message) {
        ui::dialogs().information(view.dialogParent(), message);
        resumePoll(poll, PollWatch);
        return false;
    };
    if (r < 1)
        return fail(QStringLiteral("Could not read configuration (") + lib::errorMessage(r) + u')');
    if (n < 0)
        return fail(QStringLiteral("Config illegal (") + QString::number(n) + u')');
    // The block names are asked for as the library's own reading expects; they are not used.
    QString block;
    for (int index = 0; index < 1000 && lib::getConfigMemBlockName(index, block) >= 0; ++index) {
    }
    names.clear();
    values.clear();
    for (int k = 0; k < n; ++k) {
        QString name;
        // A name the library cannot give is a box not read: its values would be compared under no
        // name, each then said missing in a message of its own.
        if (const int16_t status = lib::getConfigNameExt(k, name); status < 0)
            return fail(QStringLiteral("Could not read configuration (") + lib::errorMessage(status) + u')');
        uint16_t value = 0;
        lib::getConfig(name, value);
        names << name;
        values << QString::number(value);
    }
    resumePoll(poll, PollWatch);
    return true;
}

} // namespace device

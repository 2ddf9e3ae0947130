// The live status: the information panel, the Status tab and the enabling of Read and Program
// follow what the poll thread found; the error list of the Status tab.

#include "device/livestatus.h"

#include "config/windowstate.h"
#include "device/boxoperations.h"
#include "device/errorlog.h"
#include "device/moxtalib.h"
#include "device/multiparallel.h"
#include "device/pollthread.h"
#include "device/unitdatamodule.h"
#include "ui/dialogs.h"
#include "ui/formview.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QTreeWidget>

namespace device {

namespace {

const char* const kTypeTexts[] = {"KVR5E", "WZQ", "RQ9", "MZ40STD", "MZ40ADV"};

void setText(const ui::FormView& v, const char* label, const QString& text)
{
    if (auto* l = v.control<QLabel>(QString::fromLatin1(label)))
        l->setText(text);
}

// A menu item ("mni...") or a control of that name.
void enable(const ui::FormView& v, const char* name, bool on)
{
    const QString n = QString::fromLatin1(name);
    if (n.startsWith(QStringLiteral("mni"))) {
        if (QAction* a = v.menuItem(n))
            a->setEnabled(on);
    } else if (QWidget* c = v.control(n)) {
        c->setEnabled(on);
    }
}

} // namespace

LiveStatus::LiveStatus(ui::FormView& view, config::WindowState& state, PollThread& poll)
    : m_view(view)
    , m_state(state)
    , m_poll(poll)
{
}

void LiveStatus::tick()
{
    ui::FormView& v = m_view;
    QWidget* statusTab = v.tab(QStringLiteral("tsErrList"));
    // While a procedure of this thread owns the adapter (a message open during Read) the poll is
    // paused, not gone: the change waits until the adapter is handed back.
    if (!m_poll.mutex().heldByThisThread() && m_poll.changed().exchange(0)) {
        if (m_poll.state() == PollWatch)
            drawBox();
        else
            drawNoBox();
        if (m_multiparallel)
            m_multiparallel->refresh();
    }

    if (m_poll.state() == PollWatch && v.activePage() == statusTab && v.tabShown(statusTab)) {
        const uint32_t powered = m_poll.status().poweredSeconds;
        if (!m_poweredShown || powered != m_lastShownPowered) {
            m_poweredShown = true;
            m_lastShownPowered = powered;
            const int format = v.control<QComboBox>(QStringLiteral("cmbTimeFormat"))->currentIndex();
            setText(v, "lblPowered", poweredText(powered, format));
            if (format == kRelativeSeconds || format == kRelativeDhms)
                renderErrorList();
        }
    }
}

void LiveStatus::drawBox()
{
    ui::FormView& v = m_view;
    const StatusRecord s = m_poll.status();
    m_state.connectedBoxMode = s.boxMode;
    m_state.boxBusy = s.busy;
    for (const char* name : {"btnReadConfig", "mniRead", "btnResetInitLock"})
        enable(v, name, true);
    const auto* factory = v.control<QCheckBox>(QStringLiteral("cbxFactoryDefaults"));
    const bool program = (m_state.programmable || (factory && factory->isChecked())) && !s.busy;
    enable(v, "btnProgramConfig", program);
    enable(v, "mniProgram", program);

    setText(v, "lblSoftware", QString::number(s.software));
    // Always a point, whatever the locale.
    setText(v, "lblVersion", QString::asprintf("%u.%02u", s.version / 100u, s.version % 100u));
    setText(v, "lblSerial", s.serial);
    setText(v, "lblDate", s.date);
    setText(v, "lblHWID", QString::number(s.hardwareId));
    setText(v, "lblHW", hardwareDesignation(s.hardwareId));
    setText(v, "lblRev", s.revision >= 127 ? QStringLiteral("UNKNOWN") : QString::number(s.revision));
    setText(v, "lblType", QString::fromLatin1(kTypeTexts[s.boxMode <= 4 ? s.boxMode : 0]));
    setText(v, "lblActivations", s.activationsValid ? QString::number(s.activations) : QStringLiteral("?"));
    setText(v, "lblSitStands", s.activationsValid ? QString::number(s.sitStands) : QStringLiteral("?"));
    setText(v, "lblReady", s.busy ? QStringLiteral("Busy") : QStringLiteral("Ready"));

    for (QWidget* c : v.control(QStringLiteral("gbInfo"))->findChildren<QWidget*>())
        c->setEnabled(true);
    QWidget* statusTab = v.tab(QStringLiteral("tsErrList"));
    v.setTabShown(statusTab, true);
    if (m_statusTabWasActive)
        v.setActivePage(statusTab);
    m_statusTabWasActive = false;
    if (v.activePage() == statusTab)
        readErrorList();
}

void LiveStatus::drawNoBox()
{
    ui::FormView& v = m_view;
    m_state.boxBusy = false;
    for (const char* name : {"btnReadConfig", "mniRead", "btnResetInitLock", "btnProgramConfig", "mniProgram"})
        enable(v, name, false);
    setText(v, "lblSoftware", QStringLiteral("xxxxx"));
    setText(v, "lblVersion", QStringLiteral("-.--"));
    setText(v, "lblSerial", QStringLiteral("xxx-xxxxxx"));
    setText(v, "lblHW", QStringLiteral("xxxx"));
    setText(v, "lblDate", QStringLiteral("yyyymmdd"));
    setText(v, "lblActivations", QStringLiteral("0"));
    setText(v, "lblSitStands", QStringLiteral("0"));
    for (QWidget* c : v.control(QStringLiteral("gbInfo"))->findChildren<QWidget*>())
        c->setEnabled(false);
    setText(v, "lblPowered", QStringLiteral("----"));
    m_poweredShown = false;
    v.control<QTreeWidget>(QStringLiteral("lvErrors"))->clear();
    // Set by the redraw that finds Status active; a later one, with the tab gone, keeps it.
    QWidget* statusTab = v.tab(QStringLiteral("tsErrList"));
    if (v.activePage() == statusTab && v.tabShown(statusTab))
        m_statusTabWasActive = true;
    v.setTabShown(statusTab, false);
}

void LiveStatus::readErrorList()
{
    if (!pausePoll(m_poll, m_view))
        return;
    m_view.control<QTreeWidget>(QStringLiteral("lvErrors"))->clear();
    lib::setUsageOfControlLink(8);
    m_errorBuffer.fill('\0');
    m_errorListUnread = lib::getErrors(m_poll.deviceNumber(), m_errorBuffer) < 0;
    if (m_errorListUnread) {
        m_errorBuffer.fill('\0');
        ui::dialogs().information(m_view.dialogParent(), QStringLiteral("Could not read error list"));
    } else {
        renderErrorList();
    }
    resumePoll(m_poll, PollWatch);
}

void LiveStatus::renderErrorList()
{
    auto* list = m_view.control<QTreeWidget>(QStringLiteral("lvErrors"));
    auto* format = m_view.control<QComboBox>(QStringLiteral("cmbTimeFormat"));
    if (!list || !format)
        return;
    list->clear();
    if (m_errorListUnread)
        return;
    for (const ErrorRow& row : errorRows(m_errorBuffer, m_poll.status().poweredSeconds, std::max(0, format->currentIndex())))
        list->addTopLevelItem(new QTreeWidgetItem(QStringList{row.powered, row.error}));
    list->viewport()->update();
}

void LiveStatus::pageChanged()
{
    if (m_view.activePage() == m_view.tab(QStringLiteral("tsErrList")) && m_poll.state() == PollWatch)
        readErrorList();
    m_statusTabWasActive = false;
}

void LiveStatus::timeFormatChanged()
{
    if (auto* list = m_view.control<QTreeWidget>(QStringLiteral("lvErrors")); list && list->topLevelItemCount() > 0)
        renderErrorList();
}

} // namespace device

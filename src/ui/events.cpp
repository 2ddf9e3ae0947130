#include "ui/events.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QObject>
#include <QPointer>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>

namespace ui {

namespace {

// > 0 while the program hands the focus back to a corrected control.
int g_returningFocus = 0;

// Watches one control for the focus leaving it. An editable combo box keeps the focus itself (its
// line edit forwards to it), so one filter serves both.
class ExitWatcher : public QObject
{
public:
    ExitWatcher(QWidget* control, std::function<void(QWidget*)> handler)
        : QObject(control)
        , m_control(control)
        , m_handler(std::move(handler))
    {
        control->installEventFilter(this);
    }

    void run() { m_handler(m_control); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_control && event->type() == QEvent::FocusOut && g_returningFocus == 0
            && movedOn(static_cast<QFocusEvent*>(event)))
            m_handler(m_control);
        return QObject::eventFilter(watched, event);
    }

private:
    // Whether the user moved on to another control. Opening the control's own list, a menu or
    // another window is no exit, nor is the focus going to a part of the control (a combo box's list).
    bool movedOn(const QFocusEvent* event) const
    {
        const Qt::FocusReason reason = event->reason();
        if (reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason || reason == Qt::MenuBarFocusReason)
            return false;
        // A window that closes or ends takes the focus with it: nobody moved on.
        if (!m_control->window()->isVisible() || QCoreApplication::closingDown())
            return false;
        for (const QWidget* w = QApplication::focusWidget(); w; w = w->parentWidget())
            if (w == m_control)
                return false;
        return true;
    }

    QPointer<QWidget> m_control;
    std::function<void(QWidget*)> m_handler;
};

// The exit watcher of a control, or of the control its focus widget belongs to (an editable combo
// box's line edit).
ExitWatcher* watcherOf(QWidget* focus)
{
    for (QWidget* w = focus; w; w = w->parentWidget())
        for (QObject* child : w->children())
            if (auto* watcher = dynamic_cast<ExitWatcher*>(child))
                return watcher;
    return nullptr;
}

QString textOf(const QWidget* control)
{
    if (const auto* box = qobject_cast<const QComboBox*>(control))
        return box->currentText();
    if (const auto* edit = qobject_cast<const QLineEdit*>(control))
        return edit->text();
    return QString();
}

} // namespace

namespace {

// The tab controls a control lies in, each with the page holding it.
QList<QPair<QTabWidget*, QWidget*>> pagesOf(QWidget* control)
{
    QList<QPair<QTabWidget*, QWidget*>> pages;
    for (QWidget* w = control; w && w->parentWidget(); w = w->parentWidget())
        if (auto* stack = qobject_cast<QStackedWidget*>(w->parentWidget()))
            if (auto* tabs = qobject_cast<QTabWidget*>(stack->parentWidget()))
                pages.append({tabs, w});
    return pages;
}

void focusOnItsPage(QWidget* control)
{
    for (const auto& [tabs, page] : pagesOf(control))
        if (tabs->isTabVisible(tabs->indexOf(page)) && tabs->isTabEnabled(tabs->indexOf(page)))
            tabs->setCurrentWidget(page);
    control->setFocus(Qt::OtherFocusReason);
}

} // namespace

void returnFocus(QWidget* control)
{
    if (!control)
        return;
    // The user left the page itself: its tab bar already names the new page while the old one is
    // still being put away. The focus comes back once that is done.
    bool pageChanging = false;
    for (const auto& [tabs, page] : pagesOf(control))
        pageChanging = pageChanging || tabs->tabBar()->currentIndex() != static_cast<QStackedWidget*>(page->parentWidget())->currentIndex();
    ++g_returningFocus;
    if (!pageChanging) {
        focusOnItsPage(control);
        --g_returningFocus;
        return;
    }
    QTimer::singleShot(0, qApp, [control = QPointer<QWidget>(control)] {
        if (control)
            focusOnItsPage(control);
        --g_returningFocus;
    });
}

bool finishEntry(QWidget* window)
{
    QWidget* focus = window ? window->focusWidget() : nullptr;
    ExitWatcher* watcher = watcherOf(focus);
    if (!watcher || !focus->isVisible())
        return true;
    auto* control = static_cast<QWidget*>(watcher->parent());
    const QString before = textOf(control);
    watcher->run();
    return textOf(control) == before;
}

void onExit(QWidget* control, std::function<void(QWidget*)> handler)
{
    if (control && handler)
        new ExitWatcher(control, std::move(handler));
}

void onUserEdit(QWidget* control, const std::function<void(QWidget*)>& handler)
{
    if (!control || !handler)
        return;
    if (auto* box = qobject_cast<QComboBox*>(control)) {
        QObject::connect(box, &QComboBox::activated, box, [box, handler] { handler(box); });
        if (QLineEdit* edit = box->lineEdit())
            QObject::connect(edit, &QLineEdit::textEdited, box, [box, handler] { handler(box); });
    } else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        QObject::connect(edit, &QLineEdit::textEdited, edit, [edit, handler] { handler(edit); });
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        QObject::connect(button, &QAbstractButton::clicked, button, [button, handler] { handler(button); });
    } else {
        qWarning("no user edits are known for %s", control->metaObject()->className());
    }
}

} // namespace ui

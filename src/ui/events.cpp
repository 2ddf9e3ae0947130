#include "ui/events.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QObject>
#include <QPointer>

namespace ui {

namespace {

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

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_control && event->type() == QEvent::FocusOut && movedOn(static_cast<QFocusEvent*>(event)))
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

} // namespace

void onExit(QWidget* control, std::function<void(QWidget*)> handler)
{
    if (control && handler)
        new ExitWatcher(control, std::move(handler));
}

void onUserEdit(QWidget* control, std::function<void(QWidget*)> handler)
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

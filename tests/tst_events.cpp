// The two event helpers of the window layer on a bare window: an exit is the focus moving on to
// another control, a user edit is what the user types, chooses or clicks; what the program sets
// is neither.

#include "ui/events.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

#include <functional>

class TestEvents : public QObject
{
    Q_OBJECT

private:
    // The control under test in a window beside a second line edit to move the focus to.
    struct Window
    {
        explicit Window(const QString& kind)
        {
            auto* layout = new QVBoxLayout(&window);
            if (kind == "line edit") {
                control = new QLineEdit;
            } else if (kind == "check box") {
                control = new QCheckBox(QStringLiteral("Variable"));
            } else {
                auto* box = new QComboBox;
                box->setEditable(kind == "editable combo box");
                box->addItems({QStringLiteral("Default"), QStringLiteral("1"), QStringLiteral("2")});
                control = box;
            }
            layout->addWidget(control);
            other = new QLineEdit;
            layout->addWidget(other);
            window.show();
            window.activateWindow();
        }

        QWidget window;
        QWidget* control = nullptr;
        QLineEdit* other = nullptr;
    };

    static void addKinds()
    {
        QTest::addColumn<QString>("kind");
        for (const char* kind : {"line edit", "combo box", "editable combo box", "check box"})
            QTest::newRow(kind) << kind;
    }

private slots:
    void exits_data() { addKinds(); }
    void exits()
    {
        QFETCH(QString, kind);
        Window w(kind);
        QVERIFY(QTest::qWaitForWindowActive(&w.window));
        int exits = 0;
        ui::onExit(w.control, [&exits, &w](QWidget* left) {
            QCOMPARE(left, w.control);
            ++exits;
        });
        w.control->setFocus(Qt::MouseFocusReason);
        QTRY_VERIFY(w.control->hasFocus());
        QCOMPARE(exits, 0);
        // Tab on to the next control: one exit.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTRY_VERIFY(w.other->hasFocus());
        QCOMPARE(exits, 1);
        // Back, and a click elsewhere: another.
        w.control->setFocus(Qt::BacktabFocusReason);
        QTRY_VERIFY(w.control->hasFocus());
        w.other->setFocus(Qt::MouseFocusReason);
        QCOMPARE(exits, 2);
        // A combo box opening its own list has not been left.
        if (auto* box = qobject_cast<QComboBox*>(w.control)) {
            box->setFocus(Qt::MouseFocusReason);
            QTRY_VERIFY(box->hasFocus());
            box->showPopup();
            QTest::qWait(50);
            box->hidePopup();
            QCOMPARE(exits, 2);
        }
    }

    void userEdits_data() { addKinds(); }
    void userEdits()
    {
        QFETCH(QString, kind);
        Window w(kind);
        QVERIFY(QTest::qWaitForWindowActive(&w.window));
        int edits = 0;
        ui::onUserEdit(w.control, [&edits](QWidget*) { ++edits; });
        // What the program sets is no user edit.
        if (auto* edit = qobject_cast<QLineEdit*>(w.control))
            edit->setText(QStringLiteral("12"));
        if (auto* box = qobject_cast<QComboBox*>(w.control)) {
            box->setCurrentIndex(2);
            if (box->isEditable())
                box->setEditText(QStringLiteral("7"));
        }
        if (auto* check = qobject_cast<QCheckBox*>(w.control))
            check->setChecked(true);
        QCOMPARE(edits, 0);
        // What the user does is.
        w.control->setFocus();
        QTRY_VERIFY(w.control->hasFocus());
        if (auto* check = qobject_cast<QCheckBox*>(w.control))
            QTest::keyClick(check, Qt::Key_Space);
        else if (auto* box = qobject_cast<QComboBox*>(w.control); box && !box->isEditable())
            QTest::keyClick(box, Qt::Key_Up);
        else
            QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("5"));
        QVERIFY(edits >= 1);
    }
};

QTEST_MAIN(TestEvents)
#include "tst_events.moc"

#pragma once

// What the layers below the window may know of it: its controls by name, the per-row control
// arrays, its tabs and menu items, and a few calls back up. The main window implements it; a
// test may implement it over the pages alone.

#include "ui/controlarrays.h"

#include <QList>
#include <QString>

class QAction;
class QWidget;

namespace ui {

// What the layers below may ask of the window above them; the window decides how.
class WindowCalls
{
public:
    virtual ~WindowCalls() = default;

    // Stacks the groups of every shown tab again (a group was shown or hidden).
    virtual void reflowGroups() = 0;
    // Colour feedback: the normal window colour, stopping the colour timer.
    virtual void restoreNormalColour() = 0;
    // Green after success, red after failure, unless the feedback is off; true when it is off (the
    // caller then reports by message).
    virtual bool colorFeedback(bool success) = 0;
    // The status bar's one text, painted at once.
    virtual void setStatusText(const QString& text) = 0;
    // The title: the file name and " - " before the window caption; an empty name gives the caption.
    virtual void showFileInTitle(const QString& fileName) = 0;
    virtual QString fileInTitle() const = 0;
    // The progress bar of the status bar: shown or hidden, and its position (0-100).
    virtual void showProgress(bool shown) = 0;
    virtual void setProgress(int percent) = 0;
    // Ends the program with this exit status once control is back in the message loop.
    virtual void requestQuit(int exitCode) = 0;
    // Before talking to the box: the connected box's mode against the window's; it may switch the
    // mode after asking. False when the operation must not go on.
    virtual bool modeCheck() = 0;
    // Switches the product mode as Settings > Mode does.
    virtual void switchMode(int mode) = 0;
};

class FormView : public WindowCalls
{
public:
    // Any control of the window by its object name; null when there is none. A control created
    // after an earlier lookup is found as well.
    virtual QWidget* control(const QString& name) const = 0;
    template <typename T>
    T* control(const QString& name) const
    {
        return qobject_cast<T*>(control(name));
    }
    // The controls of a pattern, '#' standing for 1 to count; null where one is missing. A name
    // without '#' is one control.
    QList<QWidget*> controls(const QString& pattern, int count) const
    {
        if (!pattern.contains(u'#'))
            return {control(pattern)};
        QList<QWidget*> found;
        for (int i = 0; i < count; ++i)
            found << control(resolvePattern(pattern, i));
        return found;
    }
    // The per-reference, per-aux-output and per-memory-slot controls, fixed at start-up.
    virtual const ControlArrays& arrays() const = 0;

    // The pages of the tab control by name, whether their tab is shown, and the active page.
    virtual QWidget* tab(const QString& name) const = 0;
    virtual bool tabShown(const QWidget* page) const = 0;
    bool tabShown(const QString& name) const { return tabShown(tab(name)); }
    // A hidden tab is out of reach: no click, key, wheel or shortcut selects it.
    virtual void setTabShown(QWidget* page, bool shown) = 0;
    virtual QWidget* activePage() const = 0;
    // Makes a shown tab the active page; a change made by the program, not by the user.
    virtual void setActivePage(QWidget* page) = 0;

    // A menu item (or a sub-menu's item) by name; null when there is none.
    virtual QAction* menuItem(const QString& name) const = 0;
    // The parent of messages and dialogs.
    virtual QWidget* dialogParent() const = 0;
};

} // namespace ui

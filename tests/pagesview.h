#pragma once

// The window seam over the main window's pages alone (or any tree of widgets): no main window, no
// poll thread, no settings. The calls back up are recorded for the test to look at.

#include "config/windowstate.h"
#include "ui/formview.h"
#include "ui/pages.h"

#include <QStringList>
#include <QTabWidget>
#include <QWidget>

#include <memory>

namespace testutil {

class PagesView : public ui::FormView
{
public:
    // The sixteen pages and the side panel, every tab shown, the control arrays resolved.
    PagesView()
        : m_root(std::make_unique<QWidget>())
        , m_tabs(new QTabWidget(m_root.get()))
    {
        ui::addPages(m_tabs);
        ui::createSidePanel(m_root.get());
        m_arrays.resolve(*this);
    }
    // Any tree of widgets, without tabs.
    explicit PagesView(std::unique_ptr<QWidget> root)
        : m_root(std::move(root))
    {
    }

    QWidget* root() const { return m_root.get(); }

    using ui::FormView::control;
    QWidget* control(const QString& name) const override { return name.isEmpty() ? nullptr : m_root->findChild<QWidget*>(name); }
    const ui::ControlArrays& arrays() const override { return m_arrays; }
    QWidget* tab(const QString& name) const override { return m_tabs ? m_tabs->findChild<QWidget*>(name) : nullptr; }
    using ui::FormView::tabShown;
    bool tabShown(const QWidget* page) const override
    {
        const int index = (m_tabs && page) ? m_tabs->indexOf(const_cast<QWidget*>(page)) : -1;
        return index >= 0 && m_tabs->isTabVisible(index);
    }
    void setTabShown(QWidget* page, bool shown) override
    {
        if (const int index = (m_tabs && page) ? m_tabs->indexOf(page) : -1; index >= 0)
            m_tabs->setTabVisible(index, shown);
    }
    QWidget* activePage() const override { return m_tabs ? m_tabs->currentWidget() : nullptr; }
    void setActivePage(QWidget* page) override
    {
        if (tabShown(page))
            m_tabs->setCurrentWidget(page);
    }
    QAction* menuItem(const QString&) const override { return nullptr; }
    QWidget* dialogParent() const override { return m_root.get(); }

    void reflowGroups() override { ++reflows; }
    void restoreNormalColour() override { ++normalColours; }
    bool colorFeedback(bool success) override
    {
        feedback << success;
        return false;
    }
    void setStatusText(const QString& text) override { statusTexts << text; }
    void showFileInTitle(const QString& fileName) override { titles << fileName; }
    QString fileInTitle() const override { return titles.value(titles.size() - 1); }
    void showProgress(bool) override {}
    void setProgress(int) override {}
    void requestQuit(int exitCode) override { quits << exitCode; }
    bool modeCheck() override { return true; }
    void switchMode(int mode) override { state.productMode = mode; }

    config::WindowState state;
    int reflows = 0;
    int normalColours = 0;
    QList<bool> feedback;
    QStringList statusTexts;
    QStringList titles;
    QList<int> quits;

private:
    std::unique_ptr<QWidget> m_root;
    QTabWidget* m_tabs = nullptr;
    ui::ControlArrays m_arrays;
};

} // namespace testutil

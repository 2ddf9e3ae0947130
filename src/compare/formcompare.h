#pragma once

// The comparison window ("Compare"): reads every present box of the parallel system and shows per
// parameter group how many parameters were compared and how many differ between the left-most
// box and each other box. The user orders the boxes by dragging the grid's columns.

#include "compare/comparison.h"

#include <QDialog>

#include <functional>
#include <memory>

class QTableWidget;
class TfCompareDetails;

namespace Ui {
class fCompare;
}

namespace ui {
class FormView;
}

class TfCompare : public QDialog
{
    Q_OBJECT

public:
    explicit TfCompare(QWidget* parent = nullptr);
    ~TfCompare() override;

    // What the window needs of the program: the main window (its multiparallel panel tells which
    // boxes are present), how to read a box's parameters, and the details window.
    struct Link
    {
        ui::FormView* view = nullptr;
        std::function<bool(int device, QStringList& names, QStringList& values)> readBox;
        TfCompareDetails* details = nullptr;
    };
    void setLink(Link link) { m_link = std::move(link); }

    // Before the window is shown: a column for every present box.
    void FormShow();
    void ButtonCompareClick();
    // A double click on a result cell opens the details of its group and box.
    void GridDblClick(int row, int column);

    QTableWidget* grid() const;
    QString statusText() const;
    const QStringList& detailLines() const { return m_result.details; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    // The grid's client area changes with its scroll bars too: column 0 follows.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void resetResults(bool columns);
    void columnMoved(int logicalIndex, int oldVisualIndex, int newVisualIndex);
    void setStatus(const QString& text);
    void paintCell(int row, int column);

    std::unique_ptr<Ui::fCompare> m_ui;
    Link m_link;
    compare::RawTable m_raw;
    compare::Comparison m_result;
};

#pragma once

// What the comparison grids share: how a cell is drawn (its colour filled edge to edge, a selected
// cell keeping it, the text inset 3 pixels left and right and 2 top and bottom, a focus frame on the
// focused cell) and how the columns share the width.

#include <QHeaderView>
#include <QStyledItemDelegate>

class QTableWidget;

namespace compare {

// Every column but the first at its fixed width; the first takes what is left (never less). The
// header row then grows to show its longest wrapped text, never below its design height.
void fitColumnZero(QTableWidget* grid, int columnWidth);

// A header whose texts wrap at word boundaries, drawn inset like the cells.
class WrappingHeader : public QHeaderView
{
public:
    WrappingHeader(Qt::Orientation orientation, int designHeight, QWidget* parent = nullptr);
    // The height its texts need at the present column widths.
    int neededHeight() const;

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

private:
    int m_designHeight;
};

class CellDraw : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

} // namespace compare

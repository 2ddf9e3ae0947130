#pragma once

// What the comparison grids share: how a cell is drawn (its colour filled edge to edge, a selected
// cell keeping it, the text inset 3 pixels left and right and 2 top and bottom, a focus frame on the
// focused cell) and how the columns share the width.

#include <QStyledItemDelegate>

class QTableWidget;

namespace compare {

// Every column but the first at its fixed width; the first takes what is left (never less).
void fitColumnZero(QTableWidget* grid, int columnWidth);

class CellDraw : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

} // namespace compare

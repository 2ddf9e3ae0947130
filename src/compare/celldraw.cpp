#include "compare/celldraw.h"

#include <QPainter>
#include <QStyle>
#include <QTableWidget>

namespace compare {

void fitColumnZero(QTableWidget* grid, int columnWidth)
{
    for (int c = 1; c < grid->columnCount(); ++c)
        grid->setColumnWidth(c, columnWidth);
    const int rest = grid->viewport()->width() - (grid->columnCount() - 1) * (columnWidth + 1);
    grid->setColumnWidth(0, std::max(columnWidth, rest));
    if (auto* header = dynamic_cast<WrappingHeader*>(grid->horizontalHeader()))
        header->setFixedHeight(header->neededHeight());
}

namespace {

constexpr int kTextFlags = Qt::AlignCenter | Qt::TextWordWrap;

} // namespace

WrappingHeader::WrappingHeader(Qt::Orientation orientation, int designHeight, QWidget* parent)
    : QHeaderView(orientation, parent)
    , m_designHeight(designHeight)
{
    setDefaultAlignment(Qt::AlignCenter);
    setFixedHeight(designHeight);
}

int WrappingHeader::neededHeight() const
{
    int height = m_designHeight;
    const QFontMetrics metrics(font());
    for (int i = 0; i < count(); ++i) {
        const QString text = model() ? model()->headerData(i, orientation()).toString() : QString();
        const QRect bounds(0, 0, std::max(1, sectionSize(i) - 6), 10000);
        height = std::max(height, metrics.boundingRect(bounds, kTextFlags, text).height() + 4 + 2);
    }
    return height;
}

void WrappingHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const
{
    if (!rect.isValid())
        return;
    // The header row is a row of the grid: the button face, a grid line, the text wrapped, the
    // group column's to the left.
    painter->save();
    painter->fillRect(rect, palette().color(QPalette::Button));
    painter->setPen(palette().color(QPalette::Mid));
    painter->drawLine(rect.topRight(), rect.bottomRight());
    painter->drawLine(rect.bottomLeft(), rect.bottomRight());
    painter->setPen(palette().color(QPalette::ButtonText));
    const int flags = logicalIndex == 0 ? (Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap) : kTextFlags;
    painter->drawText(rect.adjusted(3, 2, -3, -2), flags, model()->headerData(logicalIndex, orientation()).toString());
    painter->restore();
}

void CellDraw::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    painter->save();
    const QVariant background = index.data(Qt::BackgroundRole);
    // The group column is button face even where a row holds nothing yet.
    const QBrush blank = index.column() == 0 ? option.palette.button() : QBrush(Qt::white);
    painter->fillRect(option.rect, background.isValid() ? background.value<QBrush>() : blank);
    const QVariant foreground = index.data(Qt::ForegroundRole);
    painter->setPen(foreground.isValid() ? foreground.value<QBrush>().color() : QColor(Qt::black));
    painter->setFont(option.font);
    const QVariant alignment = index.data(Qt::TextAlignmentRole);
    const int flags = (alignment.isValid() ? alignment.toInt() : int(Qt::AlignCenter)) | Qt::TextWordWrap;
    painter->drawText(option.rect.adjusted(3, 2, -3, -2), flags, index.data(Qt::DisplayRole).toString());
    // The cell keeps its colour; the focus is only a dotted frame, which the style would tint.
    if (option.state & QStyle::State_HasFocus) {
        painter->setPen(QPen(QColor(Qt::black), 1, Qt::DotLine));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(option.rect.adjusted(1, 1, -2, -2));
    }
    painter->restore();
}

} // namespace compare

#include "compare/celldraw.h"

#include <QApplication>
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
    // The section as the style draws it, without its text; then the text, wrapped.
    QStyleOptionHeader option;
    initStyleOption(&option);
    option.rect = rect;
    option.section = logicalIndex;
    option.text.clear();
    painter->save();
    style()->drawControl(QStyle::CE_Header, &option, painter, this);
    painter->restore();
    painter->save();
    painter->setPen(palette().color(QPalette::ButtonText));
    painter->drawText(rect.adjusted(3, 2, -3, -2), kTextFlags, model()->headerData(logicalIndex, orientation()).toString());
    painter->restore();
}

void CellDraw::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    painter->save();
    const QVariant background = index.data(Qt::BackgroundRole);
    painter->fillRect(option.rect, background.isValid() ? background.value<QBrush>() : QBrush(Qt::white));
    const QVariant foreground = index.data(Qt::ForegroundRole);
    painter->setPen(foreground.isValid() ? foreground.value<QBrush>().color() : QColor(Qt::black));
    painter->setFont(option.font);
    const QVariant alignment = index.data(Qt::TextAlignmentRole);
    const int flags = (alignment.isValid() ? alignment.toInt() : int(Qt::AlignCenter)) | Qt::TextWordWrap;
    painter->drawText(option.rect.adjusted(3, 2, -3, -2), flags, index.data(Qt::DisplayRole).toString());
    if (option.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.rect = option.rect.adjusted(1, 1, -1, -1);
        focus.state = option.state | QStyle::State_KeyboardFocusChange | QStyle::State_Item;
        focus.backgroundColor = background.isValid() ? background.value<QBrush>().color() : QColor(Qt::white);
        const QWidget* widget = option.widget;
        (widget ? widget->style() : QApplication::style())->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, widget);
    }
    painter->restore();
}

} // namespace compare

#include "compare/formcompare.h"

#include "compare/celldraw.h"
#include "compare/formcomparedetails.h"
#include "device/multiparallel.h"
#include "ui/dialogs.h"
#include "ui/formview.h"

#include "ui_fCompare.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QResizeEvent>
#include <QSignalBlocker>

namespace {

const QColor kYellow(255, 220, 0);
const QColor kGreen(46, 204, 64);
const QColor kRed(255, 65, 54);
constexpr int kColumnWidth = 130;
constexpr int kDeviceRole = Qt::UserRole; // the device number of a box column's header
constexpr int kTextRole = Qt::UserRole + 1; // the device text of a box column

} // namespace

TfCompare::TfCompare(QWidget* parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::fCompare>())
{
    m_ui->setupUi(this);
    m_ui->Grid->viewport()->installEventFilter(this);
    m_ui->Grid->installEventFilter(this);
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
    QTableWidget* g = m_ui->Grid;
    // Tab leaves the grid for the buttons; the arrow keys move between cells.
    g->setTabKeyNavigation(false);
    // The header row: twice a row's height and some, more when a box's name wraps.
    g->setHorizontalHeader(new compare::WrappingHeader(Qt::Horizontal, 2 * g->verticalHeader()->defaultSectionSize() + 6, g));
    g->horizontalHeader()->setSectionsMovable(true);
    g->horizontalHeader()->setHighlightSections(false);
    g->setWordWrap(true);
    g->setColumnWidth(0, 170);
    g->setItemDelegate(new compare::CellDraw(g));
    connect(g->horizontalHeader(), &QHeaderView::sectionMoved, this, &TfCompare::columnMoved);
    connect(g, &QTableWidget::cellDoubleClicked, this, &TfCompare::GridDblClick);
    connect(m_ui->ButtonCompare, &QPushButton::clicked, this, &TfCompare::ButtonCompareClick);
    connect(m_ui->ButtonClose, &QPushButton::clicked, this, &QDialog::accept);
}

TfCompare::~TfCompare() = default;

QTableWidget* TfCompare::grid() const
{
    return m_ui->Grid;
}

QString TfCompare::statusText() const
{
    return m_ui->PanelStatus->text();
}

void TfCompare::setStatus(const QString& text)
{
    m_ui->PanelStatus->setText(text);
    m_ui->PanelStatus->repaint();
}

void TfCompare::resetResults(bool columns)
{
    QTableWidget* g = m_ui->Grid;
    g->clearContents();
    g->setRowCount(1);
    m_result = compare::Comparison();
    if (columns) {
        g->setColumnCount(2);
        g->setHorizontalHeaderItem(1, new QTableWidgetItem(QString()));
    }
}

void TfCompare::FormShow()
{
    resetResults(true);
    setStatus(QString());
    QTableWidget* g = m_ui->Grid;
    int boxes = 0;
    for (int device = 0; device < 4 && m_link.view; ++device) {
        const auto* label = m_link.view->control<QLabel>(QStringLiteral("lblDevice%1").arg(device));
        if (!label || !label->isEnabled())
            continue;
        // The first box takes the empty column the reset left.
        const int column = ++boxes;
        if (column >= g->columnCount())
            g->setColumnCount(column + 1);
        auto* header = new QTableWidgetItem(device::kPositionNames[device] + u'\n' + label->text());
        header->setData(kDeviceRole, device);
        header->setData(kTextRole, label->text());
        g->setHorizontalHeaderItem(column, header);
    }
    m_ui->ButtonCompare->setEnabled(boxes >= 2);
    compare::fitColumnZero(m_ui->Grid, kColumnWidth);
}

void TfCompare::ButtonCompareClick()
{
    resetResults(false);
    QTableWidget* g = m_ui->Grid;
    m_raw.clear();
    QStringList deviceTexts;
    for (int c = 1; c < g->columnCount(); ++c) {
        const QTableWidgetItem* header = g->horizontalHeaderItem(c);
        if (!header)
            return;
        const int device = header->data(kDeviceRole).toInt();
        const QString position = device::kPositionNames.value(device);
        deviceTexts << header->data(kTextRole).toString();
        setStatus(QStringLiteral("Reading ") + position);
        QStringList names;
        QStringList values;
        bool read = m_link.readBox && m_link.readBox(device, names, values);
        if (read) {
            m_raw.setRowCount(int(names.size()));
            bool namesAgree = true;
            for (int k = 0; k < names.size(); ++k) {
                namesAgree = m_raw.setName(k, names[k]) && namesAgree;
                m_raw.setValue(c, k, values.value(k));
            }
            // A box of another layout: its values would be compared under the wrong names. Said once,
            // not once per parameter, and nothing is compared.
            if (!namesAgree) {
                ui::dialogs().information(this, QStringLiteral("Parameter names are not equal!"));
                read = false;
            }
        }
        if (!read) {
            setStatus(QStringLiteral("Error reading ") + position);
            ui::dialogs().information(this, statusText());
            return;
        }
    }
    m_result = compare::compareGroups(m_raw, deviceTexts);
    for (const QString& message : m_result.messages)
        ui::dialogs().information(this, message);
    compare::addPrefixes(m_result);

    g->setRowCount(std::max<int>(1, int(m_result.groups.size())));
    for (int row = 0; row < m_result.groups.size(); ++row) {
        g->setItem(row, 0, new QTableWidgetItem(m_result.groups[row]));
        const QStringList& cells = m_result.cells[std::size_t(row)];
        for (int c = 1; c < g->columnCount(); ++c)
            g->setItem(row, c, new QTableWidgetItem(cells.value(c - 1)));
        for (int c = 0; c < g->columnCount(); ++c)
            paintCell(row, c);
    }
    setStatus(QStringLiteral("Comparison completed"));
}

void TfCompare::paintCell(int row, int column)
{
    QTableWidgetItem* item = m_ui->Grid->item(row, column);
    if (!item)
        return;
    const QString text = item->text();
    QColor background = Qt::white;
    QColor foreground = Qt::black;
    if (column == 0) {
        background = palette().color(QPalette::Button);
    } else if (!text.isEmpty()) {
        foreground = Qt::white;
        if (text == QStringLiteral("-"))
            background = kYellow;
        else if (column == 1)
            background = text == QStringLiteral("Parameters: 0") ? kYellow : kGreen;
        else
            background = text == QStringLiteral("Different: 0") ? kGreen : kRed;
    }
    item->setBackground(background);
    item->setForeground(foreground);
    item->setTextAlignment(column == 0 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::Alignment(Qt::AlignCenter));
}

void TfCompare::GridDblClick(int row, int column)
{
    QTableWidget* g = m_ui->Grid;
    const QTableWidgetItem* item = g->item(row, column);
    const QTableWidgetItem* group = g->item(row, 0);
    if (column < 2 || !item || !group || group->text().isEmpty() || item->text() == QStringLiteral("-") || !m_link.details)
        return;
    m_link.details->showDetails(group->text(), column - 2, m_result.details, g->horizontalHeaderItem(1)->text(),
                                g->horizontalHeaderItem(column)->text());
}

void TfCompare::columnMoved(int logicalIndex, int oldVisualIndex, int newVisualIndex)
{
    QHeaderView* header = m_ui->Grid->horizontalHeader();
    {
        // The grid's order is the order of its columns: the view's own move is undone and the
        // columns themselves are moved.
        const QSignalBlocker quiet(header);
        header->moveSection(newVisualIndex, oldVisualIndex);
    }
    // The group names stay the left-most column.
    if (logicalIndex == 0 || newVisualIndex == 0 || oldVisualIndex == 0)
        return;
    QTableWidget* g = m_ui->Grid;
    QList<QTableWidgetItem*> boxes;
    for (int c = 1; c < g->columnCount(); ++c)
        boxes << g->takeHorizontalHeaderItem(c);
    boxes.move(oldVisualIndex - 1, newVisualIndex - 1);
    for (int c = 1; c < g->columnCount(); ++c)
        g->setHorizontalHeaderItem(c, boxes[c - 1]);
    resetResults(false);
    setStatus(QString());
}

void TfCompare::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    const int w = width();
    const int h = height();
    m_ui->PanelInfo->setGeometry(8, 8, w - 16, 36);
    m_ui->Grid->setGeometry(8, 52, w - 16, h - 52 - 48);
    m_ui->PanelStatus->setGeometry(8, h - 36, w - 16 - 2 * (80 + 12), 28);
    m_ui->ButtonCompare->move(w - 8 - 80 - 12 - 80, h - 36);
    m_ui->ButtonClose->move(w - 8 - 80, h - 36);
    compare::fitColumnZero(m_ui->Grid, kColumnWidth);
}


bool TfCompare::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_ui->Grid->viewport() && event->type() == QEvent::Resize)
        compare::fitColumnZero(m_ui->Grid, kColumnWidth);
    // Enter on a cell opens its details, as a double click does.
    if (watched == m_ui->Grid && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && m_ui->Grid->currentIndex().isValid()) {
            GridDblClick(m_ui->Grid->currentRow(), m_ui->Grid->currentColumn());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

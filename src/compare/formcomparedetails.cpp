#include "compare/formcomparedetails.h"

#include "compare/celldraw.h"
#include "ui/dialogs.h"

#include "ui_fCompareDetails.h"

#include <QHeaderView>
#include <QResizeEvent>

namespace {

const QColor kGrey(128, 128, 128);
const QColor kGreen(46, 204, 64);
const QColor kRed(255, 65, 54);
constexpr int kColumnWidth = 100;

} // namespace

TfCompareDetails::TfCompareDetails(QWidget* parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::fCompareDetails>())
{
    m_ui->setupUi(this);
    m_ui->Grid->viewport()->installEventFilter(this);
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
    connect(m_ui->ButtonClose, &QPushButton::clicked, this, &QDialog::accept);
    m_ui->Grid->setColumnCount(3);
    m_ui->Grid->setItemDelegate(new compare::CellDraw(m_ui->Grid));
    m_ui->Grid->setWordWrap(true);
    m_ui->Grid->setTabKeyNavigation(false);
}

TfCompareDetails::~TfCompareDetails() = default;

QTableWidget* TfCompareDetails::grid() const
{
    return m_ui->Grid;
}

QString TfCompareDetails::groupText() const
{
    return m_ui->PanelGroup->text();
}

void TfCompareDetails::showDetails(const QString& group, int index, const QStringList& detailLines,
                                   const QString& referenceHeader, const QString& boxHeader)
{
    m_ui->PanelGroup->setText(group);
    QTableWidget* g = m_ui->Grid;
    g->clearContents();
    g->setRowCount(1);
    const QStringList header{QStringLiteral("Parameter"), referenceHeader, boxHeader};
    for (int c = 0; c < 3; ++c)
        g->setItem(0, c, new QTableWidgetItem(header[c]));
    for (const QString& line : detailLines) {
        const QStringList fields = line.split(u':');
        if (fields.size() < 6 || fields[0] != group || fields[index + 3].isEmpty())
            continue;
        const int row = g->rowCount();
        g->setRowCount(row + 1);
        const QStringList cells{fields[1], fields[2], fields[index + 3]};
        for (int c = 0; c < 3; ++c)
            g->setItem(row, c, new QTableWidgetItem(cells[c]));
    }
    for (int row = 0; row < g->rowCount(); ++row) {
        const bool same = g->item(row, 1)->text() == g->item(row, 2)->text();
        for (int c = 0; c < 3; ++c) {
            QTableWidgetItem* item = g->item(row, c);
            item->setBackground(row == 0 || c == 0 ? kGrey : (same ? kGreen : kRed));
            item->setForeground(Qt::white);
            item->setTextAlignment(c == 0 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::Alignment(Qt::AlignCenter));
        }
    }
    fitColumns();
    ui::dialogs().run(this);
}

void TfCompareDetails::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    const int w = width();
    const int h = height();
    m_ui->PanelGroup->setGeometry(8, 8, w - 16, 28);
    m_ui->Grid->setGeometry(8, 44, w - 16, h - 44 - 44);
    m_ui->ButtonClose->move(w - 8 - m_ui->ButtonClose->width(), h - 8 - m_ui->ButtonClose->height());
    fitColumns();
}

void TfCompareDetails::fitColumns()
{
    QTableWidget* g = m_ui->Grid;
    compare::fitColumnZero(g, kColumnWidth);
    // The header row: twice a row's height and some, more when a box's name wraps.
    g->resizeRowToContents(0);
    g->setRowHeight(0, std::max(g->rowHeight(0), 2 * g->verticalHeader()->defaultSectionSize() + 6));
}


bool TfCompareDetails::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_ui->Grid->viewport() && event->type() == QEvent::Resize)
        fitColumns();
    return QDialog::eventFilter(watched, event);
}

#include "compare/frmboxdifferences.h"

#include "ui/dialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

enum Column { ColName, ColGroup, ColLeft, ColRight, ColLeftRaw, ColRightRaw, ColumnCount };

const QColor kAlarm(200, 0, 0);

QPushButton* button(const QString& text, const char* name, QWidget* parent)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    // Enter in the filter box must not close the window.
    b->setAutoDefault(false);
    return b;
}

} // namespace

TfrmBoxDifferences::TfrmBoxDifferences(const ui::FormView& view, const config::WindowState& state, QWidget* parent)
    : QDialog(parent)
    , m_describer(view, state)
{
    setObjectName(QStringLiteral("frmBoxDifferences"));
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
    auto* layout = new QVBoxLayout(this);

    m_boxLabel = new QLabel(this);
    m_boxLabel->setObjectName(QStringLiteral("lblBox"));
    layout->addWidget(m_boxLabel);

    m_choice = new QWidget(this);
    auto* choice = new QHBoxLayout(m_choice);
    choice->setContentsMargins(0, 0, 0, 0);
    choice->addWidget(new QLabel(QStringLiteral("Compared with:"), m_choice));
    m_withWindow = new QRadioButton(QStringLiteral("The &window's values"), m_choice);
    m_withWindow->setObjectName(QStringLiteral("rbWithWindow"));
    m_withFile = new QRadioButton(QStringLiteral("A configuration &file"), m_choice);
    m_withFile->setObjectName(QStringLiteral("rbWithFile"));
    m_fileLabel = new QLabel(m_choice);
    m_fileLabel->setObjectName(QStringLiteral("lblFile"));
    m_fileLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_chooseFile = button(QStringLiteral("C&hoose file..."), "btnChooseFile", m_choice);
    choice->addWidget(m_withWindow);
    choice->addWidget(m_withFile);
    choice->addWidget(m_fileLabel, 1);
    choice->addWidget(m_chooseFile);
    layout->addWidget(m_choice);

    auto* filterRow = new QHBoxLayout;
    m_onlyDifferences = new QCheckBox(QStringLiteral("&Only differences"), this);
    m_onlyDifferences->setObjectName(QStringLiteral("cbxOnlyDifferences"));
    m_onlyDifferences->setChecked(true);
    auto* filterLabel = new QLabel(QStringLiteral("F&ilter:"), this);
    m_filter = new QLineEdit(this);
    m_filter->setObjectName(QStringLiteral("edtFilter"));
    m_filter->setPlaceholderText(QStringLiteral("Parameter, group or value"));
    m_filter->setClearButtonEnabled(true);
    filterLabel->setBuddy(m_filter);
    filterRow->addWidget(m_onlyDifferences);
    filterRow->addSpacing(16);
    filterRow->addWidget(filterLabel);
    filterRow->addWidget(m_filter, 1);
    layout->addLayout(filterRow);

    m_table = new QTableWidget(0, ColumnCount, this);
    m_table->setObjectName(QStringLiteral("tblDifferences"));
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setTabKeyNavigation(false);
    m_table->setWordWrap(false);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 8);
    m_table->horizontalHeader()->setStretchLastSection(false);
    m_table->horizontalHeader()->setSectionResizeMode(ColGroup, QHeaderView::Stretch);
    layout->addWidget(m_table, 1);
    m_empty = new QLabel(m_table->viewport());
    m_empty->setObjectName(QStringLiteral("lblEmpty"));
    m_empty->setAlignment(Qt::AlignCenter);
    m_empty->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_table->viewport()->installEventFilter(this);

    auto* bottom = new QHBoxLayout;
    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("lblSummary"));
    QPushButton* copy = button(QStringLiteral("&Copy"), "btnCopy", this);
    copy->setToolTip(QStringLiteral("Copy the rows shown to the clipboard, tab-separated"));
    QPushButton* close = button(QStringLiteral("Close"), "btnClose", this);
    bottom->addWidget(m_summary, 1);
    bottom->addWidget(copy);
    bottom->addWidget(close);
    layout->addLayout(bottom);

    connect(m_withWindow, &QRadioButton::clicked, this, &TfrmBoxDifferences::compareWithWindow);
    connect(m_withFile, &QRadioButton::clicked, this, &TfrmBoxDifferences::compareWithFile);
    connect(m_chooseFile, &QPushButton::clicked, this, &TfrmBoxDifferences::chooseFile);
    connect(m_onlyDifferences, &QCheckBox::toggled, this, &TfrmBoxDifferences::fill);
    connect(m_filter, &QLineEdit::textChanged, this, &TfrmBoxDifferences::fill);
    connect(copy, &QPushButton::clicked, this, &TfrmBoxDifferences::copy);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    resize(960, 560);
}

void TfrmBoxDifferences::setUp(Setup setup)
{
    m_setup = std::move(setup);
    m_fileValues = config::SessionValues();
    m_file.clear();
    setWindowTitle(m_setup.title);
    m_boxLabel->setText(m_setup.boxText);
    m_choice->setVisible(m_setup.fileChoice);
    m_fileLabel->clear();
    m_withWindow->setChecked(true);
    m_filter->clear();
    m_onlyDifferences->setChecked(true);
    compareWithWindow();
}

void TfrmBoxDifferences::compareWithWindow()
{
    m_withWindow->setChecked(true);
    m_rows = compare::differenceRows(m_setup.box, m_setup.other, m_describer);
    fill();
}

void TfrmBoxDifferences::compareWithFile()
{
    if (m_file.isEmpty()) {
        // Still the window's values until a file has been read.
        m_withWindow->setChecked(true);
        chooseFile();
        return;
    }
    m_withFile->setChecked(true);
    m_rows = compare::differenceRows(m_setup.box, m_fileValues, m_describer);
    fill();
}

void TfrmBoxDifferences::chooseFile()
{
    const QString path = ui::dialogs().openFile(this, QStringLiteral("Compare the box with"),
                                                m_file.isEmpty() ? m_setup.startFile : m_file,
                                                QStringLiteral("Configuration files (*.cfg)"));
    config::SessionValues values;
    const int16_t status = path.isEmpty() || !m_setup.readFile ? 0 : m_setup.readFile(path, values);
    if (!path.isEmpty() && status < 0)
        ui::dialogs().information(this, QStringLiteral("Could not read config file ") + QDir::toNativeSeparators(path) + QStringLiteral(" (")
                                            + (m_setup.statusText ? m_setup.statusText(status) : QString::number(status)) + u')');
    else if (!path.isEmpty() && values.names() != m_setup.box.names())
        ui::dialogs().information(this, QStringLiteral("The file holds another type of configuration than the box:"
                                                       " they cannot be compared"));
    if (path.isEmpty() || status < 0 || values.names() != m_setup.box.names()) {
        // What was compared before stays.
        (m_file.isEmpty() ? m_withWindow : m_withFile)->setChecked(true);
        return;
    }
    m_file = path;
    m_fileValues = std::move(values);
    m_fileLabel->setText(QFileInfo(path).fileName());
    m_fileLabel->setToolTip(path);
    compareWithFile();
}

void TfrmBoxDifferences::fill()
{
    const bool withFile = m_withFile->isChecked() && !m_file.isEmpty();
    const QString otherHeading = withFile ? QStringLiteral("File") : m_setup.otherHeading;
    m_table->setHorizontalHeaderLabels({QStringLiteral("Parameter"), QStringLiteral("Group"), QStringLiteral("Box"), otherHeading,
                                        QStringLiteral("Box (raw)"), otherHeading + QStringLiteral(" (raw)")});
    const QString filter = m_filter->text().trimmed();
    const bool only = m_onlyDifferences->isChecked();
    m_table->setUpdatesEnabled(false);
    m_table->setRowCount(0);
    const auto raw = [](const std::optional<QString>& v) { return v ? *v : QStringLiteral("-"); };
    for (const compare::DifferenceRow& r : m_rows) {
        if (only && !r.differs)
            continue;
        const QStringList cells{r.name, r.group, r.left ? r.leftText : QStringLiteral("-"), r.right ? r.rightText : QStringLiteral("-"),
                                raw(r.left), raw(r.right)};
        if (!filter.isEmpty() && std::none_of(cells.begin(), cells.end(), [&](const QString& c) {
                return c.contains(filter, Qt::CaseInsensitive);
            }))
            continue;
        const int row = m_table->rowCount();
        m_table->insertRow(row);
        for (int c = 0; c < ColumnCount; ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            item->setData(Qt::UserRole, r.differs);
            if (c >= ColLeftRaw)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (r.differs && m_setup.alarm)
                item->setForeground(kAlarm);
            if (r.differs && !only) {
                QFont bold = item->font();
                bold.setBold(true);
                item->setFont(bold);
            }
            m_table->setItem(row, c, item);
        }
    }
    m_table->resizeColumnToContents(ColName);
    for (int c = ColLeft; c < ColumnCount; ++c)
        m_table->resizeColumnToContents(c);
    m_table->setUpdatesEnabled(true);

    m_empty->setText(m_table->rowCount() > 0 ? QString()
                     : !filter.isEmpty()           ? QStringLiteral("Nothing shown matches the filter")
                                                   : QStringLiteral("No parameter differs"));
    m_empty->setVisible(m_table->rowCount() == 0);
    m_empty->setGeometry(m_table->viewport()->rect());

    const int differing = config::differenceCount(m_setup.box, withFile ? m_fileValues : m_setup.other);
    QString summary = config::differenceSummary(differing, int(m_rows.size()));
    if (m_table->rowCount() < (only ? differing : int(m_rows.size())))
        summary += QStringLiteral("; %1 shown").arg(m_table->rowCount());
    m_summary->setText(summary);
    QPalette palette = m_summary->palette();
    palette.setColor(QPalette::WindowText, m_setup.alarm && differing > 0 ? kAlarm : this->palette().color(QPalette::WindowText));
    m_summary->setPalette(palette);
}

QString TfrmBoxDifferences::summary() const
{
    return m_summary->text();
}

QString TfrmBoxDifferences::shownText() const
{
    const bool all = !m_onlyDifferences->isChecked();
    QStringList lines;
    QStringList heading;
    for (int c = 0; c < ColumnCount; ++c)
        heading << m_table->horizontalHeaderItem(c)->text();
    if (all)
        heading << QStringLiteral("Differs");
    lines << heading.join(u'\t');
    for (int row = 0; row < m_table->rowCount(); ++row) {
        QStringList cells;
        for (int c = 0; c < ColumnCount; ++c)
            cells << m_table->item(row, c)->text();
        if (all)
            cells << (m_table->item(row, 0)->data(Qt::UserRole).toBool() ? QStringLiteral("yes") : QString());
        lines << cells.join(u'\t');
    }
    return lines.join(u'\n') + u'\n';
}

bool TfrmBoxDifferences::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_table->viewport() && event->type() == QEvent::Resize)
        m_empty->setGeometry(m_table->viewport()->rect());
    return QDialog::eventFilter(watched, event);
}

void TfrmBoxDifferences::copy()
{
    QApplication::clipboard()->setText(shownText());
}

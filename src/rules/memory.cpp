#include "rules/memory.h"

#include "ui_frmMemory.h"

#include <QComboBox>
#include <QLineEdit>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

TfrmMemory::TfrmMemory(QWidget* parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::frmMemory>())
{
    m_ui->setupUi(this);
    m_ui->btnMemoryOK->setDefault(true);
    connect(m_ui->btnMemoryOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_ui->btnMemoryCancel, &QPushButton::clicked, this, &QDialog::reject);
    // A typed position is a value, not a new item of the list, nor completed from it ("u" stays "u").
    for (int row = 0; row < 8; ++row) {
        positionBox(row)->setInsertPolicy(QComboBox::NoInsert);
        positionBox(row)->setCompleter(nullptr);
    }
}

void TfrmMemory::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Each opening starts at the first reference, its text selected: typing replaces it. Once the
    // window is active, so its own focus handling comes first.
    QTimer::singleShot(0, this, [this] {
        positionBox(0)->setFocus(Qt::OtherFocusReason);
        positionBox(0)->lineEdit()->selectAll();
    });
}

TfrmMemory::~TfrmMemory() = default;

QLabel* TfrmMemory::referenceLabel(int row) const
{
    return findChild<QLabel*>(QStringLiteral("Label%1").arg(row + 1));
}

QComboBox* TfrmMemory::positionBox(int row) const
{
    return findChild<QComboBox*>(QStringLiteral("cmbRef%1").arg(row + 1));
}

QLabel* TfrmMemory::unitLabel(int row) const
{
    return findChild<QLabel*>(QStringLiteral("Label%1").arg(row + 9));
}

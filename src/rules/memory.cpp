#include "rules/memory.h"

#include "ui_frmMemory.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

TfrmMemory::TfrmMemory(QWidget* parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::frmMemory>())
{
    m_ui->setupUi(this);
    m_ui->btnMemoryOK->setDefault(true);
    connect(m_ui->btnMemoryOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_ui->btnMemoryCancel, &QPushButton::clicked, this, &QDialog::reject);
    // A typed position is a value, not a new item of the list.
    for (int row = 0; row < 8; ++row)
        positionBox(row)->setInsertPolicy(QComboBox::NoInsert);
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

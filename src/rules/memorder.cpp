#include "rules/memorder.h"

#include "ui_frmMemOrder.h"

#include <QComboBox>
#include <QPushButton>

TfrmMemOrder::TfrmMemOrder(QWidget* parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::frmMemOrder>())
{
    m_ui->setupUi(this);
    m_ui->btnMemOrderOK->setDefault(true);
    connect(m_ui->btnMemOrderOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_ui->btnMemOrderCancel, &QPushButton::clicked, this, &QDialog::reject);
}

TfrmMemOrder::~TfrmMemOrder() = default;

QComboBox* TfrmMemOrder::orderBox() const
{
    return m_ui->cmbRefOrder;
}

QComboBox* TfrmMemOrder::pairBox() const
{
    return m_ui->cmbRefPair;
}

std::array<QComboBox*, 4> TfrmMemOrder::switchingBoxes() const
{
    return {m_ui->cmbAuxOn, m_ui->cmbAuxOff, m_ui->cmbMasOn, m_ui->cmbMasOff};
}

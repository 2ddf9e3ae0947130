#include "rules/memorder.h"

#include "ui_frmMemOrder.h"

TfrmMemOrder::TfrmMemOrder(QWidget* parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::frmMemOrder>())
{
    m_ui->setupUi(this);
}

TfrmMemOrder::~TfrmMemOrder() = default;

#include "rules/memory.h"

#include "ui_frmMemory.h"

TfrmMemory::TfrmMemory(QWidget* parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::frmMemory>())
{
    m_ui->setupUi(this);
}

TfrmMemory::~TfrmMemory() = default;

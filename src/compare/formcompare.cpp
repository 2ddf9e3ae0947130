#include "compare/formcompare.h"

#include "ui_fCompare.h"

TfCompare::TfCompare(QWidget* parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::fCompare>())
{
    m_ui->setupUi(this);
}

TfCompare::~TfCompare() = default;

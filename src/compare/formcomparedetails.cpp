#include "compare/formcomparedetails.h"

#include "ui_fCompareDetails.h"

TfCompareDetails::TfCompareDetails(QWidget* parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::fCompareDetails>())
{
    m_ui->setupUi(this);
}

TfCompareDetails::~TfCompareDetails() = default;

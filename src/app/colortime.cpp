#include "app/colortime.h"

#include "ui_frmColorTime.h"

TfrmColorTime::TfrmColorTime(QWidget* parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::frmColorTime>())
{
    m_ui->setupUi(this);
}

TfrmColorTime::~TfrmColorTime() = default;

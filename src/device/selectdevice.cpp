#include "device/selectdevice.h"

#include "ui_frmSelectDevice.h"

TfrmSelectDevice::TfrmSelectDevice(QWidget* parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::frmSelectDevice>())
{
    m_ui->setupUi(this);
}

TfrmSelectDevice::~TfrmSelectDevice() = default;

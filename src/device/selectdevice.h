#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class frmSelectDevice;
}

class TfrmSelectDevice : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmSelectDevice(QWidget* parent = nullptr);
    ~TfrmSelectDevice() override;

    // The chosen adapter's name; empty when none is chosen.
    QString adapterName;

private:
    std::unique_ptr<Ui::frmSelectDevice> m_ui;
};

#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class frmMemOrder;
}

class TfrmMemOrder : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmMemOrder(QWidget* parent = nullptr);
    ~TfrmMemOrder() override;

private:
    std::unique_ptr<Ui::frmMemOrder> m_ui;
};

#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class frmColorTime;
}

class TfrmColorTime : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmColorTime(QWidget* parent = nullptr);
    ~TfrmColorTime() override;

private:
    std::unique_ptr<Ui::frmColorTime> m_ui;
};

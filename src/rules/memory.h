#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class frmMemory;
}

class TfrmMemory : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmMemory(QWidget* parent = nullptr);
    ~TfrmMemory() override;

private:
    std::unique_ptr<Ui::frmMemory> m_ui;
};

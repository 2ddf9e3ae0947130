#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class fCompare;
}

class TfCompare : public QDialog
{
    Q_OBJECT

public:
    explicit TfCompare(QWidget* parent = nullptr);
    ~TfCompare() override;

private:
    std::unique_ptr<Ui::fCompare> m_ui;
};

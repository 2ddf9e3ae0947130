#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class fCompareDetails;
}

class TfCompareDetails : public QDialog
{
    Q_OBJECT

public:
    explicit TfCompareDetails(QWidget* parent = nullptr);
    ~TfCompareDetails() override;

private:
    std::unique_ptr<Ui::fCompareDetails> m_ui;
};

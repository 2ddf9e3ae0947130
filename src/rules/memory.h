#pragma once

// The memory values dialog ("Memory settings"): the positions of one memory for references 1 to 8.
// Enter is OK, Escape is Cancel.

#include <QDialog>

#include <memory>

class QComboBox;
class QLabel;

namespace Ui {
class frmMemory;
}

class TfrmMemory : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmMemory(QWidget* parent = nullptr);
    ~TfrmMemory() override;

    // Row 0-7: the reference's name, its position box and the position's unit.
    QLabel* referenceLabel(int row) const;
    QComboBox* positionBox(int row) const;
    QLabel* unitLabel(int row) const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::unique_ptr<Ui::frmMemory> m_ui;
};

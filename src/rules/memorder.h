#pragma once

// The memory order dialog ("Memory order"): the direction and pairing of one memory, and four
// choices the same for all memories. Enter is OK, Escape is Cancel.

#include <QDialog>

#include <array>
#include <memory>

class QComboBox;

namespace Ui {
class frmMemOrder;
}

class TfrmMemOrder : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmMemOrder(QWidget* parent = nullptr);
    ~TfrmMemOrder() override;

    QComboBox* orderBox() const;
    QComboBox* pairBox() const;
    // Aux on, aux off, massage on, massage off: "before" or "after" the drive.
    std::array<QComboBox*, 4> switchingBoxes() const;

private:
    std::unique_ptr<Ui::frmMemOrder> m_ui;
};

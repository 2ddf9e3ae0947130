#pragma once

// The comparison details ("Compare details"): for one parameter group and one compared box, every
// parameter compared with the reference box, green where the two agree and red where they differ.

#include <QDialog>

#include <memory>

class QTableWidget;

namespace Ui {
class fCompareDetails;
}

class TfCompareDetails : public QDialog
{
    Q_OBJECT

public:
    explicit TfCompareDetails(QWidget* parent = nullptr);
    ~TfCompareDetails() override;

    // Fills the window for the group and the box of comparison column index (0 = the box in grid
    // column 2) from the comparison's detail lines; the headers name the reference and the box.
    void showDetails(const QString& group, int index, const QStringList& detailLines, const QString& referenceHeader,
                     const QString& boxHeader);

    QTableWidget* grid() const;
    QString groupText() const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    // The grid's client area changes with its scroll bars too: column 0 follows.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fitColumns();

    std::unique_ptr<Ui::fCompareDetails> m_ui;
};

#pragma once

// The colour time dialog: how many seconds the window stays green or red after talking to a box.

#include <QDialog>

#include <memory>

class QLineEdit;

namespace Ui {
class frmColorTime;
}

class TfrmColorTime : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmColorTime(QWidget* parent = nullptr);
    ~TfrmColorTime() override;

    QLineEdit* edtSeconds() const;
    // Corrects the field: 0 or less gives 1, above 30 gives 30, a text that is no whole number 5.
    void edtSecondsExit();
    static QString correctedSeconds(const QString& text);

private:
    std::unique_ptr<Ui::frmColorTime> m_ui;
};

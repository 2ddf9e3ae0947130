#pragma once

// The window of the differences between a box and another configuration: after Compare with box
// (the box against the window's values or a .cfg file the user picks) and after a verified
// Program (the box against what was programmed). It shows; it changes nothing.

#include "compare/boxdifferences.h"
#include "config/sessionvalues.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;

class TfrmBoxDifferences : public QDialog
{
    Q_OBJECT

public:
    TfrmBoxDifferences(const ui::FormView& view, const config::WindowState& state, QWidget* parent = nullptr);

    struct Setup
    {
        QString title;
        // Which box was read, shown above the list.
        QString boxText;
        config::SessionValues box;
        // The window's values (Compare with box) or what was programmed (verify).
        config::SessionValues other;
        QString otherHeading;
        // The user may compare with a .cfg file instead; how a file's values are read (0 or a status).
        bool fileChoice = false;
        std::function<int16_t(const QString& path, config::SessionValues& values)> readFile;
        std::function<QString(int16_t status)> statusText;
        // Differences in red (a verify that failed).
        bool alarm = false;
        // Where the file chooser starts.
        QString startFile;
    };
    void setUp(Setup setup);

    QTableWidget* table() const { return m_table; }
    // The file the box was last compared with; empty when none.
    const QString& comparedFile() const { return m_file; }
    QString summary() const;
    // The shown rows as the clipboard gets them; with every parameter shown, a last column says
    // which differ.
    QString shownText() const;

protected:
    // The empty table's note follows the table's size.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void compareWithWindow();
    void compareWithFile();
    void chooseFile();
    void fill();
    void copy();

    const compare::ParameterDescriber m_describer;
    Setup m_setup;
    // What the box is compared with now: the setup's values or a file's.
    config::SessionValues m_fileValues;
    QString m_file;
    std::vector<compare::DifferenceRow> m_rows;

    QLabel* m_boxLabel = nullptr;
    QWidget* m_choice = nullptr;
    QRadioButton* m_withWindow = nullptr;
    QRadioButton* m_withFile = nullptr;
    QLabel* m_fileLabel = nullptr;
    QPushButton* m_chooseFile = nullptr;
    QCheckBox* m_onlyDifferences = nullptr;
    QLineEdit* m_filter = nullptr;
    QTableWidget* m_table = nullptr;
    // Over the empty table: why it is empty.
    QLabel* m_empty = nullptr;
    QLabel* m_summary = nullptr;
};

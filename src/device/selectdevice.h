#pragma once

// Choosing the Zubrex adapter: the search at start-up and the selection dialog.

#include <QDialog>
#include <QStringList>

#include <memory>

namespace Ui {
class frmSelectDevice;
}

class TfrmSelectDevice : public QDialog
{
    Q_OBJECT

public:
    // Runs the start-up search; it may show this dialog and remembers the chosen adapter.
    explicit TfrmSelectDevice(QWidget* parent = nullptr);
    ~TfrmSelectDevice() override;

    // The chosen adapter's name; empty when none is chosen.
    QString adapterName;

    // Fills the list with the adapters that can be opened, each entry remembering its adapter.
    void probe(const QStringList& adapters);
    // Splits the library's TAB-separated list.
    static QStringList splitAdapterList(const QString& names, int count);
    void btnSelectClick();
    void btnIdentifyClick();
    // The dialog as Device > Choose USB-device... shows it.
    int showForMenu();

private:
    void startupSearch();

    std::unique_ptr<Ui::frmSelectDevice> m_ui;
};

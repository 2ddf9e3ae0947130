#pragma once

// Choosing the Zubrex adapter: the search at start-up and the selection dialog.

#include <QDialog>
#include <QStringList>

#include <functional>
#include <memory>

namespace Ui {
class frmSelectDevice;
}

// What the start-up search needs of the program: the adapter the settings remember, how to
// remember another choice, and how to end the program.
struct AdapterStartup
{
    QString remembered;
    std::function<void(const QString&)> remember;
    std::function<void()> quit;
};

class TfrmSelectDevice : public QDialog
{
    Q_OBJECT

public:
    // With a start-up, runs the search; it may show this dialog and remembers the chosen adapter.
    explicit TfrmSelectDevice(QWidget* parent = nullptr, const AdapterStartup* startup = nullptr);
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
    void startupSearch(const AdapterStartup& startup);

    std::unique_ptr<Ui::frmSelectDevice> m_ui;
};

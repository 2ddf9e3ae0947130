#include "device/selectdevice.h"

#include "device/moxtalib.h"
#include "ui/dialogs.h"

#include "ui_frmSelectDevice.h"

#include <new>

namespace {

const QString kNoAdapter = QStringLiteral(
    "No usb device found OR device in use\n\nPlease stop Oskelo software if it is running\n\nCannot Read/Program");

} // namespace

TfrmSelectDevice::TfrmSelectDevice(QWidget* parent, const AdapterStartup* startup)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::frmSelectDevice>())
{
    m_ui->setupUi(this);
    connect(m_ui->btnSelect, &QPushButton::clicked, this, &TfrmSelectDevice::btnSelectClick);
    connect(m_ui->btnIdentify, &QPushButton::clicked, this, &TfrmSelectDevice::btnIdentifyClick);
    connect(m_ui->lbxDevices, &QListWidget::itemDoubleClicked, this, &TfrmSelectDevice::btnSelectClick);
    if (startup)
        startupSearch(*startup);
}

TfrmSelectDevice::~TfrmSelectDevice() = default;

QStringList TfrmSelectDevice::splitAdapterList(const QString& names, int count)
{
    if (count <= 0)
        return {};
    return names.split(u'\t').mid(0, count);
}

void TfrmSelectDevice::startupSearch(const AdapterStartup& startup)
{
    QWidget* main = parentWidget();
    QString names;
    int16_t count = 0;
    try {
        count = device::lib::findAllDevices(names);
    } catch (const std::bad_alloc&) {
        ui::dialogs().information(main, QStringLiteral("Not enough memory. Exiting"));
        if (startup.quit)
            startup.quit();
        return;
    }
    adapterName = startup.remembered;
    bool showDialog = false;
    if (!adapterName.isEmpty()) {
        if (device::lib::openSpecificDevice(adapterName)) {
            device::lib::closeDevice();
        } else if (count > 0) {
            showDialog = true;
        } else {
            ui::dialogs().information(main, kNoAdapter);
            adapterName.clear();
        }
    } else if (count == 1) {
        adapterName = splitAdapterList(names, count).value(0);
    } else if (count > 1) {
        showDialog = true;
    } else {
        ui::dialogs().information(main, kNoAdapter);
    }
    probe(splitAdapterList(names, count));
    if (showDialog) {
        ui::dialogs().run(this);
        if (startup.remember)
            startup.remember(adapterName);
    }
}

void TfrmSelectDevice::probe(const QStringList& adapters)
{
    m_ui->lbxDevices->clear();
    for (int k = 0; k < adapters.size(); ++k) {
        const QString& name = adapters[k];
        QString text = QStringLiteral("Device %1").arg(k + 1);
        if (!device::lib::openSpecificDevice(name))
            continue;
        QString serial;
        if (device::lib::getZubrexSerial(serial) && serial.size() == 6)
            text = QStringLiteral("SN: ") + serial;
        if (!device::lib::setUsageOfControlLink(8))
            text += QStringLiteral(" (UNUSABLE)");
        auto* entry = new QListWidgetItem(text, m_ui->lbxDevices);
        entry->setData(Qt::UserRole, name); // entries and adapters pair by name, never by position
        device::lib::closeDevice();
    }
    if (!adapters.isEmpty() && m_ui->lbxDevices->count() > 0)
        m_ui->lbxDevices->setCurrentRow(0);
}

void TfrmSelectDevice::btnSelectClick()
{
    const QListWidgetItem* entry = m_ui->lbxDevices->currentItem();
    adapterName = entry ? entry->data(Qt::UserRole).toString() : QString();
    accept();
}

void TfrmSelectDevice::btnIdentifyClick()
{
    if (const QListWidgetItem* entry = m_ui->lbxDevices->currentItem())
        device::lib::identifyZubrex(entry->data(Qt::UserRole).toString());
}

int TfrmSelectDevice::showForMenu()
{
    QString names;
    const int16_t count = device::lib::findAllDevices(names);
    probe(splitAdapterList(names, count));
    m_ui->lblInfo->setText(QStringLiteral("Select new Zubrex device from the list\n\n"
                                          "To identify a specific device press identify to make the green diode on the "
                                          "selected device light up"));
    return ui::dialogs().run(this);
}

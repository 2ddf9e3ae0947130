#include "device/moxtalib.h"

#include <moxtausbdll.h>

#include <QFile>

namespace device::lib {

namespace {

// Names and texts of the configuration are 8-bit; file names go in the file system's encoding.
QByteArray text8(const QString& s)
{
    return s.toLatin1();
}

QString fromText8(const char* s)
{
    return QString::fromLatin1(s);
}

} // namespace

int16_t findAllDevices(QString& names)
{
    char buffer[1024] = {};
    const int16_t count = zbx_FindAllMoxtaDevices(buffer, sizeof buffer);
    names = fromText8(buffer);
    return count;
}

bool openSpecificDevice(const QString& name)
{
    return (zbx_OpenSpecificDevice(text8(name).constData()) & 0xFF) != 0;
}

void closeDevice()
{
    zbx_CloseDevice();
}

bool setUsageOfControlLink(int usage)
{
    return (zbx_SetUsageOfControlLink(usage) & 0xFF) != 0;
}

uint8_t getData()
{
    unsigned char frame[64] = {};
    return uint8_t(zbx_GetData(frame) & 0xFF);
}

bool getZubrexSerial(QString& serial)
{
    unsigned char buffer[20] = {};
    if ((zbx_GetZubrexSerial(buffer, sizeof buffer) & 0xFF) == 0)
        return false;
    serial.clear();
    for (std::size_t i = 0; i + 1 < sizeof buffer; i += 2) {
        if (buffer[i] == 0 && buffer[i + 1] == 0)
            break;
        serial += QChar(buffer[i]);
    }
    return true;
}

bool identifyZubrex(const QString& name)
{
    return (zbx_IdentifyZubrex(text8(name).constData()) & 0xFF) != 0;
}

int16_t openConfig(const QString& type)
{
    return lin_OpenConfig(text8(type).constData(), 0, 0);
}

int16_t closeConfig()
{
    return lin_CloseConfig();
}

int16_t getConfig(const QString& name, uint16_t& value)
{
    return lin_GetConfig(text8(name).constData(), &value);
}

int16_t getConfigDefault(const QString& name, uint16_t& value)
{
    return lin_GetConfigDefault(text8(name).constData(), &value);
}

int16_t setConfig(const QString& name, uint16_t value)
{
    return lin_SetConfig(text8(name).constData(), value);
}

int16_t getStringConfig(const QString& name, QString& value)
{
    char buffer[232] = {};
    const int16_t status = lin_GetStringConfig(text8(name).constData(), buffer, sizeof buffer);
    value = status >= 0 ? fromText8(buffer) : QString();
    return status;
}

int16_t setStringConfig(const QString& name, const QString& value)
{
    return lin_SetStringConfig(text8(name).constData(), text8(value).constData());
}

int16_t getConfigNameExt(int index, QString& name)
{
    char buffer[100] = {};
    const int16_t status = lin_GetConfigNameExt(buffer, sizeof buffer, index);
    name = status >= 0 ? fromText8(buffer) : QString();
    return status;
}

int16_t getConfigMemBlockName(int index, QString& name)
{
    char buffer[40] = {};
    const int16_t status = lin_GetConfigMemBlockName(buffer, sizeof buffer, index);
    name = status >= 0 ? fromText8(buffer) : QString();
    return status;
}

bool getConfigResetToDefaults()
{
    return lin_GetConfigResetToDefaults() != 0;
}

int16_t setConfigResetToDefaults(bool on)
{
    return lin_SetConfigResetToDefaults(on ? 1 : 0);
}

int16_t loadConfig(const QString& file, QString& hexFile)
{
    char buffer[1024] = {};
    const int16_t status = lin_LoadConfig(QFile::encodeName(file).constData(), buffer, sizeof buffer);
    hexFile = status >= 0 ? QFile::decodeName(buffer) : QString();
    return status;
}

int16_t saveConfig(const QString& file, const QString& hexFile)
{
    const QByteArray hex = QFile::encodeName(hexFile);
    return lin_SaveConfig(QFile::encodeName(file).constData(), hexFile.isEmpty() ? nullptr : hex.constData(), 1);
}

QString errorMessage(int16_t status)
{
    char buffer[64] = {};
    lin_GetErrorMessage(status, buffer, sizeof buffer);
    return fromText8(buffer);
}

int16_t readConfigRunMode(uint8_t device)
{
    return lin_ReadConfigRunMode(device, 1);
}

bool configRunMode()
{
    return lin_ConfigRunMode() != 0;
}

int16_t programConfigRunMode(uint8_t device)
{
    return lin_ProgramConfigRunMode(device, 1, 1);
}

int16_t activateConfig(uint8_t device)
{
    return lin_RC_ActivateConfig(device);
}

int16_t getSoftwareVersion(uint8_t device, int32_t& software, uint16_t& version)
{
    uint16_t a = 0;
    uint16_t b = 0;
    return lin_RC_GetSoftwareVersion(device, &software, &version, &a, &b);
}

int16_t getProductionInfo(uint8_t device, QString& serial, QString& date)
{
    char serialBuffer[16] = {};
    char dateBuffer[16] = {};
    const int16_t status = lin_RC_GetProductionInfo(device, serialBuffer, dateBuffer);
    serialBuffer[15] = 0;
    dateBuffer[15] = 0;
    serial = fromText8(serialBuffer);
    date = fromText8(dateBuffer);
    return status;
}

int16_t getProductInfo(uint8_t device, QByteArray& info)
{
    info = QByteArray(64, '\0');
    return lin_GetRC_ProductInfo(device, reinterpret_cast<unsigned char*>(info.data()));
}

int16_t getActivations(uint8_t device, uint32_t& activations, uint32_t& sitStands)
{
    return lin_RC_GetActivations32(device, &activations, &sitStands);
}

int16_t getConfigBusy(uint8_t device)
{
    return lin_RC_GetConfigBusy(device);
}

int16_t doAny(uint8_t device, uint16_t command, QByteArray* data)
{
    return lin_RC_DoAny(device, command, data ? uint16_t(data->size()) : 0,
                        data ? reinterpret_cast<unsigned char*>(data->data()) : nullptr);
}

int16_t getErrors(uint8_t device, QByteArray& buffer)
{
    buffer = QByteArray(64, '\0');
    return lin_RC_GetErrors(device, reinterpret_cast<unsigned char*>(buffer.data()));
}

int16_t gotoBootMode(uint8_t device)
{
    return lin_RC_GotoBootMode(device);
}

int16_t setHandsetCommand(uint8_t a, uint8_t b)
{
    return lin_SetHandsetCommand(a, b);
}

int16_t download(const QString& hexFile, ProgressCallback progress)
{
    return nbl_Download(QFile::encodeName(hexFile).constData(), 0, progress, 1);
}

int16_t executeApp()
{
    return nbl_ExecuteApp();
}

int16_t changeSpeed(int speed)
{
    return nbl_ChangeSpeed(speed);
}

} // namespace device::lib

#pragma once

// The program's one door to the device library: the maker's C functions with Qt texts, converted
// once here. Statuses stay as the library gives them (negative = error).

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace device::lib {

using ProgressCallback = int (*)(int percent);

// Adapters
int16_t findAllDevices(QString& namesTabSeparated);
bool openSpecificDevice(const QString& name);
void closeDevice();
bool setUsageOfControlLink(int usage);
// The low byte of zbx_GetData's result; above 0x80 while a box answers.
uint8_t getData();
// The adapter serial (UTF-16LE from the library, read as its characters' low bytes); false on failure.
bool getZubrexSerial(QString& serial);
bool identifyZubrex(const QString& name);

// The configuration session
int16_t openConfig(const QString& type);
int16_t closeConfig();
int16_t getConfig(const QString& name, uint16_t& value);
int16_t getConfigDefault(const QString& name, uint16_t& value);
int16_t setConfig(const QString& name, uint16_t value);
int16_t getStringConfig(const QString& name, QString& value);
int16_t setStringConfig(const QString& name, const QString& value);
int16_t getConfigNameExt(int index, QString& name);
int16_t getConfigMemBlockName(int index, QString& name);
bool getConfigResetToDefaults();
int16_t setConfigResetToDefaults(bool on);
int16_t loadConfig(const QString& file, QString& hexFile);
// hexFile empty: none.
int16_t saveConfig(const QString& file, const QString& hexFile);
QString errorMessage(int16_t status);

// Boxes
int16_t readConfigRunMode(uint8_t device);
bool configRunMode();
int16_t programConfigRunMode(uint8_t device);
int16_t activateConfig(uint8_t device);
int16_t getSoftwareVersion(uint8_t device, int32_t& software, uint16_t& version);
int16_t getProductionInfo(uint8_t device, QString& serial, QString& date);
int16_t getProductInfo(uint8_t device, QByteArray& info64);
int16_t getActivations(uint8_t device, uint32_t& activations, uint32_t& sitStands);
int16_t getConfigBusy(uint8_t device);
int16_t doAny(uint8_t device, uint16_t command, QByteArray* data);
int16_t getErrors(uint8_t device, QByteArray& buffer64);
int16_t gotoBootMode(uint8_t device);
int16_t setHandsetCommand(uint8_t a, uint8_t b);

// Bootloader
int16_t download(const QString& hexFile, ProgressCallback progress);
int16_t executeApp();
int16_t changeSpeed(int speed);

} // namespace device::lib

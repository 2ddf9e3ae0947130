#include "app/settingsstore.h"

#include "platform/inifile.h"

namespace app {

namespace {

const QString kSection = QStringLiteral("CONFIG");

QString flag(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace

SettingsStore::SettingsStore(QString settingsFilePath)
    : m_path(std::move(settingsFilePath))
{
}

QString SettingsStore::readText(const QString& key, const QString& defaultValue, int bufferSize) const
{
    if (m_writtenThisRun.contains(kSection, key))
        return m_writtenThisRun.value(kSection, key, defaultValue, bufferSize);
    return platform::getProfileString(kSection, key, defaultValue, bufferSize, m_path);
}

long SettingsStore::readInteger(const QString& key, const QString& defaultValue) const
{
    return platform::atolLike(readText(key, defaultValue, platform::kIniReadBufferSize));
}

void SettingsStore::write(const QString& key, const QString& text)
{
    m_writtenThisRun.setValue(kSection, key, text);
    platform::writeProfileString(kSection, key, text, m_path);
}

QString SettingsStore::hintLanguage() const
{
    return readText(QStringLiteral("HintLanguage"), QStringLiteral("English"), platform::kIniReadBufferSize);
}

void SettingsStore::setHintLanguage(const QString& language)
{
    write(QStringLiteral("HintLanguage"), language);
}

bool SettingsStore::lengthUnitInch() const
{
    return readInteger(QStringLiteral("LengthUnit"), QString()) > 0;
}

void SettingsStore::setLengthUnitInch(bool inch)
{
    write(QStringLiteral("LengthUnit"), flag(inch));
}

long SettingsStore::conflictHandler() const
{
    return readInteger(QStringLiteral("ConflictHandler"), QStringLiteral("0"));
}

void SettingsStore::setConflictHandler(int handler)
{
    write(QStringLiteral("ConflictHandler"), QString::number(handler));
}

long SettingsStore::timeFormat() const
{
    return readInteger(QStringLiteral("TimeFormat"), QStringLiteral("0"));
}

void SettingsStore::setTimeFormat(int index)
{
    write(QStringLiteral("TimeFormat"), QString::number(index));
}

long SettingsStore::colorTimer() const
{
    return readInteger(QStringLiteral("ColorTimer"), QStringLiteral("5"));
}

void SettingsStore::setColorTimer(long seconds)
{
    write(QStringLiteral("ColorTimer"), QString::number(seconds));
}

long SettingsStore::colorType() const
{
    return readInteger(QStringLiteral("ColorType"), QStringLiteral("0"));
}

void SettingsStore::setColorType(int type)
{
    write(QStringLiteral("ColorType"), QString::number(type));
}

bool SettingsStore::showHints() const
{
    return readInteger(QStringLiteral("ShowHints"), QStringLiteral("1")) > 0;
}

void SettingsStore::setShowHints(bool show)
{
    write(QStringLiteral("ShowHints"), flag(show));
}

bool SettingsStore::warnOnChange() const
{
    return readInteger(QStringLiteral("WarnOnChange"), QStringLiteral("1")) > 0;
}

void SettingsStore::setWarnOnChange(bool warn)
{
    write(QStringLiteral("WarnOnChange"), flag(warn));
}

bool SettingsStore::verifyAfterProgram() const
{
    return readInteger(QStringLiteral("VerifyAfterProgram"), QStringLiteral("0")) > 0;
}

void SettingsStore::setVerifyAfterProgram(bool verify)
{
    write(QStringLiteral("VerifyAfterProgram"), flag(verify));
}

long SettingsStore::hardware() const
{
    return readInteger(QStringLiteral("Hardware"), QStringLiteral("0"));
}

void SettingsStore::setHardware(int mode)
{
    write(QStringLiteral("Hardware"), QString::number(mode));
}

QString SettingsStore::usbFileName() const
{
    return readText(QStringLiteral("usbfilename"), QString(), 100);
}

void SettingsStore::setUsbFileName(const QString& name)
{
    write(QStringLiteral("usbfilename"), name);
}

bool readAdvancedMode(const QString& advancedSettingsFilePath)
{
    return platform::readIniBool(kSection, QStringLiteral("AdvancedMode"), QString(), advancedSettingsFilePath);
}

} // namespace app

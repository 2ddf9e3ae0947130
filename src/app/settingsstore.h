#pragma once

// The user's preferences in section "CONFIG" of configurator.ini: one reader and one writer per key.
// Each writer writes at once; a write the file refuses is not reported, and the value then holds
// for this run only (readers of this store give it back).

#include "platform/inifile.h"

#include <QString>

namespace app {

class SettingsStore
{
public:
    // An empty path means there is no settings file: every key reads as its default.
    explicit SettingsStore(QString settingsFilePath = QString());

    const QString& filePath() const { return m_path; }

    // Name of a section of Hints.ini; default "English".
    QString hintLanguage() const;
    void setHintLanguage(const QString& language);

    // false: mm ("0"), true: inch ("1"); default false.
    bool lengthUnitInch() const;
    void setLengthUnitInch(bool inch);

    // 0 Ask, 1 Use configurator, 2 Use configuration; default 0.
    long conflictHandler() const;
    void setConflictHandler(int handler);

    // Item index of the time format list, 0 to 3; default 0.
    long timeFormat() const;
    void setTimeFormat(int index);

    // Seconds the window stays coloured after communication; default 5.
    long colorTimer() const;
    void setColorTimer(long seconds);

    // 0 Off, 1 Timed, 2 Stay colored; default 0.
    long colorType() const;
    void setColorType(int type);

    // default true
    bool showHints() const;
    void setShowHints(bool show);

    // default true
    bool warnOnChange() const;
    void setWarnOnChange(bool warn);

    // Programming reads the box back and compares; default false.
    bool verifyAfterProgram() const;
    void setVerifyAfterProgram(bool verify);

    // Product mode 0 to 4; default 0.
    long hardware() const;
    void setHardware(int mode);

    // Identity string of the chosen adapter, at most 99 characters; default empty.
    QString usbFileName() const;
    void setUsbFileName(const QString& name);

private:
    QString readText(const QString& key, const QString& defaultValue, int bufferSize) const;
    long readInteger(const QString& key, const QString& defaultValue) const;
    void write(const QString& key, const QString& text);

    QString m_path;
    // What this run wrote, read as the file would read it, whether or not the file took it.
    platform::IniFile m_writtenThisRun;
};

// AdvancedMode from section "CONFIG" of Adv.ini (never written by the program); default false.
bool readAdvancedMode(const QString& advancedSettingsFilePath);

} // namespace app

#pragma once

// Where the program finds its installed data files and keeps the user's settings.

#include <QString>

class QFileInfo;

#include <functional>

namespace platform {

// Directory of the running program file, ending in '/'.
QString programDirectory();

// The program directory when "Actuators.ini" is beside the program, otherwise its parent
// (programDirectory + "../"), whether or not the file is there either.
QString dataDirectoryFor(const QString& programDirectory);

// Looks an environment variable up; empty when it is not set.
using EnvironmentLookup = std::function<QString(const char* name)>;
QString systemEnvironment(const char* name);

// "$APPDATA/Moxta/configurator" when APPDATA is set and not empty, else
// "$XDG_CONFIG_HOME/Moxta/configurator" (an absolute XDG_CONFIG_HOME only), else
// "<home>/.config/Moxta/configurator". Empty when there is no home to put it in: the settings then
// live for the run only, never in a folder at the root of the file system.
QString settingsDirectory(const EnvironmentLookup& env = systemEnvironment);

// Creates the settings directory with its missing parents and gives the settings file path,
// "<settings directory>/configurator.ini". A directory that cannot be made is not reported: reads
// then give defaults and writes fail quietly.
QString prepareSettingsFile(const QString& settingsDirectory);

// A file nobody may write is read-only for the program too, as it would be on Windows, even when
// it runs as root.
bool nobodyMayWrite(const QFileInfo& file);

} // namespace platform

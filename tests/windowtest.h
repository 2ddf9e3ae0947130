#pragma once

// What every window test needs: an isolated settings directory, a program directory of its own
// (with or without Adv.ini), a bench without LIN delays, a dialog script, and no real quitting or
// process starting.

#include "app/application.h"
#include "app/frmmain.h"
#include "config/windowstate.h"
#include "device/pollthread.h"
#include "platform/inifile.h"
#include "platform/intervals.h"
#include "ui/dialogs.h"

#include <moxtasim.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include "testutil.h"

namespace testutil {

// The program's pauses run ten times faster in the tests, its timeouts four times: a box still gets
// its settling time relative to the poll, and a procedure still waits for a held adapter far longer
// than a poll cycle takes.
inline constexpr int kPauseDivisor = 10;
inline constexpr int kTimeoutDivisor = 4;

// The poll's pause and a window procedure's wait for the adapter, as the tests run them.
inline int pollPauseMs()
{
    return int(platform::intervals::pause(platform::intervals::kPollPause).count());
}
inline int adapterWaitMs()
{
    return int(platform::intervals::timeout(platform::intervals::kAdapterWait).count());
}

// Waits until the live status shows the box (a few poll cycles; generous for a loaded machine);
// with watching, also until the poll has gone on to watch it.
inline bool waitForBox(app::TfrmMain& w, bool watching = false, int timeoutMs = 10000)
{
    return QTest::qWaitFor(
        [&] {
            w.GuiTimerTimer();
            return w.control(QStringLiteral("btnReadConfig"))->isEnabled() && (!watching || w.poll().state() == device::PollWatch);
        },
        timeoutMs);
}

inline const char* const kQuietBench = "[bench]\nlin_baud=0\n[adapter:ZUBREX-0001]\nserial=100001\n[box:ZUBREX-0001:0]\n";

class WindowTest
{
public:
    // advancedIni: the text of Adv.ini, or a null text for none.
    explicit WindowTest(const QByteArray& advancedIni = QByteArray())
    {
        app::setUpApplication();
        platform::intervals::setTestDivisors(kPauseDivisor, kTimeoutDivisor);
        qputenv("APPDATA", appData.path().toLocal8Bit());
        moxtasim::reset();
        moxtasim::loadBench(kQuietBench);
        writeFile(program.filePath(QStringLiteral("Actuators.ini")), QByteArray());
        // The limits files we ship: the value rules check the boxes against them.
        for (const char* limits : {"limits.ini", "limitsWZQ.ini"})
            QFile::copy(QStringLiteral(TEST_DATA_DIR "/../../data/") + limits, program.filePath(QString::fromLatin1(limits)));
        if (!advancedIni.isNull())
            writeFile(program.filePath(QStringLiteral("Adv.ini")), advancedIni);
        app::TfrmMain::quitRequester() = [this](int exitCode) {
            ++quitRequests;
            lastExitCode = exitCode;
        };
        app::TfrmMain::processStarter() = [this](const QString& programFile, const QStringList& arguments) {
            startedProgram = programFile;
            startedArguments = arguments;
            return true;
        };
    }

    std::unique_ptr<app::TfrmMain> start(const QStringList& arguments = {})
    {
        app::StartOptions options;
        options.arguments = arguments;
        options.programDirectory = program.path();
        return std::make_unique<app::TfrmMain>(options);
    }

    // The whole program's windows (the memory order dialog among them), the main window first.
    std::unique_ptr<app::Application> startApplication(const QStringList& arguments = {})
    {
        app::StartOptions options;
        options.arguments = arguments;
        options.programDirectory = program.path();
        return std::make_unique<app::Application>(options);
    }

    QString settingsFile() const { return appData.filePath(QStringLiteral("Moxta/configurator/configurator.ini")); }
    // The settings file with this one setting.
    void writeSetting(const QByteArray& key, const QByteArray& value)
    {
        QDir().mkpath(appData.filePath(QStringLiteral("Moxta/configurator")));
        writeFile(settingsFile(), "[CONFIG]\n" + key + "=" + value + "\n");
    }
    // One more setting in the settings file.
    void addSetting(const QString& key, const QString& value)
    {
        QDir().mkpath(appData.filePath(QStringLiteral("Moxta/configurator")));
        if (!platform::writeProfileString(QStringLiteral("CONFIG"), key, value, settingsFile()))
            qFatal("cannot write the setting %s", qPrintable(key));
    }

    QTemporaryDir appData;
    QTemporaryDir program;
    ui::ScriptedDialogs script;
    int quitRequests = 0;
    int lastExitCode = -1;
    QString startedProgram;
    QStringList startedArguments;
};

// The whole program on a simulated bench: the bench and the settings first, then the start with the
// given arguments (and the first activation, unless the test shows the window first).
class BenchWindow
{
public:
    explicit BenchWindow(const QByteArray& bench, const QByteArray& advancedIni = QByteArray())
        : t(advancedIni)
    {
        moxtasim::loadBench(bench.toStdString());
    }

    void start(const QStringList& arguments, bool activate = true)
    {
        program = t.startApplication(arguments);
        w = &program->mainWindow();
        if (activate)
            w->formActivate();
    }

    // Until the live status shows the box; with watching, also until the poll watches it.
    bool identified(bool watching = false) { return waitForBox(*w, watching); }
    QString statusText() const { return w->statusBar()->currentMessage(); }
    QAbstractButton* button(const QString& name) const { return w->control<QAbstractButton>(name); }
    QString problems() const { return t.script.problems().join(u'\n'); }

    WindowTest t;
    std::unique_ptr<app::Application> program;
    app::TfrmMain* w = nullptr;
};

} // namespace testutil

// Start-up cost: the program's own start (the eight windows, the main window's start-up) up to the
// end of the first activation, then it quits. Prints the time since the process started and the
// peak resident memory; bench/startup.sh runs it repeatedly.

#include "app/application.h"
#include "app/frmmain.h"

#include <QApplication>
#include <QFile>
#include <QTimer>

#include <cstdio>
#include <ctime>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// Seconds since this process started, from the kernel's start time (clock-tick resolution).
double secondsSinceProcessStart()
{
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray text = stat.readAll();
    // Field 22, counted after the command name in parentheses.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 20)
        return -1;
    const double started = fields[19].toDouble() / double(sysconf(_SC_CLK_TCK));
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9 - started;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    app::setUpApplication();
    app::StartOptions options;
    options.arguments = QApplication::arguments().mid(1);
    app::Application program(options);
    QObject::connect(&program.mainWindow(), &app::TfrmMain::firstActivationDone, [] {
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        std::printf("first_activation_ms=%.0f peak_rss_kib=%ld\n", secondsSinceProcessStart() * 1000.0, usage.ru_maxrss);
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    });
    return program.exec();
}

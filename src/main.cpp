#include "platform/version.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Configurator"));
    QApplication::setApplicationVersion(platform::versionText());

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Configurator ") + platform::versionText());
    window.resize(800, 600);
    window.show();
    return QApplication::exec();
}

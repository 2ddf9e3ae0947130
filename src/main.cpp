#include "app/application.h"

#include <QApplication>
#include <QFont>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Configurator"));
    // The forms are laid out for this font; the build installs it.
    QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 9));

    app::StartOptions options;
    options.arguments = QApplication::arguments().mid(1);
    app::Application program(options);
    return program.exec();
}

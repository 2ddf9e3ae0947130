#include "app/application.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    app::setUpApplication();
    app::StartOptions options;
    options.arguments = QApplication::arguments().mid(1);
    return app::runProgram([&options] { return std::make_unique<app::Application>(options); });
}

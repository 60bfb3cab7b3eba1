#include "app/Program.h"
#include "ui/MainWindow.h"
#include "ui/UiFont.h"

#include <QApplication>
#include <QDir>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KOVR NEVRA"));
    QApplication::setFont(kovrFont());
    // kovr.ini lives in the working directory current at start.
    Program program(QDir::currentPath());
    program.mainWindow().show();
    return app.exec();
}

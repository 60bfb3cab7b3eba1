#include "app/Program.h"
#include "app/ProgramArguments.h"
#include "ui/MainWindow.h"
#include "ui/UiFont.h"

#include <QApplication>
#include <QDir>

int main(int argc, char* argv[]) {
    // --help and --version answer before a window system is asked for: no display needed.
    QStringList raw;
    for (int i = 0; i < argc; ++i)
        raw.append(QString::fromLocal8Bit(argv[i]));
    if (const std::optional<int> answered = ProgramArguments::answerWithoutWindow(raw))
        return *answered;

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KOVR NEVRA"));
    // The desktop entry's name, so that the window is matched to it (Wayland's app id).
    QGuiApplication::setDesktopFileName(QStringLiteral("kovr"));
    QApplication::setFont(kovrFont());
    const std::optional<ProgramArguments> arguments =
        ProgramArguments::parse(QCoreApplication::arguments());
    if (!arguments) return 2;
    // kovr.ini of the working directory current at start, unless --settings names another;
    // started from the desktop, the per-user one when the working directory has none.
    Program program(SettingsLocation::find(arguments->settingsFile, QDir::currentPath(),
                                           arguments->userSettings
                                               ? SettingsLocation::Fallback::UserFolder
                                               : SettingsLocation::Fallback::WorkingDirectory));
    // The as-found and as-left records of every unit read, where kovr.ini says or beside the
    // backups.
    program.recordUnits();
    if (!arguments->parameterFile.isEmpty())
        program.openAtStart(QDir::current().absoluteFilePath(arguments->parameterFile));
    program.mainWindow().show();
    return app.exec();
}

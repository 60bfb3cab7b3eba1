// kovr-cli: the service tool without a window, for scripted commissioning and end-of-line
// tests: list ports, read a unit into a parameter file, write a file into a unit, show the
// production data, log the monitor.

#include "cli/CliCommands.h"
#include "cli/CliRequest.h"
#include "cli/InterruptSignal.h"
#include "lang/Lang.h"
#include "params/SettingsLocation.h"
#include "wire/ToolVersion.h"

#include <QCoreApplication>
#include <QDir>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    // The program's name: backups go into the same folder whichever front end wrote them.
    QCoreApplication::setApplicationName(QStringLiteral("KOVR NEVRA"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(ToolVersion));

    // kovr.ini of the working directory, as the program reads it, else the per-user one the
    // program started from the menu keeps; --lang wins over its Lang, and without a file the
    // system's language counts.
    const SettingsLocation settings =
        SettingsLocation::find({}, QDir::currentPath(), SettingsLocation::Fallback::UserFolder);
    const QString iniPath = settings.path;
    const QStringList arguments = QCoreApplication::arguments();
    const int language = CliRequest::languageOf(arguments);
    LangIndex = language >= 0 ? language : startLanguage(settings);

    QList<QByteArray> raw;
    for (int i = 0; i < argc; ++i)
        raw.append(QByteArray(argv[i]));
    if (const int status = CliRequest::checkEncoding(arguments, raw); status != 0) return status;

    int exitStatus = 0;
    const std::optional<CliRequest> request = CliRequest::parse(arguments, &exitStatus);
    if (!request) return exitStatus;

    InterruptSignal interrupt;
    CliCommands commands(*request, interrupt, iniPath);
    return commands.run();
}

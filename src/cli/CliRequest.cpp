#include "cli/CliRequest.h"

#include "cli/CliExit.h"
#include "session/ToolVersion.h"

#include <QCommandLineParser>
#include <cstdio>

namespace {

struct CommandName {
    const char* name;
    CliRequest::Command command;
    const char* usage;
};

constexpr CommandName Commands[] = {
    {"ports", CliRequest::Command::Ports, "ports"},
    {"read", CliRequest::Command::Read, "read --port DEV --out FILE.par"},
    {"write", CliRequest::Command::Write,
     "write FILE.par --port DEV [--selection 0|1] [--dry-run]"},
    {"ident", CliRequest::Command::Ident, "ident --port DEV [--json]"},
    {"monitor", CliRequest::Command::Monitor, "monitor --port DEV [--csv] [--count N]"},
};

constexpr const char* Languages[] = {"cs", "en", "pl", "ru"};

QString description() {
    QString text =
        QStringLiteral("Service tool of the KOVR control unit without a window.\n\nCommands:\n");
    for (const CommandName& c : Commands)
        text += QStringLiteral("  kovr-cli ") + QString::fromLatin1(c.usage) + QLatin1Char('\n');
    text += QStringLiteral(
        "\nDEV is COM<n> (the device kovr.ini binds it to in section Ports, as the program\n"
        "opens it) or a device path such as /dev/ttyUSB0.");
    return text;
}

int usageError(const QString& text) {
    std::fprintf(stderr, "kovr-cli: %s (kovr-cli --help)\n", qUtf8Printable(text));
    return ExitUsage;
}

} // namespace

std::optional<CliRequest> CliRequest::parse(const QStringList& arguments, int* exitStatus) {
    QCommandLineParser parser;
    parser.setApplicationDescription(description());
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Shows this help."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Shows the version."));
    const QCommandLineOption port(QStringLiteral("port"),
                                  QStringLiteral("Port of the unit: COM<n> or a device path."),
                                  QStringLiteral("DEV"));
    const QCommandLineOption out(QStringLiteral("out"),
                                 QStringLiteral("read: the parameter file to write."),
                                 QStringLiteral("FILE.par"));
    const QCommandLineOption selection(
        QStringLiteral("selection"),
        QStringLiteral("write: 0 Omezení (default), 1 Výměna snímače."), QStringLiteral("0|1"),
        QStringLiteral("0"));
    const QCommandLineOption dryRun(
        QStringLiteral("dry-run"),
        QStringLiteral("write: list the parameters that would change, write nothing."));
    const QCommandLineOption json(QStringLiteral("json"),
                                  QStringLiteral("ident: one JSON object."));
    const QCommandLineOption csv(QStringLiteral("csv"), QStringLiteral("monitor: CSV lines."));
    const QCommandLineOption count(QStringLiteral("count"),
                                   QStringLiteral("monitor: stop after N records."),
                                   QStringLiteral("N"));
    const QCommandLineOption lang(QStringLiteral("lang"),
                                  QStringLiteral("Language of the messages: cs, en, pl, ru."),
                                  QStringLiteral("cs|en|pl|ru"));
    parser.addOptions({help, version, port, out, selection, dryRun, json, csv, count, lang});
    parser.addPositionalArgument(QStringLiteral("command"),
                                 QStringLiteral("ports, read, write, ident or monitor."));

    *exitStatus = ExitSuccess;
    if (!parser.parse(arguments)) {
        *exitStatus = usageError(parser.errorText());
        return std::nullopt;
    }
    if (parser.isSet(help)) {
        std::fputs(qUtf8Printable(parser.helpText()), stdout);
        return std::nullopt;
    }
    if (parser.isSet(version)) {
        std::printf("kovr-cli %s\n", ToolVersion);
        return std::nullopt;
    }

    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty()) {
        *exitStatus = usageError(QStringLiteral("no command given"));
        return std::nullopt;
    }
    CliRequest request;
    const CommandName* chosen = nullptr;
    for (const CommandName& c : Commands)
        if (positional.first() == QLatin1String(c.name)) chosen = &c;
    if (!chosen) {
        *exitStatus = usageError(QStringLiteral("unknown command \"%1\"").arg(positional.first()));
        return std::nullopt;
    }
    request.command = chosen->command;
    const int filesWanted = request.command == Command::Write ? 1 : 0;
    if (positional.size() - 1 != filesWanted) {
        *exitStatus = usageError(
            QStringLiteral("usage: kovr-cli %1").arg(QString::fromLatin1(chosen->usage)));
        return std::nullopt;
    }
    if (filesWanted) request.file = positional.at(1);

    // Every option must belong to the command: a --dry-run given to read must not pass unseen.
    const std::pair<const QCommandLineOption*, QList<Command>> belongs[] = {
        {&port, {Command::Read, Command::Write, Command::Ident, Command::Monitor}},
        {&out, {Command::Read}},
        {&selection, {Command::Write}},
        {&dryRun, {Command::Write}},
        {&json, {Command::Ident}},
        {&csv, {Command::Monitor}},
        {&count, {Command::Monitor}},
    };
    for (const auto& [option, commands] : belongs) {
        if (parser.isSet(*option) && !commands.contains(request.command)) {
            *exitStatus = usageError(QStringLiteral("--%1 does not go with %2")
                                         .arg(option->names().constLast(), positional.first()));
            return std::nullopt;
        }
    }
    if (request.command != Command::Ports) {
        request.port = parser.value(port);
        if (request.port.isEmpty()) {
            *exitStatus = usageError(QStringLiteral("%1 needs --port").arg(positional.first()));
            return std::nullopt;
        }
    }
    if (request.command == Command::Read) {
        request.file = parser.value(out);
        if (request.file.isEmpty()) {
            *exitStatus = usageError(QStringLiteral("read needs --out FILE.par"));
            return std::nullopt;
        }
    }
    const QString chosenSelection = parser.value(selection);
    if (chosenSelection != QLatin1String("0") && chosenSelection != QLatin1String("1")) {
        *exitStatus = usageError(QStringLiteral("--selection takes 0 or 1"));
        return std::nullopt;
    }
    request.selection = chosenSelection.toInt();
    request.dryRun = parser.isSet(dryRun);
    request.json = parser.isSet(json);
    request.csv = parser.isSet(csv);
    if (parser.isSet(count)) {
        bool valid = false;
        request.count = parser.value(count).toInt(&valid);
        if (!valid || request.count < 1) {
            *exitStatus = usageError(QStringLiteral("--count takes a whole number >= 1"));
            return std::nullopt;
        }
    }
    if (parser.isSet(lang)) {
        for (int i = 0; i < int(std::size(Languages)); ++i)
            if (parser.value(lang) == QLatin1String(Languages[i])) request.language = i;
        if (request.language < 0) {
            *exitStatus = usageError(QStringLiteral("--lang takes cs, en, pl or ru"));
            return std::nullopt;
        }
    }
    return request;
}

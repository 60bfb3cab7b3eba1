#include "cli/CliRequest.h"

#include "cli/CliExit.h"
#include "lang/Lang.h"
#include "wire/ToolVersion.h"

#include <QCommandLineParser>
#include <QFile>
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

QString text(const char* key) {
    return LangAddedText(QString::fromLatin1(key));
}

QString description() {
    QString out =
        text("CliPopis") + QStringLiteral("\n\n") + text("CliPrikazy") + QLatin1Char('\n');
    for (const CommandName& c : Commands)
        out += QStringLiteral("  kovr-cli ") + QString::fromLatin1(c.usage) + QLatin1Char('\n');
    return out + QLatin1Char('\n') + text("CliPortPopis");
}

int usageError(const QString& text) {
    std::fprintf(stderr, "kovr-cli: %s (kovr-cli --help)\n", qUtf8Printable(text));
    return ExitUsage;
}

} // namespace

int CliRequest::checkEncoding(const QStringList& arguments, const QList<QByteArray>& raw) {
    for (qsizetype i = 1; i < arguments.size() && i < raw.size(); ++i)
        if (QFile::encodeName(arguments.at(i)) != raw.at(i))
            return usageError(text("CliArgKodovani").arg(arguments.at(i)));
    return ExitSuccess;
}

int CliRequest::languageOf(const QStringList& arguments) {
    QString value;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (arguments.at(i) == QLatin1String("--lang") && i + 1 < arguments.size())
            value = arguments.at(i + 1);
        else if (arguments.at(i).startsWith(QLatin1String("--lang=")))
            value = arguments.at(i).mid(7);
    }
    for (int i = 0; i < int(std::size(Languages)); ++i)
        if (value == QLatin1String(Languages[i])) return i;
    return -1;
}

std::optional<CliRequest> CliRequest::parse(const QStringList& arguments, int* exitStatus) {
    QCommandLineParser parser;
    parser.setApplicationDescription(description());
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  text("CliVolbaHelp"));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     text("CliVolbaVersion"));
    const QCommandLineOption port(QStringLiteral("port"), text("CliVolbaPort"),
                                  QStringLiteral("DEV"));
    const QCommandLineOption out(QStringLiteral("out"), text("CliVolbaOut"),
                                 QStringLiteral("FILE.par"));
    const QCommandLineOption selection(
        QStringLiteral("selection"),
        text("CliVolbaSelection")
            .arg(LangText(QStringLiteral("Omezení")), LangText(QStringLiteral("Výměna snímače"))),
        QStringLiteral("0|1"), QStringLiteral("0"));
    const QCommandLineOption dryRun(QStringLiteral("dry-run"), text("CliVolbaDryRun"));
    const QCommandLineOption json(QStringLiteral("json"), text("CliVolbaJson"));
    const QCommandLineOption csv(QStringLiteral("csv"), text("CliVolbaCsv"));
    const QCommandLineOption count(QStringLiteral("count"), text("CliVolbaCount"),
                                   QStringLiteral("N"));
    const QCommandLineOption lang(QStringLiteral("lang"), text("CliVolbaLang"),
                                  QStringLiteral("cs|en|pl|ru"));
    parser.addOptions({help, version, port, out, selection, dryRun, json, csv, count, lang});
    parser.addPositionalArgument(QStringLiteral("command"), text("CliArgPrikaz"));

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
        *exitStatus = usageError(text("CliChybiPrikaz"));
        return std::nullopt;
    }
    CliRequest request;
    const CommandName* chosen = nullptr;
    for (const CommandName& c : Commands)
        if (positional.first() == QLatin1String(c.name)) chosen = &c;
    if (!chosen) {
        *exitStatus = usageError(text("CliNeznamyPrikaz").arg(positional.first()));
        return std::nullopt;
    }
    request.command = chosen->command;
    const int filesWanted = request.command == Command::Write ? 1 : 0;
    if (positional.size() - 1 != filesWanted) {
        *exitStatus = usageError(text("CliPouziti").arg(QString::fromLatin1(chosen->usage)));
        return std::nullopt;
    }
    if (filesWanted) {
        request.file = positional.at(1);
        if (request.file.isEmpty()) {
            *exitStatus = usageError(text("CliPouziti").arg(QString::fromLatin1(chosen->usage)));
            return std::nullopt;
        }
    }

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
            *exitStatus = usageError(
                text("CliVolbaNepatri").arg(option->names().constLast(), positional.first()));
            return std::nullopt;
        }
    }
    // A value given twice is a script's slip: which one was meant cannot be told.
    for (const QCommandLineOption* option : {&port, &out, &selection, &count, &lang}) {
        if (parser.values(*option).size() > 1) {
            *exitStatus = usageError(text("CliVolbaDvakrat").arg(option->names().constLast()));
            return std::nullopt;
        }
    }
    if (request.command != Command::Ports) {
        request.port = parser.value(port);
        if (request.port.isEmpty()) {
            *exitStatus = usageError(text("CliChybiPort").arg(positional.first()));
            return std::nullopt;
        }
    }
    if (request.command == Command::Read) {
        request.file = parser.value(out);
        if (request.file.isEmpty()) {
            *exitStatus = usageError(text("CliChybiOut"));
            return std::nullopt;
        }
    }
    const QString chosenSelection = parser.value(selection);
    if (chosenSelection != QLatin1String("0") && chosenSelection != QLatin1String("1")) {
        *exitStatus = usageError(text("CliSpatnySelection"));
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
            *exitStatus = usageError(text("CliSpatnyCount"));
            return std::nullopt;
        }
    }
    if (parser.isSet(lang) && languageOf(arguments) < 0) {
        *exitStatus = usageError(text("CliSpatnyLang"));
        return std::nullopt;
    }
    return request;
}

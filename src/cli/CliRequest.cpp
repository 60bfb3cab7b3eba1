#include "cli/CliRequest.h"

#include "cli/CliExit.h"
#include "cli/CliHelp.h"
#include "cli/CliSyntax.h"
#include "lang/Lang.h"
#include "wire/ToolVersion.h"

#include <QCommandLineParser>
#include <QFile>
#include <cstdio>
#include <limits>

namespace {

constexpr const char* Languages[] = {"cs", "en", "pl", "ru"};

// The longest --timeout taken: a day, far beyond any command, and safe for a timer.
constexpr double LongestTimeout = 24 * 3600;

// Builds the request from the parsed arguments, or prints why it cannot and says how to end.
class RequestReader {
public:
    explicit RequestReader(const QStringList& arguments)
        : m_arguments(arguments)
        , m_program(CliHelp::programName(arguments.value(0))) {
        for (const CliSyntax::Option& option : CliSyntax::options()) {
            QStringList names{QLatin1String(option.name)};
            if (option.shortName) names.prepend(QString(QLatin1Char(option.shortName)));
            // Texts are the help's; the parser only needs the names and whether a value follows.
            m_options.append(option.valueName ? QCommandLineOption(names, QString(),
                                                                   QLatin1String(option.valueName))
                                              : QCommandLineOption(names));
        }
        m_parser.addOptions(m_options);
    }

    std::optional<CliRequest> read(int* exitStatus);

private:
    const QCommandLineOption& option(const char* name) const {
        return m_options.at(&CliSyntax::option(name) - CliSyntax::options().data());
    }
    bool isSet(const char* name) const { return m_parser.isSet(option(name)); }
    QString value(const char* name) const { return m_parser.value(option(name)); }

    std::optional<CliRequest> usageError(const QString& message, int* exitStatus) const {
        std::fprintf(stderr, "%s: %s (%s --help)\n", qUtf8Printable(m_program),
                     qUtf8Printable(message), qUtf8Printable(m_program));
        *exitStatus = ExitUsage;
        return std::nullopt;
    }
    std::optional<CliRequest> usageOf(const CliSyntax::CommandWords& command,
                                      int* exitStatus) const {
        return usageError(LangAddedText("CliPouziti").arg(m_program, QLatin1String(command.usage)),
                          exitStatus);
    }
    std::optional<CliRequest> help(const QString& help) const {
        std::fputs(qUtf8Printable(help), stdout);
        return std::nullopt;
    }

    QStringList m_arguments;
    QString m_program;
    QList<QCommandLineOption> m_options;
    QCommandLineParser m_parser;
};

std::optional<CliRequest> RequestReader::read(int* exitStatus) {
    *exitStatus = ExitSuccess;
    if (!m_parser.parse(m_arguments)) return usageError(m_parser.errorText(), exitStatus);
    const QStringList positional = m_parser.positionalArguments();

    // "help", "help COMMAND", "--help" and "COMMAND --help".
    const bool helpCommand = positional.value(0) == QLatin1String("help");
    if (helpCommand || isSet("help")) {
        if (positional.size() > (helpCommand ? 2 : 1))
            return usageError(
                LangAddedText("CliPouziti").arg(m_program, QStringLiteral("help [COMMAND]")),
                exitStatus);
        const QString named = positional.value(helpCommand ? 1 : 0);
        if (named.isEmpty()) return help(CliHelp::general(m_program));
        const CliSyntax::CommandWords* command = CliSyntax::command(named);
        if (!command) return usageError(LangAddedText("CliNeznamyPrikaz").arg(named), exitStatus);
        return help(CliHelp::command(m_program, *command));
    }
    if (isSet("version")) {
        std::printf("%s %s\n", qUtf8Printable(m_program), ToolVersion);
        return std::nullopt;
    }

    if (positional.isEmpty()) return usageError(LangAddedText("CliChybiPrikaz"), exitStatus);
    const CliSyntax::CommandWords* chosen = CliSyntax::command(positional.first());
    if (!chosen)
        return usageError(LangAddedText("CliNeznamyPrikaz").arg(positional.first()), exitStatus);
    CliRequest request;
    request.program = m_program;
    request.command = chosen->command;
    using Command = CliRequest::Command;
    const int filesWanted = request.command == Command::Write  ? 1
                            : request.command == Command::Diff ? 2
                                                               : 0;
    if (positional.size() - 1 != filesWanted) return usageOf(*chosen, exitStatus);
    if (filesWanted) {
        request.file = positional.at(1);
        request.otherFile = positional.value(2);
        if (request.file.isEmpty() || (filesWanted == 2 && request.otherFile.isEmpty()))
            return usageOf(*chosen, exitStatus);
    }

    for (const CliSyntax::Option& option : CliSyntax::options()) {
        // Every option must belong to the command: a --dry-run given to read must not pass
        // unseen.
        if (isSet(option.name) && !CliSyntax::takes(*chosen, option))
            return usageError(LangAddedText("CliVolbaNepatri")
                                  .arg(QLatin1String(option.name), positional.first()),
                              exitStatus);
        // A value given twice is a script's slip: which one was meant cannot be told.
        if (option.valueName && m_parser.values(QString::fromLatin1(option.name)).size() > 1)
            return usageError(LangAddedText("CliVolbaDvakrat").arg(QLatin1String(option.name)),
                              exitStatus);
    }
    request.port = value("port");
    if (request.command == Command::Diff) {
        // The port only where a side is the unit; one unit cannot be both sides.
        const bool left = request.file == QLatin1String("unit");
        const bool right = request.otherFile == QLatin1String("unit");
        if (left && right) return usageOf(*chosen, exitStatus);
        if ((left || right) && request.port.isEmpty())
            return usageError(LangAddedText("CliDiffPort"), exitStatus);
        if (!left && !right && isSet("port"))
            return usageError(
                LangAddedText("CliVolbaNepatri").arg(QStringLiteral("port"), positional.first()),
                exitStatus);
        if (isSet("csv") && isSet("json")) return usageOf(*chosen, exitStatus);
    } else if (CliSyntax::takes(*chosen, CliSyntax::option("port")) && request.port.isEmpty()) {
        return usageError(LangAddedText("CliChybiPort").arg(positional.first()), exitStatus);
    }
    if (request.command == Command::Read) {
        request.file = value("out");
        if (request.file.isEmpty()) return usageError(LangAddedText("CliChybiOut"), exitStatus);
    }
    if (isSet("selection")) {
        const QString chosenSelection = value("selection");
        if (chosenSelection != QLatin1String("0") && chosenSelection != QLatin1String("1"))
            return usageError(LangAddedText("CliSpatnySelection"), exitStatus);
        request.selection = chosenSelection.toInt();
    }
    request.dryRun = isSet("dry-run");
    request.json = isSet("json");
    request.csv = isSet("csv");
    request.noRecord = isSet("no-record");
    if (isSet("count")) {
        bool valid = false;
        request.count = value("count").toInt(&valid);
        if (!valid || request.count < 1)
            return usageError(LangAddedText("CliSpatnyCount"), exitStatus);
    }
    if (isSet("timeout")) {
        bool valid = false;
        request.timeout = value("timeout").toDouble(&valid);
        // Not NaN, above 0, and no more than a timer can count.
        if (!valid || !(request.timeout > 0) || request.timeout > LongestTimeout)
            return usageError(LangAddedText("CliSpatnyTimeout"), exitStatus);
    }
    if (isSet("lang") && CliRequest::languageOf(m_arguments) < 0)
        return usageError(LangAddedText("CliSpatnyLang"), exitStatus);
    return request;
}

} // namespace

int CliRequest::checkEncoding(const QStringList& arguments, const QList<QByteArray>& raw) {
    for (qsizetype i = 1; i < arguments.size() && i < raw.size(); ++i) {
        if (QFile::encodeName(arguments.at(i)) != raw.at(i)) {
            const QString program = CliHelp::programName(arguments.value(0));
            std::fprintf(stderr, "%s: %s (%s --help)\n", qUtf8Printable(program),
                         qUtf8Printable(LangAddedText("CliArgKodovani").arg(arguments.at(i))),
                         qUtf8Printable(program));
            return ExitUsage;
        }
    }
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
    return RequestReader(arguments).read(exitStatus);
}

#include "cli/CliHelp.h"

#include "cli/CommandDeadline.h"
#include "lang/Lang.h"

#include <QFileInfo>
#include <QList>
#include <algorithm>

namespace {

// The two selections as the write-from-file dialog names them.
QString withSelections(const QString& text) {
    return text.arg(LangText(QStringLiteral("Omezení")),
                    LangText(QStringLiteral("Výměna snímače")));
}

QString optionSyntax(const CliSyntax::Option& option) {
    QString syntax =
        option.shortName ? QStringLiteral("-%1, ").arg(QLatin1Char(option.shortName)) : QString();
    syntax += QStringLiteral("--") + QLatin1String(option.name);
    if (option.valueName) syntax += QLatin1Char(' ') + QLatin1String(option.valueName);
    return syntax;
}

QString optionText(const CliSyntax::Option& option, const CliSyntax::CommandWords* command) {
    const QString described = LangAddedText(option.textKey);
    if (qstrcmp(option.name, "selection") == 0) return withSelections(described);
    if (qstrcmp(option.name, "timeout") == 0 && command) {
        CliRequest request;
        request.command = command->command;
        return described.arg(CommandDeadline::defaultSeconds(request));
    }
    return described;
}

// "Options:" and the options of `command` (the global ones alone without a command), their
// texts in one column.
QString optionsBlock(const CliSyntax::CommandWords* command) {
    QList<const CliSyntax::Option*> shown;
    for (const CliSyntax::Option& option : CliSyntax::options())
        if (command ? CliSyntax::takes(*command, option) : option.global) shown.append(&option);
    qsizetype width = 0;
    for (const CliSyntax::Option* option : std::as_const(shown))
        width = std::max(width, optionSyntax(*option).size());
    QString out = LangAddedText("CliNadpisVolby") + QLatin1Char('\n');
    for (const CliSyntax::Option* option : std::as_const(shown))
        out += QStringLiteral("  ") + optionSyntax(*option).leftJustified(width + 2) +
               optionText(*option, command) + QLatin1Char('\n');
    return out;
}

} // namespace

QString CliHelp::programName(const QString& argument0) {
    const QString name = QFileInfo(argument0).fileName();
    return name.isEmpty() ? QStringLiteral("kovr-cli") : name;
}

QString CliHelp::general(const QString& program) {
    QString out = LangAddedText("CliPopis") + QStringLiteral("\n\n") +
                  LangAddedText("CliNadpisPouziti") + QLatin1Char('\n');
    for (const CliSyntax::CommandWords& c : CliSyntax::commands())
        out += QStringLiteral("  ") + program + QLatin1Char(' ') + QLatin1String(c.usage) +
               QLatin1Char('\n');
    out += QLatin1Char('\n') + optionsBlock(nullptr) + QLatin1Char('\n') +
           LangAddedText("CliPortPopis") + QLatin1Char('\n') +
           LangAddedText("CliNapovedaPrikazu").arg(program) + QLatin1Char('\n');
    return out;
}

QString CliHelp::command(const QString& program, const CliSyntax::CommandWords& command) {
    QString described = LangAddedText(command.textKey);
    if (command.command == CliRequest::Command::Write) described = withSelections(described);
    QString out = LangAddedText("CliNadpisPouziti") + QLatin1Char(' ') + program +
                  QLatin1Char(' ') + QLatin1String(command.usage) + QStringLiteral("\n\n") +
                  described + QStringLiteral("\n\n") + optionsBlock(&command);
    if (CliSyntax::takes(command, CliSyntax::option("port")))
        out += QLatin1Char('\n') + LangAddedText("CliPortPopis") + QLatin1Char('\n');
    out += QLatin1Char('\n') + LangAddedText("CliNadpisPriklad") + QStringLiteral("\n  ") +
           program + QLatin1Char(' ') + QLatin1String(command.example) + QLatin1Char('\n');
    return out;
}

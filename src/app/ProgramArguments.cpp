#include "app/ProgramArguments.h"

#include "lang/Lang.h"
#include "params/SettingsLocation.h"
#include "wire/ToolVersion.h"

#include <QCommandLineParser>
#include <QDir>
#include <cstdio>

namespace {

QString help() {
    const QString userFile = QDir::toNativeSeparators(SettingsLocation::userFile());
    const std::pair<const char*, QString> options[] = {
        {"--settings FILE", LangAddedText("KovrVolbaSettings")},
        {"--user-settings", LangAddedText("KovrVolbaUserSettings").arg(userFile)},
        {"-h, --help", LangAddedText("CliVolbaHelp")},
        {"-v, --version", LangAddedText("CliVolbaVersion")},
    };
    QString out = LangAddedText("KovrPopis") + QStringLiteral("\n\n") +
                  LangAddedText("CliNadpisPouziti") +
                  QStringLiteral(" kovr [--settings FILE] [--user-settings] [FILE.par]\n\n") +
                  QStringLiteral("  FILE.par            ") + LangAddedText("KovrArgSoubor") +
                  QStringLiteral("\n\n") + LangAddedText("CliNadpisVolby") + QLatin1Char('\n');
    for (const auto& [syntax, described] : options)
        out += QStringLiteral("  ") + QString::fromLatin1(syntax).leftJustified(18) +
               QStringLiteral("  ") + described + QLatin1Char('\n');
    return out;
}

} // namespace

std::optional<int> ProgramArguments::answerWithoutWindow(const QStringList& arguments) {
    const auto given = [&](const char* shortName, const char* longName) {
        return arguments.mid(1).contains(QLatin1String(shortName)) ||
               arguments.mid(1).contains(QLatin1String(longName));
    };
    const bool wantsHelp = given("-h", "--help");
    if (!wantsHelp && !given("-v", "--version")) return std::nullopt;
    if (!wantsHelp) {
        std::printf("kovr %s\n", ToolVersion);
        return 0;
    }
    // In the language the program would start in here.
    LangIndex = startLanguage(
        SettingsLocation::find({}, QDir::currentPath(), SettingsLocation::Fallback::UserFolder));
    std::fputs(qUtf8Printable(help()), stdout);
    return 0;
}

std::optional<ProgramArguments> ProgramArguments::parse(const QStringList& arguments) {
    QCommandLineParser parser;
    const QCommandLineOption settings(QStringLiteral("settings"), QString(),
                                      QStringLiteral("FILE"));
    const QCommandLineOption userSettings(QStringLiteral("user-settings"));
    parser.addOptions({settings, userSettings});
    const auto refuse = [](const QString& why) {
        std::fprintf(stderr, "kovr: %s (kovr --help)\n", qUtf8Printable(why));
        return std::nullopt;
    };
    if (!parser.parse(arguments)) return refuse(parser.errorText());
    if (parser.values(settings).size() > 1)
        return refuse(LangAddedText("CliVolbaDvakrat").arg(QStringLiteral("settings")));
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1)
        return refuse(LangAddedText("CliPouziti")
                          .arg(QStringLiteral("kovr"),
                               QStringLiteral("[--settings FILE] [--user-settings] [FILE.par]")));
    ProgramArguments result;
    result.settingsFile = parser.value(settings);
    result.userSettings = parser.isSet(userSettings);
    result.parameterFile = files.value(0);
    return result;
}

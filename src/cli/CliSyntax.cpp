#include "cli/CliSyntax.h"

#include <QStringList>

namespace CliSyntax {

namespace {

using C = CliRequest::Command;

constexpr Option Options[] = {
    {"port", 0, "DEV", "CliVolbaPort", false},
    {"out", 0, "FILE.par", "CliVolbaOut", false},
    {"selection", 0, "0|1", "CliVolbaSelection", false},
    {"dry-run", 0, nullptr, "CliVolbaDryRun", false},
    {"json", 0, nullptr, "CliVolbaJson", false},
    {"csv", 0, nullptr, "CliVolbaCsv", false},
    {"count", 0, "N", "CliVolbaCount", false},
    {"timeout", 0, "SECONDS", "CliVolbaTimeout", false},
    {"no-record", 0, nullptr, "CliVolbaNoRecord", false},
    {"lang", 0, "cs|en|pl|ru", "CliVolbaLang", true},
    {"help", 'h', nullptr, "CliVolbaHelp", true},
    {"version", 'v', nullptr, "CliVolbaVersion", true},
};

constexpr CommandWords Commands[] = {
    {"ports", C::Ports, "ports [--json]", "CliPopisPorts", "json", "ports --json"},
    {"read", C::Read, "read --port DEV --out FILE.par [--no-record] [--timeout SECONDS]",
     "CliPopisRead", "port out no-record timeout", "read --port COM1 --out valve-17.par"},
    {"write", C::Write,
     "write FILE.par --port DEV [--selection 0|1] [--dry-run] [--no-record] [--timeout SECONDS]",
     "CliPopisWrite", "port selection dry-run no-record timeout",
     "write valve-17.par --port COM1 --dry-run"},
    {"ident", C::Ident, "ident --port DEV [--json] [--timeout SECONDS]", "CliPopisIdent",
     "port json timeout", "ident --port /dev/ttyUSB0 --json"},
    {"monitor", C::Monitor, "monitor --port DEV [--csv] [--count N] [--timeout SECONDS]",
     "CliPopisMonitor", "port csv count timeout", "monitor --port COM1 --csv --count 600"},
    {"diff", C::Diff, "diff A.par|unit B.par|unit [--port DEV] [--csv|--json] [--timeout SECONDS]",
     "CliPopisDiff", "port csv json timeout", "diff unit valve-17.par --port COM1"},
};

} // namespace

std::span<const Option> options() {
    return Options;
}

std::span<const CommandWords> commands() {
    return Commands;
}

const CommandWords* command(const QString& name) {
    for (const CommandWords& c : Commands)
        if (name == QLatin1String(c.name)) return &c;
    return nullptr;
}

const Option& option(const char* name) {
    for (const Option& o : Options)
        if (qstrcmp(o.name, name) == 0) return o;
    Q_ASSERT_X(false, "CliSyntax::option", name);
    return Options[0];
}

bool takes(const CommandWords& command, const Option& option) {
    return option.global || QString::fromLatin1(command.options)
                                .split(QLatin1Char(' '))
                                .contains(QLatin1String(option.name));
}

} // namespace CliSyntax

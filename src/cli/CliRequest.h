#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// What kovr-cli was asked to do, from its arguments.
struct CliRequest {
    enum class Command { Ports, Read, Write, Ident, Monitor, Diff };

    Command command = Command::Ports;
    QString program = QStringLiteral("kovr-cli"); // the name it was called by, for its messages
    QString port;                                 // --port: COM<n> or a device path
    QString file;      // read: --out; write: the file to write; diff: the left side
    QString otherFile; // diff: the right side ("unit" for the unit on --port)
    int selection = 0; // write: 0 "Omezení", 1 "Výměna snímače"
    bool dryRun = false;
    bool json = false;     // ports, ident
    bool csv = false;      // monitor, diff
    bool noRecord = false; // read, write: no as-found/as-left record
    int count = 0;         // monitor: records before it ends; 0 until interrupted
    double timeout = 0;    // --timeout in seconds; 0 for the default deadline
    // The language --lang asks for, found before the arguments are parsed so that the help and
    // the messages about the arguments are in it; -1 without a valid --lang.
    static int languageOf(const QStringList& arguments);

    // An argument whose bytes (`raw`, as the program got them) do not survive the conversion
    // into text names another file than the one typed: ExitUsage with a message, else 0.
    static int checkEncoding(const QStringList& arguments, const QList<QByteArray>& raw);

    // The request, in LangIndex, or nothing after help (--help, "help [COMMAND]"), --version
    // or a usage error, which are printed here; `exitStatus` then says how the tool ends.
    static std::optional<CliRequest> parse(const QStringList& arguments, int* exitStatus);
};

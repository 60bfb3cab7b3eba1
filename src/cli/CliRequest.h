#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// What kovr-cli was asked to do, from its arguments.
struct CliRequest {
    enum class Command { Ports, Read, Write, Ident, Monitor };

    Command command = Command::Ports;
    QString port;      // --port: COM<n> or a device path
    QString file;      // read: --out; write: the file to write
    int selection = 0; // write: 0 "Omezení", 1 "Výměna snímače"
    bool dryRun = false;
    bool json = false;
    bool csv = false;
    int count = 0;     // monitor: records before it ends; 0 until interrupted
    int language = -1; // --lang as a language index; -1 as kovr.ini says

    // The request, or nothing after --help, --version or a usage error, which are printed
    // here; `exitStatus` then says how the tool ends.
    static std::optional<CliRequest> parse(const QStringList& arguments, int* exitStatus);
};

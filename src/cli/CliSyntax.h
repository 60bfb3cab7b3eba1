#pragma once

#include "cli/CliRequest.h"

#include <QString>
#include <span>

// The words kovr-cli understands: its commands with their usage and example, and its options
// with the commands they go with. The parser and the help are both read from these tables.
namespace CliSyntax {

struct Option {
    const char* name;      // long name, without "--"
    char shortName;        // 0 without one
    const char* valueName; // nullptr for a switch
    const char* textKey;   // what it does, in the additions
    bool global;           // goes with every command (and with none)
};

struct CommandWords {
    const char* name;
    CliRequest::Command command;
    const char* usage;   // after the program's name
    const char* textKey; // what the command does, in the additions
    const char* options; // its own options, blank-separated long names
    const char* example; // after the program's name
};

std::span<const Option> options();
std::span<const CommandWords> commands();

// The command named `name`, or nullptr.
const CommandWords* command(const QString& name);
// The option of long name `name`; it must be one of the table's.
const Option& option(const char* name);
// Whether `option` may be given to `command`.
bool takes(const CommandWords& command, const Option& option);

} // namespace CliSyntax

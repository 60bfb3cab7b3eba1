#pragma once

#include "cli/CliSyntax.h"

#include <QString>

// kovr-cli's help in the chosen language (LangIndex): the general help with every command's
// usage, and each command's own help with its options and an example. `program` is the name
// the tool was called by.
namespace CliHelp {

QString general(const QString& program);
QString command(const QString& program, const CliSyntax::CommandWords& command);

// The name to show for the program: the file name it was called by, without its folder.
QString programName(const QString& argument0);

} // namespace CliHelp

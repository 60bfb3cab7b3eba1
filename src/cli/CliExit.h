#pragma once

// Exit status of kovr-cli, one per kind of failure, so that a commissioning script can tell
// a missing adapter from a silent unit or a wrong file.
enum CliExit {
    ExitSuccess = 0,
    ExitDiffers = 1,      // diff: the two sets differ (as diff(1) says it)
    ExitUsage = 2,        // arguments the tool does not understand
    ExitPort = 3,         // the port is absent, busy or not permitted
    ExitNoUnit = 4,       // no unit answers after the retry ladder
    ExitFile = 5,         // a parameter file that is wrong, unreadable or cannot be written
    ExitBackup = 6,       // the unit's values could not be backed up before a write
    ExitCutShort = 7,     // the unit ended a write before it had taken every item
    ExitInterrupted = 130 // Ctrl-C
};

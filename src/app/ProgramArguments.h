#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// What kovr was started with: kovr [--settings FILE] [--user-settings] [FILE.par].
struct ProgramArguments {
    QString settingsFile; // --settings: this kovr.ini and no other
    bool userSettings =
        false; // --user-settings: the per-user folder when the working directory has none
    QString parameterFile; // opened at start as "Otevřít" does

    // --help or --version among `arguments` (the raw ones, before any window system is asked
    // for): printed on stdout, and the exit status; nothing otherwise. Needs no display.
    static std::optional<int> answerWithoutWindow(const QStringList& arguments);
    // The arguments once Qt has taken its own; nothing after a usage error, printed on stderr.
    static std::optional<ProgramArguments> parse(const QStringList& arguments);
};

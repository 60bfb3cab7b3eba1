#pragma once

#include "cli/CliRequest.h"

#include <QString>

class InterruptSignal;
class UnitConnection;

// The commands of kovr-cli over the program's session: each returns the exit status and has
// printed its one line of failure on stderr.
class CliCommands {
public:
    CliCommands(const CliRequest& request, InterruptSignal& interrupt,
                const QString& iniPath = QStringLiteral("kovr.ini"));

    int run();

private:
    int ports();
    int read();
    int write();
    int ident();
    int monitor();
    int diff();

    // Opens the port and waits for the refresh (the parameters only, or the texts as well).
    bool connectAndRefresh(UnitConnection& unit, bool withTexts);
    int failed(const UnitConnection& unit);
    int failed(const QString& text, int exitStatus) const;
    // A line on stderr that does not end the command.
    void warn(const QString& text) const;

    CliRequest m_request;
    InterruptSignal& m_interrupt;
    QString m_iniPath;
    int m_waitExit = 0;
};

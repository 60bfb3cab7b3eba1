#pragma once

#include "cli/CliPrompter.h"
#include "cli/TerminalProgress.h"
#include "session/Session.h"

#include <QDeadlineTimer>
#include <QObject>
#include <QString>
#include <functional>

class InterruptSignal;

// The program's session for one command of kovr-cli: opens the port the command names, runs
// the link in an event loop until what the command waits for has happened, and turns what the
// link would have asked in a message box into the command's failure and exit status.
class UnitConnection : public QObject {
    Q_OBJECT
public:
    UnitConnection(const QString& iniPath, InterruptSignal& interrupt, QObject* parent = nullptr);

    Session& session() { return m_session; }
    CliPrompter& prompter() { return m_prompter; }
    TerminalProgress& progress() { return m_progress; }

    // Opens `port`, "COM<n>" as kovr.ini binds it or else a device path, and starts the link
    // with its full refresh. False when the port does not open.
    bool open(const QString& port);
    // The device the port opened as.
    QString device() const { return m_device; }

    // Every wait from now on ends, failed with the unit as the reason (ExitNoUnit), once
    // `seconds` have passed; 0 takes the deadline away.
    void setDeadline(double seconds);

    enum class Wait { Done, Failed, Interrupted };
    // Whether Ctrl-C ends the wait, or is left to the command (a write stops at an item).
    enum class OnInterrupt { Return, KeepRunning };
    // Runs the link until `done` holds (asked after every reply has been dealt with), the
    // link fails, the deadline passes, or Ctrl-C arrives.
    Wait runUntil(const std::function<bool()>& done, OnInterrupt onInterrupt = OnInterrupt::Return);
    // Until the start-up refresh has read every parameter, and the production texts have been
    // read once through.
    Wait waitForFullRefresh();
    // Until the start-up refresh has read every parameter.
    Wait waitForParameters();

    // Why the last open or wait failed, one line, and the exit status for it.
    QString failure() const { return m_failure; }
    int failureExit() const { return m_failureExit; }

private:
    void fail(const QString& text, int exitStatus);

    CliPrompter m_prompter;
    TerminalProgress m_progress;
    Session m_session;
    InterruptSignal& m_interrupt;
    QString m_device;
    double m_deadlineSeconds = 0;
    QDeadlineTimer m_deadline = QDeadlineTimer(QDeadlineTimer::Forever);
    QString m_failure;
    int m_failureExit = 0;
};

#include "cli/UnitConnection.h"

#include "cli/CliExit.h"
#include "cli/InterruptSignal.h"
#include "lang/Lang.h"
#include "session/FullReadWatch.h"

#include <QEventLoop>
#include <QRegularExpression>
#include <QTimer>

namespace {

// The COM number a device path is bound to for this run only; never written to kovr.ini.
constexpr int PathPortNumber = 1;

} // namespace

UnitConnection::UnitConnection(const QString& iniPath, InterruptSignal& interrupt, QObject* parent)
    : QObject(parent)
    , m_session(m_prompter, m_progress, iniPath)
    , m_interrupt(interrupt) {}

void UnitConnection::fail(const QString& text, int exitStatus) {
    m_failure = text;
    m_failureExit = exitStatus;
}

void UnitConnection::setDeadline(double seconds) {
    m_deadlineSeconds = seconds;
    m_deadline = seconds > 0 ? QDeadlineTimer(qint64(seconds * 1000)) : QDeadlineTimer::Forever;
}

bool UnitConnection::open(const QString& port) {
    static const QRegularExpression comName(QStringLiteral("^COM([0-9]{1,9})$"),
                                            QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch com = comName.match(port.trimmed());
    int number = PathPortNumber;
    if (com.hasMatch() && com.captured(1).toInt() > 0)
        number = com.captured(1).toInt();
    else
        m_session.port().devices().bind(number, port);
    m_device = m_session.port().deviceName(number);
    m_session.start(QString::number(number));
    if (m_session.port().isOpen()) return true;
    fail(m_prompter.lastError().isEmpty() ? m_device : m_prompter.lastError(), ExitPort);
    return false;
}

UnitConnection::Wait UnitConnection::runUntil(const std::function<bool()>& done,
                                              OnInterrupt onInterrupt) {
    if (onInterrupt == OnInterrupt::Return && m_interrupt.wasInterrupted())
        return Wait::Interrupted;
    if (!m_session.isRunning()) {
        fail(LangAddedText(QStringLiteral("CliNeodpovida")).arg(m_device), ExitNoUnit);
        return Wait::Failed;
    }
    if (done()) return Wait::Done;
    const auto deadlinePassed = [this] {
        fail(LangAddedText(QStringLiteral("CliLhuta"))
                 .arg(m_device, QString::number(m_deadlineSeconds)),
             ExitNoUnit);
        return Wait::Failed;
    };
    if (m_deadline.hasExpired()) return deadlinePassed();
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    connect(&deadline, &QTimer::timeout, &loop, [&] { loop.exit(int(deadlinePassed())); });
    if (!m_deadline.isForever())
        deadline.start(std::chrono::milliseconds(m_deadline.remainingTime()));
    // Asked once the reply has been dealt with, not while the scheduler is still at it.
    connect(
        &m_session.scheduler(), &CommandScheduler::replyAccepted, &loop,
        [&] {
            if (done()) loop.exit(int(Wait::Done));
        },
        Qt::QueuedConnection);
    connect(&m_prompter, &CliPrompter::questionRefused, &loop, [&] {
        fail(LangAddedText(QStringLiteral("CliNeodpovida")).arg(m_device), ExitNoUnit);
        loop.exit(int(Wait::Failed));
    });
    connect(&m_prompter, &CliPrompter::errorShown, &loop, [&](const QString& text) {
        fail(text, ExitNoUnit);
        loop.exit(int(Wait::Failed));
    });
    if (onInterrupt == OnInterrupt::Return)
        connect(&m_interrupt, &InterruptSignal::interrupted, &loop,
                [&] { loop.exit(int(Wait::Interrupted)); });
    const Wait result = Wait(loop.exec());
    m_progress.close();
    return result;
}

UnitConnection::Wait UnitConnection::waitForParameters() {
    FullReadWatch watch(m_session, false);
    return runUntil([&] { return watch.step(); });
}

UnitConnection::Wait UnitConnection::waitForFullRefresh() {
    FullReadWatch watch(m_session, true);
    return runUntil([&] { return watch.step(); });
}

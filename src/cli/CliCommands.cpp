#include "cli/CliCommands.h"

#include "cli/CliExit.h"
#include "cli/CommandDeadline.h"
#include "cli/IdentReport.h"
#include "cli/InterruptSignal.h"
#include "cli/MonitorLine.h"
#include "cli/UnitConnection.h"
#include "files/FileProblem.h"
#include "files/FileSaver.h"
#include "lang/Lang.h"
#include "link/PortDevices.h"
#include "link/SerialPortList.h"
#include "params/ParameterComparison.h"
#include "params/PendingChanges.h"
#include "params/UnitRecords.h"
#include "params/ValueCheck.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <optional>

#include <cstdio>

namespace {

// The COM numbers the setup dialog offers.
constexpr int ComNumbers = 20;

// The columns of `ports`, the same in every language: its header line and its JSON keys.
constexpr const char* PortColumns[] = {"device",        "description", "manufacturer",
                                       "serial_number", "stable_path", "com_numbers"};

void printOut(const QString& text) {
    std::fputs(qUtf8Printable(text), stdout);
    std::fflush(stdout);
}

} // namespace

CliCommands::CliCommands(const CliRequest& request, InterruptSignal& interrupt,
                         const QString& iniPath)
    : m_request(request)
    , m_interrupt(interrupt)
    , m_iniPath(iniPath) {}

int CliCommands::run() {
    switch (m_request.command) {
    case CliRequest::Command::Ports: return ports();
    case CliRequest::Command::Read: return read();
    case CliRequest::Command::Write: return write();
    case CliRequest::Command::Ident: return ident();
    case CliRequest::Command::Monitor: return monitor();
    case CliRequest::Command::Diff: return diff();
    }
    return ExitUsage;
}

int CliCommands::failed(const QString& text, int exitStatus) const {
    // A script reads one line per failure, however many lines the window's message has.
    std::fprintf(stderr, "%s: %s\n", qUtf8Printable(m_request.program),
                 qUtf8Printable(CliPrompter::oneLine(text)));
    return exitStatus;
}

void CliCommands::warn(const QString& text) const {
    std::fprintf(
        stderr, "%s: %s\n", qUtf8Printable(m_request.program),
        qUtf8Printable(
            LangAddedText(QStringLiteral("CliZaznamVarovani")).arg(CliPrompter::oneLine(text))));
}

int CliCommands::failed(const UnitConnection& unit) {
    if (m_waitExit != ExitInterrupted) return failed(unit.failure(), unit.failureExit());
    // What Ctrl-C left undone: a write has not begun, a read has written no file.
    const char* key = m_request.command == CliRequest::Command::Write  ? "CliPreruseno"
                      : m_request.command == CliRequest::Command::Read ? "CliPrerusenoCteni"
                                                                       : "CliPrerusenoJen";
    return failed(LangAddedText(key), ExitInterrupted);
}

bool CliCommands::connectAndRefresh(UnitConnection& unit, bool withTexts) {
    m_waitExit = 0;
    unit.progress().setLabel(LangAddedText(QStringLiteral("CliCteni")));
    unit.setDeadline(CommandDeadline::seconds(m_request));
    // read and write leave the unit's as-found (and as-left) record, as the program does.
    const bool records = (m_request.command == CliRequest::Command::Read ||
                          m_request.command == CliRequest::Command::Write) &&
                         !m_request.noRecord;
    if (records) {
        unit.session().recorder().setFolder(UnitRecords::folderFromSettings(m_iniPath),
                                            QStringLiteral("kovr-cli"));
        QObject::connect(&unit.session().recorder(), &UnitRecorder::recorded, &unit,
                         [this](const QString&, const QString& error) {
                             if (!error.isEmpty())
                                 warn(
                                     LangAddedText(QStringLiteral("ZaznamNelzeUlozit")).arg(error));
                         });
    }
    if (!unit.open(m_request.port)) return false;
    const UnitConnection::Wait wait =
        withTexts ? unit.waitForFullRefresh() : unit.waitForParameters();
    if (wait == UnitConnection::Wait::Interrupted) m_waitExit = ExitInterrupted;
    return wait == UnitConnection::Wait::Done;
}

int CliCommands::ports() {
    const PortDevices devices(m_iniPath);
    // The numbers the setup dialog offers, and any other kovr.ini binds.
    QList<int> offered;
    for (int n = 1; n <= ComNumbers; ++n)
        offered.append(n);
    for (int n : devices.boundNumbers())
        if (!offered.contains(n)) offered.append(n);

    QJsonArray all;
    if (!m_request.json) {
        QStringList header;
        for (const char* column : PortColumns)
            header.append(QLatin1String(column));
        printOut(header.join(QLatin1Char('\t')) + QLatin1Char('\n'));
    }
    for (const SerialPortEntry& entry : SystemPortInfo().ports()) {
        // The COM numbers that open this port, as the setup dialog's label would show them.
        QStringList numbers;
        for (int n : std::as_const(offered))
            if (entry.opensAs(devices.deviceName(n)))
                numbers.append(QStringLiteral("COM%1").arg(n));
        const QStringList fields{entry.device, entry.description, entry.manufacturer,
                                 entry.serialNumber, entry.stablePath};
        if (!m_request.json) {
            printOut(
                (fields + QStringList{numbers.join(QLatin1Char(' '))}).join(QLatin1Char('\t')) +
                QLatin1Char('\n'));
            continue;
        }
        QJsonObject port;
        for (qsizetype i = 0; i < fields.size(); ++i)
            port.insert(QLatin1String(PortColumns[i]), fields.at(i));
        port.insert(QLatin1String(PortColumns[fields.size()]), QJsonArray::fromStringList(numbers));
        all.append(port);
    }
    if (m_request.json)
        printOut(QString::fromUtf8(QJsonDocument(all).toJson(QJsonDocument::Indented)));
    return ExitSuccess;
}

int CliCommands::read() {
    // What can be known before a whole read of the unit: where its values are to go.
    QString reason;
    if (!FileSaver::checkTarget(m_request.file, &reason))
        return failed(FileProblem::writeFailed(m_request.file, reason), ExitFile);
    UnitConnection unit(m_iniPath, m_interrupt);
    if (!connectAndRefresh(unit, true)) return failed(unit);
    // The record of the unit as found comes with the same reply; waited for all the same.
    if (unit.session().recorder().pending() && unit.runUntil([&] {
            return !unit.session().recorder().pending();
        }) != UnitConnection::Wait::Done)
        return failed(unit);
    // What "Uložit jako" writes after the refresh.
    if (!unit.session().parameterFiles().save(m_request.file))
        return failed(unit.prompter().lastError(), ExitFile);
    return ExitSuccess;
}

int CliCommands::write() {
    // A file that cannot be written is refused before the port is opened: unreadable, no
    // parameter file, or a value its parameter cannot take.
    if (const QString problem = checkParameterFile(m_request.file, m_request.selection);
        !problem.isEmpty())
        return failed(problem, ExitFile);
    UnitConnection unit(m_iniPath, m_interrupt);
    if (!connectAndRefresh(unit, true)) return failed(unit);
    Session& session = unit.session();

    // "Otevřít", the selection of "Zápis ze souboru", then "Zapsat" answered Yes.
    if (!session.parameterFiles().open(m_request.file))
        return failed(unit.prompter().lastError(), ExitFile);
    session.transfer().writeFromFileSelection = m_request.selection;
    session.serviceEditing().NactiService(1, true);

    if (m_request.dryRun) {
        const QList<PendingChange> changes =
            pendingFileChanges(session.image(), m_request.selection);
        for (const PendingChange& change : changes)
            printOut(change.name + QLatin1Char('\t') + change.unitValue + QLatin1Char('\t') +
                     change.fileValue + QLatin1Char('\n'));
        if (changes.isEmpty())
            std::fprintf(stderr, "%s\n",
                         qUtf8Printable(LangAddedText(QStringLiteral("CliBezZmen"))));
        return ExitSuccess;
    }

    ParameterTransfer& transfer = session.transfer();
    const QString question = LangText(QStringLiteral("ZapsatParametry?"));
    unit.prompter().expectQuestion(question);
    unit.progress().setLabel(LangAddedText(QStringLiteral("CliZapis")));
    bool ended = false;
    QObject::connect(&session, &Session::transferEnded, &unit, [&ended] { ended = true; });
    QObject::connect(&m_interrupt, &InterruptSignal::interrupted, &unit,
                     [&transfer] { transfer.stopAfterItemInFlight(); });
    if (m_interrupt.wasInterrupted()) transfer.stopAfterItemInFlight();
    // The write backs the unit's values up first and names the backup below its question; a
    // backup that cannot be written ends the command with nothing written.
    if (!session.serviceActions().run(ServiceCommand::WriteAll))
        return failed(unit.prompter().lastError(), ExitBackup);
    const QString backup = unit.prompter().acceptedQuestion().mid(question.size());
    if (!backup.trimmed().isEmpty()) printOut(CliPrompter::oneLine(backup) + QLatin1Char('\n'));
    const int total = transfer.ParZapis.Pocet;

    // Over when the unit has closed the write sequence (date stamp, then "4100") and the link
    // polls again.
    const UnitConnection::Wait wait =
        unit.runUntil([&] { return ended && session.isPollingMonitor(); },
                      UnitConnection::OnInterrupt::KeepRunning);
    const int written = transfer.ParZapis.Prubeh;
    const QString howFar =
        LangAddedText(QStringLiteral("CliZapisPrerusen")).arg(written).arg(total);
    // The link lost during the write: one line with both what happened and how far it got.
    if (wait != UnitConnection::Wait::Done)
        return failed(unit.failure() + QLatin1Char(' ') + howFar, unit.failureExit());
    if (written < total) {
        if (m_interrupt.wasInterrupted()) return failed(howFar, ExitInterrupted);
        // Acknowledgements that moved the walk past items: the unit ended the write itself.
        return failed(LangAddedText(QStringLiteral("CliZapisZkracen")).arg(written).arg(total),
                      ExitCutShort);
    }
    printOut(LangAddedText(QStringLiteral("CliZapsano")).arg(written).arg(unit.device()) +
             QLatin1Char('\n'));
    // The unit as left, once it has been read again; a link that fails now leaves the write
    // done, without its record.
    if (session.recorder().pending() &&
        unit.runUntil([&] { return !session.recorder().pending(); }) != UnitConnection::Wait::Done)
        warn(LangAddedText(QStringLiteral("ZaznamNelzeUlozit")).arg(unit.failure()));
    return ExitSuccess;
}

int CliCommands::ident() {
    UnitConnection unit(m_iniPath, m_interrupt);
    if (!connectAndRefresh(unit, true)) return failed(unit);
    Session& session = unit.session();
    const QString variant = session.display().variantText;
    if (m_request.json)
        printOut(
            QString::fromUtf8(IdentReport::json(session.sheet(), session.image(), unit.device())));
    else
        printOut(IdentReport::text(session.sheet(), session.image(), variant));
    return ExitSuccess;
}

int CliCommands::monitor() {
    UnitConnection unit(m_iniPath, m_interrupt);
    if (!connectAndRefresh(unit, false)) return failed(unit);
    Session& session = unit.session();
    // Without --count the records run until Ctrl-C: the deadline was for reaching them.
    if (m_request.count == 0) unit.setDeadline(0);
    if (m_request.csv) printOut(MonitorLine::csvHeader() + QLatin1Char('\n'));
    int lines = 0;
    QObject::connect(&session, &Session::monitorUpdated, &unit, [&] {
        const QDateTime now = QDateTime::currentDateTime();
        printOut((m_request.csv ? MonitorLine::csv(session.image(), session.display(), now)
                                : MonitorLine::text(session.image(), session.display(), now)) +
                 QLatin1Char('\n'));
        ++lines;
    });
    const UnitConnection::Wait wait =
        unit.runUntil([&] { return m_request.count > 0 && lines >= m_request.count; });
    // Ctrl-C is how a monitor without --count is meant to end; before N records it cuts the
    // log short.
    if (wait == UnitConnection::Wait::Interrupted) {
        if (m_request.count == 0) return ExitSuccess;
        m_waitExit = ExitInterrupted;
    }
    return wait == UnitConnection::Wait::Done ? ExitSuccess : failed(unit);
}

int CliCommands::diff() {
    // The files first, so that a wrong one is said before the unit is read.
    const QString sides[] = {m_request.file, m_request.otherFile};
    ParameterSet sets[2];
    bool unitSide[2] = {false, false};
    for (int i = 0; i < 2; ++i) {
        unitSide[i] = sides[i] == QLatin1String("unit");
        QString problem;
        if (!unitSide[i] && !sets[i].loadFile(sides[i], &problem)) return failed(problem, ExitFile);
    }
    std::optional<UnitConnection> unit;
    if (unitSide[0] || unitSide[1]) {
        unit.emplace(m_iniPath, m_interrupt);
        if (!connectAndRefresh(*unit, true)) return failed(*unit);
        for (int i = 0; i < 2; ++i)
            if (unitSide[i]) sets[i].takeUnit(unit->session().image());
    }

    QList<ComparisonRow> rows = compareParameterSets(sets[0], sets[1]);
    rows.removeIf([](const ComparisonRow& row) { return !row.differs; });
    if (m_request.json) {
        QJsonArray all;
        for (const ComparisonRow& row : std::as_const(rows))
            all.append(QJsonObject{{QStringLiteral("parameter"), row.id()},
                                   {QStringLiteral("label"), row.label},
                                   {QStringLiteral("unit"), row.unit},
                                   {QStringLiteral("left"), row.left},
                                   {QStringLiteral("right"), row.right},
                                   {QStringLiteral("left_choice"), row.leftChoice},
                                   {QStringLiteral("right_choice"), row.rightChoice}});
        printOut(QString::fromUtf8(QJsonDocument(all).toJson(QJsonDocument::Indented)));
    } else if (m_request.csv) {
        printOut(comparisonCsv(rows));
    } else {
        for (const ComparisonRow& row : std::as_const(rows)) {
            const QString label =
                row.unit.isEmpty() ? row.label : row.label + QStringLiteral(" [") + row.unit + u']';
            printOut(label + u'\t' + ComparisonRow::shown(row.left, row.leftChoice) + u'\t' +
                     ComparisonRow::shown(row.right, row.rightChoice) + u'\n');
        }
    }
    return rows.isEmpty() ? ExitSuccess : ExitDiffers;
}

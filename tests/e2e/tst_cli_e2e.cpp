// kovr-cli as a separate process against simulated units on kernel pseudo-terminals: a unit
// read into a file, the file's differences listed and written into another unit, a write
// stopped by Ctrl-C, and the exit status and message of every failure.

#include "EventWait.h"
#include "PtyLine.h"
#include "SimulatedSetup.h"
#include "SimulatedUnit.h"
#include "UnprivilegedUser.h"
#include "lang/Lang.h"
#include "link/SerialPort.h"
#include "params/IniFile.h"
#include "params/ParameterCatalogue.h"
#include "params/ParameterFile.h"
#include "params/ServiceSheet.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {

constexpr int VariantIndex = 6; // B 6 decides which parameters a unit has

quint32 widthMask(int kind) {
    return kind == SimulatedUnit::KindB ? 0xFFu : kind == SimulatedUnit::KindW ? 0xFFFFu : ~0u;
}

// A simulated unit on its own pseudo-terminal, behind a link the tool opens as its device.
struct UnitOnLine {
    SimulatedUnit unit{2};
    PtyLine line{&unit};

    // `name` is unique per test: the serial port's lock file is named after it.
    bool open(const QString& folder, const QString& name) {
        line.setPaced(false);
        return line.open() && line.setLink(QDir(folder).filePath(name));
    }
    QString path() const { return line.linkPath(); }
};

struct CliResult {
    int exitCode = -1;
    QString out;
    QString err;
};

// How a run is started: in which folder, as which user, and what the test does while the
// tool's standard output grows.
struct CliRun {
    QString workDir;
    bool asNobody = false;
    std::function<void(QProcess&, const QString& out)> onOutput = nullptr;
    std::function<void(QProcess&)> onStarted = nullptr;
    // A file size limit for the tool (ulimit -f), as a full disk stops its writes; 0 none.
    rlim_t fileSizeLimit = 0;
    // Variables set for the run (an empty value removes one).
    QMap<QString, QString> environment = {};
    QString program = QStringLiteral(KOVR_CLI_PATH);
};

// Runs kovr-cli while this process's event loop keeps the simulated units answering.
CliResult runCli(const QStringList& arguments, const CliRun& how) {
    QProcess process;
    process.setWorkingDirectory(how.workDir);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // Backups go below the test's folder, not into the user's data, and the user's own
    // settings are not read.
    env.insert(QStringLiteral("XDG_DATA_HOME"), QDir(how.workDir).filePath(QStringLiteral("data")));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"),
               QDir(how.workDir).filePath(QStringLiteral("config")));
    for (auto it = how.environment.cbegin(); it != how.environment.cend(); ++it) {
        if (it.value().isEmpty())
            env.remove(it.key());
        else
            env.insert(it.key(), it.value());
    }
    process.setProcessEnvironment(env);
    process.setChildProcessModifier([asNobody = how.asNobody, limit = how.fileSizeLimit] {
        if (limit > 0) {
            const rlimit lowered{limit, limit};
            if (::setrlimit(RLIMIT_FSIZE, &lowered) != 0) ::_exit(98);
        }
        if (asNobody &&
            (::setgid(UnprivilegedUser::Nobody) != 0 || ::setuid(UnprivilegedUser::Nobody) != 0))
            ::_exit(99);
    });
    CliResult result;
    QObject::connect(&process, &QProcess::readyReadStandardOutput, &process, [&] {
        result.out += QString::fromUtf8(process.readAllStandardOutput());
        if (how.onOutput) how.onOutput(process, result.out);
    });
    QSignalSpy finished(&process, &QProcess::finished);
    process.start(how.program, arguments);
    if (!process.waitForStarted(5000)) return result;
    if (how.onStarted) how.onStarted(process);
    if (!finished.wait(60000)) {
        process.kill();
        process.waitForFinished(5000);
        return result;
    }
    result.out += QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return result;
}

// Every regular file below `folder` with a digest of its bytes, and every other entry with its
// kind: a failed command must leave them all as they were.
QMap<QString, QString> filesIn(const QString& folder) {
    QMap<QString, QString> files;
    QDirIterator it(folder, QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info = it.fileInfo();
        if (info.isDir() && !info.isSymLink()) continue; // a folder made on the way is harmless
        QString what = info.isSymLink() ? QStringLiteral("link ") + info.symLinkTarget()
                                        : QStringLiteral("other");
        if (!info.isSymLink() && info.isFile() && info.size() < 1024 * 1024) {
            QFile file(path);
            if (file.open(QIODevice::ReadOnly))
                what = QString::fromLatin1(
                    QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1).toHex());
        } else if (!info.isSymLink() && info.isFile()) {
            what = QStringLiteral("size %1").arg(info.size());
        }
        files.insert(path, what);
    }
    return files;
}

QString failureText(const CliResult& run) {
    return QStringLiteral("exit %1\nstdout: %2\nstderr: %3")
        .arg(run.exitCode)
        .arg(run.out, run.err);
}

// Every parameter but the variant one step away from what it was (and from unit A's file).
void changeEveryParameter(SimulatedUnit& unit) {
    for (SimulatedUnit::Kind kind : Kinds)
        for (int i = 0; i < ParameterCatalogue::count(kind); ++i)
            if (!(kind == SimulatedUnit::KindB && i == VariantIndex))
                unit.setParameter(kind, i, (unit.parameter(kind, i) + 1) & widthMask(kind));
}

// A write of the file with selection 0 that the unit took for the first `taken` items of the
// walk (DW, W, then B): those hold the file's value where the selection lets it write, every
// other item its value from `before`; item `unknown` (-1: none) may be either. The first item
// that differs, or an empty text.
QString walkMismatch(const SimulatedUnit& unit, const QList<QList<quint32>>& before,
                     const QList<QList<quint32>>& file, int taken, int unknown = -1) {
    int item = 0;
    for (int k : {2, 1, 0}) {
        for (int i = 0; i < ParameterCatalogue::count(Kinds[k]); ++i, ++item) {
            if (item == unknown) continue;
            const bool allowed =
                ParameterCatalogue::fromFile(k, i, 0) && unit.isPresent(Kinds[k], i);
            const quint32 expected = allowed && item < taken ? file[k][i] : before[k][i];
            if (unit.parameter(Kinds[k], i) != expected)
                return QStringLiteral("item %1 (kind %2 index %3), %4 taken")
                    .arg(item)
                    .arg(k)
                    .arg(i)
                    .arg(taken);
        }
    }
    return {};
}

// The dry run's lines: name, unit value, file value.
QStringList sortedLines(const QString& out) {
    QStringList lines = out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    lines.sort();
    return lines;
}

} // namespace

class TestCliEndToEnd : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void readWritesWhatTheProgramSaves();
    void writeFromFile_data();
    void writeFromFile();
    void stoppedWriteSaysHowFarItGot_data();
    void stoppedWriteSaysHowFarItGot();
    void unitEndsTheWriteEarly();
    void interrupted_data();
    void interrupted();
    void identAndMonitorThroughKovrIni();
    void machineOutputIsTheSameInEveryLanguage();
    void portsShowTheirComNumbers();
    void failures_data();
    void failures();
    void nameNotInTheSystemsEncoding();
    void simulatorArguments_data();
    void simulatorArguments();
    void recordsAndDiff();
    void languageWithoutAChoice_data();
    void languageWithoutAChoice();

private:
    CliRun inDir() const { return CliRun{m_dir.path()}; }

    QTemporaryDir m_dir;
    QString m_file; // unit A read by the tool
    QList<QList<quint32>> m_fileValues;
};

void TestCliEndToEnd::initTestCase() {
    LangIndex = 1; // the tool runs with --lang en
    QVERIFY(m_dir.isValid());
    UnitOnLine a;
    QVERIFY(a.open(m_dir.path(), QStringLiteral("ttyCliA")));
    m_file = m_dir.filePath(QStringLiteral("unit-a.par"));
    const CliResult run =
        runCli({QStringLiteral("read"), QStringLiteral("--port"), a.path(), QStringLiteral("--out"),
                m_file, QStringLiteral("--lang"), QStringLiteral("en")},
               inDir());
    QVERIFY2(run.exitCode == 0, qPrintable(failureText(run)));
    QVERIFY(QFileInfo::exists(m_file));
    m_fileValues = valuesOf(a.unit);
}

// The tool's file is byte for byte what the program's "Uložit jako" writes for the same unit.
void TestCliEndToEnd::readWritesWhatTheProgramSaves() {
    SimulatedSetup program;
    QString error;
    QVERIFY2(program.open(&error), qPrintable(error));
    program.start();
    QVERIFY(waitUntil([&] { return !program.session->scheduler().obnovaBezi(); }, 15000));
    // The production texts take longer than the parameters: wait until every one is there.
    QVERIFY(waitUntil(
        [&] {
            for (int field = 0; field < ParameterCatalogue::ProductionFields; ++field)
                if (program.session->sheet().cell(ServiceSheet::ProductionGrid,
                                                  ServiceSheet::TextColumn,
                                                  ParameterCatalogue::productionField(field).row) !=
                    QString::fromLatin1(program.unit.text(field)))
                    return false;
            return true;
        },
        15000));
    const QString saved = m_dir.filePath(QStringLiteral("program.par"));
    QVERIFY(program.session->parameterFiles().save(saved));

    QFile ours(m_file);
    QFile theirs(saved);
    QVERIFY(ours.open(QIODevice::ReadOnly) && theirs.open(QIODevice::ReadOnly));
    const QList<QByteArray> cliLines = ours.readAll().split('\n');
    const QList<QByteArray> programLines = theirs.readAll().split('\n');
    QCOMPARE(cliLines.size(), programLines.size());
    for (qsizetype i = 0; i < cliLines.size(); ++i)
        QCOMPARE(cliLines.at(i), programLines.at(i));
}

void TestCliEndToEnd::writeFromFile_data() {
    QTest::addColumn<int>("selection");
    QTest::newRow("Omezení") << 0;
    QTest::newRow("Výměna snímače") << 1;
}

// Unit B differs from the file in every third parameter: the dry run lists exactly those the
// selection lets the file write, the write makes them equal and leaves the rest alone, and
// the unit's old values are in the backup the write names.
void TestCliEndToEnd::writeFromFile() {
    QFETCH(int, selection);
    UnitOnLine b;
    QList<std::pair<int, int>> changed;
    for (SimulatedUnit::Kind kind : Kinds)
        for (int i = 0; i < ParameterCatalogue::count(kind); i += 3)
            if (!(kind == SimulatedUnit::KindB && i == VariantIndex)) {
                b.unit.setParameter(kind, i, (b.unit.parameter(kind, i) + 1) & widthMask(kind));
                changed.append({kind, i});
            }
    const QList<QList<quint32>> before = valuesOf(b.unit);
    QVERIFY(b.open(m_dir.path(), QStringLiteral("ttyCliB%1").arg(selection)));

    QStringList expected;
    for (const auto& [kind, i] : std::as_const(changed)) {
        if (!ParameterCatalogue::fromFile(kind, i, selection) || !b.unit.isPresent(Kinds[kind], i))
            continue;
        const bool isSigned = b.unit.isSigned(Kinds[kind], i);
        expected.append(LangText(ParameterCatalogue::nameKeyOf(kind, i)) + QLatin1Char('\t') +
                        ParameterCatalogue::valueText(kind, before[kind][i], isSigned) +
                        QLatin1Char('\t') +
                        ParameterCatalogue::valueText(kind, m_fileValues[kind][i], isSigned));
    }
    expected.sort();
    QVERIFY(expected.size() > 5);
    QVERIFY(expected.size() < changed.size()); // some changes the selection keeps out

    const QStringList common = {QStringLiteral("--port"),      b.path(),
                                QStringLiteral("--selection"), QString::number(selection),
                                QStringLiteral("--lang"),      QStringLiteral("en")};
    const CliResult dry =
        runCli(QStringList{QStringLiteral("write"), m_file, QStringLiteral("--dry-run")} + common,
               inDir());
    QVERIFY2(dry.exitCode == 0, qPrintable(failureText(dry)));
    QCOMPARE(sortedLines(dry.out), expected);
    QCOMPARE(valuesOf(b.unit), before);

    const CliResult write = runCli(QStringList{QStringLiteral("write"), m_file} + common, inDir());
    QVERIFY2(write.exitCode == 0, qPrintable(failureText(write)));
    for (int k = 0; k < 3; ++k) {
        for (int i = 0; i < ParameterCatalogue::count(Kinds[k]); ++i) {
            const bool allowed =
                ParameterCatalogue::fromFile(k, i, selection) && b.unit.isPresent(Kinds[k], i);
            QVERIFY2(b.unit.parameter(Kinds[k], i) == (allowed ? m_fileValues[k][i] : before[k][i]),
                     qPrintable(QStringLiteral("kind %1 index %2").arg(k).arg(i)));
        }
    }
    QVERIFY2(write.out.contains(QStringLiteral("86 items written")), qPrintable(write.out));

    // The backup the write names opens as a parameter file and holds what the unit had.
    const QRegularExpressionMatch named =
        QRegularExpression(QStringLiteral(": (/.*\\.par)$"), QRegularExpression::MultilineOption)
            .match(write.out);
    QVERIFY2(named.hasMatch(), qPrintable(write.out));
    QVERIFY(named.captured(1).startsWith(m_dir.path()));
    ServiceSheet sheet;
    DeviceImage image;
    QCOMPARE(ParameterFile::load(named.captured(1), sheet, image, false),
             ParameterFile::Read::Loaded);
    for (const auto& [kind, i] : std::as_const(changed)) {
        if (!b.unit.isPresent(Kinds[kind], i)) continue; // the unit never reported it
        const GridPlace place = ParameterCatalogue::place(kind, i);
        QCOMPARE(ParameterCatalogue::parseValue(
                     kind, sheet.cell(place.grid, ServiceSheet::ValueColumn, place.row)),
                 before[kind][i]);
    }

    // Written: nothing is left to change.
    const CliResult again =
        runCli(QStringList{QStringLiteral("write"), m_file, QStringLiteral("--dry-run")} + common,
               inDir());
    QVERIFY2(again.exitCode == 0, qPrintable(failureText(again)));
    QCOMPARE(again.out, QString());
}

void TestCliEndToEnd::stoppedWriteSaysHowFarItGot_data() {
    QTest::addColumn<bool>("silence"); // the unit falls silent instead of Ctrl-C
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("pattern");
    QTest::newRow("Ctrl-C") << false << 130
                            << QStringLiteral("^kovr-cli: Write stopped: (\\d+) of (\\d+) items "
                                              "written\\.$");
    QTest::newRow("unit falls silent")
        << true << 4
        << QStringLiteral("^kovr-cli: No unit answers on .*, not even after the retries\\. Write "
                          "stopped: (\\d+) of (\\d+) items written\\.$");
}

// Ctrl-C, or a unit that stops answering, as soon as the write has begun: one line says how
// many items were written, and that count is what the unit took, in the order of the walk
// (DW, W, then B). After Ctrl-C the item in flight is finished; a silent unit may or may not
// have taken the item it did not acknowledge.
void TestCliEndToEnd::stoppedWriteSaysHowFarItGot() {
    QFETCH(bool, silence);
    QFETCH(int, exitCode);
    QFETCH(QString, pattern);
    UnitOnLine b;
    changeEveryParameter(b.unit);
    const QList<QList<quint32>> before = valuesOf(b.unit);
    QVERIFY(b.open(m_dir.path(), QStringLiteral("ttyCliStop%1").arg(silence)));

    bool stopped = false;
    CliRun how = inDir();
    how.onOutput = [&](QProcess& process, const QString& out) {
        // The backup is named once the write has been queued.
        if (stopped || !out.contains(QStringLiteral(".par"))) return;
        if (silence)
            b.unit.setSilent(true);
        else
            ::kill(pid_t(process.processId()), SIGINT);
        stopped = true;
    };
    const CliResult run = runCli({QStringLiteral("write"), m_file, QStringLiteral("--port"),
                                  b.path(), QStringLiteral("--lang"), QStringLiteral("en")},
                                 how);
    QVERIFY(stopped);
    QVERIFY2(run.exitCode == exitCode, qPrintable(failureText(run)));
    QCOMPARE(run.err.count(QLatin1Char('\n')), 1);
    const QRegularExpressionMatch howFar =
        QRegularExpression(pattern, QRegularExpression::MultilineOption).match(run.err);
    QVERIFY2(howFar.hasMatch(), qPrintable(run.err));
    const int written = howFar.captured(1).toInt();
    QCOMPARE(howFar.captured(2).toInt(), 86);
    QVERIFY(written < 86);
    QVERIFY(silence || written >= 1);

    const QString mismatch =
        walkMismatch(b.unit, before, m_fileValues, written, silence ? written : -1);
    QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
}

// A unit whose acknowledgements move the walk past items has ended the write itself: a status
// of its own (not Ctrl-C's), and the unit holds the file's values exactly for the items it took.
void TestCliEndToEnd::unitEndsTheWriteEarly() {
    constexpr int taken = 10;
    UnitOnLine b;
    changeEveryParameter(b.unit);
    const QList<QList<quint32>> before = valuesOf(b.unit);
    b.unit.cutWritesAfter(taken);
    QVERIFY(b.open(m_dir.path(), QStringLiteral("ttyCliCut")));

    const CliResult run = runCli({QStringLiteral("write"), m_file, QStringLiteral("--port"),
                                  b.path(), QStringLiteral("--lang"), QStringLiteral("en")},
                                 inDir());
    QVERIFY2(run.exitCode == 7, qPrintable(failureText(run)));
    const QRegularExpressionMatch howFar =
        QRegularExpression(QStringLiteral("^kovr-cli: The unit ended the write early: it "
                                          "acknowledged (\\d+) of 86 items\\.\n$"))
            .match(run.err);
    QVERIFY2(howFar.hasMatch(), qPrintable(run.err));
    QVERIFY(howFar.captured(1).toInt() >= taken);
    QVERIFY(howFar.captured(1).toInt() < 86);

    const QString mismatch = walkMismatch(b.unit, before, m_fileValues, taken);
    QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
}

void TestCliEndToEnd::interrupted_data() {
    QTest::addColumn<QStringList>("arguments"); // {dir} the run's folder
    QTest::addColumn<bool>("afterFirstLine");   // Ctrl-C once a line is out, else at once
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message"); // the line on stderr; empty for none
    QTest::newRow("read") << QStringList{QStringLiteral("read"), QStringLiteral("--out"),
                                         QStringLiteral("{dir}/unit.par")}
                          << false << 130 << QStringLiteral("Interrupted, no file was written.");
    QTest::newRow("ident") << QStringList{QStringLiteral("ident")} << false << 130
                           << QStringLiteral("Interrupted.");
    QTest::newRow("monitor before its records")
        << QStringList{QStringLiteral("monitor")} << false << 130 << QStringLiteral("Interrupted.");
    QTest::newRow("monitor short of --count")
        << QStringList{QStringLiteral("monitor"), QStringLiteral("--count"), QStringLiteral("1000")}
        << true << 130 << QStringLiteral("Interrupted.");
    QTest::newRow("monitor ended as meant")
        << QStringList{QStringLiteral("monitor")} << true << 0 << QString();
}

// Ctrl-C in a command that writes nothing into the unit says no more than what it left undone;
// a monitor without --count is meant to end by it.
void TestCliEndToEnd::interrupted() {
    QFETCH(QStringList, arguments);
    QFETCH(bool, afterFirstLine);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    QTemporaryDir work;
    UnitOnLine unit;
    QVERIFY(unit.open(work.path(), QStringLiteral("ttyCliInt")));
    CliRun how{work.path()};
    bool sent = false;
    pid_t pid = 0;
    const auto interrupt = [&] {
        if (sent || pid == 0) return;
        sent = true;
        ::kill(pid, SIGINT);
    };
    how.onStarted = [&](QProcess& process) { pid = pid_t(process.processId()); };
    if (afterFirstLine)
        how.onOutput = [&](QProcess&, const QString&) { interrupt(); };
    else // the first request on the line: the refresh has just begun
        QObject::connect(&unit.unit, &SimulatedUnit::requestAccepted, &unit.unit, interrupt);
    QStringList filled;
    for (const QString& argument : std::as_const(arguments))
        filled.append(QString(argument).replace(QStringLiteral("{dir}"), work.path()));
    filled << QStringLiteral("--port") << unit.path() << QStringLiteral("--lang")
           << QStringLiteral("en");
    const CliResult run = runCli(filled, how);
    QVERIFY(sent);
    QVERIFY2(run.exitCode == exitCode, qPrintable(failureText(run)));
    QCOMPARE(run.err,
             message.isEmpty() ? QString() : QStringLiteral("kovr-cli: ") + message + '\n');
    QVERIFY(!QFileInfo::exists(work.filePath(QStringLiteral("unit.par"))));
}

// COM<n> opens what kovr.ini's section Ports binds it to, as the program does.
void TestCliEndToEnd::identAndMonitorThroughKovrIni() {
    UnitOnLine unit;
    unit.unit.setPosition(4321);
    QVERIFY(unit.open(m_dir.path(), QStringLiteral("ttyCliIdent")));
    QTemporaryDir work;
    QFile ini(work.filePath(QStringLiteral("kovr.ini")));
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write("[Setup]\nLang=1\n[Ports]\nCOM3=" + unit.path().toUtf8() + "  ; the simulator\n");
    ini.close();
    const CliRun how{work.path()};

    const CliResult ident = runCli({QStringLiteral("ident"), QStringLiteral("--port"),
                                    QStringLiteral("COM3"), QStringLiteral("--json")},
                                   how);
    QVERIFY2(ident.exitCode == 0, qPrintable(failureText(ident)));
    const QJsonObject json = QJsonDocument::fromJson(ident.out.toUtf8()).object();
    QCOMPARE(json.value(QStringLiteral("port")).toString(), unit.path());
    QCOMPARE(json.value(QStringLiteral("variant")).toInt(), 2);
    QCOMPARE(json.value(QStringLiteral("variant_name")).toString(), QStringLiteral("KOVR"));
    const QJsonObject production = json.value(QStringLiteral("production")).toObject();
    QCOMPARE(production.value(QStringLiteral("electronics_serial")).toString(),
             QString::fromLatin1(unit.unit.text(3)));
    QCOMPARE(production.value(QStringLiteral("fieldbus_firmware")).toString(),
             QString::fromLatin1(unit.unit.text(12)));

    const CliResult monitor =
        runCli({QStringLiteral("monitor"), QStringLiteral("--port"), QStringLiteral("com3"),
                QStringLiteral("--csv"), QStringLiteral("--count"), QStringLiteral("3")},
               how);
    QVERIFY2(monitor.exitCode == 0, qPrintable(failureText(monitor)));
    const QStringList lines = monitor.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 4);
    QVERIFY(lines.first().startsWith(QStringLiteral("time,position_pct")));
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QStringList fields = lines.at(i).split(QLatin1Char(','));
        QCOMPARE(fields.size(), 10);
        QCOMPARE(fields.at(1), QStringLiteral("43.21"));
    }
}

// What scripts parse is the same in Czech as in English: ident's JSON byte for byte, and the
// monitor's CSV but for the time of each record. A unit newer than the tool has no variant name
// of the tool's to give.
void TestCliEndToEnd::machineOutputIsTheSameInEveryLanguage() {
    UnitOnLine unit;
    unit.unit.setVariant(200);
    unit.unit.setPosition(1234);
    unit.unit.setMotor(SimulatedUnit::MotorStop);
    QVERIFY(unit.open(m_dir.path(), QStringLiteral("ttyCliLang")));
    QMap<QString, QString> json;
    QMap<QString, QStringList> csv;
    for (const QString& language : {QStringLiteral("cs"), QStringLiteral("en")}) {
        const CliResult ident =
            runCli({QStringLiteral("ident"), QStringLiteral("--port"), unit.path(),
                    QStringLiteral("--json"), QStringLiteral("--lang"), language},
                   inDir());
        QVERIFY2(ident.exitCode == 0, qPrintable(failureText(ident)));
        json[language] = ident.out;
        const CliResult monitor =
            runCli({QStringLiteral("monitor"), QStringLiteral("--port"), unit.path(),
                    QStringLiteral("--csv"), QStringLiteral("--count"), QStringLiteral("3"),
                    QStringLiteral("--lang"), language},
                   inDir());
        QVERIFY2(monitor.exitCode == 0, qPrintable(failureText(monitor)));
        for (const QString& line : monitor.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            csv[language].append(line.section(QLatin1Char(','), 1));
    }
    QCOMPARE(json[QStringLiteral("cs")], json[QStringLiteral("en")]);
    const QJsonObject object =
        QJsonDocument::fromJson(json[QStringLiteral("en")].toUtf8()).object();
    QCOMPARE(object.value(QStringLiteral("variant")).toInt(), 200);
    QVERIFY(object.value(QStringLiteral("variant_name")).isNull());
    QCOMPARE(csv[QStringLiteral("cs")], csv[QStringLiteral("en")]);
    QCOMPARE(csv[QStringLiteral("en")].size(), 4);
    QCOMPARE(csv[QStringLiteral("en")].at(1).section(QLatin1Char(','), 0, 0),
             QStringLiteral("12.34"));
    QCOMPARE(csv[QStringLiteral("en")].at(1).section(QLatin1Char(','), -2, -2),
             QStringLiteral("stopped"));
}

// The machine's ports, each with the COM numbers that open it: a binding in kovr.ini shows.
void TestCliEndToEnd::portsShowTheirComNumbers() {
    QTemporaryDir work;
    const CliRun how{work.path()};
    const CliResult plain = runCli({QStringLiteral("ports")}, how);
    QVERIFY2(plain.exitCode == 0, qPrintable(failureText(plain)));
    QStringList lines = plain.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QVERIFY(!lines.isEmpty());
    QCOMPARE(lines.takeFirst(), QStringLiteral("device\tdescription\tmanufacturer\tserial_number\t"
                                               "stable_path\tcom_numbers"));
    if (lines.isEmpty()) QSKIP("this machine has no serial port");
    for (const QString& line : std::as_const(lines))
        QCOMPARE(line.count(QLatin1Char('\t')), 5);
    const QString device = lines.first().section(QLatin1Char('\t'), 0, 0);
    QVERIFY(!lines.first().section(QLatin1Char('\t'), 5).contains(QStringLiteral("COM17")));

    // COM 17 as the setup dialog would bind it, and COM 21, beyond the dialog, as kovr.ini can.
    QFile ini(work.filePath(QStringLiteral("kovr.ini")));
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write("[Ports]\nCOM17=" + device.toUtf8() + "\nCOM21=" + device.toUtf8() + "\n");
    ini.close();
    const CliResult bound = runCli({QStringLiteral("ports")}, how);
    QVERIFY2(bound.exitCode == 0, qPrintable(failureText(bound)));
    const QString first = bound.out.section(QLatin1Char('\n'), 1, 1);
    QCOMPARE(first.section(QLatin1Char('\t'), 0, 0), device);
    const QStringList numbers = first.section(QLatin1Char('\t'), 5).split(QLatin1Char(' '));
    QVERIFY2(numbers.contains(QStringLiteral("COM17")), qPrintable(first));
    QCOMPARE(numbers.last(), QStringLiteral("COM21"));

    // The same ports as JSON, for scripts.
    const CliResult json = runCli({QStringLiteral("ports"), QStringLiteral("--json")}, how);
    QVERIFY2(json.exitCode == 0, qPrintable(failureText(json)));
    const QJsonArray ports = QJsonDocument::fromJson(json.out.toUtf8()).array();
    QCOMPARE(ports.size(), lines.size());
    const QJsonObject firstPort = ports.first().toObject();
    QCOMPARE(firstPort.value(QStringLiteral("device")).toString(), device);
    QCOMPARE(firstPort.value(QStringLiteral("com_numbers")).toArray().last().toString(),
             QStringLiteral("COM21"));
}

void TestCliEndToEnd::failures_data() {
    QTest::addColumn<QString>("unitState"); // "", silent, foreign, held, nobody, paced, …
    // {unit} the unit's link, {dir} the test folder, {file} unit A's parameter file
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");

    const QString ident = QStringLiteral("ident");
    const QString port = QStringLiteral("--port");
    // A port that does not exist: a row that ends in exit 5 with it shows that the file was
    // refused before the port was opened (that would end in exit 3), so with no unit at all.
    const QString nowhere = QStringLiteral("{dir}/ttyNone");
    QTest::newRow("absent port") << QString() << QStringList{ident, port, nowhere} << 3
                                 << QStringLiteral("Required COM port is not available: Device ");
    QTest::newRow("busy port") << QStringLiteral("held")
                               << QStringList{ident, port, QStringLiteral("{unit}")} << 3
                               << QStringLiteral("is in use by another program");
    QTest::newRow("port not permitted")
        << QStringLiteral("nobody") << QStringList{ident, port, QStringLiteral("{unit}")} << 3
        << QStringLiteral("You have no permission to use device");
    QTest::newRow("silent unit") << QStringLiteral("silent")
                                 << QStringList{ident, port, QStringLiteral("{unit}")} << 4
                                 << QStringLiteral(
                                        "No unit answers on {unit}, not even after the retries.");
    QTest::newRow("foreign protocol")
        << QStringLiteral("foreign") << QStringList{ident, port, QStringLiteral("{unit}")} << 4
        << QStringLiteral("Uncompatible firmware version");
    QTest::newRow("missing file")
        << QString()
        << QStringList{QStringLiteral("write"), QStringLiteral("{dir}/missing.par"), port, nowhere,
                       QStringLiteral("--dry-run")}
        << 5 << QStringLiteral("Error in reading file {dir}/missing.par: No such file or folder.");
    QTest::newRow("unreadable file")
        << QString()
        << QStringList{QStringLiteral("write"), QStringLiteral("{dir}/folder.par"), port, nowhere}
        << 5 << QStringLiteral("Error in reading file {dir}/folder.par");
    QTest::newRow("wrong file") << QString()
                                << QStringList{QStringLiteral("write"),
                                               QStringLiteral("{dir}/wrong.par"), port, nowhere}
                                << 5 << QStringLiteral("Wrong file {dir}/wrong.par");
    QTest::newRow("file not writable")
        << QString()
        << QStringList{QStringLiteral("read"), port, nowhere, QStringLiteral("--out"),
                       QStringLiteral("{dir}/no-folder/unit.par")}
        << 5 << QStringLiteral("{dir}/no-folder/unit.par: ");
    QTest::newRow("backup not possible")
        << QStringLiteral("nobackup")
        << QStringList{QStringLiteral("write"), QStringLiteral("{file}"), port,
                       QStringLiteral("{unit}"), QStringLiteral("--no-record")}
        << 6
        << QStringLiteral("The unit's present values could not be backed up; nothing has been "
                          "written to the unit. {dir}/data/");
    // Where a file cannot go or come from.
    const QString read = QStringLiteral("read");
    const QString write = QStringLiteral("write");
    const QString out = QStringLiteral("--out");
    const auto notRegular = [](const char* verb, const char* name) {
        return QStringLiteral("Error in %1 file {dir}/%2: It is not a regular file (it is a "
                              "device, a pipe or a socket).")
            .arg(QLatin1String(verb), QLatin1String(name));
    };
    QTest::newRow("read into a full disk")
        << QStringLiteral("fulldisk")
        << QStringList{read,
                       port,
                       QStringLiteral("{unit}"),
                       out,
                       QStringLiteral("{dir}/old.par"),
                       QStringLiteral("--no-record")}
        << 5
        << QStringLiteral("Error in writing file {dir}/old.par: The file would exceed the "
                          "largest size allowed.");
    QTest::newRow("backup on a full disk")
        << QStringLiteral("fulldisk")
        << QStringList{write, QStringLiteral("{file}"), port, QStringLiteral("{unit}"),
                       QStringLiteral("--no-record")}
        << 6 << QStringLiteral("nothing has been written to the unit. {dir}/data/");
    QTest::newRow("read into a device node")
        << QStringLiteral("nodes")
        << QStringList{read, port, nowhere, out, QStringLiteral("{dir}/null")} << 5
        << notRegular("writing", "null");
    QTest::newRow("read into a FIFO")
        << QString() << QStringList{read, port, nowhere, out, QStringLiteral("{dir}/fifo")} << 5
        << notRegular("writing", "fifo");
    QTest::newRow("read into a folder")
        << QString() << QStringList{read, port, nowhere, out, QStringLiteral("{dir}/folder.par")}
        << 5 << QStringLiteral("{dir}/folder.par: It is a folder, not a file.");
    QTest::newRow("read into a link to nothing")
        << QString() << QStringList{read, port, nowhere, out, QStringLiteral("{dir}/dangling.par")}
        << 5 << QStringLiteral("{dir}/dangling.par: It is a link to a file that does not exist.");
    QTest::newRow("read into a read-only folder")
        << QStringLiteral("nobody")
        << QStringList{read, port, QStringLiteral("{unit}"), out, QStringLiteral("{dir}/new.par")}
        << 5 << QStringLiteral("Error in writing file {dir}/new.par: Permission denied.");
    QTest::newRow("write a device that never ends")
        << QStringLiteral("nodes")
        << QStringList{write, QStringLiteral("{dir}/zero"), port, nowhere} << 5
        << notRegular("reading", "zero");
    QTest::newRow("write a FIFO") << QString()
                                  << QStringList{write, QStringLiteral("{dir}/fifo"), port, nowhere}
                                  << 5 << notRegular("reading", "fifo");
    QTest::newRow("write a file far too large")
        << QString() << QStringList{write, QStringLiteral("{dir}/big.par"), port, nowhere} << 5
        << QStringLiteral("Error in reading file {dir}/big.par: The file has 104857600 bytes");
    QTest::newRow("write values the unit must never receive")
        << QString()
        << QStringList{write, QStringLiteral("{dir}/bad.par"), port, nowhere,
                       QStringLiteral("--dry-run")}
        << 5
        << QStringLiteral("Wrong file {dir}/bad.par: These values are no whole numbers within "
                          "the parameter's range; nothing has been written into the unit: B 20 "
                          "|\"abc\"|\"9000abc\"|\"1e3\"|W 9 |\"65537\" (-32768..65535)|W 10 "
                          "|no value");
    // A unit at the line's pace needs about ten seconds for the refresh: the deadline passes
    // while it has answered only part of it, and nothing is written, neither file nor unit.
    const QString timeout = QStringLiteral("--timeout");
    const QString deadline =
        QStringLiteral("The unit on {unit} did not finish the command within %1 s (--timeout)");
    QTest::newRow("deadline of ident")
        << QStringLiteral("paced")
        << QStringList{ident, port, QStringLiteral("{unit}"), timeout, QStringLiteral("1")} << 4
        << deadline.arg(1);
    QTest::newRow("deadline of read") << QStringLiteral("paced")
                                      << QStringList{read,
                                                     port,
                                                     QStringLiteral("{unit}"),
                                                     out,
                                                     QStringLiteral("{dir}/new.par"),
                                                     timeout,
                                                     QStringLiteral("1.5")}
                                      << 4 << deadline.arg(1.5);
    QTest::newRow("deadline of write")
        << QStringLiteral("paced")
        << QStringList{write,   QStringLiteral("{file}"), port, QStringLiteral("{unit}"),
                       timeout, QStringLiteral("2")}
        << 4 << deadline.arg(2);
}

// Each failure ends with its exit status and one line on stderr that holds each '|'-separated
// part of `message`, and writes nothing.
void TestCliEndToEnd::failures() {
    QFETCH(QString, unitState);
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, message);

    QTemporaryDir work;
    QVERIFY(work.isValid());
    QFile wrong(work.filePath(QStringLiteral("wrong.par")));
    QVERIFY(wrong.open(QIODevice::WriteOnly));
    wrong.write("[Ident]\r\nSystem=OTHER\r\n[Parametry_B]\r\n0=1\r\n");
    wrong.close();
    QVERIFY(QDir(work.path()).mkdir(QStringLiteral("folder.par")));
    // A file a failed save must leave byte for byte, longer than the full disk lets through.
    QFile oldFile(work.filePath(QStringLiteral("old.par")));
    QVERIFY(oldFile.open(QIODevice::WriteOnly));
    oldFile.write("[Ident]\r\nSystem=KOVR\r\n[Pozn]\r\n0=" + QByteArray(2000, 'o') + "\r\n");
    oldFile.close();
    const QByteArray fifo = QFile::encodeName(work.filePath(QStringLiteral("fifo")));
    QCOMPARE(::mkfifo(fifo.constData(), 0666), 0);
    QVERIFY(QFile::link(work.filePath(QStringLiteral("nowhere/unit.par")),
                        work.filePath(QStringLiteral("dangling.par"))));
    QFile big(work.filePath(QStringLiteral("big.par")));
    QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(100 * 1024 * 1024));
    big.close();
    // Unit A's file with texts that would reach the unit as other numbers, and a value gone.
    const QString bad = work.filePath(QStringLiteral("bad.par"));
    QVERIFY(QFile::copy(m_file, bad));
    IniFile badFile(bad, IniFile::Format::ParameterFile);
    QVERIFY(badFile.load());
    const std::pair<const char*, const char*> badValues[] = {
        {"20", "abc"}, {"21", "9000abc"}, {"22", "1e3"}};
    for (const auto& [key, text] : badValues)
        badFile.setValue(QStringLiteral("Parametry_B"), QLatin1String(key), QLatin1String(text));
    badFile.setValue(QStringLiteral("Parametry_W"), QStringLiteral("9"), QStringLiteral("65537"));
    badFile.setValue(QStringLiteral("Parametry_W"), QStringLiteral("10"), QString());
    QVERIFY(badFile.save());
    if (unitState == QLatin1String("nodes")) {
        const auto node = [&](const char* name, int minor) {
            const QByteArray path = QFile::encodeName(work.filePath(QLatin1String(name)));
            return ::mknod(path.constData(), S_IFCHR | 0666, makedev(1, minor)) == 0;
        };
        if (!node("null", 3) || !node("zero", 5)) QSKIP("making a device node needs root");
    }

    UnitOnLine unit;
    const QList<QList<quint32>> before = valuesOf(unit.unit);
    static int row = 0;
    QVERIFY(unit.open(work.path(), QStringLiteral("ttyCliFail%1").arg(++row)));
    unit.unit.setSilent(unitState == QLatin1String("silent"));
    unit.unit.setForeignHeader(unitState == QLatin1String("foreign"));
    unit.line.setPaced(unitState == QLatin1String("paced"));
    SerialPort holder;
    if (unitState == QLatin1String("held")) {
        holder.devices().bind(1, unit.path());
        holder.setPortNum(1);
        QString error;
        QVERIFY2(holder.open(&error), qPrintable(error));
    }
    if (unitState == QLatin1String("nobackup")) {
        // The backups' folder cannot be made where a file stands in its way.
        QFile inTheWay(work.filePath(QStringLiteral("data")));
        QVERIFY(inTheWay.open(QIODevice::WriteOnly));
    }
    CliRun how{work.path()};
    if (unitState == QLatin1String("fulldisk")) how.fileSizeLimit = 1024;
    if (unitState == QLatin1String("nobody")) {
        // Root opens any device: the tool runs as nobody, who may reach the link but not the
        // pseudo-terminal behind it.
        if (!UnprivilegedUser::become()) QSKIP("this process cannot act as user nobody");
        UnprivilegedUser::leave();
        QVERIFY(QFile::setPermissions(
            work.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                             QFileDevice::ReadOther | QFileDevice::ExeOther));
        how.asNobody = true;
        how.workDir = QDir::rootPath();
    }

    const auto fill = [&](QString text) {
        return text.replace(QStringLiteral("{unit}"), unit.path())
            .replace(QStringLiteral("{dir}"), work.path())
            .replace(QStringLiteral("{file}"), m_file);
    };
    QStringList filled;
    for (const QString& argument : std::as_const(arguments))
        filled.append(fill(argument));
    filled << QStringLiteral("--lang") << QStringLiteral("en");

    const QMap<QString, QString> filesBefore = filesIn(work.path());
    const CliResult run = runCli(filled, how);
    QVERIFY2(run.exitCode == exitCode, qPrintable(failureText(run)));
    const QStringList errLines = run.err.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QVERIFY2(errLines.size() == 1, qPrintable(run.err));
    QVERIFY2(errLines.first().startsWith(QStringLiteral("kovr-cli: ")), qPrintable(run.err));
    for (const QString& fragment : fill(message).split(QLatin1Char('|')))
        QVERIFY2(errLines.first().contains(fragment), qPrintable(run.err));
    QCOMPARE(valuesOf(unit.unit), before);
    // Nothing written, nothing replaced, nothing left behind (a backup, a temporary file).
    QCOMPARE(filesIn(work.path()), filesBefore);
}

// A name whose bytes are no UTF-8 would reach the file system as another name (U+FFFD twice):
// refused before anything is opened, and no file of either name appears.
void TestCliEndToEnd::nameNotInTheSystemsEncoding() {
    QTemporaryDir work;
    QProcess shell;
    shell.setWorkingDirectory(work.path());
    shell.start(
        QStringLiteral("/bin/sh"),
        {QStringLiteral("-c"),
         QStringLiteral("exec \"$0\" read --port /dev/null --out \"$(printf '\\377\\376.par')\" "
                        "--lang en"),
         QStringLiteral(KOVR_CLI_PATH)});
    QVERIFY(shell.waitForFinished(10000));
    const QString err = QString::fromUtf8(shell.readAllStandardError());
    QCOMPARE(shell.exitCode(), 2);
    QVERIFY2(err.contains(QStringLiteral("is no valid text in the system's encoding")),
             qPrintable(err));
    QCOMPARE(QDir(work.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
}

void TestCliEndToEnd::simulatorArguments_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("said"); // the start of stdout (status 0) or of stderr
    QTest::newRow("version") << QStringList{QStringLiteral("--version")} << 0
                             << QStringLiteral("kovr-sim 1.");
    QTest::newRow("unknown option") << QStringList{QStringLiteral("--bogus")} << 2
                                    << QStringLiteral("kovr-sim: Unknown option 'bogus'.");
    QTest::newRow("variant out of range")
        << QStringList{QStringLiteral("--variant"), QStringLiteral("256")} << 2
        << QStringLiteral("kovr-sim: --variant takes a whole number 0..255");
    QTest::newRow("cut-write below -1")
        << QStringList{QStringLiteral("--cut-write"), QStringLiteral("-2")} << 2
        << QStringLiteral("kovr-sim: --cut-write takes a whole number >= -1");
    QTest::newRow("stray word") << QStringList{QStringLiteral("unpaced")} << 2
                                << QStringLiteral("kovr-sim: unexpected argument \"unpaced\"");
}

// The simulator refuses what it does not understand as kovr-cli does, before opening a line.
void TestCliEndToEnd::simulatorArguments() {
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, said);
    QProcess sim;
    sim.start(QStringLiteral(KOVR_SIM_PATH), arguments);
    QVERIFY(sim.waitForFinished(10000));
    QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
    QCOMPARE(sim.exitCode(), exitCode);
    const QString out =
        QString::fromUtf8(exitCode == 0 ? sim.readAllStandardOutput() : sim.readAllStandardError());
    QVERIFY2(out.startsWith(said), qPrintable(out));
}

// read records the unit as found once (kovr-cli as its writer), not again while it is unchanged
// nor with --no-record; diff compares the unit with a file, or two files, as diff(1) answers.
void TestCliEndToEnd::recordsAndDiff() {
    QTemporaryDir work;
    UnitOnLine unit;
    QVERIFY(unit.open(work.path(), QStringLiteral("ttyCliRec")));
    const CliRun how{work.path()};
    const QString file = work.filePath(QStringLiteral("as-read.par"));
    const QStringList port{QStringLiteral("--port"), unit.path(), QStringLiteral("--lang"),
                           QStringLiteral("en")};
    const auto read = [&](const QStringList& more) {
        return runCli(
            QStringList{QStringLiteral("read"), QStringLiteral("--out"), file} + port + more, how);
    };
    const QString records = work.filePath(QStringLiteral("data/KOVR NEVRA/units/") +
                                          QString::fromLatin1(unit.unit.text(3)).trimmed());
    const auto recorded = [&] {
        return QDir(records).entryList({QStringLiteral("*.par")}, QDir::Files);
    };
    CliResult run = read({});
    QVERIFY2(run.exitCode == 0, qPrintable(failureText(run)));
    QCOMPARE(recorded().size(), 1);
    QVERIFY(recorded().first().endsWith(QStringLiteral("_found.par")));
    IniFile record(QDir(records).filePath(recorded().first()), IniFile::Format::ParameterFile);
    QVERIFY(record.load());
    QCOMPARE(record.value(QStringLiteral("Record"), QStringLiteral("Writer")),
             QStringLiteral("kovr-cli"));
    run = read({});
    QVERIFY2(run.exitCode == 0, qPrintable(failureText(run)));
    QCOMPARE(recorded().size(), 1);

    unit.unit.setParameter(SimulatedUnit::KindB, 27, 90);
    run = read({QStringLiteral("--no-record")});
    QVERIFY2(run.exitCode == 0, qPrintable(failureText(run)));
    QCOMPARE(recorded().size(), 1);

    // The file now holds 90; the unit goes back to 70.
    unit.unit.setParameter(SimulatedUnit::KindB, 27, 70);
    const CliResult differs =
        runCli(QStringList{QStringLiteral("diff"), QStringLiteral("unit"), file} + port, how);
    QCOMPARE(differs.exitCode, 1);
    // The label with its unit of measure, each side with what its selector shows.
    QCOMPARE(differs.out, LangText(ParameterCatalogue::nameKeyOf(0, 27)) +
                              QStringLiteral("\t70 (70  %)\t90 (90  %)\n"));
    const CliResult csv = runCli({QStringLiteral("diff"), file, QStringLiteral("unit"),
                                  QStringLiteral("--csv"), QStringLiteral("--port"), unit.path()},
                                 how);
    QCOMPARE(csv.exitCode, 1);
    QCOMPARE(csv.out.split(u'\n').value(1).section(u',', 0, 0), QStringLiteral("B 27"));
    const CliResult same =
        runCli({QStringLiteral("diff"), file, file, QStringLiteral("--json")}, how);
    QCOMPARE(same.exitCode, 0);
    QCOMPARE(QJsonDocument::fromJson(same.out.toUtf8()).array().size(), 0);
    const CliResult missing =
        runCli({QStringLiteral("diff"), file, work.filePath(QStringLiteral("none.par"))}, how);
    QCOMPARE(missing.exitCode, 5);
    const CliResult twice = runCli(
        QStringList{QStringLiteral("diff"), QStringLiteral("unit"), QStringLiteral("unit")} + port,
        how);
    QCOMPARE(twice.exitCode, 2);

    // A record that cannot be made is a warning: the read itself is done.
    unit.unit.setParameter(SimulatedUnit::KindB, 27, 80);
    QVERIFY(QDir(records).removeRecursively());
    QFile inTheWay(records);
    QVERIFY(inTheWay.open(QIODevice::WriteOnly));
    inTheWay.close();
    QVERIFY(QFile::remove(file));
    run = read({});
    QVERIFY2(run.exitCode == 0, qPrintable(failureText(run)));
    QVERIFY2(run.err.startsWith(QStringLiteral("kovr-cli: warning: The record of the unit could "
                                               "not be saved: ")) &&
                 run.err.count(u'\n') == 1,
             qPrintable(run.err));
    QVERIFY(QFileInfo::exists(file));
}

void TestCliEndToEnd::languageWithoutAChoice_data() {
    QTest::addColumn<QString>("program");     // kovr-cli or kovr
    QTest::addColumn<QString>("lang");        // LANG
    QTest::addColumn<QByteArray>("localIni"); // kovr.ini in the working directory, if any
    QTest::addColumn<QByteArray>("userIni");  // kovr.ini in the per-user folder, if any
    QTest::addColumn<QString>("heading");
    const QString cli = QStringLiteral(KOVR_CLI_PATH);
    const QString gui = QStringLiteral(KOVR_PATH);
    QTest::newRow("no file: the system's Polish")
        << cli << "pl_PL.UTF-8" << QByteArray() << QByteArray() << "Użycie:";
    QTest::newRow("no file: the system's Russian")
        << cli << "ru_RU.UTF-8" << QByteArray() << QByteArray() << "Использование:";
    QTest::newRow("no file, a language the tool lacks: Czech")
        << cli << "de_DE.UTF-8" << QByteArray() << QByteArray() << "Použití:";
    QTest::newRow("the working directory's file wins")
        << cli << "pl_PL.UTF-8" << QByteArray("[Setup]\nLang=1\n")
        << QByteArray("[Setup]\nLang=3\n") << "Usage:";
    QTest::newRow("else the user's file") << cli << "pl_PL.UTF-8" << QByteArray()
                                          << QByteArray("[Setup]\nLang=3\n") << "Использование:";
    QTest::newRow("the program's help, no display")
        << gui << "ru_RU.UTF-8" << QByteArray() << QByteArray() << "Использование: kovr";
}

// The help of kovr-cli, and of the program, speak the language a first start would: kovr.ini's
// where there is one (the working directory's, else the user's), else the system's. The
// program's help and version need no display.
void TestCliEndToEnd::languageWithoutAChoice() {
    QFETCH(QString, program);
    QFETCH(QString, lang);
    QFETCH(QByteArray, localIni);
    QFETCH(QByteArray, userIni);
    QFETCH(QString, heading);
    QTemporaryDir work;
    const auto write = [](const QString& path, const QByteArray& text) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
    };
    if (!localIni.isEmpty()) QVERIFY(write(work.filePath(QStringLiteral("kovr.ini")), localIni));
    if (!userIni.isEmpty())
        QVERIFY(write(work.filePath(QStringLiteral("config/kovr/kovr.ini")), userIni));
    CliRun how{work.path()};
    how.program = program;
    how.environment = {{QStringLiteral("LANG"), lang},
                       {QStringLiteral("LC_ALL"), QString()},
                       {QStringLiteral("LC_MESSAGES"), QString()},
                       {QStringLiteral("LANGUAGE"), QString()},
                       {QStringLiteral("DISPLAY"), QString()},
                       {QStringLiteral("WAYLAND_DISPLAY"), QString()},
                       {QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb")}};
    const CliResult help = runCli({QStringLiteral("--help")}, how);
    QVERIFY2(help.exitCode == 0, qPrintable(failureText(help)));
    QVERIFY2(help.out.contains(heading), qPrintable(help.out));
    const CliResult version = runCli({QStringLiteral("--version")}, how);
    QVERIFY2(version.exitCode == 0, qPrintable(failureText(version)));
    QVERIFY2(version.out.startsWith(QFileInfo(program).fileName() + QStringLiteral(" 1.")),
             qPrintable(version.out));
    // Asking changed nothing on disk.
    QCOMPARE(QFileInfo::exists(work.filePath(QStringLiteral("kovr.ini"))), !localIni.isEmpty());
    QCOMPARE(QFileInfo::exists(work.filePath(QStringLiteral("config/kovr"))), !userIni.isEmpty());
}

QTEST_MAIN(TestCliEndToEnd)
#include "tst_cli_e2e.moc"

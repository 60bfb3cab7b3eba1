// kovr-cli's arguments read in-process: what each command line asks for, and the status of the
// ones the tool refuses before it does anything.

#include "cli/CliExit.h"
#include "cli/CliRequest.h"
#include "lang/Lang.h"

#include <QTemporaryFile>
#include <QTest>

#include <cstdio>
#include <unistd.h>

namespace {

// What the parser prints on stderr while it runs.
class StderrCapture {
public:
    StderrCapture() {
        m_file.open();
        std::fflush(stderr);
        m_saved = ::dup(STDERR_FILENO);
        ::dup2(m_file.handle(), STDERR_FILENO);
    }
    QString text() {
        std::fflush(stderr);
        ::dup2(m_saved, STDERR_FILENO);
        ::close(m_saved);
        m_file.seek(0);
        return QString::fromUtf8(m_file.readAll());
    }

private:
    QTemporaryFile m_file;
    int m_saved = -1;
};

} // namespace

using Command = CliRequest::Command;
Q_DECLARE_METATYPE(CliRequest::Command)

class TestCliRequest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { LangIndex = 1; }
    void parse_data();
    void parse();
    void nameNotInTheSystemsEncoding();
};

void TestCliRequest::parse_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("requested");
    QTest::addColumn<Command>("command");
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("selection");
    QTest::addColumn<bool>("dryRun");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("message"); // part of what stderr says
    const auto ok = [](const char* name, const QStringList& args, Command command, const char* port,
                       const char* file, int selection = 0, bool dryRun = false, int count = 0) {
        QTest::newRow(name) << args << int(ExitSuccess) << true << command
                            << QString::fromUtf8(port) << QString::fromUtf8(file) << selection
                            << dryRun << count << QString();
    };
    const auto refused = [](const char* name, const QStringList& args, const char* message,
                            int status = ExitUsage) {
        QTest::newRow(name) << args << status << false << Command::Ports << QString() << QString()
                            << 0 << false << 0 << QString::fromUtf8(message);
    };
    ok("ports", {"ports"}, Command::Ports, "", "");
    ok("read", {"read", "--port", "COM1", "--out", "unit.par"}, Command::Read, "COM1", "unit.par");
    ok("write, sensor exchange, dry run",
       {"write", "a.par", "--port=/dev/ttyUSB0", "--selection", "1", "--dry-run"}, Command::Write,
       "/dev/ttyUSB0", "a.par", 1, true);
    ok("monitor a few records", {"monitor", "--port", "COM2", "--csv", "--count", "5"},
       Command::Monitor, "COM2", "", 0, false, 5);
    ok("language of the messages", {"ident", "--port", "COM3", "--lang", "pl"}, Command::Ident,
       "COM3", "");
    refused("version", {"--version"}, "", ExitSuccess);
    refused("no command", {}, "kovr-cli: no command given (kovr-cli --help)");
    refused("unknown command", {"erase"}, "unknown command \"erase\"");
    refused("read without its file", {"read", "--port", "COM1"}, "read needs --out FILE.par");
    refused("write without a file", {"write", "--port", "COM1"}, "usage: kovr-cli write FILE.par");
    refused("write an empty name", {"write", "", "--port", "COM1"},
            "usage: kovr-cli write FILE.par");
    refused("read into an empty name", {"read", "--port", "COM1", "--out", ""},
            "read needs --out FILE.par");
    refused("no port", {"ident"}, "ident needs --port");
    refused("option of another command", {"read", "--port", "COM1", "--out", "a.par", "--dry-run"},
            "--dry-run does not go with read");
    refused("selection beyond 1", {"write", "a.par", "--port", "COM1", "--selection", "2"},
            "--selection takes 0 or 1");
    refused("count of 0", {"monitor", "--port", "COM1", "--count", "0"},
            "--count takes a whole number >= 1");
    refused("unknown language", {"ports", "--lang", "de"}, "--lang takes cs, en, pl or ru");
    refused("two files", {"write", "a.par", "b.par", "--port", "COM1"},
            "usage: kovr-cli write FILE.par");
    refused("two output files", {"read", "--port", "COM1", "--out", "a.par", "--out", "b.par"},
            "--out is given more than once");
    refused("two selections",
            {"write", "a.par", "--port", "COM1", "--selection", "0", "--selection=1"},
            "--selection is given more than once");
    refused("two ports", {"ident", "--port", "COM1", "--port", "COM2"},
            "--port is given more than once");
    refused("two counts", {"monitor", "--port", "COM1", "--count", "2", "--count", "3"},
            "--count is given more than once");
}

void TestCliRequest::parse() {
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(bool, requested);
    QFETCH(QString, message);
    int exitStatus = -1;
    StderrCapture err;
    const std::optional<CliRequest> request =
        CliRequest::parse(QStringList{QStringLiteral("kovr-cli")} + arguments, &exitStatus);
    const QString said = err.text();
    QCOMPARE(exitStatus, status);
    QCOMPARE(request.has_value(), requested);
    QVERIFY2(said.contains(message), qPrintable(said));
    QCOMPARE(said.isEmpty(), message.isEmpty());
    if (!request) return;
    QFETCH(Command, command);
    QFETCH(QString, port);
    QFETCH(QString, file);
    QFETCH(int, selection);
    QFETCH(bool, dryRun);
    QFETCH(int, count);
    QCOMPARE(request->command, command);
    QCOMPARE(request->port, port);
    QCOMPARE(request->file, file);
    QCOMPARE(request->selection, selection);
    QCOMPARE(request->dryRun, dryRun);
    QCOMPARE(request->count, count);
}

// Bytes that are no text in the system's encoding come back as another name: refused.
void TestCliRequest::nameNotInTheSystemsEncoding() {
    const QList<QByteArray> raw{"kovr-cli", "read", "--out", "\xff\xfe.par"};
    QStringList arguments;
    for (const QByteArray& bytes : raw)
        arguments.append(QString::fromLocal8Bit(bytes));
    QCOMPARE(CliRequest::checkEncoding(arguments, raw), int(ExitUsage));
    const QList<QByteArray> plain{"kovr-cli", "read", "--out", "ventil \xc4\x8d. 7.par"};
    arguments.clear();
    for (const QByteArray& bytes : plain)
        arguments.append(QString::fromLocal8Bit(bytes));
    QCOMPARE(CliRequest::checkEncoding(arguments, plain), int(ExitSuccess));
}

QTEST_MAIN(TestCliRequest)
#include "tst_clirequest.moc"

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

// What the parser prints on stderr or stdout while it runs.
class OutputCapture {
public:
    OutputCapture(std::FILE* stream, int fd)
        : m_stream(stream)
        , m_fd(fd) {
        m_file.open();
        std::fflush(m_stream);
        m_saved = ::dup(m_fd);
        ::dup2(m_file.handle(), m_fd);
    }
    QString text() {
        std::fflush(m_stream);
        ::dup2(m_saved, m_fd);
        ::close(m_saved);
        m_file.seek(0);
        return QString::fromUtf8(m_file.readAll());
    }

private:
    std::FILE* m_stream;
    int m_fd;
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
    void help_data();
    void help();
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
    QTest::addColumn<double>("timeout");
    QTest::addColumn<QString>("message"); // part of what stderr says
    const auto ok = [](const char* name, const QStringList& args, Command command, const char* port,
                       const char* file, int selection = 0, bool dryRun = false, int count = 0,
                       double timeout = 0) {
        QTest::newRow(name) << args << int(ExitSuccess) << true << command
                            << QString::fromUtf8(port) << QString::fromUtf8(file) << selection
                            << dryRun << count << timeout << QString();
    };
    const auto refused = [](const char* name, const QStringList& args, const char* message,
                            int status = ExitUsage) {
        QTest::newRow(name) << args << status << false << Command::Ports << QString() << QString()
                            << 0 << false << 0 << 0.0 << QString::fromUtf8(message);
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
    ok("a deadline of its own", {"read", "--port", "COM1", "--out", "a.par", "--timeout", "2.5"},
       Command::Read, "COM1", "a.par", 0, false, 0, 2.5);
    ok("COM beyond the dialog's 20", {"ident", "--port", "COM21"}, Command::Ident, "COM21", "");
    refused("version", {"--version"}, "", ExitSuccess);
    refused("help", {"help"}, "", ExitSuccess);
    refused("help of a command", {"help", "monitor"}, "", ExitSuccess);
    refused("help of an unknown command", {"help", "erase"}, "unknown command \"erase\"");
    refused("help of two commands", {"help", "read", "write"}, "usage: kovr-cli help [COMMAND]");
    refused("timeout of 0", {"ident", "--port", "COM1", "--timeout", "0"},
            "--timeout takes a number of seconds above 0");
    refused("timeout not a number", {"ident", "--port", "COM1", "--timeout", "nan"},
            "--timeout takes a number of seconds above 0");
    refused("timeout beyond a day", {"ident", "--port", "COM1", "--timeout", "1e9"},
            "--timeout takes a number of seconds above 0");
    refused("timeout for ports", {"ports", "--timeout", "5"}, "--timeout does not go with ports");
    refused("json for monitor", {"monitor", "--port", "COM1", "--json"},
            "--json does not go with monitor");
    refused("two timeouts",
            {"read", "--port", "COM1", "--out", "a.par", "--timeout", "5", "--timeout", "6"},
            "--timeout is given more than once");
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
    OutputCapture out(stdout, STDOUT_FILENO); // help and version are looked at in help()
    OutputCapture err(stderr, STDERR_FILENO);
    const std::optional<CliRequest> request =
        CliRequest::parse(QStringList{QStringLiteral("kovr-cli")} + arguments, &exitStatus);
    const QString said = err.text();
    out.text();
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
    QFETCH(double, timeout);
    QCOMPARE(request->command, command);
    QCOMPARE(request->timeout, timeout);
    QCOMPARE(request->port, port);
    QCOMPARE(request->file, file);
    QCOMPARE(request->selection, selection);
    QCOMPARE(request->dryRun, dryRun);
    QCOMPARE(request->count, count);
}

void TestCliRequest::help_data() {
    QTest::addColumn<QStringList>("arguments"); // from the program's name on
    QTest::addColumn<int>("language");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QStringList>("notShown");
    QTest::newRow("general, called by its full path")
        << QStringList{"/opt/kovr/bin/kovr-cli", "--help"} << 1
        << QStringList{"Usage:\n  kovr-cli ports [--json]\n  kovr-cli read --port DEV",
                       "Options:\n  --lang cs|en|pl|ru", "kovr-cli help COMMAND"}
        << QStringList{"/opt/kovr", "--dry-run  ", "Example:"};
    const QStringList readHelp{"Usage: kovr-cli read --port DEV --out FILE.par",
                               "\n  --out FILE.par ", "\n  --timeout SECONDS ",
                               "Example:\n  kovr-cli read --port COM1 --out valve-17.par\n"};
    const QStringList notRead{"--csv", "--dry-run", "--selection", "kovr-cli monitor"};
    QTest::newRow("help read") << QStringList{"kovr-cli", "help", "read"} << 1 << readHelp
                               << notRead;
    QTest::newRow("read --help") << QStringList{"kovr-cli", "read", "--help"} << 1 << readHelp
                                 << notRead;
    QTest::newRow("called by another name")
        << QStringList{"./tools/kcli", "monitor", "-h"} << 1
        << QStringList{"Usage: kcli monitor --port DEV", "Example:\n  kcli monitor --port"}
        << QStringList{"kovr-cli", "./tools"};
    QTest::newRow("Czech") << QStringList{"kovr-cli", "help", "write"} << 0
                           << QStringList{"Použití: kovr-cli write FILE.par", "Volby:\n",
                                          "Příklad:\n", "Omezení (0)", "Výměna snímače (1)"}
                           << QStringList{"Usage:", "Options:", "Example:"};
    QTest::newRow("Polish") << QStringList{"kovr-cli", "--help"} << 2
                            << QStringList{"Użycie:\n", "Opcje:\n", "kovr-cli help POLECENIE"}
                            << QStringList{"Usage:", "Options:"};
    QTest::newRow("Russian") << QStringList{"kovr-cli", "help", "ident"} << 3
                             << QStringList{"Использование: kovr-cli ident", "Параметры:\n",
                                            "Пример:\n  kovr-cli ident --port"}
                             << QStringList{"Usage:", "Options:", "Example:"};
}

// Help is printed on stdout, exits 0, and holds what a script author looks for in their
// language, under the name the tool was called by.
void TestCliRequest::help() {
    QFETCH(QStringList, arguments);
    QFETCH(int, language);
    QFETCH(QStringList, shown);
    QFETCH(QStringList, notShown);
    LangIndex = language;
    int exitStatus = -1;
    OutputCapture out(stdout, STDOUT_FILENO);
    OutputCapture err(stderr, STDERR_FILENO);
    const std::optional<CliRequest> request = CliRequest::parse(arguments, &exitStatus);
    const QString errors = err.text();
    const QString help = out.text();
    LangIndex = 1;
    QVERIFY(!request);
    QCOMPARE(exitStatus, int(ExitSuccess));
    QCOMPARE(errors, QString());
    for (const QString& text : shown)
        QVERIFY2(help.contains(text), qPrintable(QStringLiteral("%1\nnot in\n%2").arg(text, help)));
    for (const QString& text : notShown)
        QVERIFY2(!help.contains(text), qPrintable(QStringLiteral("%1\nin\n%2").arg(text, help)));
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

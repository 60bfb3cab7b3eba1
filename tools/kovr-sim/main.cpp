// kovr-sim: a KOVR control unit on a pseudo-terminal. Prints the slave path on stdout
// (one line) and answers the service tool until SIGINT or SIGTERM.

#include "PtyLine.h"
#include "SimulatedUnit.h"
#include "wire/Frame.h"
#include "wire/ToolVersion.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>

#include <climits>
#include <csignal>
#include <cstdio>
#include <optional>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(signalPipe[1], &byte, 1);
}

// Quit the event loop from SIGINT/SIGTERM through a socket pair, the only safe way out of
// a signal handler, so that the destructors remove the symlink.
bool quitOnSignals(QCoreApplication& app) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0) return false;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [notifier] {
        char byte;
        [[maybe_unused]] const ssize_t ignored = ::read(signalPipe[0], &byte, 1);
        notifier->setEnabled(false);
        QCoreApplication::quit();
    });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return ::sigaction(SIGINT, &action, nullptr) == 0 &&
           ::sigaction(SIGTERM, &action, nullptr) == 0;
}

// The value of a numeric option within min..max, or nullopt (with a message) when it is not.
std::optional<int> numberOption(const QCommandLineParser& parser, const QCommandLineOption& option,
                                int min, int max) {
    bool valid = false;
    const int value = parser.value(option).toInt(&valid);
    if (valid && value >= min && value <= max) return value;
    const QString range = max == INT_MAX ? QStringLiteral(">= %1").arg(min)
                                         : QStringLiteral("%1..%2").arg(min).arg(max);
    std::fprintf(stderr, "kovr-sim: --%s takes a whole number %s, not \"%s\"\n",
                 qPrintable(option.names().constFirst()), qPrintable(range),
                 qPrintable(parser.value(option)));
    return std::nullopt;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kovr-sim"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(ToolVersion));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Simulated KOVR control unit on a pseudo-terminal. Prints the slave device path."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption link(QStringLiteral("link"),
                                  QStringLiteral("Create a symlink to the slave at <path>."),
                                  QStringLiteral("path"));
    const QCommandLineOption unpaced(QStringLiteral("unpaced"),
                                     QStringLiteral("Answer at once instead of at 9600 baud."));
    // B 6 is a byte: 0..4 are the variants the tool knows; 5..255 play a unit newer than the
    // tool, with only the common parameters, which the tool must still serve.
    const QCommandLineOption variant(
        QStringLiteral("variant"),
        QStringLiteral("Unit variant B 6, 0..255: 0 KOVR.ED .. 4 KOVR FIELDBUS, 5..255 a variant "
                       "the tool does not know (common parameters only). Default 2, KOVR."),
        QStringLiteral("n"), QStringLiteral("2"));
    const QCommandLineOption move(
        QStringLiteral("move"), QStringLiteral("Sweep the position between 0 and 100 %, the torque "
                                               "following the travel."));
    const QCommandLineOption dropEvery(QStringLiteral("drop-every"),
                                       QStringLiteral("Leave every <n>-th request unanswered."),
                                       QStringLiteral("n"), QStringLiteral("0"));
    const QCommandLineOption corruptEvery(
        QStringLiteral("corrupt-every"),
        QStringLiteral("Spoil the checksum of every <n>-th reply that goes out."),
        QStringLiteral("n"), QStringLiteral("0"));
    const QCommandLineOption foreignHeader(
        QStringLiteral("foreign-header"),
        QStringLiteral("Answer with header 00 (other firmware)."));
    const QCommandLineOption wrongCode(
        QStringLiteral("wrong-code"), QStringLiteral("Answer with the request code, bit 7 clear."));
    const QCommandLineOption silent(QStringLiteral("silent"), QStringLiteral("Answer nothing."));
    const QCommandLineOption cutWrite(
        QStringLiteral("cut-write"),
        QStringLiteral("Take <n> parameter writes, then end every write early (index FF)."),
        QStringLiteral("n"), QStringLiteral("-1"));
    const QCommandLineOption verbose(QStringLiteral("verbose"),
                                     QStringLiteral("Log requests and replies on stderr."));
    parser.addOptions({link, unpaced, variant, move, dropEvery, corruptEvery, foreignHeader,
                       wrongCode, silent, cutWrite, verbose});
    // Wrong arguments end with status 2, as kovr-cli's do.
    if (!parser.parse(QCoreApplication::arguments())) {
        std::fprintf(stderr, "kovr-sim: %s (kovr-sim --help)\n", qPrintable(parser.errorText()));
        return 2;
    }
    if (parser.isSet(help)) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return 0;
    }
    if (parser.isSet(version)) {
        std::printf("kovr-sim %s\n", ToolVersion);
        return 0;
    }
    if (!parser.positionalArguments().isEmpty()) {
        std::fprintf(stderr, "kovr-sim: unexpected argument \"%s\" (kovr-sim --help)\n",
                     qPrintable(parser.positionalArguments().constFirst()));
        return 2;
    }

    const std::optional<int> variantValue = numberOption(parser, variant, 0, 255);
    const std::optional<int> dropValue = numberOption(parser, dropEvery, 0, INT_MAX);
    const std::optional<int> corruptValue = numberOption(parser, corruptEvery, 0, INT_MAX);
    const std::optional<int> cutValue = numberOption(parser, cutWrite, -1, INT_MAX);
    if (!variantValue || !dropValue || !corruptValue || !cutValue) return 2;

    SimulatedUnit unit(*variantValue);
    unit.setDropEvery(*dropValue);
    unit.setCorruptEvery(*corruptValue);
    unit.setForeignHeader(parser.isSet(foreignHeader));
    unit.setWrongCode(parser.isSet(wrongCode));
    unit.setSilent(parser.isSet(silent));
    unit.setSweep(parser.isSet(move));
    unit.cutWritesAfter(*cutValue);
    if (parser.isSet(verbose)) {
        auto show = [](const char* direction, const QByteArray& frame) {
            QByteArray printable = frame;
            printable.replace(QByteArray(1, Frame::Esc), "<ESC>");
            std::fprintf(stderr, "%s %s\n", direction, printable.constData());
        };
        QObject::connect(&unit, &SimulatedUnit::requestAccepted,
                         [show](const QByteArray& frame) { show("<-", frame); });
        QObject::connect(&unit, &SimulatedUnit::reply,
                         [show](const QByteArray& frame) { show("->", frame); });
    }

    PtyLine line(&unit);
    line.setPaced(!parser.isSet(unpaced));
    if (parser.isSet(link)) line.setLink(parser.value(link));
    if (!line.open()) {
        std::fprintf(stderr, "kovr-sim: %s\n", qPrintable(line.errorString()));
        return 1;
    }
    if (!quitOnSignals(app)) {
        std::perror("kovr-sim: signals");
        return 1;
    }

    std::printf("%s\n", qPrintable(line.slavePath()));
    std::fflush(stdout);
    return app.exec();
}

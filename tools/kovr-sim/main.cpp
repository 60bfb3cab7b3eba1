// kovr-sim: a KOVR control unit on a pseudo-terminal. Prints the slave path on stdout
// (one line) and answers the service tool until SIGINT or SIGTERM.

#include "PtyLine.h"
#include "SimulatedUnit.h"
#include "wire/Frame.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
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

int countOption(const QCommandLineParser& parser, const QCommandLineOption& option, bool* ok) {
    if (!parser.isSet(option)) return 0;
    bool valid = false;
    const int value = parser.value(option).toInt(&valid);
    if (!valid || value < 0) *ok = false;
    return value;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kovr-sim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Simulated KOVR control unit on a pseudo-terminal. Prints the slave device path."));
    parser.addHelpOption();
    const QCommandLineOption link(QStringLiteral("link"),
                                  QStringLiteral("Create a symlink to the slave at <path>."),
                                  QStringLiteral("path"));
    const QCommandLineOption unpaced(QStringLiteral("unpaced"),
                                     QStringLiteral("Answer at once instead of at 9600 baud."));
    const QCommandLineOption variant(QStringLiteral("variant"),
                                     QStringLiteral("Unit variant B 6, 0..4 (default 2)."),
                                     QStringLiteral("n"), QStringLiteral("2"));
    const QCommandLineOption move(QStringLiteral("move"),
                                  QStringLiteral("Sweep the position between 0 and 100 %."));
    const QCommandLineOption dropEvery(QStringLiteral("drop-every"),
                                       QStringLiteral("Leave every <n>-th request unanswered."),
                                       QStringLiteral("n"));
    const QCommandLineOption corruptEvery(
        QStringLiteral("corrupt-every"),
        QStringLiteral("Spoil the checksum of every <n>-th reply."), QStringLiteral("n"));
    const QCommandLineOption foreignHeader(
        QStringLiteral("foreign-header"),
        QStringLiteral("Answer with header 00 (other firmware)."));
    const QCommandLineOption wrongCode(
        QStringLiteral("wrong-code"), QStringLiteral("Answer with the request code, bit 7 clear."));
    const QCommandLineOption silent(QStringLiteral("silent"), QStringLiteral("Answer nothing."));
    const QCommandLineOption verbose(QStringLiteral("verbose"),
                                     QStringLiteral("Log requests and replies on stderr."));
    parser.addOptions({link, unpaced, variant, move, dropEvery, corruptEvery, foreignHeader,
                       wrongCode, silent, verbose});
    parser.process(app);

    bool ok = true;
    const int variantValue = parser.value(variant).toInt(&ok);
    const int dropValue = countOption(parser, dropEvery, &ok);
    const int corruptValue = countOption(parser, corruptEvery, &ok);
    if (!ok || variantValue < 0 || variantValue > 255) {
        std::fputs("kovr-sim: numeric options take a whole number >= 0 (variant 0..255)\n", stderr);
        return 2;
    }

    SimulatedUnit unit(variantValue);
    unit.setDropEvery(dropValue);
    unit.setCorruptEvery(corruptValue);
    unit.setForeignHeader(parser.isSet(foreignHeader));
    unit.setWrongCode(parser.isSet(wrongCode));
    unit.setSilent(parser.isSet(silent));
    unit.setSweep(parser.isSet(move));
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

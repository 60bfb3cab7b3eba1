// Polls the paced simulated unit (a separate process, as a real unit would be) through the
// whole session (link, monitor decoding, image, sheets) for a long time, and prints the
// resident memory of both processes at the start and at the end beside the count of repeated
// requests: a leak shows as a ratio above 1, a link that degrades as retries.
//
//   bench_soak [SECONDS] [KOVR-SIM OPTIONS...]     one hour by default
//   bench_soak 600 --drop-every 25                 ten minutes, with the retry ladder at work

#include "link/CommandScheduler.h"
#include "link/ProgressSink.h"
#include "link/Prompter.h"
#include "session/Session.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <tuple>
#include <unistd.h>
#include <utility>

namespace {

struct CountingPrompter : Prompter {
    int questions = 0;
    int messages = 0;
    // The technician always tries again: a soak that stops on the first question measures
    // nothing.
    bool askYesNo(const QString& text) override {
        ++questions;
        std::fprintf(stderr, "question: %s\n", qPrintable(text));
        return true;
    }
    void message(const QString& text, Icon) override {
        ++messages;
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
    }
};

struct NoProgress : ProgressSink {
    int minimum = 0, max = 0, pos = 0;
    void setRange(int lo, int hi) override { minimum = lo, max = hi; }
    void setPosition(int p) override { pos = p; }
    int position() const override { return pos; }
    int maximum() const override { return max; }
    void show() override {}
    void close() override {}
    bool isActive() const override { return false; }
    bool isEnabled() const override { return true; }
};

// Resident set of a process in KiB, from /proc/<pid>/statm; 0 when it cannot be read.
qint64 residentKiB(qint64 pid) {
    const QString path =
        pid > 0 ? QStringLiteral("/proc/%1/statm").arg(pid) : QStringLiteral("/proc/self/statm");
    QFile statm(path);
    if (!statm.open(QIODevice::ReadOnly)) return 0;
    const QList<QByteArray> fields = statm.readAll().simplified().split(' ');
    return fields.size() > 1 ? fields[1].toLongLong() * (sysconf(_SC_PAGESIZE) / 1024) : 0;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const int seconds = args.isEmpty() ? 3600 : args.takeFirst().toInt();
    if (seconds <= 0) {
        std::fprintf(stderr, "usage: bench_soak [SECONDS] [KOVR-SIM OPTIONS...]\n");
        return 2;
    }

    QTemporaryDir dir;
    // The serial port's lock file is named after the device's file name: keep it unique.
    const QString link = dir.filePath(QStringLiteral("tty") + QFileInfo(dir.path()).fileName());
    QProcess sim;
    sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    sim.start(QCoreApplication::applicationDirPath() + QStringLiteral("/kovr-sim"),
              QStringList{QStringLiteral("--link"), link} + args);
    if (!sim.waitForReadyRead(5000)) {
        std::fprintf(stderr, "kovr-sim did not start\n");
        return 1;
    }
    const QString iniPath = dir.filePath(QStringLiteral("kovr.ini"));
    QFile ini(iniPath);
    if (!ini.open(QIODevice::WriteOnly)) return 1;
    ini.write("[Ports]\nCOM1=" + link.toUtf8() + "\n");
    ini.close();

    CountingPrompter prompter;
    NoProgress progress;
    Session session(prompter, progress, iniPath);
    CommandScheduler& scheduler = session.scheduler();

    qint64 requests = 0, retries = 0, probes = 0, replies = 0;
    QObject::connect(&scheduler, &CommandScheduler::frameWritten, &app, [&] {
        ++requests;
        // PocetPokusu counts the sends since the last accepted reply, this one included.
        if (scheduler.pocetPokusu() > 1) ++retries;
        if (scheduler.pocetPokusu() > 3) ++probes;
    });
    QObject::connect(&scheduler, &CommandScheduler::replyAccepted, &app, [&] { ++replies; });

    QElapsedTimer clock;
    clock.start();
    qint64 startKiB = 0, simStartKiB = 0, startedAtMs = 0, repliesAtStart = 0;
    const qint64 simPid = sim.processId();
    // Prints a line and returns the two resident sets it printed.
    const auto line = [&](const char* what) {
        const std::pair<qint64, qint64> kib{residentKiB(0), residentKiB(simPid)};
        std::printf("%-6s %7.1f s  replies %9lld  retries %6lld  probes %5lld  questions %3d  "
                    "RSS tool %7lld KiB  sim %7lld KiB\n",
                    what, clock.elapsed() / 1000.0, replies, retries, probes, prompter.questions,
                    kib.first, kib.second);
        std::fflush(stdout);
        return kib;
    };
    // The start is taken once the start-up refresh is through and the image and the sheets
    // hold everything: what grows after that is not the first fill.
    QTimer settle;
    QObject::connect(&settle, &QTimer::timeout, &app, [&] {
        if (scheduler.obnovaBezi()) return;
        settle.stop();
        startedAtMs = clock.elapsed();
        repliesAtStart = replies;
        std::tie(startKiB, simStartKiB) = line("start");
    });
    settle.start(100);
    // Ten lines over the run show a trend, not only two points.
    QTimer trend;
    QObject::connect(&trend, &QTimer::timeout, &app, [&] { line("at"); });
    trend.start(std::max(1000, seconds * 100));
    QTimer::singleShot(qint64(seconds) * 1000, &app, &QCoreApplication::quit);

    session.start(QStringLiteral("1"));
    app.exec();
    const auto [endKiB, simEndKiB] = line("end");
    sim.terminate();
    sim.waitForFinished(2000);

    if (startKiB == 0) {
        std::fprintf(stderr, "the start-up refresh never ended\n");
        return 1;
    }
    const double measured = (clock.elapsed() - startedAtMs) / 1000.0;
    std::printf("\nrun:                  %.0f s after the start-up refresh, %lld replies "
                "(%.2f per second)\n",
                measured, replies - repliesAtStart, (replies - repliesAtStart) / measured);
    std::printf("RSS tool:             %lld -> %lld KiB, end/start %.4f\n", startKiB, endKiB,
                double(endKiB) / startKiB);
    std::printf("RSS simulator:        %lld -> %lld KiB, end/start %.4f\n", simStartKiB, simEndKiB,
                simStartKiB ? double(simEndKiB) / simStartKiB : 0.0);
    std::printf("requests:             %lld, retries %lld (%.4f %%), probes %lld, questions %d, "
                "messages %d\n",
                requests, retries, requests ? 100.0 * retries / requests : 0.0, probes,
                prompter.questions, prompter.messages);
    return 0;
}

// Runs the link against the paced simulated unit (a separate process, as a real unit would be)
// for a fixed number of monitor polls and prints what the line allows beside what the tool
// reaches, and the tool's own share of every cycle.

#include "device/DeviceImage.h"
#include "link/CommandScheduler.h"
#include "link/PollInputs.h"
#include "link/ProgressSink.h"
#include "link/Prompter.h"
#include "link/ReplyConsumers.h"
#include "link/SerialPort.h"
#include "link/TimerClock.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace {

struct QuietPrompter : Prompter {
    bool askYesNo(const QString&) override { return true; }
    void message(const QString& text, Icon) override {
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

struct CountingConsumers : ReplyConsumers {
    int monitor = 0;
    void ZobrazMonitor(const QByteArray&) override { ++monitor; }
    void ZobrazVerzi() override {}
    void ZobrazSnimac(const QByteArray&) override {}
    void ZobrazMoment(const QByteArray&) override {}
    void ZobrazVstupy(const QByteArray&) override {}
    void SouborVyp() override {}
};

double percentile(std::vector<double> values, double p) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, size_t(p * (values.size() - 1) + 0.5))];
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const int polls = argc > 1 ? QByteArray(argv[1]).toInt() : 300;
    const int warmup = 10;

    QTemporaryDir dir;
    // The serial port's lock file is named after the device's file name: keep it unique.
    const QString link = dir.filePath(QStringLiteral("tty") + QFileInfo(dir.path()).fileName());
    QProcess sim;
    sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    sim.start(QCoreApplication::applicationDirPath() + QStringLiteral("/kovr-sim"),
              {QStringLiteral("--link"), link});
    if (!sim.waitForReadyRead(5000)) {
        std::fprintf(stderr, "kovr-sim did not start\n");
        return 1;
    }
    QFile ini(dir.filePath(QStringLiteral("kovr.ini")));
    if (!ini.open(QIODevice::WriteOnly)) return 1;
    ini.write("[Ports]\nCOM1=" + link.toUtf8() + "\n");
    ini.close();

    SerialPort port{PortDevices(ini.fileName())};
    TimerClock clock;
    QuietPrompter prompter;
    NoProgress progress;
    DeviceImage image;
    PollInputs inputs;
    CountingConsumers consumers;
    CommandScheduler scheduler({port, clock, prompter, progress, image, inputs, consumers});

    QElapsedTimer time;
    time.start();
    qint64 acceptedAt = -1;
    qint64 firstAt = 0;
    std::vector<double> overheadMs;
    int accepted = 0;
    QObject::connect(&scheduler, &CommandScheduler::replyAccepted, &app, [&] {
        acceptedAt = time.nsecsElapsed();
        if (++accepted == warmup) firstAt = acceptedAt;
        if (accepted == warmup + polls) app.quit();
    });
    QObject::connect(&scheduler, &CommandScheduler::frameWritten, &app, [&] {
        if (acceptedAt >= 0 && accepted > warmup)
            overheadMs.push_back((time.nsecsElapsed() - acceptedAt) / 1e6 -
                                 CommandScheduler::NextRequestGap);
        acceptedAt = -1;
    });
    scheduler.setPortSetting(QStringLiteral("1"));
    scheduler.KomunikaceStart();
    QTimer::singleShot(polls * 1000, &app, &QCoreApplication::quit); // a stalled link ends too
    app.exec();
    sim.terminate();
    sim.waitForFinished(2000);

    const double seconds = (acceptedAt > 0 ? time.nsecsElapsed() - firstAt : 0) / 1e9;
    const int measured = accepted - warmup;
    if (measured < polls) {
        std::fprintf(stderr, "only %d of %d polls answered\n", measured, polls);
        return 1;
    }
    const double rate = measured / seconds;
    const double cycle = (25.0 + 75.0) / 960.0 + CommandScheduler::NextRequestGap / 1000.0;
    const double limit = 1.0 / cycle;
    std::printf("monitor polls measured:      %d\n", measured);
    std::printf("polls per second:            %.3f\n", rate);
    std::printf("line-rate limit:             %.3f polls/s (25 + 75 characters at 960/s + 20 ms)\n",
                limit);
    std::printf("ratio to the limit:          %.4f\n", rate / limit);
    std::printf("tool overhead per cycle:     median %.3f ms, worst %.3f ms "
                "(reply accepted -> next request written, less 20 ms)\n",
                percentile(overheadMs, 0.5), percentile(overheadMs, 1.0));
    return 0;
}

// Runs the whole program (its link, monitor decoding, display state and both panels of the
// main window, drawn offscreen) against the paced simulated unit (a separate process, as a
// real unit would be) and prints, as ratios of one run:
//  - the full refresh at start against its line-rate minimum,
//  - monitor polls per second against the line-rate limit,
//  - the tool's gap, reply accepted -> next request written, against the 20 ms it must be.
//
//   QT_QPA_PLATFORM=offscreen build/bench_link [POLLS] [--trend]     300 polls by default
//
// With --trend the trend window is open as well, on its shortest time window (the most
// frequent redraw), so that its cost shows in the same figures.

#include "app/Program.h"
#include "link/CommandScheduler.h"
#include "link/LineRate.h"
#include "link/Prompter.h"
#include "session/Session.h"
#include "ui/MainWindow.h"
#include "ui/TrendForm.h"
#include "ui/UiFont.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

struct QuietPrompter : Prompter {
    bool askYesNo(const QString& text) override {
        std::fprintf(stderr, "question: %s\n", qPrintable(text));
        return true;
    }
    void message(const QString& text, Icon) override {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
    }
};

double percentile(std::vector<double> values, double p) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, size_t(p * double(values.size() - 1) + 0.5))];
}

constexpr double CharactersPerSecond = LineRate::CharactersPerSecond;
constexpr double GapSeconds = LinkTiming{}.nextRequestGap / 1000.0;

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setFont(kovrFont());
    const QStringList args = QCoreApplication::arguments().mid(1);
    const bool withTrend = args.contains(QStringLiteral("--trend"));
    int polls = 300;
    for (const QString& arg : args)
        if (!arg.startsWith(QLatin1Char('-'))) polls = arg.toInt();
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
    ini.write("[Ports]\nCOM1=" + link.toUtf8() + "\n\n[Setup]\nPort=1\nLang=0\n");
    ini.close();

    QuietPrompter prompter;
    Program program(dir.path(), &prompter);
    CommandScheduler& scheduler = program.session().scheduler();

    QElapsedTimer time;
    time.start();
    // The refresh: every exchange from the first request to the last parameter stored.
    qint64 refreshStart = -1, refreshEnd = -1;
    double refreshLineSeconds = 0;
    int refreshExchanges = 0;
    qsizetype requestLength = 0;
    bool refreshing = true;
    // The monitor poll after it.
    qint64 acceptedAt = -1, firstAt = 0, lastAt = 0, writtenAt = -1;
    std::vector<double> gapMs, unitMs;
    int accepted = 0;
    QObject::connect(&scheduler, &CommandScheduler::frameWritten, &app,
                     [&](const QByteArray& frame) {
                         const qint64 now = time.nsecsElapsed();
                         if (refreshStart < 0) refreshStart = now;
                         requestLength = frame.size();
                         if (acceptedAt >= 0 && accepted > warmup)
                             gapMs.push_back(double(now - acceptedAt) / 1e6);
                         acceptedAt = -1;
                         writtenAt = now;
                     });
    QObject::connect(
        &scheduler, &CommandScheduler::replyAccepted, &app, [&](const QByteArray& frame) {
            const qint64 now = time.nsecsElapsed();
            if (refreshing) {
                ++refreshExchanges;
                refreshLineSeconds += double(requestLength + frame.size()) / CharactersPerSecond;
                return;
            }
            acceptedAt = now;
            if (accepted > warmup)
                unitMs.push_back(double(now - writtenAt) / 1e6 -
                                 1e3 * double(requestLength + frame.size()) / CharactersPerSecond);
            if (++accepted == warmup) firstAt = now;
            if (accepted == warmup + polls) {
                lastAt = now;
                app.quit();
            }
        });
    // The refresh ends inside the dispatch of its last reply, after replyAccepted.
    QObject::connect(&program.session(), &Session::monitorUpdated, &app, [&] {
        if (refreshing && refreshStart >= 0 && !scheduler.obnovaBezi()) {
            refreshing = false;
            refreshEnd = time.nsecsElapsed();
        }
    });
    program.mainWindow().show();
    if (withTrend) {
        program.trendForm().setTimeWindow(0);
        program.trendForm().show();
    }
    QTimer::singleShot((polls + 200) * 1000, &app, &QCoreApplication::quit); // a stalled link
    app.exec();
    sim.terminate();
    sim.waitForFinished(2000);

    const int measured = accepted - warmup;
    if (refreshEnd < 0 || measured < polls) {
        std::fprintf(stderr, "the refresh did not end or only %d of %d polls were answered\n",
                     std::max(0, measured), polls);
        return 1;
    }
    const double refreshSeconds = double(refreshEnd - refreshStart) / 1e9;
    const double refreshMinimum = refreshLineSeconds + (refreshExchanges - 1) * GapSeconds;
    const double rate = measured / (double(lastAt - firstAt) / 1e9);
    const double limit = 1.0 / LineRate::monitorPollSeconds();
    const double gap = LinkTiming{}.nextRequestGap;
    std::printf("full refresh:        %d exchanges in %.3f s, line-rate minimum %.3f s: "
                "ratio %.4f\n",
                refreshExchanges, refreshSeconds, refreshMinimum, refreshSeconds / refreshMinimum);
    std::printf("monitor poll:        %d polls at %.3f/s, limit %.3f/s "
                "(25 + 75 characters at 960/s + 20 ms): ratio %.4f\n",
                measured, rate, limit, rate / limit);
    std::printf("tool's gap:          reply accepted -> next request written, against 20 ms: "
                "median %.4f, 99th percentile %.4f, worst %.4f\n",
                percentile(gapMs, 0.5) / gap, percentile(gapMs, 0.99) / gap,
                percentile(gapMs, 1.0) / gap);
    std::printf("                     (median %+.3f ms, 99th percentile %+.3f ms over 20 ms)\n",
                percentile(gapMs, 0.5) - gap, percentile(gapMs, 0.99) - gap);
    std::printf("unit's share:        request written -> reply accepted, less the line time of "
                "both frames: median %.3f ms, 99th percentile %.3f ms\n",
                percentile(unitMs, 0.5), percentile(unitMs, 0.99));
    return 0;
}

// Decoding plus redraw per monitor record, beside the 20 ms poll gap: first with the main window
// alone, then with the service window open as well, then with the trend window open on each of
// its time windows, with an hour recorded, and the program's resident memory then. The windows are real (offscreen platform) and paint every change; the records are the
// simulated unit's answers to a walking set of cursors, with the actuator moving.

#include "SimulatedUnit.h"
#include "link/CommandScheduler.h"
#include "link/Prompter.h"
#include "session/Session.h"
#include "ui/MainWindow.h"
#include "ui/MonitoringPanel.h"
#include "ui/ParameterPanel.h"
#include "ui/PrubehForm.h"
#include "ui/ServiceForm.h"
#include "ui/TrendForm.h"
#include "ui/UiFont.h"
#include "wire/Frame.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <cstdio>
#include <unistd.h>
#include <vector>

namespace {

struct NoQuestions : Prompter {
    bool askYesNo(const QString&) override { return false; }
    void message(const QString&, Icon) override {}
};

// Feeds `records` monitor records through the session and returns the cost of each in ms. An open
// trend window takes in what was recorded as often as its timer would on the made-up clock.
std::vector<double> measure(Session& session, MainWindow& window, SimulatedUnit& unit,
                            qint64& fakeMs, int records, TrendForm* trend = nullptr) {
    const DeviceImage& image = session.image();
    std::vector<double> costMs;
    QElapsedTimer timer;
    for (int i = 0; i < records; ++i) {
        fakeMs += 124; // one poll cycle at the line rate
        QByteArray request("0010");
        for (int cursor : {image.MonParIndex, image.MonParTyp, i % 4, i % 3, i % 18, i % 32,
                           image.MonTextZnak, image.MonTextCislo})
            request += IntToHex(std::min(cursor, 255), 2);
        const QByteArray reply = unit.answer(frameRequest(request));
        const QByteArray data = reply.mid(7, reply.size() - Frame::Overhead);
        timer.start();
        session.ZobrazMonitor(data);
        window.monitoringPanel()->render(session.display());
        window.parameterPanel()->render(session.display());
        if (trend) {
            const qint64 every = trend->refreshIntervalMs();
            if (fakeMs / every != (fakeMs - 124) / every) trend->refresh();
        }
        QApplication::processEvents(); // paints what changed
        costMs.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(costMs.begin(), costMs.end());
    return costMs;
}

// Resident memory in MiB, from /proc; 0 where there is none.
double residentMiB() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly)) return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * double(sysconf(_SC_PAGESIZE)) / (1024 * 1024)
                             : 0;
}

void report(const char* what, const std::vector<double>& costMs) {
    const double gap = LinkTiming{}.nextRequestGap;
    const double median = costMs[costMs.size() / 2];
    const double p99 = costMs[size_t(costMs.size() * 0.99)];
    std::printf("%s, %zu records\n", what, costMs.size());
    std::printf("  decode + redraw per record: median %.3f ms, 99th %.3f ms, worst %.3f ms\n",
                median, p99, costMs.back());
    std::printf("  fraction of the 20 ms gap:  %.4f (median), %.4f (99th)\n", median / gap,
                p99 / gap);
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setFont(kovrFont());
    const int records = argc > 1 ? QByteArray(argv[1]).toInt() : 2000;

    NoQuestions prompter;
    TPrubehForm progress;
    Session session(prompter, progress);
    MainWindow window(session.image(), session.display(), prompter,
                      session.transfer().ZapisZeSouboru());
    window.Napisy(true);
    session.setPanelHooks(window.parameterPanel());
    window.show();
    TServiceForm service({session.sheet(), session.serviceEditing(), session.serviceActions(),
                          session.transfer(), prompter},
                         &window);
    service.applyCaptions();

    SimulatedUnit unit(3);
    qint64 fakeMs = 0;
    unit.setClock([&fakeMs] { return fakeMs; });
    unit.setSweep(true);

    report("main window", measure(session, window, unit, fakeMs, records));
    session.serviceEditing().NactiService(1, false);
    service.show();
    report("main window and service window", measure(session, window, unit, fakeMs, records));
    service.hide();

    // The trend shows the records on the same made-up clock, with an hour recorded before so that
    // its longest time window draws its most: the records so far, repeated at the poll's pace.
    session.trend().setClock([&fakeMs] { return fakeMs; });
    const QList<TrendSample> recent = session.trend().samples();
    for (qint64 t = fakeMs - 3600 * 1000, n = 0; t < fakeMs; t += 124, ++n) {
        TrendSample sample = recent.at(n % recent.size());
        sample.time = t;
        session.trend().append(sample);
    }
    TrendForm trend(session.trend(), prompter, &window);
    trend.show();
    for (int choice = 0; choice < int(TrendForm::WindowMinutes.size()); ++choice) {
        trend.setTimeWindow(choice);
        const QByteArray what = "main window and trend window, " +
                                QByteArray::number(TrendForm::WindowMinutes[choice]) + " min";
        report(what.constData(), measure(session, window, unit, fakeMs, records, &trend));
        std::printf("  resident memory: %.1f MiB (of the 64 MiB allowed: %.2f)\n", residentMiB(),
                    residentMiB() / 64);
    }
    return 0;
}

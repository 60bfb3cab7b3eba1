// Decoding plus redraw per monitor record, beside the 20 ms poll gap: first with the main window
// alone, then with the service window open as well. The windows are real (offscreen platform)
// and paint every change; the records are the simulated unit's answers to a walking set of
// cursors, with the actuator moving.

#include "SimulatedUnit.h"
#include "link/CommandScheduler.h"
#include "link/Prompter.h"
#include "session/Session.h"
#include "ui/MainWindow.h"
#include "ui/MonitoringPanel.h"
#include "ui/ParameterPanel.h"
#include "ui/PrubehForm.h"
#include "ui/ServiceForm.h"
#include "ui/UiFont.h"
#include "wire/Frame.h"

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

struct NoQuestions : Prompter {
    bool askYesNo(const QString&) override { return false; }
    void message(const QString&, Icon) override {}
};

// Feeds `records` monitor records through the session and returns the cost of each in ms.
std::vector<double> measure(Session& session, MainWindow& window, SimulatedUnit& unit,
                            qint64& fakeMs, int records) {
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
        QApplication::processEvents(); // paints what changed
        costMs.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(costMs.begin(), costMs.end());
    return costMs;
}

void report(const char* what, const std::vector<double>& costMs) {
    const double gap = CommandScheduler::NextRequestGap;
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
    PrubehForm progress;
    Session session(prompter, progress);
    MainWindow window(session.image(), session.display(), prompter,
                      session.transfer().ZapisZeSouboru);
    window.Napisy(true);
    session.setPanelHooks(window.parameterPanel());
    window.show();
    TServiceForm service({session.sheet(), session.serviceEditing(), session.serviceActions(),
                          session.transfer(), prompter},
                         &window);
    service.applyCaptions(QStringLiteral("Soubor"), QString(), QString(), QString());

    SimulatedUnit unit(3);
    qint64 fakeMs = 0;
    unit.setClock([&fakeMs] { return fakeMs; });
    unit.setSweep(true);

    report("main window", measure(session, window, unit, fakeMs, records));
    session.serviceEditing().NactiService(1, false);
    service.show();
    report("main window and service window", measure(session, window, unit, fakeMs, records));
    return 0;
}

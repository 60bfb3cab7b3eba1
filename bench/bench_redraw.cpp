// Decoding plus redraw of the main window per monitor record, beside the 20 ms poll gap. The
// main window is real (offscreen platform) and paints every change; the records are the
// simulated unit's answers to a walking set of cursors, with the actuator moving.

#include "SimulatedUnit.h"
#include "device/DeviceImage.h"
#include "device/MonitorDecoder.h"
#include "device/MonitorDisplay.h"
#include "device/MonitorHooks.h"
#include "link/CommandScheduler.h"
#include "link/Prompter.h"
#include "params/ServiceSheet.h"
#include "ui/MainWindow.h"
#include "ui/MonitoringPanel.h"
#include "ui/ParameterPanel.h"
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

// The parameter panel behind the decoder's hooks, as the session forwards them.
struct PanelHooks : MonitorHooks {
    ParameterPanel* panel = nullptr;
    void ZobrazPar(int sada) override { panel->ZobrazPar(sada); }
    void PorovnejZmenuPolohRele() override { panel->PorovnejZmenuPolohRele(); }
    void PorovnejZmenuPolohySafe() override { panel->PorovnejZmenuPolohySafe(); }
    void ZobrazVerzi() override {}
    bool workingTorqueUnselected(int index) const override {
        return panel->workingTorqueUnselected(index);
    }
};

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setFont(kovrFont());
    const int records = argc > 1 ? QByteArray(argv[1]).toInt() : 2000;

    DeviceImage image;
    MonitorDisplay display;
    ServiceSheet sheet;
    NoQuestions prompter;
    bool fromFile = false;
    MainWindow window(image, display, prompter, fromFile);
    window.Napisy(true);
    window.show();
    PanelHooks hooks;
    hooks.panel = window.parameterPanel();
    MonitorDecoder decoder(image, display, sheet, hooks, fromFile);

    SimulatedUnit unit(3);
    qint64 fakeMs = 0;
    unit.setClock([&fakeMs] { return fakeMs; });
    unit.setSweep(true);
    std::vector<double> costMs;
    QElapsedTimer timer;
    for (int i = 0; i < records; ++i) {
        fakeMs += 124; // one poll cycle at the line rate
        QByteArray request("0010");
        for (int cursor : {image.MonParIndex, image.MonParTyp, i % 4, i % 3, i % 18, i % 32,
                           image.MonTextZnak, image.MonTextCislo})
            request += IntToHex(std::min(cursor, 255), 2);
        const QByteArray data = unit.answer(frameRequest(request)).mid(7, 100);
        timer.start();
        decoder.ZobrazMonitor(data);
        window.monitoringPanel()->render(display);
        window.parameterPanel()->render(display);
        QApplication::processEvents(); // paints what changed
        costMs.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(costMs.begin(), costMs.end());
    const double gap = CommandScheduler::NextRequestGap;
    const double median = costMs[costMs.size() / 2];
    const double p99 = costMs[size_t(costMs.size() * 0.99)];
    std::printf("records decoded and drawn:   %zu\n", costMs.size());
    std::printf("decode + redraw per record:  median %.3f ms, 99th %.3f ms, worst %.3f ms\n",
                median, p99, costMs.back());
    std::printf("fraction of the 20 ms gap:   %.4f (median), %.4f (99th)\n", median / gap,
                p99 / gap);
    return 0;
}

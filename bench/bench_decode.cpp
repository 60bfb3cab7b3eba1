// Cost of decoding one monitor record (core only: image, display state, service sheet) beside
// the 20 ms gap between two polls. The records are the simulated unit's answers to a walking
// set of cursors, so every slot and every parameter kind is decoded.

#include "SimulatedUnit.h"
#include "device/MonitorDecoder.h"
#include "device/MonitorDisplay.h"
#include "device/MonitorHooks.h"
#include "image/DeviceImage.h"
#include "link/CommandScheduler.h"
#include "params/ServiceSheet.h"
#include "wire/Frame.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

struct NoHooks : MonitorHooks {
    int calls = 0;
    void ZobrazPar(int) override { ++calls; }
    void PorovnejZmenuPolohRele() override { ++calls; }
    void PorovnejZmenuPolohySafe() override { ++calls; }
    void ZobrazVerzi() override { ++calls; }
    bool workingTorqueUnselected(int) const override { return false; }
};

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? QByteArray(argv[1]).toInt() : 200;

    // Records for a full walk of the cursors, taken from the simulated unit.
    SimulatedUnit unit(4);
    unit.setSweep(true);
    DeviceImage walk;
    MonitorDisplay walkDisplay;
    ServiceSheet walkSheet;
    NoHooks walkHooks;
    bool fromFile = false;
    MonitorDecoder walker(walk, walkDisplay, walkSheet, walkHooks, fromFile);
    std::vector<QByteArray> records;
    for (int i = 0; i < 1000; ++i) {
        QByteArray request("0010");
        for (int cursor : {walk.MonParIndex, walk.MonParTyp, i % 4, i % 3, i % 18, i % 32,
                           walk.MonTextZnak, walk.MonTextCislo})
            request += IntToHex(std::min(cursor, 255), 2);
        const QByteArray reply = unit.answer(frameRequest(request));
        records.push_back(reply.mid(7, 100));
        walker.ZobrazMonitor(records.back());
    }

    DeviceImage image;
    MonitorDisplay display;
    ServiceSheet sheet;
    sheet.applyHeaders();
    NoHooks hooks;
    MonitorDecoder decoder(image, display, sheet, hooks, fromFile);
    std::vector<double> perRecordNs;
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        for (const QByteArray& record : records)
            decoder.ZobrazMonitor(record);
        perRecordNs.push_back(double(timer.nsecsElapsed()) / records.size());
    }
    // Cold: a fresh image every round, so every parameter and text changes and is written out.
    std::vector<double> coldNs;
    for (int round = 0; round < std::max(1, rounds / 10); ++round) {
        DeviceImage coldImage;
        MonitorDisplay coldDisplay;
        ServiceSheet coldSheet;
        MonitorDecoder cold(coldImage, coldDisplay, coldSheet, hooks, fromFile);
        QElapsedTimer timer;
        timer.start();
        for (const QByteArray& record : records)
            cold.ZobrazMonitor(record);
        coldNs.push_back(double(timer.nsecsElapsed()) / records.size());
    }
    std::sort(coldNs.begin(), coldNs.end());
    std::sort(perRecordNs.begin(), perRecordNs.end());
    const double median = perRecordNs[perRecordNs.size() / 2];
    const double gapNs = LinkTiming{}.nextRequestGap * 1e6;
    std::printf("records decoded:             %zu x %d\n", records.size(), rounds);
    std::printf("decoding per monitor record: median %.2f us, worst round %.2f us\n",
                median / 1000.0, perRecordNs.back() / 1000.0);
    std::printf("fraction of the 20 ms gap:   %.5f (median), %.5f (worst round)\n", median / gapNs,
                perRecordNs.back() / gapNs);
    std::printf("with every value new:        median %.2f us = %.5f of the gap\n",
                coldNs[coldNs.size() / 2] / 1000.0, coldNs[coldNs.size() / 2] / gapNs);
    return 0;
}

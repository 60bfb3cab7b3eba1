// The simulated unit's torque and gearbox calibrations, on a clock the test drives.

#include "SimulatedUnit.h"
#include "wire/Frame.h"

#include <QTest>

namespace {

struct Unit {
    qint64 ms = 0;
    SimulatedUnit unit{2};
    Unit() {
        unit.setClock([this] { return ms; });
    }
    // The data of the reply to a request payload.
    QByteArray ask(const QByteArray& payload) {
        const QByteArray reply = unit.answer(frameRequest(payload));
        return reply.mid(7, reply.size() - Frame::Overhead);
    }
    int field(const QByteArray& data, int first, int length) {
        return HexToInt(QByteArrayView(data).sliced(first - 1, length));
    }
};

} // namespace

class TestSimCalibrations : public QObject {
    Q_OBJECT
private slots:
    void torqueCalibrationRuns_data();
    void torqueCalibrationRuns();
    void torqueCalibrationFaults();
    void gearboxCalibrationRuns();
    void gearboxCalibrationStopped();
};

void TestSimCalibrations::torqueCalibrationRuns_data() {
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QList<int>>("codes");
    QTest::addColumn<int>("minimumResult");
    QTest::addColumn<int>("fullResult");
    QTest::newRow("O rising") << QByteArray("750E010007D0271000") << QList<int>{1, 3, 4, 5, 6}
                              << 1200 << 6000;
    QTest::newRow("Z falling") << QByteArray("750E02012710138801") << QList<int>{2, 7, 8, 9, 10}
                               << 37 << 3037;
}

void TestSimCalibrations::torqueCalibrationRuns() {
    QFETCH(QByteArray, request);
    QFETCH(QList<int>, codes);
    QFETCH(int, minimumResult);
    QFETCH(int, fullResult);

    Unit u;
    const int step = 700;
    QCOMPARE(u.ask(request), QByteArray());
    const int minimum = HexToInt(request.mid(8, 4)), full = HexToInt(request.mid(12, 4));
    for (int i = 0; i < codes.size(); ++i) {
        u.ms = qint64(i) * step + step / 2;
        const QByteArray r = u.ask("0100");
        QCOMPARE(r.size(), 28);
        QCOMPARE(u.field(r, 27, 2), codes[i]);
        // The bench signal the unit measures: the minimum point held in the second stage,
        // the 100 % point in the fourth and after the end.
        if (i == 1) QVERIFY(qAbs(u.field(r, 13, 4) - minimum) <= 2);
        if (i >= 3) QVERIFY(qAbs(u.field(r, 13, 4) - full) <= 2);
    }
    const QByteArray last = u.ask("0100");
    QCOMPARE(u.field(last, 5, 4), minimumResult);
    QCOMPARE(u.field(last, 9, 4), fullResult);
}

void TestSimCalibrations::torqueCalibrationFaults() {
    Unit u;
    u.ask("750E010007D0271000");
    u.ms = 1000;
    u.ask("750E00000000000000"); // Stop while running
    QCOMPARE(u.field(u.ask("0100"), 27, 2), 11);
    u.ask("750E00000000000000"); // Stop when idle clears the code
    QCOMPARE(u.field(u.ask("0100"), 27, 2), 0);
    u.ask("750E030007D0271000");
    QCOMPARE(u.field(u.ask("0100"), 27, 2), 13);
    // Rising sense but the 100 % point below the minimum: the bench signal is wrong.
    u.ask("750E0100271007D000");
    u.ms += 1500;
    QCOMPARE(u.field(u.ask("0100"), 27, 2), 14);
}

void TestSimCalibrations::gearboxCalibrationRuns() {
    Unit u;
    u.unit.setMotor(SimulatedUnit::MotorOpen);
    QByteArray r = u.ask("730A0102030405");
    // Idle: the poll's offsets and speed are the ones in use.
    QCOMPARE(r.left(8), QByteArray("01020304"));
    QCOMPARE(u.field(r, 53, 2), 0);
    QCOMPARE(u.field(r, 57, 2), 5);
    const int counter = u.field(r, 59, 2);
    QCOMPARE(u.field(u.ask("730A0102030405"), 59, 2), counter + 1);

    u.unit.setMotor(SimulatedUnit::MotorStop);
    QCOMPARE(u.ask("740201"), QByteArray());
    for (int code = 1; code <= 19; ++code) {
        u.ms = qint64(code - 1) * 300 + 10;
        r = u.ask("730A0A0B0C0D03");
        QCOMPARE(u.field(r, 53, 2), code);
        QCOMPARE(r.left(8), QByteArray("01020304")); // the offsets it started from
    }
    u.ms = 19 * 300;
    r = u.ask("730A0A0B0C0D03");
    QCOMPARE(u.field(r, 53, 2), 255);
    QCOMPARE(r.left(8), QByteArray("1C5A93E4"));
}

void TestSimCalibrations::gearboxCalibrationStopped() {
    Unit u;
    u.ask("740201");
    u.ms = 1000;
    u.ask("740200");
    const QByteArray r = u.ask("730A0A0B0C0D00");
    QCOMPARE(u.field(r, 53, 2), 100);
    QCOMPARE(r.left(8), QByteArray("0A0B0C0D"));
}

QTEST_GUILESS_MAIN(TestSimCalibrations)
#include "tst_simcalibrations.moc"

// The torque dialog's core: bench values into MomentStolice, the state-69 request, the torque
// record, and the dialogs' polls that must not outlive or miss their dialog.

#include "SchedulerRig.h"
#include "device/TorqueDecoder.h"
#include "image/DeviceImage.h"
#include "lang/Lang.h"
#include "params/Setup.h"
#include "session/DialogPoll.h"
#include "session/TorqueBench.h"

#include <QTest>

namespace {

const QString TooHigh = QStringLiteral("Moment stolice 50% je větší než 20 mA");
const QString Negative = QStringLiteral("Moment stolice 50% je záporná hodnota");
const QString NotNumber = QStringLiteral("Chybná hodnota pro Moment stolice 50%");

QByteArray record(int raw, int minimum, int full, int bench, int code) {
    return IntToHex(raw, 4) + IntToHex(minimum, 4) + IntToHex(full, 4) + IntToHex(bench, 4) +
           QByteArray(10, '0') + IntToHex(code, 2);
}

// A scheduler in the torque poll (state 68), with the bench on it.
struct TorqueRig : Rig {
    TorqueBench bench{scheduler, inputs, prompter};
    TorqueRig() {
        start();
        scheduler.setStateForTest(68);
    }
    void setCells(const QString& oMin, const QString& zMin, const QString& o100,
                  const QString& z100) {
        bench.cells = {{{oMin, o100}, {zMin, z100}}};
    }
};

} // namespace

class TestTorqueCalibration : public QObject {
    Q_OBJECT
private slots:
    void init() { LangIndex = 0; }

    void benchCheck_data();
    void benchCheck();
    void moreThanFourDecimalsSendsNothing();
    void calibrationRequest_data();
    void calibrationRequest();
    void faultyBenchSendsNothing();
    void benchSettingsRoundTrip();

    void torqueRecord_data();
    void torqueRecord();
    void resultsStayUntilTheirSideRestarts();
    void statusPastTheTable();

    void closedDialogEndsItsPoll();
    void reopenedDialogGetsItsPoll();
};

void TestTorqueCalibration::benchCheck_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QStringList>("cells"); // O min, Z min, O 100, Z 100
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QList<int>>("pairs"); // O min, O 100, Z min, Z 100

    const QStringList none;
    QTest::newRow("4 and 20") << "en" << QStringList{"4", "4", "20", "20"} << true << none
                              << QList<int>{2000, 10000, 2000, 10000};
    QTest::newRow("12.5") << "en" << QStringList{"12.5", "0", "20", "0"} << true << none
                          << QList<int>{6250, 10000, 0, 0};
    QTest::newRow("comma in Czech") << "cs" << QStringList{"12,5", "4,002", "19,9999", " 8 "}
                                    << true << none << QList<int>{6250, 9999, 2001, 4000};
    QTest::newRow("point in Czech") << "cs" << QStringList{"12.5", "4", "20", "20"} << false
                                    << QStringList{NotNumber} << QList<int>{0, 10000, 2000, 10000};
    QTest::newRow("group separator")
        << "en" << QStringList{"4", "4", "1,000", "20"} << false << QStringList{NotNumber}
        << QList<int>{2000, 2000, 2000, 10000};
    QTest::newRow("20.01 minimum row")
        << "en" << QStringList{"20.01", "4", "20", "20"} << false << QStringList{TooHigh}
        << QList<int>{10005, 10000, 2000, 10000};
    QTest::newRow("20.01 100% row") << "en" << QStringList{"4", "4", "20", "20.01"} << false
                                    << QStringList{TooHigh} << QList<int>{2000, 10000, 2000, 10005};
    QTest::newRow("empty keeps previous")
        << "en" << QStringList{"5", "", "20", "20"} << false << QStringList{NotNumber}
        << QList<int>{2500, 10000, 2500, 10000};
    QTest::newRow("empty first is 0")
        << "en" << QStringList{"", "4", "20", "20"} << false << QStringList{NotNumber}
        << QList<int>{0, 10000, 2000, 10000};
    QTest::newRow("each fault its box")
        << "en" << QStringList{"-1", "x", "21", "4"} << false
        << QStringList{Negative, NotNumber, TooHigh} << QList<int>{-500, 10500, -500, 2000};
}

void TestTorqueCalibration::benchCheck() {
    QFETCH(QString, locale);
    QFETCH(QStringList, cells);
    QFETCH(bool, ok);
    QFETCH(QStringList, messages);
    QFETCH(QList<int>, pairs);

    TorqueRig rig;
    rig.setCells(cells[0], cells[1], cells[2], cells[3]);
    QCOMPARE(rig.bench.KontrolaMomStolice(QLocale(locale)), ok);
    QCOMPARE(rig.prompter.messages, messages);
    for (Prompter::Icon icon : rig.prompter.icons)
        QCOMPARE(icon, Prompter::Icon::Error);
    const auto& m = rig.inputs.momentStolice;
    QCOMPARE((QList<int>{m[1][0], m[1][1], m[2][0], m[2][1]}), pairs);
    QCOMPARE((QList<int>{m[0][0], m[0][1]}), (QList<int>{0, 0}));
}

void TestTorqueCalibration::moreThanFourDecimalsSendsNothing() {
    TorqueRig rig;
    rig.setCells("4.12345", "4", "20", "20");
    rig.bench.calibrate(TorqueBench::DirectionZ, QLocale(QLocale::English));
    QCOMPARE(rig.prompter.messages.size(), 1);
    QVERIFY(rig.prompter.messages[0].contains("4.12345"));
    QCOMPARE(rig.scheduler.komStav(), 68);
    QCOMPARE(rig.tickPayload(), QByteArray("0100"));
}

void TestTorqueCalibration::calibrationRequest_data() {
    QTest::addColumn<int>("point");
    QTest::addColumn<QStringList>("cells");
    QTest::addColumn<int>("sense");
    QTest::addColumn<int>("method");
    QTest::addColumn<QByteArray>("payload");

    QTest::newRow("O 4..20 rising static")
        << int(TorqueBench::DirectionO) << QStringList{"4", "5", "20", "19"} << 0 << 0
        << QByteArray("750E"
                      "01"
                      "00"
                      "07D0"
                      "2710"
                      "00");
    QTest::newRow("Z falling dynamic")
        << int(TorqueBench::DirectionZ) << QStringList{"4", "5", "20", "19"} << 1 << 1
        << QByteArray("750E"
                      "02"
                      "01"
                      "09C4"
                      "251C"
                      "01");
    QTest::newRow("Stop over invalid text")
        << int(TorqueBench::Stop) << QStringList{"abc", "", "99", "-3"} << 1 << 0
        << QByteArray("750E"
                      "00"
                      "01"
                      "0000"
                      "0000"
                      "00");
}

void TestTorqueCalibration::calibrationRequest() {
    QFETCH(int, point);
    QFETCH(QStringList, cells);
    QFETCH(int, sense);
    QFETCH(int, method);
    QFETCH(QByteArray, payload);

    TorqueRig rig;
    rig.setCells(cells[0], cells[1], cells[2], cells[3]);
    rig.bench.setSense(sense);
    rig.bench.setMethod(method);
    rig.bench.calibrate(TorqueBench::Point(point), QLocale(QLocale::English));
    QVERIFY(rig.prompter.messages.isEmpty());
    QCOMPARE(rig.tickPayload(), payload);
    rig.reply("F500");
    QCOMPARE(rig.scheduler.komStav(), 68);
    QCOMPARE(rig.tickPayload(), QByteArray("0100"));
}

void TestTorqueCalibration::faultyBenchSendsNothing() {
    TorqueRig rig;
    rig.setCells("4", "4", "20.01", "20");
    rig.bench.calibrate(TorqueBench::DirectionO, QLocale(QLocale::English));
    QCOMPARE(rig.prompter.messages, QStringList{TooHigh});
    QCOMPARE(rig.scheduler.komStav(), 68);
    QCOMPARE(rig.tickPayload(), QByteArray("0100"));
}

void TestTorqueCalibration::benchSettingsRoundTrip() {
    TorqueRig rig;
    TSetup setup;
    setup.Stolice_50_O = "4,5";
    setup.Stolice_100_O = "20";
    setup.Stolice_50_C = "5";
    setup.Stolice_100_C = "19,25";
    setup.Stolice_Smysl = "1";
    setup.Zpusob_Kal = "x";
    rig.bench.load(setup);
    QCOMPARE(rig.bench.cells[0][0], "4,5");
    QCOMPARE(rig.bench.cells[1][1], "19,25");
    QCOMPARE(rig.bench.sense(), 1);
    QCOMPARE(rig.bench.method(), 0); // not a number

    rig.bench.cells[1][0] = "6";
    rig.bench.setMethod(1);
    TSetup stored;
    rig.bench.store(stored);
    QCOMPARE(stored.Stolice_50_O, "4,5");
    QCOMPARE(stored.Stolice_100_O, "20");
    QCOMPARE(stored.Stolice_50_C, "6");
    QCOMPARE(stored.Stolice_100_C, "19,25");
    QCOMPARE(stored.Stolice_Smysl, "1");
    QCOMPARE(stored.Zpusob_Kal, "1");
}

void TestTorqueCalibration::torqueRecord_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("bench");
    QTest::addColumn<QStringList>("results"); // O 100 %, O min, Z 100 %, Z min

    const QStringList empty{"", "", "", ""};
    QTest::newRow("O finished") << 0 << record(1234, 0x0BB8, 0x1770, 0x0929, 6) << "Ukončeno OK"
                                << "4.69" << QStringList{"6000", "3000", "", ""};
    QTest::newRow("Z finished") << 1 << record(1234, 0x0BB8, 0x1770, 10000, 10)
                                << "Successfully finished"
                                << "20.00" << QStringList{"", "", "6000", "3000"};
    QTest::newRow("Z 100% running")
        << 1 << record(0, 1, 2, 6000, 8) << "Calibration of torque C 100%"
        << "12.00" << empty;
    QTest::newRow("O 50% running") << 0 << record(0, 1, 2, 1, 3) << "Kalibrace momentu O 50%"
                                   << "0.00" << empty;
    QTest::newRow("idle") << 0 << record(0, 1, 2, 2345, 0) << ""
                          << "" << empty;
    QTest::newRow("bench fault") << 1 << record(0, 1, 2, 2345, 14) << "Error-test eguipment signal"
                                 << "" << empty;
}

void TestTorqueCalibration::torqueRecord() {
    QFETCH(int, language);
    QFETCH(QByteArray, record);
    QFETCH(QString, status);
    QFETCH(QString, bench);
    QFETCH(QStringList, results);

    LangIndex = language;
    DeviceImage image;
    TorqueDisplay display;
    display.bench = "stale";
    ZobrazMoment(record, image, display);
    QCOMPARE(image.Moment_Abs, HexToInt(record.left(4)));
    QCOMPARE(display.rawTorque, QString::number(image.Moment_Abs));
    QCOMPARE(display.status, status);
    QCOMPARE(display.bench, bench);
    const auto& r = display.results;
    QCOMPARE((QStringList{r[0][0], r[0][1], r[1][0], r[1][1]}), results);
}

void TestTorqueCalibration::resultsStayUntilTheirSideRestarts() {
    DeviceImage image;
    TorqueDisplay display;
    ZobrazMoment(record(0, 100, 200, 0, 6), image, display);
    ZobrazMoment(record(0, 300, 400, 0, 10), image, display);
    ZobrazMoment(record(0, 0, 0, 0, 0), image, display);
    QCOMPARE(display.results[0][0], "200");
    QCOMPARE(display.results[1][1], "300");
    // A new calibration of O empties O's results only.
    ZobrazMoment(record(0, 0, 0, 0, 4), image, display);
    QCOMPARE(display.results[0][0], "");
    QCOMPARE(display.results[0][1], "");
    QCOMPARE(display.results[1][0], "400");
}

void TestTorqueCalibration::statusPastTheTable() {
    DeviceImage image;
    TorqueDisplay display;
    for (int code : {15, 99, 255}) {
        ZobrazMoment(record(0, 0, 0, 0, code), image, display);
        QCOMPARE(display.status, QStringLiteral("Neznámý kód: %1").arg(code));
        QCOMPARE(display.bench, "");
    }
    // A short record reads its missing fields as 0.
    ZobrazMoment("12", image, display);
    QCOMPARE(image.Moment_Abs, 0x12);
    QCOMPARE(display.status, "");
}

void TestTorqueCalibration::closedDialogEndsItsPoll() {
    Rig rig;
    rig.start();
    DialogPoll poll(rig.scheduler, DialogPoll::Kind::Torque);
    poll.activate();
    QCOMPARE(rig.tickPayload(), QByteArray("4000"));
    // Closed before the unit opened the sequence: the close request is refused in state 67.
    poll.deactivate();
    QCOMPARE(rig.scheduler.komStav(), 67);
    rig.reply("C000");
    QCOMPARE(rig.tickPayload(), QByteArray("0100"));
    rig.reply("811C" + record(0, 0, 0, 0, 0));
    QCOMPARE(rig.consumers.torque.size(), 1);
    // The record that reaches the closed dialog asks again.
    QVERIFY(!poll.dialogRecord());
    QCOMPARE(rig.tickPayload(), QByteArray("4100"));
    rig.reply("C100");
    QCOMPARE(rig.scheduler.komStav(), 2);
}

void TestTorqueCalibration::reopenedDialogGetsItsPoll() {
    Rig rig;
    rig.start();
    DialogPoll poll(rig.scheduler, DialogPoll::Kind::Sensor);
    rig.scheduler.setStateForTest(64);
    poll.activate(); // already in the sensor poll: 60 again
    QCOMPARE(rig.scheduler.komStav(), 60);
    rig.scheduler.setStateForTest(64);
    poll.deactivate();
    QCOMPARE(rig.tickPayload(), QByteArray("4100"));
    // Opened again while the close is still being answered: refused in state 102.
    poll.activate();
    QCOMPARE(rig.scheduler.komStav(), 102);
    rig.reply("C100");
    QCOMPARE(rig.scheduler.komStav(), 2);
    // The monitor record an active dialog sees asks again; a record for it is welcome.
    poll.monitorRecord();
    QCOMPARE(rig.tickPayload(), QByteArray("4000"));
    QVERIFY(poll.dialogRecord());
    QCOMPARE(rig.scheduler.komStav(), 60);
}

QTEST_GUILESS_MAIN(TestTorqueCalibration)
#include "tst_torquecalibration.moc"

#include "PtyLine.h"
#include "SimulatedUnit.h"
#include "device/MonitorDecoder.h"
#include "device/MonitorDisplay.h"
#include "device/MonitorHooks.h"
#include "image/DeviceImage.h"
#include "params/ServiceSheet.h"
#include "wire/Frame.h"

#include <QElapsedTimer>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QTest>

#include <array>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

using Unit = SimulatedUnit;

namespace {

// Reply without ESC, header and checksum: code, length and data.
QByteArray payloadOf(const QByteArray& reply) {
    return reply.mid(3, reply.size() - 5);
}

QByteArray monitorRequest(QByteArrayView cursors) {
    return frameRequest(QByteArray(QByteArray("0010") + cursors.toByteArray()));
}

// The data field of the monitor reply to `cursors`.
QByteArray record(Unit& unit, QByteArrayView cursors) {
    return unit.answer(monitorRequest(cursors)).mid(7, 66);
}

QByteArray cursorBytes(int parIndex, int parKind, int textChar = 0, int textNumber = 0) {
    return IntToHex(parIndex, 2) + IntToHex(parKind, 2) + "00000000" + IntToHex(textChar, 2) +
           IntToHex(textNumber, 2);
}

std::vector<quint32> allParameters(const Unit& unit) {
    std::vector<quint32> values;
    const int counts[] = {UnitDefaults::ByteCount, UnitDefaults::WordCount,
                          UnitDefaults::DoubleWordCount};
    for (int kind = 0; kind < 3; ++kind)
        for (int i = 0; i < counts[kind]; ++i)
            values.push_back(unit.parameter(Unit::Kind(kind), i));
    return values;
}

int flatIndex(int kind, int index) {
    const int offsets[] = {0, UnitDefaults::ByteCount,
                           UnitDefaults::ByteCount + UnitDefaults::WordCount};
    return offsets[kind] + index;
}

// The tool's side of the monitor record: decoder, image and displays, no window.
struct ToolDisplay : MonitorHooks {
    DeviceImage image;
    MonitorDisplay display;
    ServiceSheet sheet;
    bool fromFile = false;
    MonitorDecoder decoder{image, display, sheet, *this, fromFile};

    void ZobrazPar(int) override {}
    void PorovnejZmenuPolohRele() override {}
    void PorovnejZmenuPolohySafe() override {}
    void ZobrazVerzi() override {}
    bool workingTorqueUnselected(int) const override { return false; }
};

} // namespace

class TestSimulatedUnit : public QObject {
    Q_OBJECT

    qint64 m_ms = 0;

    // A unit on a hand-driven clock with every value the record tests read set here, so the
    // expectations do not lean on factory defaults.
    void prepare(Unit& unit) {
        m_ms = 0;
        unit.setClock([this] { return m_ms; });
        unit.setVariant(2);
        unit.setPosition(5000);
        unit.setControlSignal(600); // B 4 = 232: raw 1000 is 20 mA, 600 is 12 mA = 50 %
        unit.setParameter(Unit::KindB, 4, 232);
        unit.setTorque(500);
        unit.setParameter(Unit::KindDW, 0, 52000);
        unit.setParameter(Unit::KindDW, 1, 12000);
        unit.setParameter(Unit::KindB, 0, 3);
        unit.setParameter(Unit::KindB, 10, 100);
        unit.setFaulty(Unit::KindB, 10, true);
        unit.setParameter(Unit::KindB, 51, quint8(-25));
        unit.setParameter(Unit::KindW, 0, 100);
        unit.setTemperature(-5);
        unit.setRunningTime(300, 5);
        unit.setActiveErrors(2, 0x41);
        unit.setErrorCounter(7, 9);
        unit.setIoBits(1, 0x82);
        unit.setLastError(0, 21);
        unit.setLastReset(0, 0x1E);
        unit.setRelayCount(0, 5123); // bytes 0, 5, 12, 3
        unit.setAutocalibrationCode(21);
        unit.setText(0, "S2.14");
        unit.setText(3, "E123456");
    }

private slots:
    void monitorRecord_data();
    void monitorRecord();
    void presenceFollowsVariant_data();
    void presenceFollowsVariant();
    void variantWriteChangesPresence();
    void plainReplies_data();
    void plainReplies();
    void itemWrite_data();
    void itemWrite();
    void textWrite_data();
    void textWrite();
    void resetsClearOnlyTheirStore();
    void unitFunctions();
    void motorAndAutocalibrationFollowTime();
    void sweepTorqueShowsInTheTool_data();
    void sweepTorqueShowsInTheTool();
    void faults_data();
    void faults();
    void feedAssemblesRequests_data();
    void feedAssemblesRequests();
    void ptyRoundTrip_data();
    void ptyRoundTrip();
    void closeLineHangsUpAndRemovesLink();
};

void TestSimulatedUnit::monitorRecord_data() {
    QTest::addColumn<QByteArray>("cursors");
    QTest::addColumn<int>("at"); // 1-based character of the record
    QTest::addColumn<QByteArray>("expected");

    const QByteArray zero(16, '0');
    // position, signal %, absolute (Z + half the stroke), raw signal, torque, mode, motion, status
    QTest::newRow("fixed block") << zero << 1 << QByteArray("1388138800007D00025801F4000000");

    QTest::newRow("B 4 present") << cursorBytes(4, 0) << 31 << QByteArray("0420000000E8");
    QTest::newRow("B 64 last of kind") << cursorBytes(64, 0) << 31 << QByteArray("40200000000C");
    QTest::newRow("B 65 wraps to B 0") << cursorBytes(65, 0) << 31 << QByteArray("006000000003");
    QTest::newRow("B 10 faulty") << cursorBytes(10, 0) << 31 << QByteArray("0A3000000064");
    QTest::newRow("B 51 signed") << cursorBytes(51, 0) << 31 << QByteArray("3360000000E7");
    QTest::newRow("B 59 absent keeps index")
        << cursorBytes(59, 0) << 31 << QByteArray("3B0000000005");
    QTest::newRow("W 19 wraps to W 0") << cursorBytes(19, 1) << 31 << QByteArray("002100000064");
    QTest::newRow("DW 1") << cursorBytes(1, 2) << 31 << QByteArray("012200002EE0");
    QTest::newRow("DW 2 wraps to DW 0") << cursorBytes(2, 2) << 31 << QByteArray("00220000CB20");
    QTest::newRow("kind 3 answered as B 0")
        << cursorBytes(5, 3) << 31 << QByteArray("006000000003");

    QTest::newRow("error group 2") << QByteArray("0000020000000000") << 43 << QByteArray("0241");
    QTest::newRow("error group 7 empty")
        << QByteArray("0000070000000000") << 43 << QByteArray("0700");
    QTest::newRow("io group 1") << QByteArray("0000000100000000") << 47 << QByteArray("0182");
    QTest::newRow("autocalibration code") << zero << 51 << QByteArray("15");
    QTest::newRow("counter 7") << QByteArray("0000000000070000") << 53 << QByteArray("0709");
    QTest::newRow("counter 40 empty") << QByteArray("0000000000280000") << 53 << QByteArray("2800");

    const auto info = [](int item) -> QByteArray {
        return "00000000" + IntToHex(item, 2) + "000000";
    };
    QTest::newRow("info 0 hours high") << info(0) << 57 << QByteArray("0001");
    QTest::newRow("info 1 hours low") << info(1) << 57 << QByteArray("012C");
    QTest::newRow("info 2 minutes") << info(2) << 57 << QByteArray("0205");
    QTest::newRow("info 3 temperature") << info(3) << 57 << QByteArray("03FB");
    QTest::newRow("info 4 last error") << info(4) << 57 << QByteArray("0415");
    QTest::newRow("info 7 last reset") << info(7) << 57 << QByteArray("071E");
    QTest::newRow("info 11 relay byte") << info(11) << 57 << QByteArray("0B05");
    QTest::newRow("info 13 relay byte") << info(13) << 57 << QByteArray("0D03");
    QTest::newRow("info 18 empty") << info(18) << 57 << QByteArray("1200");

    QTest::newRow("text 3 char 2") << cursorBytes(0, 0, 2, 3) << 61 << QByteArray("020332");
    QTest::newRow("text 3 past end wraps") << cursorBytes(0, 0, 7, 3) << 61 << QByteArray("000345");
    QTest::newRow("text 13 is text 0") << cursorBytes(0, 0, 5, 13) << 61 << QByteArray("000053");
}

void TestSimulatedUnit::monitorRecord() {
    QFETCH(QByteArray, cursors);
    QFETCH(int, at);
    QFETCH(QByteArray, expected);
    Unit unit;
    prepare(unit);

    const QByteArray reply = unit.answer(monitorRequest(cursors));
    QCOMPARE(reply.size(), 75);
    QCOMPARE(reply.first(7), QByteArray("\x1B"
                                        "028042"));
    QVERIFY(checksumMatches(reply));
    QCOMPARE(reply.mid(7 + at - 1, expected.size()), expected);
}

void TestSimulatedUnit::presenceFollowsVariant_data() {
    QTest::addColumn<int>("variant");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("present");

    QTest::newRow("Modbus baud rate, KOVR") << 2 << 0 << 59 << false;
    QTest::newRow("Modbus baud rate, FIELDBUS") << 4 << 0 << 59 << true;
    QTest::newRow("20 mA point, KOVR.ED") << 0 << 0 << 4 << false;
    QTest::newRow("20 mA point, KOVR") << 2 << 0 << 4 << true;
    QTest::newRow("CPT 4, FIELDBUS") << 4 << 1 << 6 << false;
    QTest::newRow("CPT 4, KOVR.ED") << 0 << 1 << 6 << true;
    QTest::newRow("cycle position, CONTROL") << 1 << 1 << 15 << true;
    QTest::newRow("cycle position, KOVR") << 2 << 1 << 15 << false;
    QTest::newRow("common torque, unknown variant") << 9 << 0 << 10 << true;
    QTest::newRow("SAFE position, unknown variant") << 9 << 1 << 12 << false;
    QTest::newRow("end position, KOVR.ED") << 0 << 2 << 1 << true;
}

void TestSimulatedUnit::presenceFollowsVariant() {
    QFETCH(int, variant);
    QFETCH(int, kind);
    QFETCH(int, index);
    QFETCH(bool, present);
    Unit unit(variant);

    const int type = HexToInt(record(unit, cursorBytes(index, kind)).mid(32, 2));
    QCOMPARE(bool(type & 0x20), present);
    QCOMPARE(type & 0x0F, kind);
}

void TestSimulatedUnit::variantWriteChangesPresence() {
    Unit unit(2);
    QCOMPARE(payloadOf(unit.answer(frameRequest("320C068000000004"))), QByteArray("B20206"));
    QCOMPARE(unit.variant(), 4);
    QCOMPARE(record(unit, cursorBytes(59, 0)).mid(30, 4), QByteArray("3B20"));
    QCOMPARE(record(unit, cursorBytes(6, 1)).mid(30, 4), QByteArray("0601"));
}

void TestSimulatedUnit::plainReplies_data() {
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("expected"); // start of the reply payload

    QTest::newRow("open") << frameRequest("4000") << QByteArray("C000");
    QTest::newRow("close") << frameRequest("4100") << QByteArray("C100");
    QTest::newRow("probe") << probeFrame() << QByteArray("C200");
    QTest::newRow("autocalibration") << frameRequest("5000") << QByteArray("D000");
    QTest::newRow("motor") << frameRequest("510201") << QByteArray("D100");
    QTest::newRow("sensor calibration") << frameRequest("740201") << QByteArray("F400");
    QTest::newRow("CPT value") << frameRequest("71040123") << QByteArray("F100");
    QTest::newRow("torque point") << frameRequest("750E0001012C07D001") << QByteArray("F500");
    QTest::newRow("0 mA") << frameRequest("7600") << QByteArray("F600");
    QTest::newRow("unknown") << frameRequest("6300") << QByteArray("E300");
    QTest::newRow("sensor record") << frameRequest("730A0102030405") << QByteArray("F33C01020304");
    QTest::newRow("torque record") << frameRequest("0100") << QByteArray("811C");
    QTest::newRow("inputs record")
        << frameRequest("7022000403FF01************************") << QByteArray("F026000403FF");
}

void TestSimulatedUnit::plainReplies() {
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, expected);
    Unit unit;

    const QByteArray reply = unit.answer(request);
    QCOMPARE(reply.first(3), QByteArray("\x1B"
                                        "02"));
    QVERIFY(checksumMatches(reply));
    QCOMPARE(reply.size(), HexToInt(reply.mid(5, 2)) + Frame::Overhead);
    QCOMPARE(payloadOf(reply).first(expected.size()), expected);
}

void TestSimulatedUnit::itemWrite_data() {
    QTest::addColumn<QByteArray>("data"); // index, flags, value
    QTest::addColumn<QByteArray>("echo");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("index");
    QTest::addColumn<quint32>("value"); // stored value; ignored when kind < 0

    QTest::newRow("B 10 last item")
        << QByteArray("0A8000000050") << QByteArray("0A") << 0 << 10 << 80u;
    QTest::newRow("W 8 masked to a word")
        << QByteArray("080100012345") << QByteArray("08") << 1 << 8 << 0x2345u;
    QTest::newRow("B 3 masked to a byte")
        << QByteArray("0300000001FE") << QByteArray("03") << 0 << 3 << 0xFEu;
    QTest::newRow("DW 1 full width")
        << QByteArray("0182FFFFFFFF") << QByteArray("01") << 2 << 1 << 0xFFFFFFFFu;
    QTest::newRow("keep-value bit")
        << QByteArray("03400000007F") << QByteArray("03") << -1 << 0 << 0u;
    QTest::newRow("index past the kind")
        << QByteArray("4100000000FF") << QByteArray("41") << -1 << 0 << 0u;
    QTest::newRow("kind 3") << QByteArray("0003000000FF") << QByteArray("00") << -1 << 0 << 0u;
}

void TestSimulatedUnit::itemWrite() {
    QFETCH(QByteArray, data);
    QFETCH(QByteArray, echo);
    QFETCH(int, kind);
    QFETCH(int, index);
    QFETCH(quint32, value);
    Unit unit;

    std::vector<quint32> expected = allParameters(unit);
    if (kind >= 0) expected[flatIndex(kind, index)] = value;

    QCOMPARE(payloadOf(unit.answer(frameRequest(QByteArray("320C" + data)))),
             QByteArray("B202" + echo));
    QCOMPARE(allParameters(unit), expected);
    if (kind >= 0)
        QCOMPARE(HexToInt(record(unit, cursorBytes(index, kind)).mid(34, 8)), qint32(value));
}

void TestSimulatedUnit::textWrite_data() {
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QByteArray>("echo");
    QTest::addColumn<int>("item");
    QTest::addColumn<QByteArray>("stored"); // null: unchanged

    QTest::newRow("item 4 trimmed")
        << QByteArray("340C04ABC       ") << QByteArray("B40204") << 4 << QByteArray("ABC");
    QTest::newRow("ten characters")
        << QByteArray("340C05P009988776") << QByteArray("B40205") << 5 << QByteArray("P009988776");
    QTest::newRow("not-writable bit")
        << QByteArray("340C49XYZ       ") << QByteArray("B40209") << 9 << QByteArray();
    QTest::newRow("date stamp") << QByteArray("340801150326") << QByteArray("B40201") << 1
                                << QByteArray("150326");
}

void TestSimulatedUnit::textWrite() {
    QFETCH(QByteArray, payload);
    QFETCH(QByteArray, echo);
    QFETCH(int, item);
    QFETCH(QByteArray, stored);
    Unit unit;
    const QByteArray before = unit.text(item);

    QCOMPARE(payloadOf(unit.answer(frameRequest(payload))), echo);
    const QByteArray after = stored.isNull() ? before : stored;
    QCOMPARE(unit.text(item), after);
    // The monitor learns the new length: the character after the last one wraps to 0.
    QCOMPARE(record(unit, cursorBytes(0, 0, int(after.size()), item)).mid(60, 6),
             QByteArray("00" + IntToHex(item, 2) + IntToHex(quint8(after[0]), 2)));
}

void TestSimulatedUnit::resetsClearOnlyTheirStore() {
    const auto stores = [](Unit& u) {
        const auto any = [](auto get) {
            for (int i = 0; i < 32; ++i)
                if (get(i)) return true;
            return false;
        };
        return std::array<bool, 5>{
            u.runningHours() != 0 || u.runningMinutes() != 0,
            any([&](int i) { return u.errorCounter(i); }),
            u.relayCount(0) != 0 || u.relayCount(1) != 0,
            any([&](int i) { return i < 3 && u.lastError(i); }),
            any([&](int i) { return i < 3 && u.lastReset(i); }),
        };
    };
    for (int reset = 0; reset < 5; ++reset) {
        Unit unit;
        prepare(unit);
        QCOMPARE(stores(unit), (std::array<bool, 5>{true, true, true, true, true}));
        const QByteArray n = IntToHex(reset, 2);
        QCOMPARE(payloadOf(unit.answer(frameRequest(QByteArray("3302" + n)))),
                 QByteArray("B302" + n));
        std::array<bool, 5> expected{true, true, true, true, true};
        expected[reset] = false;
        QCOMPARE(stores(unit), expected);
    }
}

void TestSimulatedUnit::unitFunctions() {
    Unit unit(4);
    const auto writeB30 = [&](int value) {
        unit.answer(frameRequest(QByteArray("320C1E80" + IntToHex(value, 8))));
    };
    const auto function = [&](int n) {
        return payloadOf(unit.answer(frameRequest(QByteArray("3F02" + IntToHex(n, 2)))));
    };

    writeB30(99);
    QCOMPARE(function(3), QByteArray("BF0203")); // backup
    writeB30(1);
    QCOMPARE(function(1), QByteArray("BF0201")); // restore
    QCOMPARE(unit.parameter(Unit::KindB, 30), 99u);

    unit.setFaulty(Unit::KindW, 2, true);
    unit.setActiveErrors(1, 0x80);
    QCOMPARE(function(2), QByteArray("BF0202")); // initialisation
    QVERIFY(!unit.isFaulty(Unit::KindW, 2));
    QCOMPARE(unit.activeErrors(1), quint8(0));

    QCOMPARE(function(0), QByteArray("BF0200")); // defaults, variant kept
    QCOMPARE(unit.parameter(Unit::KindB, 30), UnitDefaults::parameters[30].value);
    QCOMPARE(unit.variant(), 4);
    QVERIFY(unit.isPresent(Unit::KindB, 59));
}

void TestSimulatedUnit::motorAndAutocalibrationFollowTime() {
    Unit unit;
    prepare(unit);
    const auto motion = [&] { return record(unit, QByteArray(16, '0')).mid(26, 2); };
    const auto send = [&](const char* payload) { unit.answer(frameRequest(payload)); };

    send("510201"); // open at 10 % per second
    m_ms += 2000;
    QCOMPARE(unit.position(), 7000);
    QCOMPARE(motion(), QByteArray("15"));
    m_ms += 10000;
    QCOMPARE(unit.position(), 10000);
    QCOMPARE(motion(), QByteArray("00"));

    send("510202");
    m_ms += 500;
    send("510200");
    m_ms += 1000;
    QCOMPARE(unit.position(), 9500);

    unit.setSweep(true); // turns at the end of the stroke
    m_ms += 1500;
    QCOMPARE(unit.position(), 9000);
    QCOMPARE(unit.motor(), Unit::MotorClose);
    unit.setSweep(false);
    send("510200");

    unit.setParameter(Unit::KindB, 7, 1);
    send("5000");
    QCOMPARE(record(unit, QByteArray(16, '0')).mid(50, 2), QByteArray("01"));
    m_ms += 2 * Unit::AutocalibrationStageMs + 1;
    QCOMPARE(unit.autocalibrationCode(), 3);
    m_ms += 10 * Unit::AutocalibrationStageMs;
    QCOMPARE(unit.autocalibrationCode(), 6);
    QCOMPARE(unit.parameter(Unit::KindB, 7), 0u);
}

void TestSimulatedUnit::sweepTorqueShowsInTheTool_data() {
    QTest::addColumn<QList<int>>("calibration"); // W 0..4; empty: the unit's own
    QTest::addColumn<int>("ms");                 // of sweeping from the closed end
    QTest::addColumn<QString>("side");           // the torque gauge with a percentage
    QTest::addColumn<int>("percent");
    QTest::addColumn<QString>("nm");

    // Factory W 0..4: O 100 % at 100, O minimum 300, Z 100 % at 900, Z minimum 700, 400 Nm.
    // The load falls from the closed end (100 %) to the open end (50 %) on either side.
    const QList<int> own;
    QTest::newRow("opening at the closed end") << own << 0 << "O" << 100 << "400";
    QTest::newRow("opening halfway") << own << 5000 << "O" << 75 << "300";
    QTest::newRow("opening near the open end") << own << 9000 << "O" << 55 << "220";
    QTest::newRow("closing near the open end") << own << 11000 << "Z" << 55 << "220";
    QTest::newRow("closing near the closed end") << own << 19000 << "Z" << 95 << "380";
    QTest::newRow("another calibration, closing halfway")
        << QList<int>{40, 400, 1000, 640, 250} << 15000 << "Z" << 75 << "188";
}

// With the sweep the tool's torque bars and Nm box show the side in motion, never the dead
// zone between the sides, whatever calibration the unit holds.
void TestSimulatedUnit::sweepTorqueShowsInTheTool() {
    QFETCH(QList<int>, calibration);
    QFETCH(int, ms);
    QFETCH(QString, side);
    QFETCH(int, percent);
    QFETCH(QString, nm);
    Unit unit;
    m_ms = 0;
    unit.setClock([this] { return m_ms; });
    for (int i = 0; i < calibration.size(); ++i)
        unit.setParameter(Unit::KindW, i, quint32(calibration[i]));
    unit.setPosition(0);
    unit.setSweep(true);
    m_ms += ms;

    // The tool learns the calibration and B 26 (torque measured) from the parameter slot.
    ToolDisplay tool;
    for (int index = 0; index < 5; ++index)
        tool.decoder.ZobrazMonitor(record(unit, cursorBytes(index, Unit::KindW)));
    tool.decoder.ZobrazMonitor(record(unit, cursorBytes(26, Unit::KindB)));
    // A record's torque is decoded before its parameter slot: the next one shows it.
    tool.decoder.ZobrazMonitor(record(unit, QByteArray(16, '0')));

    const MonitorDisplay::Gauge shown{percent, true, false};
    const MonitorDisplay::Gauge empty{0, false, false};
    QCOMPARE(tool.display.Gauge4, side == QLatin1String("O") ? shown : empty);
    QCOMPARE(tool.display.Gauge3, side == QLatin1String("Z") ? shown : empty);
    QCOMPARE(tool.display.Edit12, nm);

    unit.setSweep(false); // a stopped actuator is back at the torque it was given
    QCOMPARE(unit.torque(), 500);
}

enum Fault {
    None,
    Silent,
    DropEvery,
    DropNext,
    CorruptEvery,
    DropAndCorruptEvery,
    ForeignHeader,
    WrongCode,
    WrongCodeNext
};

void TestSimulatedUnit::faults_data() {
    QTest::addColumn<int>("fault");
    QTest::addColumn<int>("n");
    QTest::addColumn<QByteArray>("pattern"); // four replies to "4000"

    QTest::newRow("none") << int(None) << 0 << QByteArray("ok ok ok ok");
    QTest::newRow("silent") << int(Silent) << 0 << QByteArray("- - - -");
    QTest::newRow("drop every 2nd") << int(DropEvery) << 2 << QByteArray("ok - ok -");
    QTest::newRow("drop next 3") << int(DropNext) << 3 << QByteArray("- - - ok");
    QTest::newRow("corrupt every 3rd") << int(CorruptEvery) << 3 << QByteArray("ok ok sum ok");
    // A dropped reply is never the one to spoil: both faults show at every rate.
    QTest::newRow("drop and corrupt every 2nd")
        << int(DropAndCorruptEvery) << 2 << QByteArray("ok - sum -");
    QTest::newRow("foreign header")
        << int(ForeignHeader) << 0 << QByteArray("hdr00 hdr00 hdr00 hdr00");
    QTest::newRow("wrong code") << int(WrongCode) << 0 << QByteArray("code40 code40 code40 code40");
    QTest::newRow("wrong code next 2")
        << int(WrongCodeNext) << 2 << QByteArray("code40 code40 ok ok");
}

void TestSimulatedUnit::faults() {
    QFETCH(int, fault);
    QFETCH(int, n);
    QFETCH(QByteArray, pattern);
    Unit unit;
    switch (fault) {
    case None: break;
    case Silent: unit.setSilent(true); break;
    case DropEvery: unit.setDropEvery(n); break;
    case DropNext: unit.dropNext(n); break;
    case CorruptEvery: unit.setCorruptEvery(n); break;
    case DropAndCorruptEvery:
        unit.setDropEvery(n);
        unit.setCorruptEvery(n);
        break;
    case ForeignHeader: unit.setForeignHeader(true); break;
    case WrongCode: unit.setWrongCode(true); break;
    case WrongCodeNext: unit.wrongCodeNext(n); break;
    }

    QByteArrayList seen;
    for (int i = 0; i < 4; ++i) {
        const QByteArray reply = unit.answer(frameRequest("4000"));
        if (reply.isEmpty())
            seen << "-";
        else if (!checksumMatches(reply))
            seen << "sum";
        else if (reply.mid(1, 2) != "02")
            seen << QByteArray("hdr" + reply.mid(1, 2));
        else if (reply.mid(3, 2) != "C0")
            seen << QByteArray("code" + reply.mid(3, 2));
        else
            seen << "ok";
    }
    QCOMPARE(seen.join(' '), pattern);
}

void TestSimulatedUnit::feedAssemblesRequests_data() {
    QTest::addColumn<QByteArrayList>("chunks");
    QTest::addColumn<QByteArray>("codes"); // reply codes in order

    const QByteArray monitor = monitorRequest(QByteArray(16, '0'));
    const QByteArray open = frameRequest("4000");
    const QByteArray close = frameRequest("4100");
    QByteArray badSum = open;
    badSum[badSum.size() - 1] = '0';
    QByteArray foreign = open;
    foreign[2] = '3';
    foreign = QByteArray(foreign.chopped(2) + CRC(foreign.chopped(2)));

    QTest::newRow("whole") << QByteArrayList{monitor} << QByteArray("80");
    QTest::newRow("pieces of 3, 4 and the rest")
        << QByteArrayList{monitor.first(3), monitor.mid(3, 4), monitor.mid(7)} << QByteArray("80");
    QByteArrayList bytes;
    for (char c : open)
        bytes << QByteArray(1, c);
    QTest::newRow("byte by byte") << bytes << QByteArray("C0");
    QTest::newRow("garbage before ESC")
        << QByteArrayList{QByteArray("x7\r\n" + open)} << QByteArray("C0");
    QTest::newRow("two in one read")
        << QByteArrayList{QByteArray(open + close)} << QByteArray("C0C1");
    QTest::newRow("bad checksum ignored") << QByteArrayList{badSum, close} << QByteArray("C1");
    QTest::newRow("cut-off request then a whole one")
        << QByteArrayList{open.first(5), monitor} << QByteArray("80");
    QTest::newRow("foreign request header ignored")
        << QByteArrayList{QByteArray(foreign + close)} << QByteArray("C1");
}

void TestSimulatedUnit::feedAssemblesRequests() {
    QFETCH(QByteArrayList, chunks);
    QFETCH(QByteArray, codes);
    Unit unit;
    QSignalSpy replies(&unit, &Unit::reply);

    for (const QByteArray& chunk : chunks)
        unit.feed(chunk);
    QByteArray seen;
    for (const QList<QVariant>& args : replies)
        seen += args.at(0).toByteArray().mid(3, 2);
    QCOMPARE(seen, codes);
}

void TestSimulatedUnit::ptyRoundTrip_data() {
    QTest::addColumn<bool>("paced");
    QTest::addColumn<int>("minTotalMs");  // request + reply at 960 characters per second
    QTest::addColumn<int>("minSpreadMs"); // first to last character of the reply
    QTest::addColumn<int>("maxTotalMs");

    // 27 request and 75 reply characters take 106 ms on the line; the reply alone 77 ms.
    QTest::newRow("paced") << true << 100 << 70 << 3000;
    QTest::newRow("unpaced") << false << 0 << 0 << 50;
}

void TestSimulatedUnit::ptyRoundTrip() {
    QFETCH(bool, paced);
    QFETCH(int, minTotalMs);
    QFETCH(int, minSpreadMs);
    QFETCH(int, maxTotalMs);
    Unit unit;
    PtyLine line(&unit);
    line.setPaced(paced);
    QVERIFY2(line.open(), qPrintable(line.errorString()));
    const QByteArray path = QFile::encodeName(line.slavePath());

    // The tool closes and reopens its port; the line must survive that.
    int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    QVERIFY(fd >= 0);
    ::close(fd);
    QTest::qWait(10); // let the line see the port closed
    fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    QVERIFY(fd >= 0);
    const auto closeFd = qScopeGuard([fd] { ::close(fd); });

    QByteArray received;
    qint64 firstAt = -1, lastAt = -1;
    QElapsedTimer clock;
    QSocketNotifier notifier(fd, QSocketNotifier::Read);
    connect(&notifier, &QSocketNotifier::activated, this, [&] {
        char buffer[256];
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0) return;
        if (received.isEmpty()) firstAt = clock.elapsed();
        received.append(buffer, n);
        lastAt = clock.elapsed();
    });

    const QByteArray request = monitorRequest(QByteArray(16, '0'));
    clock.start();
    QCOMPARE(::write(fd, request.constData(), request.size()), ssize_t(request.size()));
    QTRY_VERIFY_WITH_TIMEOUT(received.size() >= 75, maxTotalMs + 1000);
    QTest::qWait(20); // nothing more may follow

    QCOMPARE(received.size(), 75);
    QCOMPARE(received.first(5), QByteArray("\x1B"
                                           "0280"));
    QVERIFY(checksumMatches(received));
    QVERIFY2(lastAt >= minTotalMs, qPrintable(QString::number(lastAt)));
    QVERIFY2(lastAt - firstAt >= minSpreadMs, qPrintable(QString::number(lastAt - firstAt)));
    QVERIFY2(lastAt <= maxTotalMs, qPrintable(QString::number(lastAt)));
}

void TestSimulatedUnit::closeLineHangsUpAndRemovesLink() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString link = dir.filePath(QStringLiteral("ttyKOVR"));
    Unit unit;
    PtyLine line(&unit);
    QVERIFY(line.setLink(link));
    QVERIFY2(line.open(), qPrintable(line.errorString()));
    QCOMPARE(QFileInfo(link).symLinkTarget(), line.slavePath());

    const int fd = ::open(QFile::encodeName(link).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    QVERIFY(fd >= 0);
    const auto closeFd = qScopeGuard([fd] { ::close(fd); });
    pollfd p{fd, POLLIN, 0};
    QCOMPARE(::poll(&p, 1, 0), 0);

    line.closeLine();
    QCOMPARE(::poll(&p, 1, 0), 1);
    QVERIFY(p.revents & POLLHUP);
    QVERIFY(!QFileInfo(link).isSymLink());

    // Plugging the adapter back in: a new terminal, the same link.
    QVERIFY(line.open());
    QCOMPARE(QFileInfo(link).symLinkTarget(), line.slavePath());
}

QTEST_GUILESS_MAIN(TestSimulatedUnit)
#include "tst_simulatedunit.moc"

// The sensor dialog's core: the sensor record and the offsets typed by hand.

#include "device/SensorDecoder.h"
#include "lang/Lang.h"
#include "wire/Frame.h"

#include <QTest>

namespace {

// One sensor record by its fields; every field 0 unless set.
struct Record {
    std::array<int, 4> offsets{}, positions{}, flags{}, nibbles{}, absolutes{};
    int gauge = 0;
    quint32 absolute = 0;
    int code = 0, speed = 0, counter = 0;

    QByteArray data() const {
        QByteArray r;
        for (int v : offsets)
            r += IntToHex(v, 2);
        r += IntToHex(gauge, 4) + IntToHex(absolute, 8);
        for (int i = 0; i < 4; ++i)
            r += IntToHex(positions[i], 2) + IntToHex(flags[i], 2);
        for (int v : nibbles)
            r += IntToHex(v, 2);
        for (int v : absolutes)
            r += IntToHex(v, 2);
        r += IntToHex(code, 2) + "00" + IntToHex(speed, 2) + IntToHex(counter, 2);
        return r;
    }
};

const std::array<QString, 4> Typed = {"7", "300", "x", ""};

} // namespace

class TestSensorDecoder : public QObject {
    Q_OBJECT
private slots:
    void init() { LangIndex = 0; }
    void statusAndOffsets_data();
    void statusAndOffsets();
    void sensorRows();
    void offsetFromText_data();
    void offsetFromText();
};

void TestSensorDecoder::statusAndOffsets_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("status");
    QTest::addColumn<bool>("editable");

    QTest::newRow("255 finished") << 255 << "Kalibrace převodovky OK" << false;
    QTest::newRow("50 unknown, calibrating") << 50 << "Neznámý kód: 50" << false;
    QTest::newRow("150 unknown") << 150 << "Neznámý kód: 150" << true;
    QTest::newRow("16") << 16 << "Kontrola kalibrace O" << false;
    QTest::newRow("17") << 17 << "Kontrola kalibrace" << false;
    QTest::newRow("19") << 19 << "Kontrola kalibrace Z" << false;
    QTest::newRow("20 unknown") << 20 << "Neznámý kód: 20" << false;
    QTest::newRow("0 idle") << 0 << "" << true;
    QTest::newRow("100 interrupted") << 100 << "Chyba-přerušení z PC" << true;
    QTest::newRow("116") << 116 << "Chyba-neznámá" << true;
    QTest::newRow("117 unknown") << 117 << "Neznámý kód: 117" << true;
}

void TestSensorDecoder::statusAndOffsets() {
    QFETCH(int, code);
    QFETCH(QString, status);
    QFETCH(bool, editable);

    Record r;
    r.offsets = {0x1C, 0x5A, 0x93, 0xE4};
    r.code = code;
    SensorDisplay display;
    display.offsets = Typed;
    ZobrazSnimac(r.data(), display);
    QCOMPARE(display.status, status);
    QCOMPARE(display.offsetsEditable, editable);
    // The unit's offsets while it calibrates; what the user typed otherwise.
    const std::array<QString, 4> unit = {"28", "90", "147", "228"};
    QCOMPARE(display.offsets, editable ? Typed : unit);
}

void TestSensorDecoder::sensorRows() {
    Record r;
    r.gauge = 5000;
    r.absolute = 0xFFFFFFFF;
    r.positions = {1, 2, 3, 0xFF};
    r.flags = {0x11, 0x3F, 0xC0, 0x20};
    r.nibbles = {0xA5, 0x0F, 0xF0, 0};
    r.absolutes = {9, 0x80, 0, 0xFE};
    r.speed = 9;
    r.counter = 0xC8;
    SensorDisplay display;
    ZobrazSnimac(r.data(), display);
    QCOMPARE(display.gauge, 5000);
    QCOMPARE(display.absolute, "-1");
    QCOMPARE(display.speed, "9");
    QCOMPARE(display.counter, "200");
    using Rows = std::array<QString, SensorDisplay::SensorRows>;
    // Rows: position, pre-position, position, absolute, OCF, COF, LIN, MagINC, MagDEC, parity.
    QCOMPARE(display.sensors[0], (Rows{"1", "10", "5", "9", "", "X", "", "", "", "X"}));
    QCOMPARE(display.sensors[1], (Rows{"2", "0", "15", "128", "X", "X", "X", "X", "X", "X"}));
    QCOMPARE(display.sensors[2], (Rows{"3", "15", "0", "0", "", "", "", "", "", ""}));
    QCOMPARE(display.sensors[3], (Rows{"255", "0", "0", "254", "X", "", "", "", "", ""}));
}

void TestSensorDecoder::offsetFromText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("stored");
    QTest::newRow("300 low byte") << "300" << 0x2C;
    QTest::newRow("255") << "255" << 255;
    QTest::newRow("spaces") << " 17 " << 17;
    QTest::newRow("negative") << "-1" << 255;
    QTest::newRow("not a number") << "1a" << 0;
    QTest::newRow("empty") << "" << 0;
}

void TestSensorDecoder::offsetFromText() {
    QFETCH(QString, text);
    QFETCH(int, stored);
    QCOMPARE(int(::offsetFromText(text)), stored);
}

QTEST_GUILESS_MAIN(TestSensorDecoder)
#include "tst_sensordecoder.moc"

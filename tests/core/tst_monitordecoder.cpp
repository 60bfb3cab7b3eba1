#include "device/MonitorDecoder.h"
#include "device/MonitorDisplay.h"
#include "device/MonitorHooks.h"
#include "image/DeviceImage.h"
#include "lang/Lang.h"
#include "params/ParameterCatalogue.h"
#include "params/ServiceSheet.h"
#include "wire/Frame.h"

#include <QTest>

namespace {

// One monitor record by its fields; every field 0 unless set.
struct Record {
    int position = 0, signal = 0;
    quint32 absolute = 0;
    int rawSignal = 0, torque = 0, mode = 0, motion = 0, status = 0;
    int parIndex = 0, parType = 0;
    quint32 parValue = 0;
    int errorGroup = 0, errorBits = 0, ioGroup = 0, ioBits = 0, autocal = 0;
    int counter = 0, counterValue = 0, info = 18, infoValue = 0;
    int textChar = 0, textNumber = 0, textByte = 0;

    QByteArray data() const {
        QByteArray r;
        r += IntToHex(position, 4) + IntToHex(signal, 4) + IntToHex(absolute, 8);
        r += IntToHex(rawSignal, 4) + IntToHex(torque, 4);
        for (int v : {mode, motion, status, parIndex, parType})
            r += IntToHex(v, 2);
        r += IntToHex(parValue, 8);
        for (int v : {errorGroup, errorBits, ioGroup, ioBits, autocal, counter, counterValue, info,
                      infoValue, textChar, textNumber, textByte})
            r += IntToHex(v, 2);
        return r;
    }
};

struct Hooks : MonitorHooks {
    int zobrazPar = 0, relays = 0, safe = 0, versions = 0;
    bool unselected = false;
    void ZobrazPar(int) override { ++zobrazPar; }
    void PorovnejZmenuPolohRele() override { ++relays; }
    void PorovnejZmenuPolohySafe() override { ++safe; }
    void ZobrazVerzi() override { ++versions; }
    bool workingTorqueUnselected(int) const override { return unselected; }
};

struct Decoder {
    DeviceImage image;
    MonitorDisplay display;
    ServiceSheet sheet;
    Hooks hooks;
    bool fromFile = false;
    MonitorDecoder decoder{image, display, sheet, hooks, fromFile};

    void decode(const Record& r) { decoder.ZobrazMonitor(r.data()); }
    QString cell(int kind, int index, int column) const {
        const GridPlace place = ParameterCatalogue::place(kind, index);
        return sheet.cell(place.grid, column, place.row);
    }
};

} // namespace

class TestMonitorDecoder : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { LangIndex = 0; }
    void fixedBlock();
    void torque_data();
    void torque();
    void milliamps_data();
    void milliamps();
    void motionTexts();
    void errorSlot();
    void ioSlot();
    void informationItems();
    void autocalibration_data();
    void autocalibration();
    void byteParameter();
    void equalValueLeavesPendingEdit();
    void cycleModePresence();
    void workingTorqueSelectors();
    void wordAndDoubleWord();
    void firstReportShowsZero_data();
    void firstReportShowsZero();
    void parameterCursor_data();
    void parameterCursor();
    void textSlot();
    void outOfRangeIndexesDropped();
    void shortRecordIgnored();
    void writeFromFileKeepsParameters();
    void napisReset();
    void keysExist();
};

void TestMonitorDecoder::fixedBlock() {
    Decoder d;
    Record r;
    r.position = 12000; // gauge clamps
    r.absolute = 0xFFFFFFFF;
    r.signal = 5000;
    r.rawSignal = 777;
    r.mode = 0x01 | 0x08 | 0x40;
    r.status = 0x10 | 0x40;
    d.decode(r);
    QCOMPARE(d.image.Poloha_Proc, 12000);
    QCOMPARE(d.display.Gauge1.value, 10000);
    QCOMPARE(d.image.Poloha_Abs, 0xFFFFFFFFu);
    QCOMPARE(d.display.Edit1, QStringLiteral("4294967295"));
    QCOMPARE(d.display.dialogPosition, QStringLiteral("4294967295"));
    QCOMPARE(d.display.Gauge2.value, 5000);
    QCOMPARE(d.display.controlSignalRaw, QStringLiteral("777"));
    QCOMPARE((QList<bool>{d.display.CheckBox20, d.display.CheckBox21, d.display.CheckBox4,
                          d.display.CheckBox2, d.display.CheckBox3}),
             (QList<bool>{true, false, true, false, true}));
    QCOMPARE((QList<bool>{d.display.CheckBox1, d.display.CheckBox5, d.display.CheckBox6}),
             (QList<bool>{true, false, true}));
}

void TestMonitorDecoder::torque_data() {
    QTest::addColumn<int>("measured"); // B 26
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("errors0");
    QTest::addColumn<int>("m");
    QTest::addColumn<int>("gaugeO");
    QTest::addColumn<bool>("textO");
    QTest::addColumn<int>("gaugeZ");
    QTest::addColumn<bool>("textZ");
    QTest::addColumn<QString>("nm");

    QTest::newRow("O 50 %") << 1 << 0 << 0 << 300 << 50 << true << 0 << false << "200";
    QTest::newRow("O 100 %") << 1 << 0 << 0 << 100 << 100 << true << 0 << false << "400";
    QTest::newRow("dead zone") << 1 << 0 << 0 << 500 << 0 << false << 0 << false << "";
    QTest::newRow("Z 75 %") << 1 << 0 << 0 << 800 << 0 << false << 75 << true << "300";
    QTest::newRow("dead zone, O flag") << 1 << 0x04 << 0 << 500 << 40 << false << 0 << false << "";
    QTest::newRow("dead zone, Z flag") << 1 << 0x08 << 0 << 500 << 0 << false << 40 << false << "";
    QTest::newRow("O side with Z flag")
        << 1 << 0x08 << 0 << 300 << 50 << true << 40 << false << "200";
    QTest::newRow("torque-setting error")
        << 1 << 0 << 0x04 << 300 << 0 << false << 0 << false << "";
    QTest::newRow("beyond 100 % clamps") << 1 << 0 << 0 << 0 << 100 << true << 0 << false << "500";
    QTest::newRow("switches: O") << 0 << 0 << 0 << 100 << 100 << true << 0 << false << "";
    QTest::newRow("switches: Z") << 0 << 0x04 << 0 << 900 << 40 << false << 100 << true << "";
    QTest::newRow("switches: between") << 0 << 0 << 0 << 500 << 0 << false << 0 << false << "";
}

void TestMonitorDecoder::torque() {
    QFETCH(int, measured);
    QFETCH(int, status);
    QFETCH(int, errors0);
    QFETCH(int, m);
    QFETCH(int, gaugeO);
    QFETCH(bool, textO);
    QFETCH(int, gaugeZ);
    QFETCH(bool, textZ);
    QFETCH(QString, nm);
    Decoder d;
    d.image.ParB[0][26] = quint8(measured);
    d.image.ParW[0] = {100, 300, 900, 700, 400};
    d.image.Chyby_Akt[0] = quint8(errors0);
    Record r;
    r.torque = m;
    r.status = status;
    r.errorGroup = 9; // leaves the error groups alone
    d.decode(r);
    QCOMPARE(d.display.Gauge4.value, gaugeO);
    QCOMPARE(d.display.Gauge4.showsText, textO);
    QCOMPARE(d.display.Gauge3.value, gaugeZ);
    QCOMPARE(d.display.Gauge3.showsText, textZ);
    QCOMPARE(d.display.Edit12, nm);
    QCOMPARE(d.display.Edit4, QString::number(m));
    QCOMPARE(d.display.Gauge4.red, bool(status & 0x04));
    QCOMPARE(d.display.Gauge3.red, bool(status & 0x08));
}

void TestMonitorDecoder::milliamps_data() {
    QTest::addColumn<int>("b4");
    QTest::addColumn<int>("raw");
    QTest::addColumn<QString>("text");
    QTest::newRow("20.0") << 232 << 1000 << "20.0";
    QTest::newRow("zero") << 0 << 0 << "0.0";
    QTest::newRow("tie down to even") << 32 << 10 << "0.2"; // 0.25 mA
    QTest::newRow("tie up to even") << 32 << 30 << "0.8";   // 0.75 mA
    QTest::newRow("12.3") << 232 << 615 << "12.3";
}

void TestMonitorDecoder::milliamps() {
    QFETCH(int, b4);
    QFETCH(int, raw);
    QFETCH(QString, text);
    Decoder d;
    d.image.ParB[0][4] = quint8(b4);
    Record r;
    r.rawSignal = raw;
    d.decode(r);
    QCOMPARE(d.display.Edit2, text);
}

void TestMonitorDecoder::motionTexts() {
    Decoder d;
    Record r;
    r.motion = 0x01 | (0x02 << 2) | (0x00 << 4);
    d.decode(r);
    QCOMPARE(d.display.Edit7, LangText(QStringLiteral("Otevirat")));
    QCOMPARE(d.display.Edit9, LangText(QStringLiteral("Zavirat")));
    QCOMPARE(d.display.Edit3, LangText(QStringLiteral("Stop")));
    QCOMPARE(d.display.Edit7, QStringLiteral("otevírat"));
    r.motion = 0x3F; // 3 everywhere: sensor and motor kept, requested "ERR"
    d.decode(r);
    QCOMPARE(d.display.Edit7, LangText(QStringLiteral("Otevirat")));
    QCOMPARE(d.display.Edit9, QStringLiteral("ERR"));
    QCOMPARE(d.display.Edit3, LangText(QStringLiteral("Stop")));
    // Fieldbus selectors of the parameters dialog follow bits 6 and 7 only for variant item 4.
    r.motion = 0x40;
    d.decode(r);
    QVERIFY(!d.display.fieldbusSelectorsEnabled);
    d.display.parametersVariantItem = 4;
    d.decode(r);
    QVERIFY(d.display.fieldbusSelectorsEnabled);
    QVERIFY(!d.display.redundancyEnabled);
    r.motion = 0xC0;
    d.decode(r);
    QVERIFY(d.display.redundancyEnabled);
}

void TestMonitorDecoder::errorSlot() {
    Decoder d;
    Record r;
    r.errorGroup = 2;
    r.errorBits = 0x81;
    d.decode(r);
    QCOMPARE(d.display.errorGrid.cell(1, 17), QStringLiteral("X"));
    QCOMPARE(d.display.errorGrid.cell(1, 24), QStringLiteral("X"));
    for (int row = 18; row <= 23; ++row)
        QCOMPARE(d.display.errorGrid.cell(1, row), QString());
    QVERIFY(d.display.errorGridRed);
    QCOMPARE(d.image.Chyby_Akt[2], 0x81);
    r.errorBits = 0;
    d.decode(r);
    QCOMPARE(d.display.errorGrid.cell(1, 17), QString());
    QVERIFY(!d.display.errorGridRed);
    // Group 1 bit 7: the autocalibration group turns red.
    r.errorGroup = 1;
    r.errorBits = 0x80;
    d.decode(r);
    QVERIFY(d.display.autocalibrationRed);
    r.errorGroup = 4; // beyond the groups: nothing changes
    r.errorBits = 0xFF;
    d.decode(r);
    QCOMPARE(d.display.errorGrid.cell(1, 16), QStringLiteral("X"));
    QCOMPARE(d.display.errorGrid.cell(1, 33), QString());
    // Counter slot.
    r.counter = 31;
    r.counterValue = 0xFE;
    d.decode(r);
    QCOMPARE(d.display.errorGrid.cell(2, 32), QStringLiteral("254"));
}

void TestMonitorDecoder::ioSlot() {
    Decoder d;
    Record r;
    r.ioGroup = 2;
    r.ioBits = 0x05;
    d.decode(r);
    QCOMPARE(d.display.ioGrids[2].cell(1, 0), QStringLiteral("X"));
    QCOMPARE(d.display.ioGrids[2].cell(1, 1), QString());
    QCOMPARE(d.display.ioGrids[2].cell(1, 2), QStringLiteral("X"));
    QCOMPARE(d.display.ioGrids[0].cell(1, 0), QString());
}

void TestMonitorDecoder::informationItems() {
    Decoder d;
    auto info = [&](int item, int value) {
        Record r;
        r.info = item;
        r.infoValue = value;
        d.decode(r);
    };
    info(0, 0x01);
    info(1, 0x2C);
    QCOMPARE(d.display.Edit6, QString()); // only item 2 refreshes the edit
    info(2, 5);
    QCOMPARE(d.display.Edit6, QStringLiteral("300:05"));
    info(3, 0xFF);
    QCOMPARE(d.display.Edit5, QStringLiteral("-1"));
    info(10, 0);
    info(11, 5);
    info(12, 12);
    info(13, 3);
    QCOMPARE(d.display.Edit15, QStringLiteral("5123"));
    info(17, 9);
    QCOMPARE(d.display.Edit14, QStringLiteral("9"));
    info(5, 2);
    QCOMPARE(d.sheet.lastErrors().cell(0, 1), LangText(QStringLiteral("napisChybyRidiciSignal")));
    info(5, 41); // above 40: the row is kept
    QCOMPARE(d.sheet.lastErrors().cell(0, 1), LangText(QStringLiteral("napisChybyRidiciSignal")));
    info(9, 0x1E);
    QCOMPARE(d.sheet.lastResets().cell(0, 2), QStringLiteral("1E-POWER"));
}

void TestMonitorDecoder::autocalibration_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("czech");
    QTest::newRow("0") << 0 << " ";
    QTest::newRow("6") << 6 << "Ukončeno OK";
    QTest::newRow("21") << 21 << "Chyba-Safe";
    QTest::newRow("52") << 52 << "Chyba-CAN verze";
    QTest::newRow("15") << 15 << "Neznámý kód: 15";
    QTest::newRow("53") << 53 << "Neznámý kód: 53";
}

void TestMonitorDecoder::autocalibration() {
    QFETCH(int, code);
    QFETCH(QString, czech);
    Decoder d;
    Record r;
    r.autocal = code;
    d.decode(r);
    QCOMPARE(d.display.Edit8, czech);
}

void TestMonitorDecoder::byteParameter() {
    Decoder d;
    Record r;
    r.parIndex = 5;
    r.parType = 0x20 | 0x40 | 0x10; // present, signed, faulty
    r.parValue = 0xC8;
    d.decode(r);
    QCOMPARE(d.image.ParB[0][5], 0xC8);
    QCOMPARE(d.image.ParB[1][5], 0xC8);
    QCOMPARE(d.image.ParB[2][5], 0xC8);
    QVERIFY(d.image.ParB_Act[5] && d.image.ParB_Sign[5] && d.image.ParB_Err[5]);
    QCOMPARE(d.cell(0, 5, ServiceSheet::ValueColumn), QStringLiteral("-56"));
    QCOMPARE(d.cell(0, 5, ServiceSheet::ErrorColumn), QStringLiteral("X"));
    QCOMPARE(d.cell(0, 5, ServiceSheet::NameColumn), LangText(QStringLiteral("KorekceMoment")));
    QCOMPARE(d.hooks.zobrazPar, 1);
    // Absent: the name cell empties, the value stays.
    r.parType = 0;
    d.decode(r);
    QCOMPARE(d.cell(0, 5, ServiceSheet::NameColumn), QString());
    QCOMPARE(d.cell(0, 5, ServiceSheet::ErrorColumn), QString());
    // Bits above the byte are not the parameter's value.
    r.parIndex = 6;
    r.parType = 0x20;
    r.parValue = 0x103;
    d.decode(r);
    QCOMPARE(d.cell(0, 6, ServiceSheet::ValueColumn), QStringLiteral("3"));
    QCOMPARE(d.display.variantText, QStringLiteral("KOVR CONTROL"));
}

void TestMonitorDecoder::equalValueLeavesPendingEdit() {
    Decoder d;
    d.image.ParB[1][20] = 7; // as an earlier report left it
    d.image.ParB_Reported[20] = true;
    d.image.ParB[2][20] = 9; // edit pending
    d.sheet.ServiceStringGridWrite(0, ServiceSheet::ValueColumn,
                                   ParameterCatalogue::place(0, 20).row, QStringLiteral("9"));
    Record r;
    r.parIndex = 20;
    r.parType = 0x20;
    r.parValue = 7;
    d.decode(r);
    QCOMPARE(d.image.ParB[2][20], 9);
    QCOMPARE(d.hooks.zobrazPar, 0);
    QCOMPARE(d.cell(0, 20, ServiceSheet::ValueColumn), QStringLiteral("9"));
    r.parValue = 8; // changed in the unit: overrides the edit
    d.decode(r);
    QCOMPARE(d.image.ParB[1][20], 8);
    QCOMPARE(d.image.ParB[2][20], 8);
    QCOMPARE(d.cell(0, 20, ServiceSheet::ValueColumn), QStringLiteral("8"));
}

void TestMonitorDecoder::cycleModePresence() {
    Decoder d;
    d.image.ParB_Reported[56] = true; // its value is known: only the presence changes
    Record r;
    r.parIndex = 56;
    r.parType = 0x20;
    d.decode(r);
    QCOMPARE(d.hooks.zobrazPar, 1); // shown
    d.decode(r);
    QCOMPARE(d.hooks.zobrazPar, 1); // unchanged: no call
    r.parType = 0;
    d.decode(r);
    QCOMPARE(d.hooks.zobrazPar, 2);
    QVERIFY(!d.image.ParB_Act[56]);
}

void TestMonitorDecoder::workingTorqueSelectors() {
    Decoder d;
    d.image.ParB_Reported[27] = true; // its value is known: only the fault flag changes
    Record r;
    r.parIndex = 27;
    r.parType = 0x30;
    d.decode(r);
    QVERIFY(d.display.workingTorqueRedO);
    QVERIFY(!d.display.workingTorqueRedZ);
    QCOMPARE(d.hooks.zobrazPar, 0);
    r.parType = 0x20;
    d.hooks.unselected = true;
    d.decode(r);
    QVERIFY(!d.display.workingTorqueRedO);
    QCOMPARE(d.hooks.zobrazPar, 1);
}

void TestMonitorDecoder::wordAndDoubleWord() {
    Decoder d;
    Record r;
    r.parIndex = 9;
    r.parType = 0x21;
    r.parValue = 0x12345; // word: low 16 bits
    d.decode(r);
    QCOMPARE(d.image.ParW[1][9], 0x2345);
    QCOMPARE(d.display.Edit16_19[1], QString::number(0x2345 / 100));
    QCOMPARE(d.hooks.relays, 1);
    QCOMPARE(d.cell(1, 9, ServiceSheet::ValueColumn), QString::number(0x2345));
    r.parIndex = 12;
    r.parValue = 5050;
    d.decode(r);
    QCOMPARE(d.display.Edit20, QStringLiteral("50"));
    QCOMPARE(d.hooks.safe, 1);
    r.parIndex = 1;
    r.parType = 0x22;
    r.parValue = 0xFFFFFFF0;
    d.decode(r);
    QCOMPARE(d.image.ParDW[2][1], 0xFFFFFFF0u);
    QCOMPARE(d.display.Edit13, QStringLiteral("4294967280"));
    QCOMPARE(d.display.dialogEndZ, d.display.Edit13);
    QCOMPARE(d.cell(2, 1, ServiceSheet::ValueColumn), d.display.Edit13);
}

// Set 1 starts at zero: a zero the unit reports is shown all the same, once.
void TestMonitorDecoder::firstReportShowsZero_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("index");
    QTest::newRow("variant 0 (B 6)") << 0 << 6;
    QTest::newRow("relay position 1 (W 8)") << 1 << 8;
    QTest::newRow("SAFE position (W 12)") << 1 << 12;
    QTest::newRow("end position O (DW 0)") << 2 << 0;
    QTest::newRow("end position Z (DW 1)") << 2 << 1;
}

void TestMonitorDecoder::firstReportShowsZero() {
    QFETCH(int, kind);
    QFETCH(int, index);
    Decoder d;
    d.image.ParW[2][8] = 1500; // an edit pending before the first report
    Record r;
    r.parIndex = index;
    r.parType = 0x20 | kind;
    for (int report = 0; report < 2; ++report)
        d.decode(r);
    QCOMPARE(d.cell(kind, index, ServiceSheet::ValueColumn), QStringLiteral("0"));
    const QString shown = kind == 0    ? d.display.variantText
                          : kind == 2  ? (index == 0 ? d.display.Edit11 : d.display.Edit13)
                          : index == 8 ? d.display.Edit16_19[0]
                                       : d.display.Edit20;
    QCOMPARE(shown, kind == 0 ? MonitorDecoder::variantText(0) : QStringLiteral("0"));
    QVERIFY(!shown.isEmpty());
    // Shown once, not at every report of the same value.
    QCOMPARE(d.hooks.zobrazPar, kind == 0 ? 1 : 0);
    QCOMPARE(d.hooks.relays, kind == 1 && index == 8 ? 1 : 0);
    QCOMPARE(d.hooks.safe, kind == 1 && index == 12 ? 1 : 0);
    QCOMPARE(d.image.ParW[2][8], quint16(1500)); // equal to set 1: the edit stays
}

void TestMonitorDecoder::parameterCursor_data() {
    QTest::addColumn<int>("cursorIndex");
    QTest::addColumn<int>("cursorType");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("nextIndex");
    QTest::addColumn<int>("nextType");
    QTest::newRow("step") << 3 << 0 << 3 << 0x20 << 4 << 0;
    QTest::newRow("W has no 7: next kind") << 7 << 1 << 0 << 0x21 << 0 << 2;
    QTest::newRow("kind 3 answered as B") << 0 << 3 << 0 << 0x20 << 1 << 0;
    QTest::newRow("index 0 asked for") << 0 << 1 << 0 << 0x21 << 1 << 1;
}

void TestMonitorDecoder::parameterCursor() {
    QFETCH(int, cursorIndex);
    QFETCH(int, cursorType);
    QFETCH(int, index);
    QFETCH(int, type);
    QFETCH(int, nextIndex);
    QFETCH(int, nextType);
    Decoder d;
    for (int j = 0; j < 19; ++j) {
        const GridPlace place = ParameterCatalogue::place(1, j);
        d.sheet.ServiceStringGridWriteNapis(place.grid, ServiceSheet::NameColumn, place.row);
    }
    d.image.MonParIndex = cursorIndex;
    d.image.MonParTyp = cursorType;
    Record r;
    r.parIndex = index;
    r.parType = type;
    d.decode(r);
    QCOMPARE(d.image.MonParIndex, nextIndex);
    QCOMPARE(d.image.MonParTyp, nextType);
    if (QByteArray(QTest::currentDataTag()).startsWith("W has no 7")) {
        for (int j = 7; j < 19; ++j)
            QCOMPARE(d.cell(1, j, ServiceSheet::NameColumn), QString());
        QCOMPARE(d.cell(1, 6, ServiceSheet::NameColumn), LangText(QStringLiteral("CPT4")));
    }
}

void TestMonitorDecoder::textSlot() {
    Decoder d;
    auto send = [&](int z, int n, char x) {
        Record r;
        r.textChar = z;
        r.textNumber = n;
        r.textByte = uchar(x);
        d.decode(r);
    };
    send(0, 3, 'E');
    send(1, 3, '1');
    send(2, 3, '2');
    QCOMPARE(d.image.MonTextZnak, 3);
    QCOMPARE(d.hooks.versions, 3);
    send(0, 3, 'E'); // wrapped: the text is three characters long
    QCOMPARE(d.image.VyrobniUdaje[3].learnedLength, 3);
    QCOMPARE(d.image.VyrobniUdaje[3].shownLength, 3);
    QCOMPARE(d.image.MonTextZnak, 0);
    QCOMPARE(d.image.MonTextCislo, 1);
    QCOMPARE(d.hooks.versions, 4); // the length changed
    send(0, 3, 'E');
    QCOMPARE(d.hooks.versions, 4); // nothing new: no redisplay
    d.image.MonTextCislo = 13;
    d.image.MonTextZnak = 0;
    send(0, 0, 'V'); // past the last text the unit answers text 0
    QCOMPARE(d.image.MonTextCislo, 0);
}

void TestMonitorDecoder::outOfRangeIndexesDropped() {
    Decoder d;
    Record r;
    r.parIndex = 70;
    r.parType = 0x20;
    r.parValue = 1;
    r.textChar = 20;
    r.textNumber = 30;
    r.textByte = 'Q';
    r.counter = 200;
    r.counterValue = 5;
    r.ioGroup = 3;
    r.ioBits = 0xFF;
    d.image.MonParIndex = 70;
    d.decode(r);
    QCOMPARE(d.image.MonParIndex, 71); // the cursor moves on all the same
    QCOMPARE(d.image.MonTextZnak, 1);
    QCOMPARE(d.hooks.versions, 0);
    for (int row = 0; row < 34; ++row)
        QCOMPARE(d.display.errorGrid.cell(2, row), QString());
    QCOMPARE(d.display.ioGrids[2].cell(1, 0), QString());
}

void TestMonitorDecoder::shortRecordIgnored() {
    Decoder d;
    Record r;
    r.position = 5000;
    r.parIndex = 1;
    r.parType = 0x20;
    d.decoder.ZobrazMonitor(r.data().left(60) + "4F"); // a checksum where data should be
    QCOMPARE(d.image.Poloha_Proc, 0);
    QCOMPARE(d.image.MonParIndex, 0);
    QVERIFY(!d.image.ParB_Act[1]);
}

void TestMonitorDecoder::writeFromFileKeepsParameters() {
    Decoder d;
    d.fromFile = true;
    Record r;
    r.position = 4321;
    r.parIndex = 2;
    r.parType = 0x20;
    r.parValue = 9;
    r.textChar = 0;
    r.textNumber = 1;
    r.textByte = 'A';
    d.decode(r);
    QCOMPARE(d.image.Poloha_Proc, 4321);
    QCOMPARE(d.image.ParB[1][2], 0);
    QVERIFY(!d.image.ParB_Act[2]);
    QCOMPARE(d.hooks.versions, 0);
    QCOMPARE(d.image.MonParIndex, 1);
}

void TestMonitorDecoder::napisReset() {
    QCOMPARE(MonitorDecoder::NapisReset(0), QString());
    QCOMPARE(MonitorDecoder::NapisReset(0x17), QStringLiteral("17-WATCHDOG"));
    QCOMPARE(MonitorDecoder::NapisReset(0x1F), QStringLiteral("1F-RESET"));
    QCOMPARE(MonitorDecoder::NapisReset(0x0A), QStringLiteral("0A"));
}

// The decoder's key tables only name keys the dictionary has.
void TestMonitorDecoder::keysExist() {
    for (int code = 0; code <= 41; ++code)
        QVERIFY2(LangHasKey(MonitorDecoder::errorNameKey(code)), qPrintable(QString::number(code)));
    QCOMPARE(MonitorDecoder::errorNameKey(42), QString());
    for (const char* key : {"Stop", "Otevirat", "Zavirat", "Chyba-", "Neznámý kód: "})
        QVERIFY2(LangHasKey(QString::fromUtf8(key)), key);
    for (int code = 0; code <= 10; ++code) {
        const QString text = MonitorDecoder::autocalibrationText(code);
        QVERIFY2(!text.startsWith(QStringLiteral("autoCal")), qPrintable(text));
    }
}

QTEST_GUILESS_MAIN(TestMonitorDecoder)
#include "tst_monitordecoder.moc"

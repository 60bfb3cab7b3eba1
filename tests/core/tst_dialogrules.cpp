// The core halves of the position, CPT, error-masks, outputs-test and control-signal dialogs:
// take-over rules, the CPT edit check and poll, the mask bits, the outputs poll and the inputs
// record.

#include "SchedulerRig.h"
#include "device/CptValues.h"
#include "device/ErrorMasks.h"
#include "device/InputsDecoder.h"
#include "device/OutputsTest.h"
#include "lang/Lang.h"
#include "link/ParameterTransfer.h"
#include "params/ParameterCatalogue.h"
#include "params/ServiceEditing.h"
#include "params/ServiceSheet.h"
#include "params/ServiceTakeOver.h"

#include <QTest>

namespace {

using ParameterCatalogue::KindB;
using ParameterCatalogue::KindDW;
using ParameterCatalogue::KindW;

struct SheetRig {
    DeviceImage image;
    ServiceSheet sheet;
    int selection = 0;
    ServiceEditing editing{image, sheet, selection};

    QString cell(int kind, int index, int column = ServiceSheet::ValueColumn) const {
        const GridPlace place = ParameterCatalogue::place(kind, index);
        return sheet.cell(place.grid, column, place.row);
    }
};

} // namespace

class TestDialogRules : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { LangIndex = 0; }
    void positionTakeOver_data();
    void positionTakeOver();
    void positionTakeOverLeavesOtherRows();
    void controlSignal20mA();
    void controlSignalBeforeAnyReading();
    void controlSignal0mAAndOtherRows();
    void cptEditCheck_data();
    void cptEditCheck();
    void cptPollSendsThePageShown();
    void cptStoreAndShowInSheet();
    void masksRoundTrip();
    void masksExclusiveClick();
    void outputsPoll_data();
    void outputsPoll();
    void inputsRecord();
};

void TestDialogRules::positionTakeOver_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("gauge");
    QTest::addColumn<quint32>("absolute");
    QTest::addColumn<QString>("taken");
    QTest::newRow("W8 relay position") << KindW << 8 << 4567 << 99u << "4567";
    QTest::newRow("W12 SAFE position") << KindW << 12 << 10000 << 99u << "10000";
    QTest::newRow("W18 cycle position") << KindW << 18 << 1 << 99u << "1";
    QTest::newRow("DW0 end O") << KindDW << 0 << 4567 << 4294967295u << "4294967295";
    QTest::newRow("DW1 end Z") << KindDW << 1 << 4567 << 123456u << "123456";
}

void TestDialogRules::positionTakeOver() {
    QFETCH(int, kind);
    QFETCH(int, index);
    QFETCH(int, gauge);
    QFETCH(quint32, absolute);
    QFETCH(QString, taken);
    SheetRig rig;
    const GridPlace place = ParameterCatalogue::place(kind, index);
    TakeOver::position(rig.sheet, rig.editing, place.grid, place.row, gauge, absolute);
    QCOMPARE(rig.cell(kind, index), taken);
    // Taken as a new value: into the target set, and marked as a change.
    QCOMPARE(rig.image.value(kind, 2, index), taken.toUInt());
    QCOMPARE(rig.cell(kind, index, ServiceSheet::ChangedColumn), QStringLiteral("X"));
}

void TestDialogRules::positionTakeOverLeavesOtherRows() {
    SheetRig rig;
    for (const ParamRef ref : {ParamRef{KindW, 13}, ParamRef{KindW, 14}, ParamRef{KindW, 7}}) {
        const GridPlace place = ParameterCatalogue::place(ref.kind, ref.index);
        rig.sheet.setCell(place.grid, ServiceSheet::ValueColumn, place.row, QStringLiteral("7"));
        TakeOver::position(rig.sheet, rig.editing, place.grid, place.row, 4567, 1);
        QCOMPARE(rig.cell(ref.kind, ref.index), QStringLiteral("7"));
    }
}

void TestDialogRules::controlSignal20mA() {
    SheetRig rig;
    const int row = ParameterCatalogue::place(KindB, 4).row;
    QCOMPARE(
        TakeOver::controlSignal(rig.image, rig.sheet, rig.editing, row, QStringLiteral("1000")),
        TakeOver::ControlSignal::Stored20mA);
    QCOMPARE(rig.image.ParB[2][4], quint8(232));
    QCOMPARE(rig.cell(KindB, 4), QStringLiteral("232"));
    QCOMPARE(rig.cell(KindB, 4, ServiceSheet::ChangedColumn), QStringLiteral("X"));
}

void TestDialogRules::controlSignalBeforeAnyReading() {
    SheetRig rig;
    rig.image.ParB[2][4] = 17;
    const int row = ParameterCatalogue::place(KindB, 4).row;
    rig.sheet.setCell(ServiceSheet::LeftGrid, ServiceSheet::ValueColumn, row, QStringLiteral("17"));
    QCOMPARE(TakeOver::controlSignal(rig.image, rig.sheet, rig.editing, row, QString()),
             TakeOver::ControlSignal::NoReading);
    QCOMPARE(rig.image.ParB[2][4], quint8(17));
    QCOMPARE(rig.cell(KindB, 4), QStringLiteral("17"));
}

void TestDialogRules::controlSignal0mAAndOtherRows() {
    SheetRig rig;
    const int row64 = ParameterCatalogue::place(KindB, 64).row;
    QCOMPARE(
        TakeOver::controlSignal(rig.image, rig.sheet, rig.editing, row64, QStringLiteral("1000")),
        TakeOver::ControlSignal::Request0mA);
    QCOMPARE(rig.image.ParB[2][64], quint8(0));
    QCOMPARE(rig.image.ParB[2][4], quint8(0));
    const int otherRow = ParameterCatalogue::place(KindB, 5).row;
    QCOMPARE(TakeOver::controlSignal(rig.image, rig.sheet, rig.editing, otherRow, QString()),
             TakeOver::ControlSignal::NotItsRow);
}

void TestDialogRules::cptEditCheck_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("noticeKey");
    QTest::newRow("number") << "512"
                            << "512"
                            << "";
    QTest::newRow("empty, silently 0") << ""
                                       << "0"
                                       << "";
    QTest::newRow("letter") << "12a"
                            << "0"
                            << "ZadavejtePouzeCisla09";
    QTest::newRow("minus alone") << "-"
                                 << "0"
                                 << "ZadavejtePouzeCisla09";
    QTest::newRow("negative clamped") << "-5"
                                      << "0"
                                      << "MinimalniHodnota";
    QTest::newRow("above range clamped") << "2000"
                                         << "1023"
                                         << "MaximalniHodnota";
    QTest::newRow("range end") << "1023"
                               << "1023"
                               << "";
}

void TestDialogRules::cptEditCheck() {
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(QString, noticeKey);
    const CptValues::EditCheck check = CptValues::check(typed);
    QCOMPARE(check.text, shown);
    if (noticeKey.isEmpty())
        QVERIFY(check.notice.isEmpty());
    else
        QVERIFY2(check.notice.startsWith(LangText(noticeKey)), qPrintable(check.notice));
}

void TestDialogRules::cptPollSendsThePageShown() {
    Rig rig;
    rig.inputs.cptEdit1 = QStringLiteral("17");
    rig.inputs.cptEdit2 = QStringLiteral("1000");
    rig.inputs.cptPage = 1;
    QCOMPARE(rig.scheduler.requestPayload(86), QByteArray("710403E8"));
    rig.inputs.cptPage = 0;
    QCOMPARE(rig.scheduler.requestPayload(86), QByteArray("71040011"));
    rig.inputs.cptEdit1 = QStringLiteral("x");
    QCOMPARE(rig.scheduler.requestPayload(86), QByteArray("71040000"));
}

void TestDialogRules::cptStoreAndShowInSheet() {
    SheetRig rig;
    rig.image.ParW[1][6] = 100;
    rig.image.ParW[1][7] = 900;
    CptValues::store(rig.image, QStringLiteral("120"), QStringLiteral("zz"));
    QCOMPARE(rig.image.ParW[2][6], quint16(120));
    QCOMPARE(rig.image.ParW[2][7], quint16(0));
    CptValues::showInSheet(rig.image, rig.sheet);
    QCOMPARE(rig.cell(KindW, 6), QStringLiteral("120"));
    QCOMPARE(rig.cell(KindW, 7), QStringLiteral("0"));
}

void TestDialogRules::masksRoundTrip() {
    DeviceImage image;
    image.ParB[2].fill(0xFF);
    ErrorMasks::Checks errors{}, warnings{};
    errors[8] = true; // "RAM"
    ErrorMasks::store(image, errors, warnings);
    const quint8 expected[] = {0, 0, 0, 0, 0, 0x01, 0, 0};
    for (int i = 0; i < 8; ++i)
        QCOMPARE(image.ParB[2][34 + i], expected[i]);
    QCOMPARE(image.ParB[2][33], quint8(0xFF)); // neighbours untouched
    QCOMPARE(image.ParB[2][42], quint8(0xFF));

    image.ParB[2][34] = 0x08; // warning "Moment"
    image.ParB[2][41] = 0x80; // error "Chybná poloha"
    const ErrorMasks::Checks w = ErrorMasks::warnings(image);
    const ErrorMasks::Checks e = ErrorMasks::errors(image);
    QCOMPARE(std::count(w.begin(), w.end(), true), 1);
    QVERIFY(w[3]);
    QCOMPARE(std::count(e.begin(), e.end(), true), 2);
    QVERIFY(e[8] && e[31]);
}

void TestDialogRules::masksExclusiveClick() {
    ErrorMasks::Checks errors{}, warnings{};
    warnings[3] = true;
    warnings[4] = true;
    errors[3] = true; // "Moment" checked among the errors
    ErrorMasks::exclusiveClick(errors, warnings, 3);
    QVERIFY(!warnings[3]);
    QVERIFY(warnings[4]);
    // Unchecking never touches the other list.
    errors[4] = false;
    ErrorMasks::exclusiveClick(errors, warnings, 4);
    QVERIFY(warnings[4]);
}

void TestDialogRules::outputsPoll_data() {
    QTest::addColumn<int>("relay");
    QTest::addColumn<int>("cpt");
    QTest::addColumn<int>("led");
    QTest::addColumn<QByteArray>("payload");
    const QByteArray stars(24, '*');
    QTest::newRow("all off") << 0 << 0 << 0 << "7022" + QByteArray("0000000000") + stars;
    QTest::newRow("TOPENÍ, 50 %, Žlutá")
        << 9 << 1 << 2 << "7022" + QByteArray("010001FF02") + stars;
    QTest::newRow("READY (MZ), 100 %, Červená")
        << 1 << 2 << 1 << "7022" + QByteArray("000103FF01") + stars;
    QTest::newRow("4 (PZ)") << 7 << 0 << 0 << "7022" + QByteArray("0040000000") + stars;
}

void TestDialogRules::outputsPoll() {
    QFETCH(int, relay);
    QFETCH(int, cpt);
    QFETCH(int, led);
    QFETCH(QByteArray, payload);
    Rig rig;
    rig.inputs.relayItem = relay;
    rig.inputs.cptItem = cpt;
    rig.inputs.ledItem = led;
    const QByteArray sent = rig.scheduler.requestPayload(72);
    QCOMPARE(sent, payload);
    QCOMPARE(sent.size() - 4, 0x22);
    QCOMPARE(OutputsTest::relayItems().at(relay).isEmpty(), false);
}

void TestDialogRules::inputsRecord() {
    // Control signal 03E8, torque 0200, temperature F6, inputs 05 and 21.
    const QByteArray record =
        "00000000" + QByteArray("03E8") + "0200" + QByteArray(16, '0') + "F6" + "05" + "21";
    InputsDisplay display;
    ZobrazVstupy(record, display);
    QCOMPARE(display.Edit1, QStringLiteral("1000"));
    QCOMPARE(display.Edit2, QStringLiteral("512"));
    QCOMPARE(display.Edit3, QStringLiteral("-10"));
    const QStringList captions3 = OutputsTest::inputs3Captions();
    QStringList marked3, marked2;
    for (int b = 0; b < 8; ++b) {
        if (display.inputs3[b] == QStringLiteral("X")) marked3 << captions3[b];
        if (display.inputs2[b] == QStringLiteral("X")) marked2 << OutputsTest::inputs2Captions()[b];
        QVERIFY(display.inputs3[b].isEmpty() || display.inputs3[b] == QStringLiteral("X"));
    }
    QCOMPARE(marked3, (QStringList{QStringLiteral("I1"), QStringLiteral("Stop")}));
    QCOMPARE(marked2, (QStringList{QStringLiteral("Dálk."), QStringLiteral("O")}));
    // Bit 4 marks the row without a caption; a later record clears what it does not set.
    ZobrazVstupy(QByteArray(36, '0') + "10", display);
    QCOMPARE(display.inputs3[4], QStringLiteral("X"));
    QVERIFY(captions3[4].isEmpty());
    QVERIFY(display.inputs3[0].isEmpty() && display.inputs2[0].isEmpty());
    QCOMPARE(display.Edit3, QStringLiteral("0"));
}

QTEST_GUILESS_MAIN(TestDialogRules)
#include "tst_dialogrules.moc"

// Writes through the real serial line to the simulated unit and reads the unit's values back
// through the monitor poll.

#include "EventWait.h"
#include "SimulatedSetup.h"
#include "lang/Lang.h"
#include "params/ParameterCatalogue.h"
#include "params/ProductionTexts.h"
#include "wire/Frame.h"

#include <QSignalSpy>
#include <QTest>

class TestTransferEndToEnd : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup() { m_setup.reset(); }
    void writeAllParametersAndReadBack_data();
    void writeAllParametersAndReadBack();
    void pulledLineKeepsUnwrittenQueued();
    void writeProductionData();
    void probeAnsweredMidItem_data();
    void probeAnsweredMidItem();

private:
    // Waits for the start-up refresh and until the image holds every value of the unit.
    void waitForUnitValues();
    bool imageMatchesUnit() const;

    std::unique_ptr<SimulatedSetup> m_setup;
};

void TestTransferEndToEnd::init() {
    LangIndex = 0;
    m_setup = std::make_unique<SimulatedSetup>();
    QString error;
    QVERIFY2(m_setup->open(&error), qPrintable(error));
}

bool TestTransferEndToEnd::imageMatchesUnit() const {
    const DeviceImage& image = m_setup->session->image();
    const SimulatedUnit& unit = m_setup->unit;
    for (int i = 0; i < DeviceImage::CountB; ++i)
        if (image.ParB[1][i] != unit.parameter(SimulatedUnit::KindB, i)) return false;
    for (int i = 0; i < DeviceImage::CountW; ++i)
        if (image.ParW[1][i] != unit.parameter(SimulatedUnit::KindW, i)) return false;
    for (int i = 0; i < DeviceImage::CountDW; ++i)
        if (image.ParDW[1][i] != unit.parameter(SimulatedUnit::KindDW, i)) return false;
    return true;
}

void TestTransferEndToEnd::waitForUnitValues() {
    m_setup->start();
    KOVR_TRY_VERIFY_WITH_TIMEOUT(!m_setup->session->scheduler().obnovaBezi(), 15000);
    KOVR_TRY_VERIFY_WITH_TIMEOUT(imageMatchesUnit(), 5000);
}

void TestTransferEndToEnd::writeAllParametersAndReadBack_data() {
    QTest::addColumn<int>("dropEvery");
    QTest::addColumn<int>("corruptEvery");
    QTest::newRow("clean line") << 0 << 0;
    QTest::newRow("dropped and corrupted replies") << 7 << 11;
}

void TestTransferEndToEnd::writeAllParametersAndReadBack() {
    QFETCH(int, dropEvery);
    QFETCH(int, corruptEvery);
    waitForUnitValues();
    // Lost replies: the unit did the item, the tool sends it again; a corrupted one is dropped.
    m_setup->unit.setDropEvery(dropEvery);
    m_setup->unit.setCorruptEvery(corruptEvery);
    Session& session = *m_setup->session;
    DeviceImage& image = session.image();
    // New values everywhere but the variant, which would change what the unit has.
    for (int i = 0; i < DeviceImage::CountB; ++i)
        if (i != 6) image.ParB[2][i] = quint8(image.ParB[1][i] + 1);
    for (int i = 0; i < DeviceImage::CountW; ++i)
        image.ParW[2][i] = quint16(image.ParW[1][i] + 7);
    for (int i = 0; i < DeviceImage::CountDW; ++i)
        image.ParDW[2][i] = image.ParDW[1][i] + 1000;
    const auto expectedB = image.ParB[2];
    const auto expectedW = image.ParW[2];
    const auto expectedDW = image.ParDW[2];

    QSignalSpy ended(&session, &Session::transferEnded);
    session.requestWrite(0, 1, 2, false);
    session.requestWrite(0, 18, 1, false);
    session.requestWrite(0, 64, 0, true);
    KOVR_TRY_COMPARE_WITH_TIMEOUT(ended.size(), 1, 15000);
    KOVR_TRY_COMPARE_WITH_TIMEOUT(session.scheduler().komStav(), 2, 5000);
    for (int i = 0; i < DeviceImage::CountB; ++i)
        QCOMPARE(m_setup->unit.parameter(SimulatedUnit::KindB, i), expectedB[i]);
    for (int i = 0; i < DeviceImage::CountW; ++i)
        QCOMPARE(m_setup->unit.parameter(SimulatedUnit::KindW, i), expectedW[i]);
    for (int i = 0; i < DeviceImage::CountDW; ++i)
        QCOMPARE(m_setup->unit.parameter(SimulatedUnit::KindDW, i), expectedDW[i]);
    const QString today = QDate::currentDate().toString(QStringLiteral("ddMMyy"));
    QCOMPARE(m_setup->unit.text(1), today.toLatin1());

    // The refresh after the write brings the unit's values into sets 1 and 2 and the sheet.
    QVERIFY(session.scheduler().obnovaBezi());
    m_setup->unit.setDropEvery(0);
    m_setup->unit.setCorruptEvery(0);
    KOVR_TRY_VERIFY_WITH_TIMEOUT(imageMatchesUnit(), 10000);
    QCOMPARE(image.ParB[2], expectedB);
    QCOMPARE(image.ParW[2], expectedW);
    QCOMPARE(image.ParDW[2], expectedDW);
    const ServiceSheet& sheet = session.sheet();
    for (int kind = 0; kind < 3; ++kind) {
        for (int i = 0; i < ParameterCatalogue::count(kind); ++i) {
            const quint32 value = kind == 0   ? expectedB[i]
                                  : kind == 1 ? expectedW[i]
                                              : expectedDW[i];
            const GridPlace place = ParameterCatalogue::place(kind, i);
            QCOMPARE(sheet.cell(place.grid, ServiceSheet::ValueColumn, place.row),
                     ParameterCatalogue::valueText(kind, value, kind == 0 && image.ParB_Sign[i]));
        }
    }
    QVERIFY(m_setup->prompter.messages.isEmpty());
}

// The adapter is pulled in the middle of writing all parameters: the link's question, and after
// No every item the unit did not acknowledge is still queued for the next write.
void TestTransferEndToEnd::pulledLineKeepsUnwrittenQueued() {
    waitForUnitValues();
    Session& session = *m_setup->session;
    int itemWrites = 0;
    connect(&m_setup->unit, &SimulatedUnit::requestAccepted, this,
            [&](const QByteArray& frame) { itemWrites += frame.mid(3, 2) == "32" ? 1 : 0; });
    session.requestWrite(0, 1, 2, false);
    session.requestWrite(0, 18, 1, false);
    session.requestWrite(0, 64, 0, true);
    KOVR_TRY_VERIFY_WITH_TIMEOUT(itemWrites >= 30, 10000);
    m_setup->line.closeLine();
    KOVR_TRY_COMPARE_WITH_TIMEOUT(m_setup->prompter.questions.size(), 1, 5000);
    QVERIFY(!session.scheduler().komBezi()); // answered No
    const ParameterTransfer& transfer = session.transfer();
    const int acknowledged = transfer.progress();
    QVERIFY2(acknowledged >= 29 && acknowledged < 86, qPrintable(QString::number(acknowledged)));
    QCOMPARE(transfer.total(), 86 - acknowledged);
    QCOMPARE(transfer.ParZapis.Usek.last().Typ, 0);
    QCOMPARE(transfer.ParZapis.Usek.last().Stop, 64);
    QVERIFY(transfer.ParZapis.Usek.last().CS);
}

void TestTransferEndToEnd::writeProductionData() {
    waitForUnitValues();
    Session& session = *m_setup->session;
    // The texts arrive a character per poll; wait until field 5 stands in the sheet.
    const int row5 = ParameterCatalogue::productionField(5).row;
    const int row9 = ParameterCatalogue::productionField(9).row;
    const QString unit5 = QString::fromLatin1(m_setup->unit.text(5));
    KOVR_TRY_COMPARE_WITH_TIMEOUT(
        session.sheet().cell(ServiceSheet::ProductionGrid, ServiceSheet::TextColumn, row5), unit5,
        15000);
    const QByteArray firmware = m_setup->unit.text(9);

    session.sheet().setCell(ServiceSheet::ProductionGrid, ServiceSheet::TextColumn, row5,
                            QStringLiteral("AB123"));
    session.sheet().setCell(ServiceSheet::ProductionGrid, ServiceSheet::TextColumn, row9,
                            QStringLiteral("HACKED"));
    QSignalSpy ended(&session, &Session::transferEnded);
    session.requestWrite(3, 12, 15, false);
    KOVR_TRY_COMPARE_WITH_TIMEOUT(ended.size(), 1, 10000);
    KOVR_TRY_COMPARE_WITH_TIMEOUT(m_setup->unit.text(5), QByteArray("AB123"), 5000);
    QCOMPARE(m_setup->unit.text(9), firmware); // not writable: the unit kept it

    // The unit's new text comes back through the text slot of the monitor record.
    KOVR_TRY_COMPARE_WITH_TIMEOUT(productionText(session.image(), 5), QStringLiteral("AB123"),
                                  15000);
    KOVR_TRY_COMPARE_WITH_TIMEOUT(
        session.sheet().cell(ServiceSheet::ProductionGrid, ServiceSheet::TextColumn, row9),
        QString::fromLatin1(firmware), 15000);
}

// The unit loses its replies to an item write three times and then answers the probe, as a live
// unit on a noisy line does: the tool sends the same item again and the unit ends up having done
// exactly what was asked.
void TestTransferEndToEnd::probeAnsweredMidItem_data() {
    QTest::addColumn<int>("typ");
    QTest::addColumn<int>("index");
    QTest::newRow("reset error counters") << 14 << 1;
    QTest::newRow("selector B 10") << 0 << 10;
}

void TestTransferEndToEnd::probeAnsweredMidItem() {
    QFETCH(int, typ);
    QFETCH(int, index);
    waitForUnitValues();
    Session& session = *m_setup->session;
    SimulatedUnit& unit = m_setup->unit;
    unit.setErrorCounter(5, 7);
    unit.setRelayCount(0, 1234);
    const quint32 torqueZ = unit.parameter(SimulatedUnit::KindB, 10) == 80 ? 70 : 80;
    session.image().ParB[2][10] = quint8(torqueZ);
    QList<quint32> before;
    for (int i = 0; i < DeviceImage::CountB; ++i)
        before.append(unit.parameter(SimulatedUnit::KindB, i));

    const QByteArray command = typ == 0 ? "32" : "33";
    bool dropped = false;
    connect(&unit, &SimulatedUnit::requestAccepted, this, [&](const QByteArray& frame) {
        if (!dropped && frame.mid(3, 2) == command) {
            dropped = true;
            unit.dropNext(3);
        }
    });
    QSignalSpy ended(&session, &Session::transferEnded);
    session.requestWrite(index, index, typ, typ == 0);
    KOVR_TRY_COMPARE_WITH_TIMEOUT(ended.size(), 1, 10000);
    KOVR_TRY_COMPARE_WITH_TIMEOUT(session.scheduler().komStav(), 2, 5000);
    QVERIFY(m_setup->requests.contains(probeFrame()));
    // The unit executes what it hears even when its reply is lost: every item it heard must be
    // the one asked for.
    for (const QByteArray& request : std::as_const(m_setup->requests))
        if (request.mid(3, 2) == command) QCOMPARE(HexToInt(request.mid(7, 2)), index);

    if (typ == 14) {
        QCOMPARE(unit.errorCounter(5), quint8(0));
        QCOMPARE(unit.relayCount(0), 1234u);
    } else {
        before[10] = torqueZ;
        for (int i = 0; i < DeviceImage::CountB; ++i)
            QCOMPARE(unit.parameter(SimulatedUnit::KindB, i), before[i]);
    }
    QVERIFY(m_setup->prompter.questions.isEmpty());
}

QTEST_MAIN(TestTransferEndToEnd)
#include "tst_transfer_e2e.moc"

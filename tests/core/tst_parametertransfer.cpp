#include "SchedulerRig.h"
#include "link/ParameterTransfer.h"

#include <QTest>

namespace {

// Echo of an item write as the unit sends it: code, length 2, the index.
QByteArray echo(const char* code, int index) {
    return QByteArray(code) + "02" + IntToHex(index, 2);
}

// Parses the index and flags of a "320C" payload.
struct ItemWrite {
    int index;
    int flags;
    quint32 value;
};
ItemWrite parse(const QByteArray& payload) {
    return {HexToInt(payload.mid(4, 2)), HexToInt(payload.mid(6, 2)),
            quint32(HexToInt(payload.mid(8, 8)))};
}

} // namespace

// The scheduler and the transfer queue over a faked port, the start-up refresh done.
struct TransferRig : Rig {
    ParameterTransfer transfer{image};
    QStringList texts = QStringList(13, QString());

    TransferRig() {
        scheduler.setTransfer(&transfer);
        transfer.setProductionText([this](int field) { return texts.value(field); });
        start();
        finishRefresh();
    }
    // Runs the request until the unit has acknowledged every item with the sent index; returns
    // the item payloads.
    QList<QByteArray> runTransfer() {
        QList<QByteArray> items;
        for (int guard = 0; guard < 500 && scheduler.komStav() != 2; ++guard) {
            const QByteArray payload = tickPayload();
            const int command = HexToInt(payload.left(2));
            if (payload == "4000")
                reply("C000");
            else if (payload == "4100")
                reply("C100");
            else if (payload.startsWith("3408"))
                reply(echo("B4", 1));
            else {
                items.append(payload);
                const char* code = command == 0x32   ? "B2"
                                   : command == 0x3F ? "BF"
                                   : command == 0x33 ? "B3"
                                                     : "B4";
                const int index = HexToInt(payload.mid(4, 2));
                reply(echo(code, command == 0x34 ? index & 0x3F : index));
            }
        }
        return items;
    }
};

class TestParameterTransfer : public QObject {
    Q_OBJECT
private slots:
    void writeAllParameters();
    void selectorChange();
    void writeFromFile_data();
    void writeFromFile();
    void productionText_data();
    void productionText();
    void echoSteersTheWalk();
    void notAcknowledgedKeepsItem_data();
    void notAcknowledgedKeepsItem();
    void requestJoinsRunningTransfer();
    void requestRefusedWhileClosingJoinsNext();
    void indexBeyondKindIsNotWritten();
    void openingNotAnsweredKeepsSegment_data();
    void openingNotAnsweredKeepsSegment();
    void probeAnswerMidItemKeepsItem_data();
    void probeAnswerMidItemKeepsItem();
    void failedTransferKeepsUnacknowledged_data();
    void failedTransferKeepsUnacknowledged();
    void unitFunctionsAndResets();
    void stopAfterItemInFlight_data();
    void stopAfterItemInFlight();
};

void TestParameterTransfer::writeAllParameters() {
    TransferRig rig;
    for (int i = 0; i < 65; ++i)
        rig.image.ParB[2][i] = quint8(i + 1);
    rig.image.ParW[2][18] = 0xBEEF;
    rig.image.ParDW[2][1] = 0xFFFFFFFF;
    rig.transfer.NastavZapisPar(0, 1, 2, false);
    rig.transfer.NastavZapisPar(0, 18, 1, false);
    rig.transfer.NastavZapisPar(0, 64, 0, true);
    rig.scheduler.KomPovel(110);
    const QList<QByteArray> items = rig.runTransfer();
    QCOMPARE(items.size(), 86);
    QCOMPARE(items.first(), QByteArray("320C000200000000"));
    QCOMPARE(parse(items[1]).value, 0xFFFFFFFFu);
    QCOMPARE(parse(items[2 + 18]).value, 0xBEEFu);
    for (int n = 0; n < 86; ++n) {
        const ItemWrite item = parse(items[n]);
        const int kind = n < 2 ? 2 : n < 21 ? 1 : 0;
        QCOMPARE(item.flags & 0x0F, kind);
        QCOMPARE(bool(item.flags & 0x80), n == 85); // only B 64 ends the transfer
        QCOMPARE(item.flags & 0x40, 0);
    }
    QCOMPARE(parse(items.last()).value, 65u);
    // Several segments: the refresh reads all parameters.
    QCOMPARE(rig.progress.maximum(), 86);
    QCOMPARE(rig.consumers.transfersEnded, 1);
}

void TestParameterTransfer::selectorChange() {
    TransferRig rig;
    rig.image.ParB[2][10] = 70;
    rig.transfer.NastavZapisPar(10, 10, 0, true);
    rig.scheduler.KomPovel(110);
    QCOMPARE(rig.runTransfer(), QList<QByteArray>{"320C0A8000000046"});
    QCOMPARE(rig.image.MonParIndex, 10); // the refresh re-reads B 10 alone
    QCOMPARE(rig.progress.maximum(), 1);
}

void TestParameterTransfer::writeFromFile_data() {
    QTest::addColumn<int>("selection");
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("active");
    QTest::addColumn<bool>("writable");
    QTest::newRow("limited: B3 present") << 0 << 3 << true << false;
    QTest::newRow("limited: B10 present") << 0 << 10 << true << true;
    QTest::newRow("limited: B10 absent") << 0 << 10 << false << false;
    QTest::newRow("sensor change: B0 present") << 1 << 0 << true << true;
    QTest::newRow("sensor change: B4 present") << 1 << 4 << true << false;
}

void TestParameterTransfer::writeFromFile() {
    QFETCH(int, selection);
    QFETCH(int, index);
    QFETCH(bool, active);
    QFETCH(bool, writable);
    DeviceImage image;
    ParameterTransfer transfer(image);
    transfer.setZapisZeSouboru(true);
    transfer.writeFromFileSelection = selection;
    image.ParB_Act[index] = active;
    transfer.NastavZapisPar(index, index, 0, false);
    transfer.begin();
    QCOMPARE(bool(parse(transfer.itemPayload()).flags & 0x40), !writable);
    transfer.setZapisZeSouboru(false);
    QCOMPARE(parse(transfer.itemPayload()).flags & 0x40, 0);
}

void TestParameterTransfer::productionText_data() {
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("payload");
    QTest::newRow("padded") << 4 << QStringLiteral("ABC") << QByteArray("340C04ABC       ");
    QTest::newRow("not writable") << 9 << QStringLiteral("1.02") << QByteArray("340C491.02      ");
    QTest::newRow("exactly ten") << 5 << QStringLiteral("0123456789")
                                 << QByteArray("340C050123456789");
    QTest::newRow("longer is cut")
        << 5 << QStringLiteral("0123456789AB") << QByteArray("340C050123456789");
    QTest::newRow("first NUL removed") << 3 << QStringLiteral("E1") + QChar(0) + QStringLiteral("2")
                                       << QByteArray("340C03E12       ");
    QTest::newRow("outside Latin-1") << 7 << QStringLiteral("Ж1") << QByteArray("340C07?1        ");
}

void TestParameterTransfer::productionText() {
    QFETCH(int, field);
    QFETCH(QString, text);
    QFETCH(QByteArray, payload);
    DeviceImage image;
    ParameterTransfer transfer(image);
    transfer.setProductionText([&](int f) { return f == field ? text : QString(); });
    transfer.NastavZapisPar(field, field, 15, false);
    transfer.begin();
    QCOMPARE(transfer.itemPayload(), payload);
    QCOMPARE(HexToInt(payload.mid(2, 2)), payload.size() - 4); // the length field tells the truth
}

void TestParameterTransfer::echoSteersTheWalk() {
    DeviceImage image;
    ParameterTransfer transfer(image);
    transfer.NastavZapisPar(0, 10, 1, false);
    transfer.begin();
    transfer.ZapIndex = 3;
    QCOMPARE(transfer.itemReply("B2", "05"), TransferSteps::Reply::Acknowledged);
    QCOMPARE(transfer.ZapIndex, 6);
    QCOMPARE(transfer.progress(), 1);
    // The last item: the queue is exhausted.
    QCOMPARE(transfer.itemReply("B2", "0A"), TransferSteps::Reply::Finished);
    QCOMPARE(transfer.ZapStart, -1);
    QCOMPARE(transfer.total(), 0);
}

// A reply that is not the acknowledgement says nothing about which item the unit holds: the
// item in flight goes out again, whatever the reply's data field happens to read.
void TestParameterTransfer::notAcknowledgedKeepsItem_data() {
    QTest::addColumn<int>("typ");
    QTest::addColumn<QByteArray>("code");
    QTest::addColumn<QByteArray>("data");
    QTest::newRow("wrong code with an index") << 0 << QByteArray("B3") << QByteArray("04");
    QTest::newRow("probe's answer") << 14 << QByteArray("C2") << QByteArray();
    QTest::newRow("acknowledgement without index") << 13 << QByteArray("BF") << QByteArray();
    QTest::newRow("half an index") << 15 << QByteArray("B4") << QByteArray("5");
}

void TestParameterTransfer::notAcknowledgedKeepsItem() {
    QFETCH(int, typ);
    QFETCH(QByteArray, code);
    QFETCH(QByteArray, data);
    DeviceImage image;
    ParameterTransfer transfer(image);
    transfer.NastavZapisPar(2, 6, typ, false);
    transfer.begin();
    const QByteArray before = transfer.itemPayload();
    QCOMPARE(transfer.itemReply(code, data), TransferSteps::Reply::Refused);
    QCOMPARE(transfer.ZapIndex, 2);
    QCOMPARE(transfer.progress(), 0);
    QCOMPARE(transfer.itemPayload(), before);
}

void TestParameterTransfer::requestJoinsRunningTransfer() {
    TransferRig rig;
    rig.transfer.NastavZapisPar(0, 1, 2, false);
    rig.scheduler.KomPovel(110);
    rig.tickPayload();
    rig.reply("C000");
    QCOMPARE(rig.progress.maximum(), 2);
    // While the first item is in flight another request arrives: refused, but queued.
    rig.transfer.NastavZapisPar(12, 12, 1, true);
    rig.scheduler.KomPovel(110);
    QCOMPARE(rig.scheduler.komStav(), 111);
    const QList<QByteArray> items = rig.runTransfer();
    QCOMPARE(items.size(), 3);
    QCOMPARE(parse(items.last()).index, 12);
    QCOMPARE(parse(items.last()).flags, 0x80 | 1);
    QCOMPARE(rig.transfer.total(), 0);
}

void TestParameterTransfer::requestRefusedWhileClosingJoinsNext() {
    TransferRig rig;
    rig.transfer.NastavZapisPar(5, 5, 0, true);
    rig.scheduler.KomPovel(110);
    rig.tickPayload();
    rig.reply("C000");
    rig.tickPayload();
    rig.reply(echo("B2", 5));
    QCOMPARE(rig.scheduler.komStav(), 100);
    rig.transfer.NastavZapisPar(8, 11, 1, true); // refused in state 100
    rig.scheduler.KomPovel(110);
    QCOMPARE(rig.scheduler.komStav(), 100);
    rig.runTransfer(); // date stamp, close, refresh
    rig.finishRefresh();
    rig.transfer.NastavZapisPar(0, 0, 2, true);
    rig.scheduler.KomPovel(110);
    QCOMPARE(rig.tickPayload(), QByteArray("4000"));
    QCOMPARE(rig.progress.maximum(), 5); // both requests counted
    rig.reply("C000");
    const QList<QByteArray> items = rig.runTransfer();
    QCOMPARE(items.size(), 5);
}

void TestParameterTransfer::indexBeyondKindIsNotWritten() {
    DeviceImage image;
    ParameterTransfer transfer(image);
    transfer.NastavZapisPar(0, 1, 2, false);
    transfer.begin();
    transfer.ZapIndex = 0xFF; // a segment beyond the kind's parameters
    const ItemWrite item = parse(transfer.itemPayload());
    QCOMPARE(item.index, 0xFF);
    QCOMPARE(item.flags & 0x40, 0x40);
    QCOMPARE(item.value, 0u);
}

// However "4000" comes to be sent again, it must not load (and so drop) another segment.
void TestParameterTransfer::openingNotAnsweredKeepsSegment_data() {
    QTest::addColumn<QByteArray>("answer"); // empty: silence
    QTest::addColumn<bool>("probe");        // the answer comes to the probe
    QTest::newRow("silence") << QByteArray() << false;
    QTest::newRow("wrong code") << QByteArray("C100") << false;
    QTest::newRow("probe's answer") << QByteArray("C200") << true;
}

void TestParameterTransfer::openingNotAnsweredKeepsSegment() {
    QFETCH(QByteArray, answer);
    QFETCH(bool, probe);
    TransferRig rig;
    rig.transfer.NastavZapisPar(8, 8, 1, true);
    rig.scheduler.KomPovel(110);
    QCOMPARE(rig.tickPayload(), QByteArray("4000"));
    if (probe) {
        rig.clock.advance(3 * LinkTiming{}.replyTimeout);
        QCOMPARE(rig.port.written.last(), probeFrame());
    }
    if (!answer.isEmpty()) rig.reply(answer);
    rig.clock.advance(answer.isEmpty() ? LinkTiming{}.replyTimeout : LinkTiming{}.nextRequestGap);
    QCOMPARE(rig.port.written.last(), frameRequest("4000")); // opened again
    rig.reply("C000");
    const QList<QByteArray> items = rig.runTransfer();
    QCOMPARE(items.size(), 1);
    QCOMPARE(parse(items.first()).index, 8);
    QCOMPARE(rig.consumers.transfersEnded, 1);
    QVERIFY(rig.port.written.contains(frameRequest("3408"
                                                   "01"
                                                   "070326")));
}

// An item goes unanswered three times and the unit answers the probe, as a live unit does: the
// same item goes out again, never the item the probe's checksum would name.
void TestParameterTransfer::probeAnswerMidItemKeepsItem_data() {
    QTest::addColumn<int>("typ");
    QTest::addColumn<int>("index");
    QTest::newRow("reset error counters") << 14 << 1;
    QTest::newRow("create backup") << 13 << 3;
    QTest::newRow("selector B 10") << 0 << 10;
}

void TestParameterTransfer::probeAnswerMidItemKeepsItem() {
    QFETCH(int, typ);
    QFETCH(int, index);
    TransferRig rig;
    rig.image.ParB[2][10] = 60;
    rig.transfer.NastavZapisPar(index, index, typ, typ == 0);
    rig.scheduler.KomPovel(110);
    rig.tickPayload();
    rig.reply("C000");
    const QByteArray item = rig.tickPayload();
    for (int guard = 0; guard < 200 && rig.port.written.last() != probeFrame(); ++guard)
        rig.clock.advance(100); // three sends unanswered
    QCOMPARE(rig.port.written.last(), probeFrame());
    rig.reply("C200");
    const QList<QByteArray> items = rig.runTransfer();
    QCOMPARE(items, QList<QByteArray>{item});
    QCOMPARE(HexToInt(item.mid(4, 2)) & 0x3F, index);
    QCOMPARE(rig.consumers.transfersEnded, 1);
}

// A transfer the link gives up on ends visibly (the retry ladder's question) and loses nothing:
// what the unit did not acknowledge stays queued and goes out with the next transfer.
void TestParameterTransfer::failedTransferKeepsUnacknowledged_data() {
    QTest::addColumn<bool>("yes");
    QTest::newRow("no, restarted later") << false;
    QTest::newRow("yes") << true;
}

void TestParameterTransfer::failedTransferKeepsUnacknowledged() {
    QFETCH(bool, yes);
    TransferRig rig;
    rig.transfer.NastavZapisPar(0, 1, 2, false);
    rig.transfer.NastavZapisPar(0, 18, 1, false);
    rig.transfer.NastavZapisPar(0, 64, 0, true);
    rig.scheduler.KomPovel(110);
    rig.tickPayload();
    rig.reply("C000");
    for (int i = 0; i < 7; ++i) { // DW 0, DW 1, W 0..4
        const QByteArray item = rig.tickPayload();
        rig.reply(echo("B2", HexToInt(item.mid(4, 2))));
    }
    rig.prompter.answers = {yes};
    rig.clock.advance(100 + 6 * LinkTiming{}.replyTimeout);
    QCOMPARE(rig.prompter.questions.size(), 1);
    QCOMPARE(rig.consumers.transfersEnded, 0);
    QCOMPARE(rig.transfer.ParZapis.Usek.size(), 2);
    QCOMPARE(rig.transfer.ParZapis.Usek.first().Start, 5);
    QCOMPARE(rig.transfer.ParZapis.Usek.first().Typ, 1);
    QCOMPARE(rig.transfer.total(), 14 + 65);

    if (!yes) rig.scheduler.KomunikaceStart(); // the setup dialog's restart
    QCOMPARE(rig.scheduler.komStav(), 2);
    rig.finishRefresh();
    rig.scheduler.KomPovel(110);
    QCOMPARE(rig.tickPayload(), QByteArray("4000"));
    QCOMPARE(rig.progress.maximum(), 14 + 65);
    rig.reply("C000");
    const QList<QByteArray> items = rig.runTransfer();
    QCOMPARE(items.size(), 14 + 65);
    QCOMPARE(parse(items.first()).index, 5);
    QCOMPARE(parse(items.first()).flags, 1);
    QCOMPARE(parse(items.last()).flags, 0x80);
    QCOMPARE(rig.consumers.transfersEnded, 1);
}

void TestParameterTransfer::unitFunctionsAndResets() {
    TransferRig rig;
    rig.transfer.NastavZapisPar(1, 1, 14, false);
    rig.scheduler.KomPovel(110);
    QCOMPARE(rig.runTransfer(), QList<QByteArray>{"330201"});
    QCOMPARE(rig.image.MonInfoIndex, 1); // the refresh reads information items from 1
    rig.finishRefresh();
    rig.transfer.NastavZapisPar(3, 3, 13, false);
    rig.scheduler.KomPovel(110);
    QCOMPARE(rig.runTransfer(), QList<QByteArray>{"3F0203"});
    QVERIFY(!rig.scheduler.obnovaBezi()); // a new backup needs no refresh
}

// Told to stop while an item is in flight, the transfer finishes that item, closes the write
// sequence as after its last item, and keeps the rest queued for the next write in the order
// it would have gone.
void TestParameterTransfer::stopAfterItemInFlight_data() {
    QTest::addColumn<int>("stopAt");      // items acknowledged when the stop comes
    QTest::addColumn<QByteArray>("next"); // the first item of the next write: command + index
    QTest::newRow("first item") << 1 << QByteArray("320C01");
    QTest::newRow("last item of a segment") << 2 << QByteArray("320C00");
    QTest::newRow("within a segment") << 5 << QByteArray("320C03");
}

void TestParameterTransfer::stopAfterItemInFlight() {
    QFETCH(int, stopAt);
    QFETCH(QByteArray, next);
    TransferRig rig;
    rig.transfer.NastavZapisPar(0, 1, 2, false);
    rig.transfer.NastavZapisPar(0, 18, 1, false);
    rig.transfer.NastavZapisPar(0, 64, 0, true);
    rig.scheduler.KomPovel(110);
    QCOMPARE(rig.tickPayload(), QByteArray("4000"));
    rig.reply("C000");
    QList<QByteArray> items;
    for (int guard = 0; guard < 100 && items.size() < stopAt; ++guard) {
        const QByteArray payload = rig.tickPayload();
        items.append(payload);
        if (items.size() == stopAt) rig.transfer.stopAfterItemInFlight();
        rig.reply(echo("B2", HexToInt(payload.mid(4, 2))));
    }
    QCOMPARE(rig.consumers.transfersEnded, 1);
    QCOMPARE(rig.transfer.progress(), stopAt);
    QVERIFY(!rig.transfer.stopRequested());
    // The date stamp and the closing request, then the monitor again.
    QVERIFY(rig.tickPayload().startsWith("3408"));
    rig.reply(echo("B4", 1));
    QCOMPARE(rig.tickPayload(), QByteArray("4100"));
    rig.reply("C100");
    QCOMPARE(rig.scheduler.komStav(), 2);
    QCOMPARE(rig.transfer.total(), 86 - stopAt);

    rig.scheduler.KomPovel(110);
    const QList<QByteArray> rest = rig.runTransfer();
    QCOMPARE(rest.size(), 86 - stopAt);
    QCOMPARE(rest.first().left(6), next);
    QCOMPARE(rig.consumers.transfersEnded, 2);
}

QTEST_GUILESS_MAIN(TestParameterTransfer)
#include "tst_parametertransfer.moc"

#include "LinkFakes.h"
#include "SchedulerRig.h"
#include "image/DeviceImage.h"
#include "lang/Lang.h"
#include "link/CommandScheduler.h"
#include "link/LineRate.h"
#include "link/LinkNotices.h"
#include "link/PollInputs.h"
#include "link/TransferSteps.h"
#include "wire/Frame.h"

#include <QSignalSpy>
#include <QTest>

// A transfer queue stand-in: hands out a fixed list of item payloads.
class ScriptedTransfer : public TransferSteps {
public:
    QList<QByteArray> items;
    QList<TUsek> request;
    int index = 0;
    int acknowledged = 0;
    int begins = 0;
    int abandons = 0;

    void begin() override {
        ++begins;
        index = 0;
        acknowledged = 0;
    }
    int total() const override { return int(items.size()); }
    int progress() const override { return acknowledged; }
    int itemIndex() const override { return index; }
    QByteArray itemPayload() const override { return items.value(index); }
    Reply itemReply(QByteArrayView code, QByteArrayView) override {
        if (code != "B2") return Reply::Refused;
        ++acknowledged;
        return ++index >= items.size() ? Reply::Finished : Reply::Acknowledged;
    }
    void abandon() override { ++abandons; }
    QList<TUsek> lastRequest() const override { return request; }
};

class TestCommandScheduler : public QObject {
    Q_OBJECT
private slots:
    void stateTable_data();
    void stateTable();
    void wrongCodeRepeats();
    void monitorReplyStepsCursors();
    void monitorRecordLength_data();
    void monitorRecordLength();
    void gapArmedBeforeDecoding_data();
    void gapArmedBeforeDecoding();
    void unansweredRunAsks_data();
    void unansweredRunAsks();
    void answeredReplyEndsRun();
    void refreshCompletes();
    void retryLadder_data();
    void retryLadder();
    void unitFunctionTimeout();
    void timingIsInjected();
    void questionYesRestarts();
    void yesWithPortGoneFreezes();
    void replyDuringQuestionIgnored();
    void foreignHeaderStops();
    void komPovel_data();
    void komPovel();
    void cptPollDoesNotOutliveDialog();
    void transferWalk();
    void refresParSelect_data();
    void refresParSelect();
    void startFailureKeepsState();
    void failedOpenSaysWhy_data();
    void failedOpenSaysWhy();
    void lostAdapterNamedInQuestion();
    void fieldsStayInTheirWidth();
    void lineErrors_data();
    void lineErrors();
    void stoppedLinkIgnoresInput();
};

void TestCommandScheduler::stateTable_data() {
    QTest::addColumn<int>("state");
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("next");

    auto row = [](int state, const char* payload, const char* reply, int next) {
        QTest::addRow("%d", state) << state << QByteArray(payload) << QByteArray(reply) << next;
    };
    row(2, "00100000000000000000", "8000", 2);
    row(50, "4000", "C000", 51);
    row(51, "5000", "D000", 2);
    row(55, "4000", "C000", 56);
    row(56, "510200", "D100", 2);
    row(57, "510201", "D100", 2);
    row(58, "510202", "D100", 2);
    row(60, "4000", "C000", 61);
    row(61, "510200", "D100", 64);
    row(62, "510201", "D100", 64);
    row(63, "510202", "D100", 64);
    row(64, "730A0A0B0C0D07", "F300", 64);
    row(65, "740201", "F400", 64);
    row(66, "740200", "F400", 64);
    row(67, "4000", "C000", 68);
    row(68, "0100", "8100", 68);
    row(69, "750E0201012C0190FF", "F500", 68);
    row(71, "4000", "C000", 72);
    row(72, "70220100000030************************", "F000", 72);
    row(85, "4000", "C000", 86);
    row(86, "710404D2", "F100", 86);
    row(100,
        "3408"
        "01"
        "070326",
        "B400", 101);
    row(101, "4100", "C100", 2);
    row(102, "4100", "C100", 2);
    row(120, "4000", "C000", 121);
    row(121, "7600", "F600", 122);
    row(122, "4100", "C100", 2);
}

void TestCommandScheduler::stateTable() {
    QFETCH(int, state);
    QFETCH(QByteArray, payload);
    QFETCH(QByteArray, reply);
    QFETCH(int, next);

    Rig rig;
    rig.start();
    rig.image.ParB[2] = {0x0A, 0x0B, 0x0C, 0x0D};
    rig.inputs.sensorSpeed = 7;
    rig.inputs.torquePoint = 2;
    rig.inputs.torqueBenchSense = 1;
    rig.inputs.momentStolice[2] = {300, 400};
    rig.inputs.torqueMethod = 0xFF;
    rig.inputs.relayItem = 9; // bit 8: "0100"
    rig.inputs.cptItem = 0;
    rig.inputs.ledItem = 0x30;
    rig.inputs.cptPage = 1;
    rig.inputs.cptEdit1 = QStringLiteral("99");
    rig.inputs.cptEdit2 = QStringLiteral("1234");

    rig.scheduler.setStateForTest(state);
    QCOMPARE(rig.tickPayload(), payload);
    QCOMPARE(rig.clock.interval(), LinkTiming{}.replyTimeout);
    rig.reply(reply);
    QCOMPARE(rig.scheduler.komStav(), next);
    QCOMPARE(rig.clock.interval(), LinkTiming{}.nextRequestGap);
    QVERIFY(rig.clock.isEnabled());
    QCOMPARE(rig.scheduler.pocetPokusu(), 0);
}

void TestCommandScheduler::wrongCodeRepeats() {
    Rig rig;
    rig.start();
    rig.scheduler.setStateForTest(50);
    const QByteArray first = rig.tickPayload();
    rig.reply("c000"); // codes compare as text: lowercase does not match
    QCOMPARE(rig.scheduler.komStav(), 50);
    QCOMPARE(rig.scheduler.pocetPokusu(), 0);
    rig.clock.advance(LinkTiming{}.nextRequestGap);
    QCOMPARE(rig.port.written.last().mid(3, 4), first);
}

void TestCommandScheduler::monitorReplyStepsCursors() {
    Rig rig;
    rig.start();
    rig.image.MonChybaIndex = 31;
    rig.image.MonChybySkup = 2;
    rig.image.MonInfoIndex = 17;
    rig.image.MonIoSkup = 5; // above its maximum: back to 0
    rig.image.MonParIndex = 0x12;
    rig.image.MonTextZnak = 0xAB;
    QCOMPARE(rig.tickPayload(), QByteArray("0010"
                                           "12"
                                           "00"
                                           "02"
                                           "05"
                                           "11"
                                           "1F"
                                           "AB"
                                           "00"));
    // The frames on the line are as long as the line-rate figures count them.
    QCOMPARE(rig.port.written.last().size(), LineRate::MonitorRequestCharacters);
    const QByteArray record(66, '5');
    QCOMPARE(frameRequest("8042" + record).size(), LineRate::MonitorReplyCharacters);
    rig.reply("8042" + record);
    QCOMPARE(rig.consumers.monitor.size(), 1);
    QCOMPARE(rig.consumers.monitor.first().left(66), record);
    QCOMPARE(rig.image.MonChybaIndex, 0);
    QCOMPARE(rig.image.MonChybySkup, 3);
    QCOMPARE(rig.image.MonInfoIndex, 0);
    QCOMPARE(rig.image.MonIoSkup, 0);

    rig.tickPayload();
    rig.reply("8100"); // another code: no decoding, no cursor step
    QCOMPARE(rig.consumers.monitor.size(), 1);
    QCOMPARE(rig.image.MonChybySkup, 3);
}

// The length field says how long the record is; its checksum is never part of the record.
void TestCommandScheduler::monitorRecordLength_data() {
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("decoded");
    for (int length : {63, 64, 65})
        QTest::addRow("%d", length) << length << false;
    QTest::newRow("66") << 66 << true;
    QTest::newRow("67") << 67 << true;
}

void TestCommandScheduler::monitorRecordLength() {
    QFETCH(int, length);
    QFETCH(bool, decoded);
    Rig rig;
    rig.start();
    rig.tickPayload();
    const QByteArray record(length, '7');
    rig.reply("80" + IntToHex(length, 2) + record);
    QCOMPARE(rig.consumers.monitor.size(), decoded ? 1 : 0);
    if (decoded) QCOMPARE(rig.consumers.monitor.first(), record);
    // A record too short is no monitor record: no cursor step, no refresh progress.
    QCOMPARE(rig.image.MonChybySkup, decoded ? 1 : 0);
    QCOMPARE(rig.progress.position(), decoded ? 1 : 0);
}

// The 20 ms gap runs from the reply's acceptance: it is armed before the decoder (and the
// windows it redraws) gets the record, so their cost does not stretch the poll.
void TestCommandScheduler::gapArmedBeforeDecoding_data() {
    QTest::addColumn<int>("state");
    QTest::addColumn<QByteArray>("reply");
    QTest::newRow("monitor") << 2 << QByteArray("8042" + QByteArray(66, '0'));
    QTest::newRow("sensor") << 64 << QByteArray("F33C" + QByteArray(60, '0'));
    QTest::newRow("inputs") << 72 << QByteArray("F064" + QByteArray(100, '0'));
}

void TestCommandScheduler::gapArmedBeforeDecoding() {
    QFETCH(int, state);
    QFETCH(QByteArray, reply);
    Rig rig;
    rig.start();
    rig.finishRefresh();
    rig.scheduler.setStateForTest(state);
    rig.tickPayload();
    QCOMPARE(rig.scheduler.komStavVyslany(), state);
    rig.clock.now += 7; // the reply's last character comes in 7 ms after the request
    const qint64 replied = rig.clock.now;
    qint64 deadline = -1;
    rig.consumers.decoding = [&rig, &deadline] {
        deadline = rig.clock.enabled ? rig.clock.deadline : -1;
        rig.clock.now += 15; // decoding and redrawing take their time
    };
    rig.reply(reply);
    QCOMPARE(deadline, replied + LinkTiming{}.nextRequestGap);
    QCOMPARE(rig.clock.deadline, replied + LinkTiming{}.nextRequestGap);
}

// A unit that answers, but never what was asked, ends in the retry ladder's question instead
// of a link that resends without end while the status bar says RUN.
void TestCommandScheduler::unansweredRunAsks_data() {
    QTest::addColumn<int>("state");
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<bool>("toProbe"); // the unit answers only the probe
    QTest::newRow("wrong code") << 50 << QByteArray("D000") << false;
    QTest::newRow("short monitor records") << 2 << QByteArray("8002AA") << false;
    QTest::newRow("probe's answers") << 2 << QByteArray("C200") << true;
    QTest::newRow("probe's answers mid-transfer") << 111 << QByteArray("C200") << true;
}

void TestCommandScheduler::unansweredRunAsks() {
    QFETCH(int, state);
    QFETCH(QByteArray, answer);
    QFETCH(bool, toProbe);
    Rig rig;
    ScriptedTransfer transfer;
    transfer.items = {"320C00800000000A"};
    rig.scheduler.setTransfer(&transfer);
    rig.start();
    rig.scheduler.setStateForTest(state);
    rig.prompter.answers = {false};
    rig.tickPayload();
    qsizetype written = 0;
    for (int run = 0; run < CommandScheduler::UnansweredReplyLimit; ++run) {
        QVERIFY(rig.prompter.questions.isEmpty());
        if (toProbe) rig.clock.advance(3 * LinkTiming{}.replyTimeout);
        QCOMPARE(rig.port.written.last() == probeFrame(), toProbe);
        rig.reply(answer);
        QCOMPARE(rig.scheduler.komStav(), state);
        written = rig.port.written.size();
        rig.clock.advance(LinkTiming{}.nextRequestGap); // the same request again
    }
    QCOMPARE(rig.prompter.questions,
             QStringList{linkQuestionText(QStringLiteral("COM1"), QStringLiteral("fake1"))});
    QCOMPARE(rig.port.written.size(), written);
    QVERIFY(!rig.scheduler.komBezi());
    if (state == 111) QCOMPARE(transfer.abandons, 1);
}

void TestCommandScheduler::answeredReplyEndsRun() {
    Rig rig;
    rig.start();
    rig.tickPayload();
    for (int round = 0; round < 3; ++round) {
        for (int run = 1; run < CommandScheduler::UnansweredReplyLimit; ++run) {
            rig.reply("8100");
            rig.clock.advance(LinkTiming{}.nextRequestGap);
        }
        rig.reply("8042" + QByteArray(66, '0'));
        rig.clock.advance(LinkTiming{}.nextRequestGap);
    }
    QVERIFY(rig.prompter.questions.isEmpty());
    QCOMPARE(rig.consumers.monitor.size(), 3);
}

void TestCommandScheduler::refreshCompletes() {
    Rig rig;
    rig.start();
    QVERIFY(rig.scheduler.obnovaBezi());
    QVERIFY(rig.progress.visible);
    QCOMPARE(rig.progress.maximum(), 86);
    for (int i = 0; i < 86; ++i) {
        rig.tickPayload();
        if (i == 40) { // a foreign code in between is not counted
            rig.reply("8100");
            rig.tickPayload();
        }
        rig.reply("8042" + QByteArray(66, '0'));
    }
    QVERIFY(!rig.scheduler.obnovaBezi());
    QVERIFY(!rig.progress.visible);
    QCOMPARE(rig.progress.maximum(), 1000);
    QCOMPARE(rig.consumers.versions, 86);
    QCOMPARE(rig.consumers.monitor.size(), 86);
}

// Silent unit: three sends, three probes, then the question at the seventh tick.
void TestCommandScheduler::retryLadder_data() {
    QTest::addColumn<bool>("yes");
    QTest::newRow("no stops") << false;
    QTest::newRow("yes restarts") << true;
}

void TestCommandScheduler::retryLadder() {
    QFETCH(bool, yes);
    Rig rig;
    QSignalSpy status(&rig.scheduler, &CommandScheduler::statusText);
    rig.start();
    QList<qint64> times;
    connect(&rig.scheduler, &CommandScheduler::frameWritten, this,
            [&] { times.append(rig.clock.now); });
    rig.prompter.answers = {yes};
    rig.clock.advance(100 + 6 * 300 + 50);
    QCOMPARE(times, (QList<qint64>{100, 400, 700, 1000, 1300, 1600}));
    for (int i = 0; i < 3; ++i)
        QCOMPARE(rig.port.written[i], frameRequest("00100000000000000000"));
    for (int i = 3; i < 6; ++i)
        QCOMPARE(rig.port.written[i], probeFrame());
    // The question, and the port it tried: the setting and the device it opens.
    QCOMPARE(rig.prompter.questions, QStringList{LangText(QStringLiteral("ChybaKomunikace")) +
                                                 QStringLiteral("\nZkoušený port: COM1 (fake1)")});
    QVERIFY(rig.prompter.questions.first().contains(QStringLiteral("\r\n")));
    QCOMPARE(rig.scheduler.pocetPokusu(), 0);
    if (yes) {
        QVERIFY(rig.scheduler.komBezi());
        QVERIFY(rig.clock.isEnabled());
        QCOMPARE(rig.port.opens, 2);
        QCOMPARE(status.last().at(1).toString(), QStringLiteral("RUN"));
    } else {
        QVERIFY(!rig.scheduler.komBezi());
        QVERIFY(!rig.clock.isEnabled());
        QCOMPARE(rig.clock.interval(), LinkTiming{}.nextRequestGap);
        QCOMPARE(status.last().at(1).toString(), QStringLiteral("STOP"));
        const auto written = rig.port.written.size();
        rig.clock.advance(5000);
        QCOMPARE(rig.port.written.size(), written);
    }
}

void TestCommandScheduler::unitFunctionTimeout() {
    Rig rig;
    ScriptedTransfer transfer;
    transfer.items = {"3F0201"};
    rig.scheduler.setTransfer(&transfer);
    rig.start();
    rig.scheduler.setStateForTest(111);
    rig.tickPayload();
    QCOMPARE(rig.clock.interval(), LinkTiming{}.longReplyTimeout);
    rig.clock.advance(LinkTiming{}.longReplyTimeout * 3 + 300 * 3 + 1);
    QCOMPARE(rig.prompter.questions.size(), 1); // about 12.9 s after the first send
}

// A faster pace keeps the ladder's shape: its repeats, its probes, then the question.
void TestCommandScheduler::timingIsInjected() {
    Rig rig;
    rig.scheduler.setTiming({.startInterval = 10,
                             .replyTimeout = 30,
                             .longReplyTimeout = 60,
                             .nextRequestGap = 5,
                             .repeats = 2,
                             .probes = 1});
    rig.start();
    QList<qint64> times;
    connect(&rig.scheduler, &CommandScheduler::frameWritten, this,
            [&] { times.append(rig.clock.now); });
    rig.prompter.answers = {false};
    rig.clock.advance(10 + 3 * 30 + 5);
    QCOMPARE(times, (QList<qint64>{10, 40, 70}));
    QCOMPARE(rig.port.written.last(), probeFrame());
    QCOMPARE(rig.prompter.questions.size(), 1);

    Rig answering;
    answering.scheduler.setTiming({.replyTimeout = 30, .nextRequestGap = 5});
    answering.start();
    answering.scheduler.setStateForTest(50);
    answering.tickPayload();
    QCOMPARE(answering.clock.interval(), 30);
    answering.reply("C000");
    QCOMPARE(answering.clock.interval(), 5);
}

void TestCommandScheduler::questionYesRestarts() {
    Rig rig;
    rig.start();
    rig.prompter.answers = {true};
    rig.clock.advance(100 + 6 * 300 + 50);
    QCOMPARE(rig.scheduler.komStav(), 2);
    // The restarted link answers again: the ladder starts from the beginning.
    rig.clock.advance(20);
    rig.reply("8042" + QByteArray(66, '0'));
    QCOMPARE(rig.scheduler.pocetPokusu(), 0);
    QCOMPARE(rig.consumers.monitor.size(), 1);
}

void TestCommandScheduler::yesWithPortGoneFreezes() {
    Rig rig;
    rig.start();
    rig.prompter.answers = {true};
    rig.port.openFails = true;
    QVERIFY(rig.progress.visible); // the start-up refresh, cut short
    rig.clock.advance(100 + 6 * 300 + 50);
    QCOMPARE(rig.prompter.messages,
             QStringList{LangText(QStringLiteral("Požadovaný COM port není k dispozici"))});
    QCOMPARE(rig.prompter.icons.first(), Prompter::Icon::Error);
    QVERIFY(!rig.progress.visible);
    QVERIFY(rig.scheduler.komBezi());
    QVERIFY(!rig.clock.isEnabled());
    const auto written = rig.port.written.size();
    rig.clock.advance(10000);
    QCOMPARE(rig.port.written.size(), written);
}

void TestCommandScheduler::replyDuringQuestionIgnored() {
    Rig rig;
    rig.start();
    rig.prompter.duringQuestion = [&] { rig.reply("8042" + QByteArray(66, '0')); };
    rig.clock.advance(100 + 6 * 300 + 50);
    QCOMPARE(rig.consumers.monitor.size(), 0);
    QVERIFY(!rig.port.incoming.isEmpty()); // left waiting in the port
}

void TestCommandScheduler::foreignHeaderStops() {
    Rig rig;
    rig.start();
    rig.tickPayload();
    rig.reply("8042" + QByteArray(66, '0'), "00");
    QCOMPARE(rig.consumers.monitor.size(), 0);
    QCOMPARE(rig.scheduler.pocetPokusu(), 255);
    QVERIFY(rig.prompter.messages.isEmpty());
    const auto written = rig.port.written.size();
    rig.clock.advance(LinkTiming{}.nextRequestGap);
    QCOMPARE(rig.port.written.size(), written); // not sent
    QCOMPARE(rig.prompter.messages,
             QStringList{LangText(QStringLiteral("NekompatibilniVerzeFirmware"))});
    QCOMPARE(rig.prompter.icons.first(), Prompter::Icon::Exclamation);
    QVERIFY(!rig.scheduler.komBezi());
    QVERIFY(!rig.clock.isEnabled());
    QCOMPARE(rig.scheduler.pocetPokusu(), 0);
}

void TestCommandScheduler::komPovel_data() {
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("povel");
    QTest::addColumn<int>("after");
    for (int polling : {2, 64, 68, 72})
        QTest::addRow("%d honoured", polling) << polling << 55 << 55;
    for (int busy : {50, 86, 100, 101, 110, 111, 121})
        QTest::addRow("%d refused", busy) << busy << 55 << busy;
    QTest::newRow("unknown state refused") << 2 << 77 << 2;
}

void TestCommandScheduler::komPovel() {
    QFETCH(int, from);
    QFETCH(int, povel);
    QFETCH(int, after);
    Rig rig;
    rig.scheduler.setStateForTest(from);
    rig.scheduler.KomPovel(povel);
    QCOMPARE(rig.scheduler.komStav(), after);
}

void TestCommandScheduler::cptPollDoesNotOutliveDialog() {
    Rig rig;
    rig.start();
    rig.scheduler.KomPovel(85);
    rig.tickPayload();
    rig.scheduler.leaveCptPoll(); // dialog closed before "C0" came back
    rig.reply("C000");
    QCOMPARE(rig.scheduler.komStav(), 102);
    QCOMPARE(rig.tickPayload(), QByteArray("4100"));
    rig.reply("C100");
    QCOMPARE(rig.scheduler.komStav(), 2);
}

void TestCommandScheduler::transferWalk() {
    Rig rig;
    ScriptedTransfer transfer;
    transfer.items = {"320C00800000000A", "320C01800000000B"};
    transfer.request = {TUsek{0, 1, 0, true}};
    rig.scheduler.setTransfer(&transfer);
    rig.start();
    for (int i = 0; i < 86; ++i) { // finish the start-up refresh
        rig.tickPayload();
        rig.reply("8042" + QByteArray(66, '0'));
    }
    rig.scheduler.KomPovel(110);
    QCOMPARE(rig.tickPayload(), QByteArray("4000"));
    QCOMPARE(transfer.begins, 1);
    QVERIFY(rig.progress.visible);
    QCOMPARE(rig.progress.maximum(), 2);
    rig.reply("C000");
    QCOMPARE(rig.tickPayload(), transfer.items[0]);
    rig.reply("B20200");
    QCOMPARE(rig.tickPayload(), transfer.items[1]);
    QCOMPARE(rig.progress.position(), 1);
    rig.reply("B20201");
    QCOMPARE(rig.scheduler.komStav(), 100);
    QCOMPARE(rig.consumers.transfersEnded, 1);
    QCOMPARE(rig.tickPayload(), QByteArray("3408"
                                           "01"
                                           "070326"));
    rig.reply("B40201");
    QCOMPARE(rig.tickPayload(), QByteArray("4100"));
    rig.reply("C100");
    QCOMPARE(rig.scheduler.komStav(), 2);
    // The refresh re-reads exactly the written byte parameters 0..1.
    QVERIFY(rig.scheduler.obnovaBezi());
    QCOMPARE(rig.progress.maximum(), 2);
    QCOMPARE(rig.image.MonParIndex, 0);
    QCOMPARE(rig.image.MonParTyp, 0);
}

void TestCommandScheduler::refresParSelect_data() {
    QTest::addColumn<QList<TUsek>>("segments");
    QTest::addColumn<bool>("refresh");
    QTest::addColumn<QList<int>>("cursors"); // MonParIndex, MonParTyp, MonTextCislo, MonInfoIndex
    QTest::addColumn<int>("count");

    QTest::newRow("none: all") << QList<TUsek>{} << true << QList<int>{0, 0, 0, 0} << 86;
    QTest::newRow("several: all") << QList<TUsek>{{0, 1, 2, false}, {0, 18, 1, false}} << true
                                  << QList<int>{0, 0, 0, 0} << 86;
    QTest::newRow("W 8..11") << QList<TUsek>{{8, 11, 1, true}} << true << QList<int>{8, 1, 0, 0}
                             << 4;
    QTest::newRow("B 10") << QList<TUsek>{{10, 10, 0, true}} << true << QList<int>{10, 0, 0, 0}
                          << 1;
    QTest::newRow("defaults: all")
        << QList<TUsek>{{0, 0, 13, false}} << true << QList<int>{0, 0, 0, 0} << 86;
    QTest::newRow("backup: nothing")
        << QList<TUsek>{{3, 3, 13, false}} << false << QList<int>{5, 1, 3, 9} << 0;
    QTest::newRow("counter reset")
        << QList<TUsek>{{2, 2, 14, false}} << true << QList<int>{0, 0, 0, 2} << 1;
    QTest::newRow("texts 3..12") << QList<TUsek>{{3, 12, 15, false}} << true
                                 << QList<int>{0, 0, 3, 0} << 100;
    QTest::newRow("other kind: nothing")
        << QList<TUsek>{{0, 0, 7, false}} << false << QList<int>{5, 1, 3, 9} << 0;
}

void TestCommandScheduler::refresParSelect() {
    QFETCH(QList<TUsek>, segments);
    QFETCH(bool, refresh);
    QFETCH(QList<int>, cursors);
    QFETCH(int, count);
    Rig rig;
    ScriptedTransfer transfer;
    transfer.request = segments;
    rig.scheduler.setTransfer(&transfer);
    rig.scheduler.setRunningForTest(true);
    rig.image.MonParIndex = 5;
    rig.image.MonParTyp = 1;
    rig.image.MonTextCislo = 3;
    rig.image.MonInfoIndex = 9;
    rig.scheduler.RefresParSelect();
    QCOMPARE(rig.scheduler.obnovaBezi(), refresh);
    QCOMPARE((QList<int>{rig.image.MonParIndex, rig.image.MonParTyp, rig.image.MonTextCislo,
                         rig.image.MonInfoIndex}),
             cursors);
    if (refresh) QCOMPARE(rig.progress.maximum(), count);
}

void TestCommandScheduler::startFailureKeepsState() {
    Rig rig;
    rig.port.openFails = true;
    rig.scheduler.setPortSetting(QStringLiteral("x"));
    QSignalSpy status(&rig.scheduler, &CommandScheduler::statusText);
    rig.scheduler.setStateForTest(64);
    rig.scheduler.KomunikaceStart();
    QCOMPARE(rig.port.number, 1); // not a number: port 1
    QCOMPARE(status.first().at(1).toString(), QStringLiteral("COMx"));
    QCOMPARE(rig.prompter.messages.size(), 1);
    QVERIFY(!rig.scheduler.komBezi());
    QCOMPARE(rig.scheduler.komStav(), 64);
    rig.clock.advance(1000);
    QVERIFY(rig.port.written.isEmpty());
}

// A value wider than its field would make the frame disagree with its length field.
void TestCommandScheduler::fieldsStayInTheirWidth() {
    Rig rig;
    rig.start();
    rig.image.MonTextZnak = 300;
    QCOMPARE(rig.tickPayload().size(), 20);
    rig.scheduler.setStateForTest(86);
    rig.inputs.cptEdit1 = QStringLiteral("70000");
    QCOMPARE(rig.tickPayload(), QByteArray("7104FFFF"));
    rig.inputs.cptEdit1 = QStringLiteral("-5");
    rig.clock.advance(LinkTiming{}.replyTimeout);
    QCOMPARE(rig.port.written.last().mid(3, 8), QByteArray("71040000"));
}

void TestCommandScheduler::lineErrors_data() {
    QTest::addColumn<bool>("shown");
    QTest::addColumn<int>("bits");
    QTest::addColumn<QString>("text");
    QTest::newRow("toggle off") << false << 8 << QString();
    QTest::newRow("framing") << true << 8 << QStringLiteral("COM port error:Error: Framming ");
    QTest::newRow("all three in order")
        << true << (2 | 4 | 8) << QStringLiteral("COM port error:Error: Framming Overrun Parity");
    QTest::newRow("break only") << true << 16 << QStringLiteral("COM port error:Error: ");
    QTest::newRow("no bits") << true << 0 << QStringLiteral("COM port error:");
}

void TestCommandScheduler::lineErrors() {
    QFETCH(bool, shown);
    QFETCH(int, bits);
    QFETCH(QString, text);
    Rig rig;
    rig.start();
    rig.scheduler.setLineErrorsShown(shown);
    emit rig.port.lineError(bits);
    QCOMPARE(rig.prompter.messages, text.isEmpty() ? QStringList{} : QStringList{text});
    QVERIFY(rig.clock.isEnabled());
}

void TestCommandScheduler::stoppedLinkIgnoresInput() {
    Rig rig;
    // Before the start: ticks do nothing and nothing is read.
    rig.clock.advance(1000);
    QVERIFY(rig.port.written.isEmpty());
    rig.start();
    rig.tickPayload();
    rig.port.arrive(QByteArray(1, Frame::Esc) + "02"); // fewer than 7 characters wait
    QCOMPARE(rig.port.incoming.size(), 3);
    rig.clock.setEnabled(false);
    rig.port.arrive("8042");
    QCOMPARE(rig.port.incoming.size(), 7); // timer off: left in the port
}

void TestCommandScheduler::failedOpenSaysWhy_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<int>("reason");
    QTest::addColumn<QString>("group");
    QTest::addColumn<QString>("detail");    // what the system said, for another failure
    QTest::addColumn<QStringList>("below"); // the lines under the dictionary's message
    using F = Port::OpenFailure;
    const QString dev = QStringLiteral("/dev/serial/by-id/usb-FTDI-if00");
    QTest::newRow("absent") << 0 << int(F::Absent) << QString() << QString()
                            << QStringList{QStringLiteral("Zařízení %1 neexistuje: adaptér není "
                                                          "připojen, nebo kovr.ini v oddílu Ports "
                                                          "uvádí jiné zařízení.")
                                               .arg(dev)};
    QTest::newRow("busy, English")
        << 1 << int(F::Busy) << QString() << QString()
        << QStringList{
               QStringLiteral(
                   "Device %1 is in use by another program. Close that program and try again.")
                   .arg(dev)};
    QTest::newRow("no permission, group known")
        << 1 << int(F::NoPermission) << QStringLiteral("dialout") << QString()
        << QStringList{QStringLiteral("You have no permission to use device %1: the user is not "
                                      "in group dialout. This command fixes it (then log out and "
                                      "in again):")
                           .arg(dev),
                       QStringLiteral("sudo usermod -aG dialout $USER")};
    QTest::newRow("no permission, no group")
        << 3 << int(F::NoPermission) << QString() << QString()
        << QStringList{QStringLiteral("Нет прав доступа к устройству %1.").arg(dev)};
    QTest::newRow("not a serial port, Polish")
        << 2 << int(F::NotSerial) << QString() << QString()
        << QStringList{QStringLiteral("%1 nie jest portem szeregowym.").arg(dev)};
    QTest::newRow("other, with the system's words")
        << 1 << int(F::Other) << QString() << QStringLiteral("Input/output error")
        << QStringList{QStringLiteral("Input/output error")};
    QTest::newRow("other, nothing said")
        << 2 << int(F::Other) << QString() << QString() << QStringList{};
}

// The dictionary's message stays the first line; what the technician can do follows it.
void TestCommandScheduler::failedOpenSaysWhy() {
    QFETCH(int, language);
    QFETCH(int, reason);
    QFETCH(QString, group);
    QFETCH(QString, detail);
    QFETCH(QStringList, below);
    LangIndex = language;
    Rig rig;
    rig.port.openFails = true;
    rig.port.problem = {Port::OpenFailure(reason),
                        QStringLiteral("/dev/serial/by-id/usb-FTDI-if00"), group, detail};
    rig.scheduler.KomunikaceStart();
    const QString dictionary = LangText(QStringLiteral("Požadovaný COM port není k dispozici"));
    LangIndex = 0;
    QCOMPARE(rig.prompter.messages.size(), 1);
    QCOMPARE(rig.prompter.messages.first().split(u'\n'), QStringList{dictionary} + below);
}

// The port reports a pulled adapter at once; the ladder's question then says so, and only
// until the port opens again.
void TestCommandScheduler::lostAdapterNamedInQuestion() {
    Rig rig;
    rig.start();
    rig.prompter.answers = {true};
    emit rig.port.deviceLost(QStringLiteral("Connection to fake1 lost (device removed)."));
    rig.clock.advance(100 + 6 * 300 + 50);
    QCOMPARE(rig.prompter.questions,
             QStringList{linkQuestionText(QStringLiteral("COM1"), QStringLiteral("fake1")) +
                         QStringLiteral("\nAdaptér fake1 byl odpojen. Připojte ho a zvolte Ano.")});
    QVERIFY(rig.scheduler.komBezi()); // reopened
    rig.clock.advance(7 * 300 + 50);
    QCOMPARE(rig.prompter.questions.size(), 2);
    QCOMPARE(rig.prompter.questions.last(),
             linkQuestionText(QStringLiteral("COM1"), QStringLiteral("fake1")));
}

QTEST_GUILESS_MAIN(TestCommandScheduler)
#include "tst_commandscheduler.moc"

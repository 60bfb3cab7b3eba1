#include "SchedulerRig.h"
#include "lang/Lang.h"
#include "link/FrameTrace.h"
#include "wire/Frame.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray replyFrame(const QByteArray& codeLengthData, const QByteArray& header = "02") {
    QByteArray frame = Frame::Esc + header + codeLengthData;
    return frame + CRC(frame);
}

QByteArray withChecksum(QByteArray frame, const char* checksum) {
    frame.chop(2);
    return frame + checksum;
}

const QByteArray monitorRecord = "8042" + QByteArray(66, '0');

// A row of the trace as "direction outcome", for tables that read like the trace window.
QString row(const TraceEntry& entry) {
    static const char* const outcomes[] = {
        "request",      "repeat",         "probe",        "accepted",         "wrong code",
        "short record", "foreign header", "bad checksum", "extra characters", "timeout",
    };
    return QLatin1String(entry.direction == TraceEntry::Direction::Out ? "out " : "in ") +
           QLatin1String(outcomes[int(entry.outcome)]);
}

} // namespace

class TestFrameTrace : public QObject {
    Q_OBJECT
private slots:
    void ringKeepsNewest_data();
    void ringKeepsNewest();
    void clearAndAmend();
    void outcomesFromScheduler_data();
    void outcomesFromScheduler();
    void textExport();
    void saveWholeOrNothing();
};

void TestFrameTrace::ringKeepsNewest_data() {
    QTest::addColumn<int>("recorded");
    QTest::addColumn<int>("first"); // number of the oldest event still held
    QTest::newRow("empty") << 0 << 0;
    QTest::newRow("below capacity") << 3 << 0;
    QTest::newRow("exactly full") << 4 << 0;
    QTest::newRow("one over") << 5 << 1;
    QTest::newRow("round twice and a bit") << 11 << 7;
}

void TestFrameTrace::ringKeepsNewest() {
    QFETCH(int, recorded);
    QFETCH(int, first);
    FrameTrace trace(4);
    qint64 now = 1000;
    trace.setClock([&now] { return now++; });
    for (int i = 0; i < recorded; ++i)
        trace.record(TraceEntry::Direction::Out, i, QByteArray::number(i),
                     TraceEntry::Outcome::Request);

    const QList<TraceEntry> held = trace.entries();
    QCOMPARE(trace.size(), recorded - first);
    QCOMPARE(held.size(), recorded - first);
    QCOMPARE(trace.next(), quint64(recorded));
    for (int i = 0; i < held.size(); ++i) {
        QCOMPARE(held[i].state, first + i);
        QCOMPARE(held[i].frame, QByteArray::number(first + i));
        QCOMPARE(held[i].time, 1000 + first + i);
    }
    // Asking from an event that has left the ring gives what is held; from the end, nothing.
    QCOMPARE(trace.since(0).size(), held.size());
    QCOMPARE(trace.since(quint64(recorded)).size(), 0);
    if (recorded > 1) {
        const QList<TraceEntry> last = trace.since(quint64(recorded - 1));
        QCOMPARE(last.size(), 1);
        QCOMPARE(last[0].state, recorded - 1);
    }
}

void TestFrameTrace::clearAndAmend() {
    FrameTrace trace(3);
    for (int i = 0; i < 5; ++i)
        trace.record(TraceEntry::Direction::In, i, "x", TraceEntry::Outcome::Accepted);
    trace.amend(1, TraceEntry::Outcome::WrongCode); // gone from the ring: nothing happens
    trace.amend(3, TraceEntry::Outcome::WrongCode);
    const QList<TraceEntry> held = trace.entries();
    QCOMPARE(held.size(), 3);
    QCOMPARE(held[0].outcome, TraceEntry::Outcome::Accepted);
    QCOMPARE(held[1].outcome, TraceEntry::Outcome::WrongCode);
    QCOMPARE(held[2].outcome, TraceEntry::Outcome::Accepted);

    trace.clear();
    QCOMPARE(trace.size(), 0);
    QVERIFY(trace.entries().isEmpty());
    trace.amend(4, TraceEntry::Outcome::Timeout); // cleared: nothing to amend
    trace.record(TraceEntry::Direction::Out, 9, "y", TraceEntry::Outcome::Probe);
    QCOMPARE(trace.next(), quint64(6)); // numbering goes on after a clear
    QCOMPARE(trace.since(5).size(), 1);
    QCOMPARE(trace.entries().first().state, 9);
}

void TestFrameTrace::outcomesFromScheduler_data() {
    QTest::addColumn<QByteArray>("arrival"); // what the unit sends after the first request
    QTest::addColumn<int>("timeouts");       // reply timeouts let pass afterwards
    QTest::addColumn<QStringList>("rows");

    const QByteArray good = replyFrame(monitorRecord);
    QTest::newRow("accepted") << good << 0 << QStringList{"out request", "in accepted"};
    QTest::newRow("wrong code") << replyFrame("C000") << 0
                                << QStringList{"out request", "in wrong code"};
    QTest::newRow("record too short") << replyFrame("8004" + QByteArray(4, '0')) << 0
                                      << QStringList{"out request", "in short record"};
    QTest::newRow("foreign header")
        << replyFrame(monitorRecord, "00") << 0 << QStringList{"out request", "in foreign header"};
    // A spoilt reply is shown once; the timeout that follows carries no characters of its own.
    QTest::newRow("bad checksum") << withChecksum(good, "00") << 1
                                  << QStringList{"out request", "in bad checksum", "in timeout",
                                                 "out repeat"};
    QTest::newRow("extra characters")
        << good + "0" << 1
        << QStringList{"out request", "in extra characters", "in timeout", "out repeat"};
    QTest::newRow("timeout") << QByteArray() << 1
                             << QStringList{"out request", "in timeout", "out repeat"};
    QTest::newRow("half a reply, then timeout")
        << good.left(20) << 1 << QStringList{"out request", "in timeout", "out repeat"};
    QTest::newRow("probe after three timeouts")
        << QByteArray() << 3 << QStringList{"out request", "in timeout", "out repeat", "in timeout",
                                            "out repeat",  "in timeout", "out probe"};
}

void TestFrameTrace::outcomesFromScheduler() {
    QFETCH(QByteArray, arrival);
    QFETCH(int, timeouts);
    QFETCH(QStringList, rows);

    Rig rig;
    FrameTrace trace;
    rig.scheduler.setTrace(&trace);
    rig.start();
    rig.clock.advance(LinkTiming{}.startInterval);
    QCOMPARE(rig.port.written.size(), 1);
    if (!arrival.isEmpty()) rig.port.arrive(arrival);
    for (int i = 0; i < timeouts; ++i)
        rig.clock.advance(LinkTiming{}.replyTimeout);

    const QList<TraceEntry> held = trace.entries();
    QStringList seen;
    for (const TraceEntry& entry : held)
        seen << row(entry);
    QCOMPARE(seen, rows);

    // The trace shows the very characters on the line, each with the state it was sent for.
    QList<QByteArray> out;
    bool arrivalShown = arrival.isEmpty();
    for (const TraceEntry& entry : held) {
        QCOMPARE(entry.state, 2);
        if (entry.direction == TraceEntry::Direction::Out) {
            out << entry.frame;
        } else if (entry.outcome == TraceEntry::Outcome::Timeout) {
            // Only characters not shown already: a half reply shows here.
            QCOMPARE(entry.frame, arrivalShown ? QByteArray() : arrival);
            arrivalShown = true;
        } else {
            QCOMPARE(entry.frame, arrival);
            arrivalShown = true;
        }
    }
    QCOMPARE(out, rig.port.written);
    QCOMPARE(out.last() == probeFrame(), rows.last() == QLatin1String("out probe"));
}

void TestFrameTrace::textExport() {
    const int language = LangIndex;
    LangIndex = 1; // English
    FrameTrace trace;
    const qint64 at = QDateTime(QDate(2026, 3, 7), QTime(14, 5, 9, 42)).toMSecsSinceEpoch();
    trace.setClock([at] { return at; });
    trace.record(TraceEntry::Direction::Out, 110, frameRequest("4000"),
                 TraceEntry::Outcome::Request);
    // A backslash, ESC, a byte outside ASCII and "<" in a spoilt reply.
    const QByteArray spoilt("\\\x1B"
                            "02\xE8<");
    trace.record(TraceEntry::Direction::In, 111, spoilt, TraceEntry::Outcome::BadChecksum);
    const QString text = TraceText::lines(trace.entries());
    LangIndex = language;

    QCOMPARE(text, QStringLiteral("Time\tDirection\tState\tFrame\tOutcome\n"
                                  "2026-03-07 14:05:09.042\tout\t110\t<ESC>02400041\trequest\n"
                                  "2026-03-07 14:05:09.042\tin\t111\t\\\\<ESC>02\\xE8\\x3C"
                                  "\tbad checksum\n"));
}

void TestFrameTrace::saveWholeOrNothing() {
    FrameTrace trace;
    trace.record(TraceEntry::Direction::Out, 2, probeFrame(), TraceEntry::Outcome::Probe);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("trace.txt"));
    QString error;
    QVERIFY2(TraceText::save(path, trace.entries(), &error), qPrintable(error));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(file.readAll()), TraceText::lines(trace.entries()));

    const QString missing = dir.filePath(QStringLiteral("no/such/folder/trace.txt"));
    QVERIFY(!TraceText::save(missing, trace.entries(), &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(QDir(dir.path()).entryList(QDir::Files) == QStringList{QStringLiteral("trace.txt")});
}

QTEST_GUILESS_MAIN(TestFrameTrace)
#include "tst_frametrace.moc"

#include "link/ReplyAssembler.h"
#include "wire/Frame.h"

#include <QTest>

class TestFrame : public QObject {
    Q_OBJECT
private slots:
    void checksum_data();
    void checksum();
    void hexToInt_data();
    void hexToInt();
    void intToHex();
    void framing();
    void assembly_data();
    void assembly();
};

static QByteArray esc(const char* rest) {
    return QByteArray(1, '\x1B') + rest;
}

void TestFrame::checksum_data() {
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<QByteArray>("crc");
    QTest::newRow("open") << esc("024000") << QByteArray("41");
    QTest::newRow("monitor, cursors 0") << esc("020010") + QByteArray(16, '0') << QByteArray("3E");
    QTest::newRow("probe") << esc("0042040000") << QByteArray("05");
    QTest::newRow("reply C0") << esc("02C000") << QByteArray("50");
    QTest::newRow("empty") << QByteArray() << QByteArray("00");
    QTest::newRow("wraps modulo 256") << QByteArray("\xFF\x02", 2) << QByteArray("01");
}

void TestFrame::checksum() {
    QFETCH(QByteArray, frame);
    QFETCH(QByteArray, crc);
    QCOMPARE(CRC(frame), crc);
}

void TestFrame::hexToInt_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<qint32>("value");
    QTest::newRow("empty") << QByteArray() << 0;
    QTest::newRow("upper") << QByteArray("C0") << 0xC0;
    QTest::newRow("lower") << QByteArray("c0") << 0xC0;
    QTest::newRow("eight F") << QByteArray("FFFFFFFF") << -1;
    QTest::newRow("high bit") << QByteArray("80000000") << qint32(0x80000000u);
    QTest::newRow("leading zeros beyond 8") << QByteArray("000000012") << 0x12;
    QTest::newRow("too large") << QByteArray("100000000") << 0;
    QTest::newRow("not hex") << QByteArray("1G") << 0;
    QTest::newRow("sign") << QByteArray("-1") << 0;
    QTest::newRow("blank") << QByteArray(" 1") << 0;
    QTest::newRow("prefix") << QByteArray("0x1") << 0;
}

void TestFrame::hexToInt() {
    QFETCH(QByteArray, text);
    QFETCH(qint32, value);
    QCOMPARE(HexToInt(text), value);
}

void TestFrame::intToHex() {
    QCOMPARE(IntToHex(0, 2), QByteArray("00"));
    QCOMPARE(IntToHex(0xAB, 4), QByteArray("00AB"));
    QCOMPARE(IntToHex(0x1234, 2), QByteArray("1234"));
    QCOMPARE(IntToHex(-1, 8), QByteArray("FFFFFFFF"));
    QCOMPARE(IntToHex(0xFFFFFFFFll, 8), QByteArray("FFFFFFFF"));
}

void TestFrame::framing() {
    // The length field counts the data's characters.
    QCOMPARE(commandPayload(0x40), QByteArray("4000"));
    QCOMPARE(commandPayload(0x34, "01101226"), QByteArray("340801101226"));
    QCOMPARE(commandPayload(0x70, QByteArray(34, '*')), "7022" + QByteArray(34, '*'));
    QCOMPARE(frameRequest("4000"), esc("02400041"));
    QCOMPARE(probeFrame(), esc("004204000005"));
    QVERIFY(checksumMatches(esc("02C00050")));
    QVERIFY(checksumMatches(esc("02C0005a").replace("5a", CRC(esc("02C000")).toLower())));
    QVERIFY(!checksumMatches(esc("02C00051")));
}

// Pieces arrive one receive event each; `accepted` is the piece after which the reply stands.
void TestFrame::assembly_data() {
    QTest::addColumn<QList<QByteArray>>("pieces");
    QTest::addColumn<int>("acceptedAt");

    const QByteArray monitor = frameRequest(QByteArray("8042") + QByteArray(66, 'A'));
    QTest::newRow("3+4+rest") << QList<QByteArray>{monitor.left(3), monitor.mid(3, 4),
                                                   monitor.mid(7)}
                              << 2;
    QTest::newRow("whole C0") << QList<QByteArray>{esc("02C00050")} << 0;
    QTest::newRow("extra character") << QList<QByteArray>{esc("02C00050X")} << -1;
    QTest::newRow("extra after accept") << QList<QByteArray>{esc("02C00050"), "X"} << 0;
    QTest::newRow("garbage before ESC") << QList<QByteArray>{"Z" + esc("02C00050")} << -1;
    QTest::newRow("bad checksum") << QList<QByteArray>{esc("02C00051")} << -1;
    QByteArray lower = esc("02C000") + CRC(esc("02C000")).toLower();
    QTest::newRow("lowercase checksum") << QList<QByteArray>{lower} << 0;
    QTest::newRow("length not hex reads 0")
        << QList<QByteArray>{esc("02C0ZZ") + CRC(esc("02C0ZZ"))} << 0;
    // The length field reads 0 and the rest sums to 0x100: a field that is no number would
    // read as that checksum too.
    const QByteArray sumsToZero = esc("02C0") + "\x08\x08";
    QTest::newRow("checksum field not hex") << QList<QByteArray>{sumsToZero + "ZZ"} << -1;
    QTest::newRow("checksum field half hex") << QList<QByteArray>{sumsToZero + "0 "} << -1;
    QTest::newRow("checksum field of zeros") << QList<QByteArray>{sumsToZero + "00"} << 0;
}

void TestFrame::assembly() {
    QFETCH(QList<QByteArray>, pieces);
    QFETCH(int, acceptedAt);
    ReplyAssembler assembler;
    assembler.reset();
    int accepted = -1;
    for (int i = 0; i < pieces.size(); ++i) {
        if (assembler.append(pieces[i]) && accepted < 0) accepted = i;
    }
    QCOMPARE(accepted, acceptedAt);
}

QTEST_GUILESS_MAIN(TestFrame)
#include "tst_frame.moc"

#include "device/MonitorDisplay.h"
#include "device/TrendPlot.h"
#include "device/TrendRecorder.h"
#include "image/DeviceImage.h"

#include <QDateTime>
#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>

namespace {

// What the monitor decoder leaves behind for one record.
struct PanelState {
    int polohaProc;
    QString mA;
    MonitorDisplay::Gauge z, o;
    QString nm;
    QString temperature;
};

// The CSV fields after the time.
QString valueFields(const TrendSample& sample) {
    return TrendCsv::line(sample).section(QLatin1Char(','), 1);
}

TrendSample sampleAt(qint64 time, double position) {
    TrendSample s;
    s.time = time;
    s.position = position;
    return s;
}

} // namespace

Q_DECLARE_METATYPE(PanelState)

class TestTrendRecorder : public QObject {
    Q_OBJECT
private slots:
    void recordsWhatThePanelShows_data();
    void recordsWhatThePanelShows();
    void ringKeepsNewest_data();
    void ringKeepsNewest();
    void csvTimesAndNumbers();
    void saveWholeOrNothing();
    void plotWindowAndGaps();
    void plotKeepsPeaks();
    void roundScale_data();
    void roundScale();
};

void TestTrendRecorder::recordsWhatThePanelShows_data() {
    QTest::addColumn<PanelState>("state");
    QTest::addColumn<QString>("fields"); // position, mA, torque %, side, Nm, temperature
    using G = MonitorDisplay::Gauge;
    QTest::newRow("O side with Nm")
        << PanelState{5012, "12.3", G{40, false, false}, G{63, true, false}, "120", "41"}
        << "50.12,12.3,63,O,120,41";
    QTest::newRow("Z side tripped, no torque table")
        << PanelState{10000, "20.0", G{100, true, true}, G{0, false, false}, "", "-5"}
        << "100.00,20.0,100,Z,,-5";
    // The 40 % bar of the dead zone is a mark, not a torque.
    QTest::newRow("dead zone") << PanelState{0,  "4.0", G{40, false, true}, G{0, false, false},
                                             "", "23"}
                               << "0.00,4.0,,,,23";
    QTest::newRow("temperature not reported yet")
        << PanelState{2500, "8.0", G{0, false, false}, G{55, true, false}, "80", ""}
        << "25.00,8.0,55,O,80,";
}

void TestTrendRecorder::recordsWhatThePanelShows() {
    QFETCH(PanelState, state);
    QFETCH(QString, fields);
    DeviceImage image;
    MonitorDisplay display;
    image.Poloha_Proc = state.polohaProc;
    display.Gauge1 = {state.polohaProc, true, false};
    display.Edit2 = state.mA;
    display.Gauge3 = state.z;
    display.Gauge4 = state.o;
    display.Edit12 = state.nm;
    display.Edit5 = state.temperature;

    TrendRecorder recorder;
    recorder.setClock([] { return qint64(1'765'000'000'000); });
    recorder.record(image, display);
    QCOMPARE(recorder.size(), 1);
    const TrendSample sample = recorder.samples().first();
    QCOMPARE(sample.time, qint64(1'765'000'000'000));
    QCOMPARE(valueFields(sample), fields);
}

void TestTrendRecorder::ringKeepsNewest_data() {
    QTest::addColumn<int>("recorded");
    QTest::addColumn<int>("from");
    QTest::addColumn<QList<int>>("held"); // numbers of the samples `since(from)` gives
    QTest::newRow("empty") << 0 << 0 << QList<int>{};
    QTest::newRow("below capacity") << 3 << 0 << QList<int>{0, 1, 2};
    QTest::newRow("exactly full") << 4 << 0 << QList<int>{0, 1, 2, 3};
    QTest::newRow("round twice and a bit") << 11 << 0 << QList<int>{7, 8, 9, 10};
    QTest::newRow("from within") << 11 << 9 << QList<int>{9, 10};
    QTest::newRow("from the future") << 11 << 11 << QList<int>{};
}

void TestTrendRecorder::ringKeepsNewest() {
    QFETCH(int, recorded);
    QFETCH(int, from);
    QFETCH(QList<int>, held);
    TrendRecorder recorder(4);
    for (int n = 0; n < recorded; ++n)
        recorder.append(sampleAt(n, n));
    QCOMPARE(recorder.next(), quint64(recorded));
    QList<int> numbers;
    for (const TrendSample& s : recorder.since(quint64(from)))
        numbers.append(int(s.time));
    QCOMPARE(numbers, held);

    // Clearing forgets what is held, but the numbering goes on.
    recorder.clear();
    QCOMPARE(recorder.size(), 0);
    QVERIFY(recorder.samples().isEmpty());
    recorder.append(sampleAt(99, 1));
    QCOMPARE(recorder.next(), quint64(recorded + 1));
    QCOMPARE(recorder.since(quint64(recorded)).size(), 1);
}

void TestTrendRecorder::csvTimesAndNumbers() {
    // A Czech desktop writes "12,3": the file must not, or the comma splits the column.
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::Czech));
    TrendSample s = sampleAt(1'765'361'643'125, 33.5);
    s.controlSignal = 12.34;
    s.torque = std::nan("");
    s.torqueNm = std::nan("");
    s.temperature = 7;
    const QString text = TrendCsv::text({s, sampleAt(1'765'361'644'000, 34)});
    QLocale::setDefault(previous);

    const QStringList lines = text.split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 4); // header, two samples, the empty rest after the last newline
    QCOMPARE(lines[0], TrendCsv::header());
    QCOMPARE(lines[0].count(QLatin1Char(',')), lines[1].count(QLatin1Char(',')));
    QVERIFY(lines[3].isEmpty());

    const QString time = lines[1].section(QLatin1Char(','), 0, 0);
    // Local time with milliseconds and its offset, so that the moment is unambiguous.
    QVERIFY2(QRegularExpression(
                 QStringLiteral(R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.125([+-]\d\d:\d\d|Z)$)"))
                 .match(time)
                 .hasMatch(),
             qPrintable(time));
    QCOMPARE(QDateTime::fromString(time, Qt::ISODateWithMs).toMSecsSinceEpoch(),
             qint64(1'765'361'643'125));
    QCOMPARE(lines[1].section(QLatin1Char(','), 1), QStringLiteral("33.50,12.3,,,,7"));
}

void TestTrendRecorder::saveWholeOrNothing() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("trend.csv"));
    const QList<TrendSample> samples{sampleAt(1'765'361'643'000, 10),
                                     sampleAt(1'765'361'643'125, 11)};
    QVERIFY(TrendCsv::save(path, samples));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(file.readAll()), TrendCsv::text(samples));

    QString error;
    QVERIFY(!TrendCsv::save(dir.filePath(QStringLiteral("missing/trend.csv")), samples, &error));
    QVERIFY(!error.isEmpty());
}

void TestTrendRecorder::plotWindowAndGaps() {
    using Q = TrendPlot::Quantity;
    QList<TrendSample> samples;
    for (int n = 0; n < 5; ++n) {
        TrendSample s = sampleAt(1000 * n, 10 * n);
        s.torque = 60 + n;
        s.torqueSide = n == 2 ? 0 : 'O'; // the third in the dead zone
        s.torqueNm = n == 3 ? std::nan("") : 100 + n;
        s.temperature = n < 2 ? std::nan("") : 20; // reported from the third on
        samples.append(s);
    }
    const auto ys = [&](Q q, qint64 from) {
        QList<double> out;
        for (const QPointF& p : TrendPlot::points(samples, q, from, 100))
            out.append(p.y());
        return out;
    };
    QCOMPARE(ys(Q::Position, 0), (QList<double>{0, 10, 20, 30, 40}));
    QCOMPARE(ys(Q::Position, 2500), (QList<double>{30, 40}));
    QCOMPARE(ys(Q::Position, 5000), QList<double>{});
    QCOMPARE(ys(Q::Torque, 0), (QList<double>{60, 61, 0, 63, 64}));
    QCOMPARE(ys(Q::TorqueNm, 0), (QList<double>{100, 101, 0, 104}));
    QCOMPARE(ys(Q::Temperature, 0), (QList<double>{20, 20, 20}));
    QCOMPARE(TrendPlot::points(samples, Q::Temperature, 0, 100).first().x(), 2000.0);
}

void TestTrendRecorder::plotKeepsPeaks() {
    // An hour at the poll rate into a chart 400 pixels wide, with one record's spike in it.
    QList<TrendSample> samples;
    for (int n = 0; n < 29000; ++n) {
        TrendSample s = sampleAt(124 * qint64(n), 50 + 20 * std::sin(n / 500.0));
        if (n == 17345) s.position = 99.5;
        if (n == 17346) s.position = 0.5;
        samples.append(s);
    }
    const QList<QPointF> points = TrendPlot::points(samples, TrendPlot::Quantity::Position, 0, 800);
    QVERIFY(points.size() <= 800);
    QVERIFY(points.size() >= 700);
    QVERIFY(std::is_sorted(points.cbegin(), points.cend(),
                           [](const QPointF& a, const QPointF& b) { return a.x() < b.x(); }));
    QVERIFY(points.contains(QPointF(124.0 * 17345, 99.5)));
    QVERIFY(points.contains(QPointF(124.0 * 17346, 0.5)));
    QCOMPARE(points.first().x(), 0.0);
}

void TestTrendRecorder::roundScale_data() {
    QTest::addColumn<double>("min");
    QTest::addColumn<double>("max");
    QTest::addColumn<double>("roundMin");
    QTest::addColumn<double>("roundMax");
    QTest::addColumn<int>("ticks");
    QTest::newRow("usual mA") << 0.0 << 20.0 << 0.0 << 20.0 << 5;
    QTest::newRow("usual Nm") << 0.0 << 1.0 << 0.0 << 1.0 << 6;
    QTest::newRow("350 Nm") << 0.0 << 350.0 << 0.0 << 400.0 << 5;
    QTest::newRow("140 Nm") << 0.0 << 140.0 << 0.0 << 150.0 << 4;
    QTest::newRow("95 degrees") << 0.0 << 95.0 << 0.0 << 100.0 << 6;
    QTest::newRow("below zero") << -7.0 << 40.0 << -10.0 << 40.0 << 6;
    QTest::newRow("empty range") << 5.0 << 5.0 << 5.0 << 6.0 << 5;
    QTest::newRow("no number") << 0.0 << qQNaN() << 0.0 << 1.0 << 5;
}

void TestTrendRecorder::roundScale() {
    QFETCH(double, min);
    QFETCH(double, max);
    QFETCH(double, roundMin);
    QFETCH(double, roundMax);
    QFETCH(int, ticks);
    const TrendPlot::Scale scale = TrendPlot::roundScale(min, max);
    QCOMPARE(scale.min, roundMin);
    QCOMPARE(scale.max, roundMax);
    QCOMPARE(scale.ticks, ticks);
}

QTEST_GUILESS_MAIN(TestTrendRecorder)
#include "tst_trendrecorder.moc"

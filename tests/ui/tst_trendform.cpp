#include "LinkFakes.h"
#include "device/TrendRecorder.h"
#include "files/FileProblem.h"
#include "ui/TrendForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr qint64 Start = 1'765'361'600'000;
constexpr qint64 PollMs = 125;

// A trend window over a recording fed with a fake clock, shown offscreen.
struct Fixture {
    TrendRecorder recorder;
    FakePrompter prompter;
    TrendForm form{recorder, prompter};
    qint64 now = Start;

    Fixture() {
        recorder.setClock([this] { return now; });
        form.resize(900, 520);
        form.show();
    }
    // `seconds` of polls with the position walking 0.1 % per record.
    void poll(int seconds, double temperature = 30) {
        for (int n = 0; n < seconds * 1000 / PollMs; ++n) {
            TrendSample s;
            s.time = now;
            s.position = std::fmod((now - Start) / PollMs * 0.1, 100.0);
            s.controlSignal = 12;
            s.torque = 70;
            s.torqueSide = 'Z';
            s.torqueNm = 140;
            s.temperature = temperature;
            recorder.append(s);
            now += PollMs;
        }
    }
    const QList<QPointF>& position() const {
        return form.line(TrendPlot::Quantity::Position).points;
    }
    qint64 firstTime(TrendPlot::Quantity q = TrendPlot::Quantity::Position) const {
        return qint64(form.line(q).points.at(0).x());
    }
    qint64 lastTime() const { return qint64(position().last().x()); }
};

} // namespace

class TestTrendForm : public QObject {
    Q_OBJECT
private slots:
    void timeWindow_data();
    void timeWindow();
    void pauseFreezesRecordingGoesOn();
    void hiddenQuantity();
    void linesDrawnOnTheirAxes_data();
    void linesDrawnOnTheirAxes();
    void denseLineFillsItsColumns_data();
    void denseLineFillsItsColumns();
    void exportWritesEverything();
};

void TestTrendForm::timeWindow_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("minutes");
    QTest::newRow("1 min") << 0 << 1;
    QTest::newRow("5 min") << 1 << 5;
    QTest::newRow("15 min") << 2 << 15;
    QTest::newRow("60 min") << 3 << 60;
}

void TestTrendForm::timeWindow() {
    QFETCH(int, index);
    QFETCH(int, minutes);
    Fixture f;
    f.form.setTimeWindow(index);
    QCOMPARE(f.form.timeWindowMinutes(), minutes);
    QCOMPARE(f.form.findChild<QComboBox*>(QStringLiteral("TrendWindow"))->currentText(),
             QStringLiteral("%1 min").arg(minutes));
    f.poll(70 * 60); // 70 minutes recorded
    f.form.refresh();
    // The newest record and what lies within the window are drawn, nothing older.
    QCOMPARE(f.lastTime(), f.now - PollMs);
    const qint64 span = f.lastTime() - f.firstTime();
    QVERIFY2(span <= minutes * 60'000 && span > minutes * 60'000 - 2 * 60'000 / 100,
             qPrintable(QString::number(span)));
    // Never many more points than the plot has pixels.
    QVERIFY(f.position().size() <= std::max(200, 2 * 900));
}

void TestTrendForm::pauseFreezesRecordingGoesOn() {
    Fixture f;
    f.poll(10);
    f.form.refresh();
    const qsizetype drawn = f.position().size();
    QCOMPARE(drawn, 80);
    f.form.findChild<QPushButton*>(QStringLiteral("TrendPause"))->click();
    QVERIFY(f.form.isPaused());
    f.poll(10);
    f.form.refresh();
    QCOMPARE(f.position().size(), drawn);
    QCOMPARE(f.recorder.size(), 160);
    // Resuming catches up with what came meanwhile.
    f.form.findChild<QPushButton*>(QStringLiteral("TrendPause"))->click();
    QCOMPARE(f.position().size(), 160);
    QCOMPARE(f.lastTime(), f.now - PollMs);
}

void TestTrendForm::hiddenQuantity() {
    Fixture f;
    f.poll(5, 95); // hotter than the usual scale
    f.form.refresh();
    using Q = TrendPlot::Quantity;
    QVERIFY(f.form.axis(Q::Temperature).shown);
    // The axis stretches to what is drawn, on round ticks: 0, 20, ... 100.
    QCOMPARE(f.form.axis(Q::Temperature).scale, (TrendPlot::Scale{0, 100, 6}));
    f.form.findChild<QCheckBox*>(QStringLiteral("TrendTemperatureShown"))->setChecked(false);
    QVERIFY(!f.form.line(Q::Temperature).shown);
    QVERIFY(!f.form.axis(Q::Temperature).shown);
    // Position and torque share the percent axis: hiding one keeps it.
    f.form.findChild<QCheckBox*>(QStringLiteral("TrendTorqueShown"))->setChecked(false);
    QVERIFY(f.form.axis(Q::Position).shown);
    QVERIFY(!f.form.axis(Q::Temperature).shown);
}

void TestTrendForm::linesDrawnOnTheirAxes_data() {
    QTest::addColumn<QRgb>("colour");
    QTest::addColumn<double>("height"); // of the plot, from its bottom
    // 70 % torque on the percent axis; 140 Nm on 0..150; 12 mA on 0..20; 30 °C on 0..40.
    QTest::newRow("torque %") << QRgb(0xc0392b) << 0.70;
    QTest::newRow("torque Nm") << QRgb(0x7b241c) << 140.0 / 150;
    QTest::newRow("control signal") << QRgb(0x1e8449) << 0.60;
    QTest::newRow("temperature") << QRgb(0xd68910) << 0.75;
}

void TestTrendForm::linesDrawnOnTheirAxes() {
    QFETCH(QRgb, colour);
    QFETCH(double, height);
    Fixture f;
    f.form.setTimeWindow(0); // a minute, filled
    f.poll(70);
    f.form.refresh();
    const QRect plot = f.form.chart().plotArea();
    const QImage picture =
        f.form.findChild<TrendChart*>(QStringLiteral("TrendChart"))->grab().toImage();
    // Near the middle, at the height expected, a pixel of the line's hue: antialiasing blends a
    // line with the white behind it, which keeps its hue, and a dashed line has gaps.
    const QColor line = QColor::fromRgb(colour);
    const int y = qRound(plot.bottom() - height * (plot.height() - 1));
    bool found = false;
    for (int x = plot.center().x() - 20; x <= plot.center().x() + 20 && !found; ++x)
        for (int row = y - 2; row <= y + 2 && !found; ++row) {
            const QColor p = picture.pixelColor(x, row);
            found = p.hsvSaturation() >= line.hsvSaturation() / 3 &&
                    std::abs(p.hsvHue() - line.hsvHue()) <= 10;
        }
    QVERIFY2(found,
             qPrintable(QStringLiteral("nothing of %1 near row %2").arg(line.name()).arg(y)));
}

void TestTrendForm::denseLineFillsItsColumns_data() {
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("points"); // across the plot's 600 pixels
    QTest::addColumn<double>("high");
    QTest::addColumn<double>("low");
    QTest::addColumn<double>("drawn"); // share of the columns with the line in them
    // Going up and down, four points a column: each column filled from the lowest to the
    // highest. Level, a point every third column: the columns between them are drawn too.
    QTest::newRow("solid") << int(Qt::SolidLine) << 2400 << 60.0 << 40.0 << 1.0;
    QTest::newRow("dashed") << int(Qt::DashLine) << 2400 << 60.0 << 40.0 << 4.0 / 6;
    QTest::newRow("level, sparse") << int(Qt::SolidLine) << 200 << 50.0 << 50.0 << 1.0;
}

void TestTrendForm::denseLineFillsItsColumns() {
    QFETCH(int, style);
    QFETCH(int, points);
    QFETCH(double, high);
    QFETCH(double, low);
    QFETCH(double, drawn);
    TrendChart chart;
    chart.resize(600, 300);
    const int axis = chart.addAxis(true);
    chart.setAxisScale(axis, {0, 100, 5});
    const int line = chart.addLine(QColor(0x1f4e9c), Qt::PenStyle(style), axis);
    chart.setTimeRange(0, 100'000);
    QList<QPointF> values;
    for (int i = 0; i < points; ++i)
        values << QPointF(i * 100'000.0 / (points - 1), i % 2 ? high : low);
    chart.setPoints(line, values, true);
    const QImage picture = chart.grab().toImage();
    const QRect plot = chart.plotArea();
    const int top = qRound(plot.bottom() - high / 100 * (plot.height() - 1));
    const int bottom = qRound(plot.bottom() - low / 100 * (plot.height() - 1));
    // Every column drawn is filled from the highest value down to the lowest, and nothing is
    // drawn outside that.
    int columns = 0;
    for (int x = plot.left() + 1; x < plot.right(); ++x) {
        if (picture.pixel(x, (top + bottom) / 2) != 0xff1f4e9c) continue;
        ++columns;
        for (int y = top; y <= bottom; ++y)
            QCOMPARE(picture.pixel(x, y), 0xff1f4e9c);
        QVERIFY(picture.pixel(x, top - 2) != 0xff1f4e9c);
        QVERIFY(picture.pixel(x, bottom + 2) != 0xff1f4e9c);
    }
    QVERIFY2(std::abs(columns - drawn * (plot.width() - 2)) < 6,
             qPrintable(QString::number(columns)));
}

void TestTrendForm::exportWritesEverything() {
    Fixture f;
    f.poll(3);
    f.form.setPaused(true); // the export takes what was recorded, not what is drawn
    f.poll(2);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("trend.csv"));
    QVERIFY(f.form.exportTo(path));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(file.readAll()), TrendCsv::text(f.recorder.samples()));
    QVERIFY(f.prompter.messages.isEmpty());

    QVERIFY(!f.form.exportTo(dir.filePath(QStringLiteral("missing/trend.csv"))));
    QCOMPARE(f.prompter.messages.size(), 1);
    QCOMPARE(f.prompter.messages.first(),
             FileProblem::writeFailed(
                 dir.filePath(QStringLiteral("missing/trend.csv")),
                 FileProblem::missingFolder(dir.filePath(QStringLiteral("missing")))));
}

QTEST_MAIN(TestTrendForm)
#include "tst_trendform.moc"

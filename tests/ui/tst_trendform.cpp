#include "LinkFakes.h"
#include "device/TrendRecorder.h"
#include "files/FileProblem.h"
#include "ui/TrendForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineSeries>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QValueAxis>

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
    QLineSeries* position() const { return form.series(TrendPlot::Quantity::Position); }
    qint64 firstTime(TrendPlot::Quantity q = TrendPlot::Quantity::Position) const {
        return qint64(form.series(q)->at(0).x());
    }
    qint64 lastTime() const { return qint64(position()->at(position()->count() - 1).x()); }
};

} // namespace

class TestTrendForm : public QObject {
    Q_OBJECT
private slots:
    void timeWindow_data();
    void timeWindow();
    void pauseFreezesRecordingGoesOn();
    void hiddenQuantity();
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
    QVERIFY(f.position()->count() <= std::max(200, 2 * 900));
}

void TestTrendForm::pauseFreezesRecordingGoesOn() {
    Fixture f;
    f.poll(10);
    f.form.refresh();
    const int drawn = f.position()->count();
    QCOMPARE(drawn, 80);
    f.form.findChild<QPushButton*>(QStringLiteral("TrendPause"))->click();
    QVERIFY(f.form.isPaused());
    f.poll(10);
    f.form.refresh();
    QCOMPARE(f.position()->count(), drawn);
    QCOMPARE(f.recorder.size(), 160);
    // Resuming catches up with what came meanwhile.
    f.form.findChild<QPushButton*>(QStringLiteral("TrendPause"))->click();
    QCOMPARE(f.position()->count(), 160);
    QCOMPARE(f.lastTime(), f.now - PollMs);
}

void TestTrendForm::hiddenQuantity() {
    Fixture f;
    f.poll(5, 95); // hotter than the usual scale
    f.form.refresh();
    auto* temperature = f.form.series(TrendPlot::Quantity::Temperature);
    auto* axis = qobject_cast<QValueAxis*>(temperature->attachedAxes().last());
    QVERIFY(axis);
    QVERIFY(axis->isVisible());
    QVERIFY(axis->max() >= 95); // the axis stretches to what is drawn
    f.form.findChild<QCheckBox*>(QStringLiteral("TrendTemperatureShown"))->setChecked(false);
    QVERIFY(!temperature->isVisible());
    QVERIFY(!axis->isVisible());
    // Position and torque share the percent axis: hiding one keeps it.
    f.form.findChild<QCheckBox*>(QStringLiteral("TrendTorqueShown"))->setChecked(false);
    QVERIFY(f.position()->attachedAxes().last()->isVisible());
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

#include "LinkFakes.h"
#include "link/FrameTrace.h"
#include "ui/TraceForm.h"

#include <QApplication>
#include <QClipboard>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QTableView>
#include <QTest>

namespace {

// A trace window over a small recording, shown offscreen.
struct Fixture {
    FrameTrace trace;
    FakePrompter prompter;
    TraceForm form{trace, prompter};

    explicit Fixture(int capacity = 100)
        : trace(capacity) {
        form.show();
    }
    void record(int state) {
        trace.record(TraceEntry::Direction::Out, state,
                     "\x1B"
                     "0240004" +
                         QByteArray::number(state),
                     TraceEntry::Outcome::Request);
    }
    int rows() const { return form.table()->model()->rowCount(); }
    QString stateShown(int row) const {
        return form.table()->model()->index(row, 2).data().toString();
    }
    void click(const char* button) {
        form.findChild<QPushButton*>(QString::fromLatin1(button))->click();
    }
};

} // namespace

class TestTraceForm : public QObject {
    Q_OBJECT
private slots:
    void showsLive();
    void keepsNoMoreThanTheRecording();
    void pauseStopsUpdating();
    void clearEmpties();
    void copyPutsRowsOnClipboard_data();
    void copyPutsRowsOnClipboard();
};

void TestTraceForm::showsLive() {
    Fixture f;
    f.record(2);
    f.record(50);
    QTRY_COMPARE(f.rows(), 2);
    QCOMPARE(f.stateShown(0), QStringLiteral("2"));
    QCOMPARE(f.stateShown(1), QStringLiteral("50"));
    QCOMPARE(f.form.table()->model()->index(0, 3).data().toString(),
             QStringLiteral("<ESC>02400042"));
}

void TestTraceForm::keepsNoMoreThanTheRecording() {
    Fixture f(3);
    f.record(0);
    f.record(1);
    f.form.refresh();
    QCOMPARE(f.rows(), 2);
    for (int state = 2; state < 5; ++state)
        f.record(state);
    f.form.refresh();
    QCOMPARE(f.rows(), 3);
    QCOMPARE(f.stateShown(0), QStringLiteral("2"));
    QCOMPARE(f.stateShown(2), QStringLiteral("4"));
}

void TestTraceForm::pauseStopsUpdating() {
    Fixture f;
    f.record(1);
    f.form.refresh();
    f.click("TracePause");
    QVERIFY(f.form.isPaused());
    f.record(2);
    f.record(3);
    QTest::qWait(3 * TraceForm::RefreshMs);
    f.form.refresh();
    QCOMPARE(f.rows(), 1);
    // Recording went on meanwhile: the window catches up on resume.
    f.click("TracePause");
    QVERIFY(!f.form.isPaused());
    QCOMPARE(f.rows(), 3);
    QCOMPARE(f.stateShown(2), QStringLiteral("3"));
}

void TestTraceForm::clearEmpties() {
    Fixture f;
    f.record(1);
    f.record(2);
    f.form.refresh();
    f.click("TraceClear");
    QCOMPARE(f.rows(), 0);
    QCOMPARE(f.trace.size(), 0);
    // What comes after the clear is shown, and nothing from before it.
    f.record(7);
    f.form.refresh();
    QCOMPARE(f.rows(), 1);
    QCOMPARE(f.stateShown(0), QStringLiteral("7"));
}

void TestTraceForm::copyPutsRowsOnClipboard_data() {
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<QList<int>>("copied");
    QTest::newRow("nothing selected: all") << QList<int>{} << QList<int>{0, 1, 2, 3};
    QTest::newRow("selected rows in table order") << QList<int>{3, 1} << QList<int>{1, 3};
}

void TestTraceForm::copyPutsRowsOnClipboard() {
    QFETCH(QList<int>, selected);
    QFETCH(QList<int>, copied);
    Fixture f;
    for (int state = 0; state < 4; ++state)
        f.record(state);
    f.form.refresh();
    QItemSelectionModel* selection = f.form.table()->selectionModel();
    for (int row : selected)
        selection->select(f.form.table()->model()->index(row, 0),
                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QApplication::clipboard()->clear();
    f.click("TraceCopy");

    const QList<TraceEntry> all = f.trace.entries();
    QList<TraceEntry> expected;
    for (int row : copied)
        expected << all.at(row);
    QCOMPARE(QApplication::clipboard()->text(), TraceText::lines(expected));
}

QTEST_MAIN(TestTraceForm)
#include "tst_traceform.moc"

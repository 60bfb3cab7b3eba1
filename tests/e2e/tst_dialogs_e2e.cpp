// The position, motor, CPT, outputs-test and control-signal dialogs of the program against the
// simulated unit over a real pseudo-terminal: the motor moves, a taken-over position is written
// to the unit, the CPT poll drives the unit's output with the edited value, the outputs poll
// shows the unit's inputs, and the 0 mA request comes back through the monitor record.

#include "SimulatedProgram.h"
#include "app/Program.h"
#include "app/ServiceDialogs.h"
#include "lang/Lang.h"
#include "params/ParameterCatalogue.h"
#include "params/ServiceSheet.h"
#include "session/Session.h"
#include "ui/MainWindow.h"
#include "ui/MotionForm.h"
#include "ui/PwmForm.h"
#include "ui/RSForm.h"
#include "ui/ServiceForm.h"
#include "ui/UiFont.h"
#include "ui/VystupyForm.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class TestDialogsEndToEnd : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QApplication::setFont(kovrFont()); }
    void init();
    void cleanup();
    void positionMovesAndIsWritten();
    void motorDialogMovesTheActuator();
    void cptPollSendsTheEditedValue();
    void outputsTestShowsTheInputs();
    void zeroMilliampThroughTheMonitor();
    void outputsClosedWhileOpeningEndsThePoll();

private:
    // Runs `body` inside the modal dialog that `open` starts; the dialog is closed afterwards
    // whatever the body did.
    void inModal(QDialog& dialog, const std::function<void()>& open,
                 const std::function<void()>& body);
    // The service window's editor of a parameter's row, as Enter on that row opens it.
    void openEditor(int kind, int index);
    bool sent(const QByteArray& payload) const;
    // The requests the unit accepted from the first "4100" at or after `from` onward.
    QList<QByteArray> afterClosing(qsizetype from) const;

    std::unique_ptr<SimulatedProgram> m_sim;
};

void TestDialogsEndToEnd::init() {
    LangIndex = 0;
    m_sim = std::make_unique<SimulatedProgram>();
    QString error;
    QVERIFY2(m_sim->open(&error), qPrintable(error));
    QVERIFY(m_sim->startAndRefresh());
    m_sim->session().serviceEditing().NactiService(1, false);
}

void TestDialogsEndToEnd::cleanup() {
    m_sim.reset();
}

void TestDialogsEndToEnd::inModal(QDialog& dialog, const std::function<void()>& open,
                                  const std::function<void()>& body) {
    bool ran = false;
    QTimer::singleShot(0, this, [&] {
        const auto close = qScopeGuard([&] { dialog.reject(); });
        KOVR_TRY_VERIFY(dialog.isVisible());
        ran = true;
        body();
    });
    open();
    QVERIFY(ran);
    QVERIFY(!dialog.isVisible());
}

void TestDialogsEndToEnd::openEditor(int kind, int index) {
    const GridPlace place = ParameterCatalogue::place(kind, index);
    m_sim->program->serviceForm().setCurrentRow(place.grid, place.row);
    m_sim->program->serviceForm().VyvolaniNastaveni(place.grid);
}

bool TestDialogsEndToEnd::sent(const QByteArray& payload) const {
    return m_sim->payloads().contains(payload);
}

QList<QByteArray> TestDialogsEndToEnd::afterClosing(qsizetype from) const {
    const qsizetype closing = m_sim->payloads().indexOf("4100", from);
    return closing < 0 ? QList<QByteArray>() : m_sim->payloads().mid(closing);
}

void TestDialogsEndToEnd::positionMovesAndIsWritten() {
    Session& session = m_sim->program->session();
    TMotionForm& dialog = m_sim->program->serviceDialogs().polohaForm();
    m_sim->unit.setPosition(2000);
    int taken = -1;
    inModal(
        dialog, [&] { openEditor(ParameterCatalogue::KindW, 8); },
        [&] {
            // Opening stops the motor and returns to the monitor poll.
            KOVR_TRY_VERIFY_WITH_TIMEOUT(sent("510200") && session.scheduler().komStav() == 2,
                                         5000);
            KOVR_TRY_COMPARE_WITH_TIMEOUT(dialog.gaugeValue(), 2000, 5000);
            QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("Button2")),
                              Qt::LeftButton);
            KOVR_TRY_VERIFY_WITH_TIMEOUT(dialog.gaugeValue() > 2300, 5000);
            QVERIFY(sent("510201"));
            QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("Button3")),
                              Qt::LeftButton);
            KOVR_TRY_COMPARE_WITH_TIMEOUT(m_sim->unit.motor(), SimulatedUnit::MotorStop, 5000);
            KOVR_TRY_COMPARE_WITH_TIMEOUT(dialog.gaugeValue(), m_sim->unit.position(), 5000);
            QCOMPARE(dialog.findChild<QLineEdit*>(QStringLiteral("Edit1"))->text(),
                     QString::number(session.image().Poloha_Abs));
            taken = dialog.gaugeValue();
            QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("OKBtn")),
                              Qt::LeftButton);
        });
    QVERIFY(taken > 2300 && taken < 10000);
    // Closing the dialog sends "4100"; the row holds the position as a change.
    KOVR_TRY_VERIFY_WITH_TIMEOUT(sent("4100"), 5000);
    const GridPlace place = ParameterCatalogue::place(ParameterCatalogue::KindW, 8);
    QCOMPARE(session.sheet().cell(place.grid, ServiceSheet::ValueColumn, place.row),
             QString::number(taken));
    QCOMPARE(session.sheet().cell(place.grid, ServiceSheet::ChangedColumn, place.row),
             QStringLiteral("X"));
    KOVR_TRY_COMPARE_WITH_TIMEOUT(session.scheduler().komStav(), 2, 5000);
    session.requestWrite(8, 8, ParameterCatalogue::KindW, false);
    KOVR_TRY_COMPARE_WITH_TIMEOUT(m_sim->unit.parameter(SimulatedUnit::KindW, 8), quint32(taken),
                                  10000);
}

void TestDialogsEndToEnd::motorDialogMovesTheActuator() {
    Session& session = m_sim->program->session();
    TMotionForm& dialog = m_sim->program->serviceDialogs().motorForm();
    QAction* menu = m_sim->program->mainWindow().action(QStringLiteral("Motor"));
    QVERIFY(menu->isEnabled()); // the simulated unit is variant 2
    QVERIFY(!dialog.findChild<QPushButton*>(QStringLiteral("OKBtn")));
    const auto click = [&](const char* button) {
        QTest::mouseClick(dialog.findChild<QPushButton*>(QString::fromLatin1(button)),
                          Qt::LeftButton);
    };
    m_sim->unit.setPosition(5000);
    qsizetype closedAt = -1;
    inModal(
        dialog, [&] { menu->trigger(); },
        [&] {
            KOVR_TRY_VERIFY_WITH_TIMEOUT(sent("510200") && session.scheduler().komStav() == 2,
                                         5000);
            KOVR_TRY_COMPARE_WITH_TIMEOUT(dialog.gaugeValue(), 5000, 5000);
            click("Button2"); // Otevírat
            KOVR_TRY_VERIFY_WITH_TIMEOUT(dialog.gaugeValue() > 5300, 5000);
            QCOMPARE(m_sim->unit.motor(), SimulatedUnit::MotorOpen);
            click("Button3"); // Stop
            KOVR_TRY_COMPARE_WITH_TIMEOUT(m_sim->unit.motor(), SimulatedUnit::MotorStop, 5000);
            const int stopped = m_sim->unit.position();
            KOVR_TRY_COMPARE_WITH_TIMEOUT(dialog.gaugeValue(), stopped, 5000);
            // Stopped: further monitor records show the same position.
            QSignalSpy records(&session, &Session::monitorUpdated);
            KOVR_TRY_VERIFY_WITH_TIMEOUT(records.size() >= 3, 5000);
            QCOMPARE(dialog.gaugeValue(), stopped);
            click("Button1"); // Zavírat
            KOVR_TRY_VERIFY_WITH_TIMEOUT(dialog.gaugeValue() < stopped - 300, 5000);
            QCOMPARE(m_sim->unit.motor(), SimulatedUnit::MotorClose);
            click("Button3");
            KOVR_TRY_COMPARE_WITH_TIMEOUT(m_sim->unit.motor(), SimulatedUnit::MotorStop, 5000);
            // Closed once the stop is answered: a close asked for while a command is still
            // out is not honoured, and no "4100" would follow.
            KOVR_TRY_VERIFY_WITH_TIMEOUT(session.isPollingMonitor(), 5000);
            closedAt = m_sim->payloads().size();
            click("CancelBtn");
        });
    QVERIFY(closedAt >= 0);
    QVERIFY(sent("510201") && sent("510202"));
    // Closing sends "4100" and hands the link back to the monitor poll.
    KOVR_TRY_VERIFY_WITH_TIMEOUT(afterClosing(closedAt).size() > 2, 5000);
    KOVR_TRY_COMPARE_WITH_TIMEOUT(session.scheduler().komStav(), 2, 5000);
    QVERIFY(afterClosing(closedAt).at(1).startsWith("0010"));
}

void TestDialogsEndToEnd::cptPollSendsTheEditedValue() {
    Session& session = m_sim->program->session();
    TPwmForm& dialog = m_sim->program->serviceDialogs().pwmForm();
    qsizetype closedAt = -1;
    inModal(
        dialog, [&] { openEditor(ParameterCatalogue::KindW, 6); },
        [&] {
            KOVR_TRY_COMPARE_WITH_TIMEOUT(session.scheduler().komStav(), 86, 5000);
            dialog.edit(0)->setText(QStringLiteral("300"));
            KOVR_TRY_VERIFY_WITH_TIMEOUT(sent("7104012C"), 5000);
            dialog.edit(1)->setText(QStringLiteral("1000"));
            dialog.pages()->setCurrentIndex(1);
            KOVR_TRY_VERIFY_WITH_TIMEOUT(sent("710403E8"), 5000);
            // The poll keeps sending the page shown, whatever the unit answers.
            const qsizetype from = m_sim->payloads().size();
            KOVR_TRY_VERIFY_WITH_TIMEOUT(m_sim->payloads().mid(from).count("710403E8") >= 3, 5000);
            closedAt = m_sim->payloads().size();
            QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("CancelBtn")),
                              Qt::LeftButton);
        });
    QVERIFY(closedAt >= 0);
    // Closing ends the poll: "4100", then only the monitor poll.
    KOVR_TRY_VERIFY_WITH_TIMEOUT(afterClosing(closedAt).size() > 3, 5000);
    KOVR_TRY_COMPARE_WITH_TIMEOUT(session.scheduler().komStav(), 2, 5000);
    for (const QByteArray& request : afterClosing(closedAt).mid(1))
        QVERIFY2(request.startsWith("0010"), request.constData());
}

void TestDialogsEndToEnd::outputsTestShowsTheInputs() {
    TVystupyForm& dialog = m_sim->program->serviceDialogs().vystupyForm();
    m_sim->unit.setTemperature(-10);
    m_sim->unit.setControlSignal(777);
    m_sim->unit.setIoBits(0, 0x05);
    m_sim->unit.setIoBits(1, 0x21);
    QAction* menu = m_sim->program->mainWindow().action(QStringLiteral("Vystupy"));
    QVERIFY(menu->isEnabled());
    inModal(
        dialog, [&] { menu->trigger(); },
        [&] {
            dialog.radioGroup(0)->button(9)->click(); // "TOPENÍ"
            dialog.radioGroup(1)->button(1)->click(); // "50 %"
            dialog.radioGroup(2)->button(2)->click(); // "Žlutá"
            KOVR_TRY_VERIFY_WITH_TIMEOUT(sent("7022010001FF02" + QByteArray(24, '*')), 5000);
            const auto text = [&](const char* edit) {
                return dialog.findChild<QLineEdit*>(QString::fromLatin1(edit))->text();
            };
            KOVR_TRY_COMPARE_WITH_TIMEOUT(text("Edit1"), QStringLiteral("777"), 5000);
            QCOMPARE(text("Edit2"), QString::number(m_sim->unit.torque()));
            QCOMPARE(text("Edit3"), QStringLiteral("-10"));
            QTableWidget* grid2 = dialog.inputsGrid(0);
            QTableWidget* grid3 = dialog.inputsGrid(1);
            QCOMPARE(grid2->item(0, 1)->text(), QStringLiteral("X")); // "Dálk."
            QCOMPARE(grid2->item(1, 1)->text(), QString());
            QCOMPARE(grid2->item(2, 1)->text(), QStringLiteral("X"));
            QCOMPARE(grid3->item(0, 1)->text(), QStringLiteral("X")); // "I1"
            QCOMPARE(grid3->item(5, 1)->text(), QStringLiteral("X")); // "Stop"
            // "TP" is the simulated unit's blinking input: it changes while shown.
            const QString tp = grid3->item(3, 1)->text();
            KOVR_TRY_VERIFY_WITH_TIMEOUT(grid3->item(3, 1)->text() != tp, 3000);
        });
    KOVR_TRY_COMPARE_WITH_TIMEOUT(m_sim->program->session().scheduler().komStav(), 2, 5000);
    // Opened again: every selection back to its first item.
    inModal(
        dialog, [&] { menu->trigger(); },
        [&] {
            QCOMPARE(dialog.radioGroup(0)->checkedId(), 0);
            KOVR_TRY_VERIFY_WITH_TIMEOUT(m_sim->payloads().last() ==
                                             "7022" + QByteArray(10, '0') + QByteArray(24, '*'),
                                         5000);
        });
}

void TestDialogsEndToEnd::zeroMilliampThroughTheMonitor() {
    Session& session = m_sim->program->session();
    TRSForm& dialog = m_sim->program->serviceDialogs().rsForm();
    m_sim->unit.setControlSignal(0x1C5);
    QVERIFY(session.image().ParB[1][64] != 0xC5);
    inModal(
        dialog, [&] { openEditor(ParameterCatalogue::KindB, 64); },
        [&] {
            KOVR_TRY_COMPARE_WITH_TIMEOUT(dialog.reading(), QString::number(0x1C5), 5000);
            QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("OKBtn")),
                              Qt::LeftButton);
        });
    KOVR_TRY_VERIFY_WITH_TIMEOUT(sent("7600"), 5000);
    KOVR_TRY_COMPARE_WITH_TIMEOUT(session.image().ParB[1][64], quint8(0xC5), 15000);
    const GridPlace place = ParameterCatalogue::place(ParameterCatalogue::KindB, 64);
    session.serviceEditing().NactiService(1, false);
    QCOMPARE(session.sheet().cell(place.grid, ServiceSheet::ValueColumn, place.row),
             QStringLiteral("197"));
    QVERIFY(m_sim->prompter.messages.isEmpty());
}

// The outputs test closed before its poll has even opened: the relays the test drives must not
// stay forced under the main window. The link gets back to the monitor poll.
void TestDialogsEndToEnd::outputsClosedWhileOpeningEndsThePoll() {
    TVystupyForm& dialog = m_sim->program->serviceDialogs().vystupyForm();
    QTimer::singleShot(0, &dialog, [&dialog] { dialog.reject(); });
    dialog.exec(); // shown, asks for its poll, and closed at once
    Session& session = m_sim->program->session();
    KOVR_TRY_COMPARE_WITH_TIMEOUT(session.scheduler().komStav(), 2, 5000);
    const qsizetype from = m_sim->payloads().size();
    KOVR_TRY_VERIFY_WITH_TIMEOUT(m_sim->payloads().size() > from + 10, 5000);
    for (qsizetype i = from; i < m_sim->payloads().size(); ++i)
        QVERIFY2(!m_sim->payloads()[i].startsWith("7022"), m_sim->payloads()[i].constData());
}

QTEST_MAIN(TestDialogsEndToEnd)
#include "tst_dialogs_e2e.moc"

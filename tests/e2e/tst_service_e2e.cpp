// The service window on the session's real serial line, the simulated unit on the other end:
// what the window writes reaches the unit and comes back through the monitor poll.

#include "EventWait.h"
#include "SimulatedSetup.h"
#include "UnitDefaults.h"
#include "lang/Lang.h"
#include "params/ParameterCatalogue.h"
#include "ui/ServiceForm.h"

#include <QApplication>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

class TestServiceEndToEnd : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void editAndWriteAll();
    void backupAndRestore();
    void defaults();
    void resetLastErrors();

private:
    // Presses a button of the window, answers Yes and waits until the transfer and the re-read
    // that follows it are over.
    void press(const char* button);
    QString valueCell(int kind, int index) const;
    void type(int kind, int index, const QString& text);

    std::unique_ptr<SimulatedSetup> m_setup;
    std::unique_ptr<TServiceForm> m_form;
    Session* m_session = nullptr;
};

void TestServiceEndToEnd::init() {
    LangIndex = 0;
    m_setup = std::make_unique<SimulatedSetup>();
    QString error;
    QVERIFY2(m_setup->open(&error), qPrintable(error));
    m_session = m_setup->session.get();
    m_form = std::make_unique<TServiceForm>(
        TServiceForm::Parts{m_session->sheet(), m_session->serviceEditing(),
                            m_session->serviceActions(), m_session->transfer(), m_setup->prompter});
    m_form->applyCaptions();
    m_setup->start();
    KOVR_TRY_VERIFY_WITH_TIMEOUT(!m_session->scheduler().obnovaBezi(), 15000);
    m_session->serviceEditing().NactiService(1, false);
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
}

void TestServiceEndToEnd::cleanup() {
    m_form.reset();
    m_setup.reset();
}

void TestServiceEndToEnd::press(const char* button) {
    QSignalSpy ended(m_session, &Session::transferEnded);
    m_setup->prompter.answers = {true};
    QTest::mouseClick(m_form->findChild<QPushButton*>(QString::fromLatin1(button)), Qt::LeftButton);
    KOVR_TRY_COMPARE_WITH_TIMEOUT(ended.size(), 1, 15000);
    KOVR_TRY_VERIFY_WITH_TIMEOUT(
        m_session->scheduler().komStav() == 2 && !m_session->scheduler().obnovaBezi(), 15000);
}

QString TestServiceEndToEnd::valueCell(int kind, int index) const {
    const GridPlace place = ParameterCatalogue::place(kind, index);
    return m_session->sheet().cell(place.grid, ServiceSheet::ValueColumn, place.row);
}

void TestServiceEndToEnd::type(int kind, int index, const QString& text) {
    // The progress window shown by the last transfer may have taken the activation.
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    const GridPlace place = ParameterCatalogue::place(kind, index);
    m_form->setCurrentRow(place.grid, place.row);
    QTableView* view = m_form->gridView(place.grid);
    view->setFocus();
    QTest::keyClick(view, Qt::Key_F2); // edit the value cell
    QWidget* editor = QApplication::focusWidget();
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
}

// A value typed into the grid and written with "Zapsat" is in the unit and comes back through
// the monitor poll without a change mark.
void TestServiceEndToEnd::editAndWriteAll() {
    const GridPlace b30 = ParameterCatalogue::place(0, 30);
    const quint32 before = m_setup->unit.parameter(SimulatedUnit::KindB, 30);
    const quint32 wanted = before == 42 ? 43 : 42;
    type(0, 30, QString::number(wanted));
    QCOMPARE(m_session->sheet().cell(b30.grid, ServiceSheet::ChangedColumn, b30.row),
             QStringLiteral("X"));
    press("Button2");
    QCOMPARE(m_setup->prompter.questions.last(), LangText(QStringLiteral("ZapsatParametry?")));
    QCOMPARE(m_setup->unit.parameter(SimulatedUnit::KindB, 30), wanted);
    KOVR_TRY_COMPARE_WITH_TIMEOUT(m_session->image().ParB[1][30], quint8(wanted), 5000);
    QCOMPARE(valueCell(0, 30), QString::number(wanted));
    QCOMPARE(m_session->sheet().cell(b30.grid, ServiceSheet::ChangedColumn, b30.row), QString());
}

void TestServiceEndToEnd::backupAndRestore() {
    const quint32 kept = m_setup->unit.parameter(SimulatedUnit::KindB, 31);
    press("Button8"); // Vytvořit zálohu
    type(0, 31, QString::number(kept + 1));
    press("Button2");
    QCOMPARE(m_setup->unit.parameter(SimulatedUnit::KindB, 31), kept + 1);
    press("Button9"); // Obnovit ze zálohy
    QCOMPARE(m_setup->unit.parameter(SimulatedUnit::KindB, 31), kept);
    KOVR_TRY_COMPARE_WITH_TIMEOUT(valueCell(0, 31), QString::number(kept), 5000);
}

void TestServiceEndToEnd::defaults() {
    const int b33 = 33;
    const quint32 factory = UnitDefaults::parameters[b33].value;
    type(0, b33, QString::number(factory + 3));
    press("Button2");
    KOVR_TRY_COMPARE_WITH_TIMEOUT(valueCell(0, b33), QString::number(factory + 3), 5000);
    press("Button6"); // Default
    QCOMPARE(m_setup->unit.parameter(SimulatedUnit::KindB, b33), factory);
    KOVR_TRY_COMPARE_WITH_TIMEOUT(valueCell(0, b33), QString::number(factory), 5000);
}

void TestServiceEndToEnd::resetLastErrors() {
    const ServiceSheet& sheet = m_session->sheet();
    KOVR_TRY_VERIFY_WITH_TIMEOUT(!sheet.cell(ServiceSheet::LastErrorsGrid, 0, 0).isEmpty(), 5000);
    press("Button7"); // Nulování of "Poslední chyby"
    for (int row = 0; row < 3; ++row)
        KOVR_TRY_COMPARE_WITH_TIMEOUT(sheet.cell(ServiceSheet::LastErrorsGrid, 0, row), QString(),
                                      5000);
    // The last resets are another list: left as they were.
    QVERIFY(!sheet.cell(ServiceSheet::LastResetsGrid, 0, 0).isEmpty());
}

QTEST_MAIN(TestServiceEndToEnd)
#include "tst_service_e2e.moc"

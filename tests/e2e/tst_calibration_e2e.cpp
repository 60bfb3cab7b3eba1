// The torque and sensor dialogs on the session's real serial line, the simulated unit on the
// other end: calibrations run to their end, their results reach the unit through the service
// window, and closing a dialog gives the line back to the monitor poll.

#include "EventWait.h"
#include "SimulatedSetup.h"
#include "app/CalibrationDialogs.h"
#include "lang/Lang.h"
#include "params/ParameterCatalogue.h"
#include "params/Setup.h"
#include "ui/MomentForm.h"
#include "ui/ServiceForm.h"
#include "ui/SnimacForm.h"
#include "ui/StringGridView.h"
#include "wire/Frame.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

class TestCalibrationEndToEnd : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void torqueCalibrationWrittenToTheUnit();
    void gearboxCalibration();

private:
    QString text(QWidget* form, const char* edit) const {
        return form->findChild<QLineEdit*>(QString::fromLatin1(edit))->text();
    }
    void click(QWidget* form, const char* button) {
        QTest::mouseClick(form->findChild<QPushButton*>(QString::fromLatin1(button)),
                          Qt::LeftButton);
    }
    // Closing a dialog ends its poll with "4100": the monitor poll is back.
    void expectMonitorPoll();

    std::unique_ptr<SimulatedSetup> m_setup;
    std::unique_ptr<TServiceForm> m_service;
    std::unique_ptr<CalibrationDialogs> m_dialogs;
    TSetup m_settings;
    Session* m_session = nullptr;
};

void TestCalibrationEndToEnd::init() {
    LangIndex = 0;
    m_setup = std::make_unique<SimulatedSetup>();
    QString error;
    QVERIFY2(m_setup->open(&error), qPrintable(error));
    m_session = m_setup->session.get();
    m_service = std::make_unique<TServiceForm>(
        TServiceForm::Parts{m_session->sheet(), m_session->serviceEditing(),
                            m_session->serviceActions(), m_session->transfer(), m_setup->prompter});
    m_service->applyCaptions();
    m_dialogs =
        std::make_unique<CalibrationDialogs>(*m_session, m_settings, m_setup->prompter, nullptr);
    m_dialogs->createTorqueDialog();
    m_dialogs->createSensorDialog();
    m_dialogs->wire(*m_service);
    m_setup->unit.torqueCalibration().setStepMs(150);
    m_setup->unit.gearboxCalibration().setStepMs(40);
    m_setup->start();
    KOVR_TRY_VERIFY_WITH_TIMEOUT(!m_session->scheduler().obnovaBezi(), 15000);
    m_session->serviceEditing().NactiService(1, false);
}

void TestCalibrationEndToEnd::cleanup() {
    m_dialogs.reset();
    m_service.reset();
    m_setup.reset();
}

void TestCalibrationEndToEnd::expectMonitorPoll() {
    KOVR_TRY_COMPARE_WITH_TIMEOUT(m_session->scheduler().komStav(), 2, 5000);
    const qsizetype before = m_setup->requests.size();
    KOVR_TRY_VERIFY_WITH_TIMEOUT(m_setup->requests.size() > before + 2, 5000);
    for (qsizetype i = before; i < m_setup->requests.size(); ++i)
        QVERIFY2(m_setup->requests[i].mid(3, 4) == "0010", m_setup->requests[i].constData());
}

void TestCalibrationEndToEnd::torqueCalibrationWrittenToTheUnit() {
    TMomentForm& form = m_dialogs->momentForm();
    form.show();
    KOVR_TRY_VERIFY_WITH_TIMEOUT(!text(&form, "Edit3").isEmpty(), 5000); // the torque poll runs
    QCOMPARE(m_session->scheduler().komStav(), 68);

    StringGridView* bench = form.benchGrid();
    bench->item(1, 1)->setText(QStringLiteral("4"));
    bench->item(2, 1)->setText(QStringLiteral("20"));
    bench->item(1, 2)->setText(QStringLiteral("5"));
    bench->item(2, 2)->setText(QStringLiteral("19"));
    click(&form, "Button4"); // Otevírat
    KOVR_TRY_COMPARE_WITH_TIMEOUT(text(&form, "Edit2"), QStringLiteral("Kalibrace momentu O 50%"),
                                  5000);
    KOVR_TRY_COMPARE_WITH_TIMEOUT(text(&form, "Edit2"), QStringLiteral("Ukončeno OK"), 10000);
    QVERIFY(m_setup->prompter.messages.isEmpty());
    QVERIFY(m_setup->requests.contains(frameRequest("750E010007D0271000")));
    QCOMPARE(form.resultGrid()->cell(1, 1), "6000"); // Moment 100%
    QCOMPARE(form.resultGrid()->cell(1, 2), "1200"); // Moment min.
    QCOMPARE(text(&form, "Edit4"), "20.00");

    click(&form, "Button1"); // Nastavit: into the service window, and closed
    QVERIFY(!form.isVisible());
    expectMonitorPoll();
    QCOMPARE(m_settings.Stolice_100_O, "20");

    // The Z side was not calibrated: its empty results leave W 2 and W 3 as the unit has them.
    const quint32 z100 = m_setup->unit.parameter(SimulatedUnit::KindW, 2);
    const quint32 zMin = m_setup->unit.parameter(SimulatedUnit::KindW, 3);
    QVERIFY(z100 != 0 && zMin != 0);
    QSignalSpy ended(m_session, &Session::transferEnded);
    m_setup->prompter.answers = {true};
    m_service->findChild<QPushButton*>(QStringLiteral("Button2"))->click(); // Zapsat
    KOVR_TRY_COMPARE_WITH_TIMEOUT(ended.size(), 1, 15000);
    QVERIFY(m_setup->prompter.messages.isEmpty());
    KOVR_TRY_VERIFY_WITH_TIMEOUT(m_setup->unit.parameter(SimulatedUnit::KindW, 0) == 6000, 10000);
    QCOMPARE(m_setup->unit.parameter(SimulatedUnit::KindW, 1), 1200u);
    QCOMPARE(m_setup->unit.parameter(SimulatedUnit::KindW, 2), z100);
    QCOMPARE(m_setup->unit.parameter(SimulatedUnit::KindW, 3), zMin);
}

void TestCalibrationEndToEnd::gearboxCalibration() {
    TSnimacForm& form = m_dialogs->snimacForm();
    form.show();
    KOVR_TRY_COMPARE_WITH_TIMEOUT(m_session->scheduler().komStav(), 64, 5000);
    KOVR_TRY_VERIFY_WITH_TIMEOUT(!text(&form, "Edit4").isEmpty(), 5000); // the counter runs
    QVERIFY(form.offsetsGrid()->isEnabled());

    click(&form, "Button4"); // Start
    KOVR_TRY_VERIFY_WITH_TIMEOUT(!form.offsetsGrid()->isEnabled(), 5000);
    KOVR_TRY_COMPARE_WITH_TIMEOUT(text(&form, "Edit2"), QStringLiteral("Kalibrace převodovky OK"),
                                  10000);
    QVERIFY(m_setup->requests.contains(frameRequest("740201")));
    QCOMPARE(form.offsetsGrid()->cell(1, 1), "28");
    QCOMPARE(form.offsetsGrid()->cell(4, 1), "228");

    click(&form, "OKBtn");
    const GridPlace place = ParameterCatalogue::place(ParameterCatalogue::KindB, 2);
    QCOMPARE(m_session->sheet().cell(place.grid, ServiceSheet::ValueColumn, place.row), "147");
    QCOMPARE(m_session->image().ParB[2][2], 147);
    expectMonitorPoll();
}

QTEST_MAIN(TestCalibrationEndToEnd)
#include "tst_calibration_e2e.moc"

// The session's real serial port on one side of a kernel pseudo-terminal, the simulated unit
// on the other.

#include "EventWait.h"
#include "SimulatedSetup.h"
#include "lang/Lang.h"
#include "link/LinkNotices.h"
#include "ptypair.h"
#include "wire/Frame.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include <sys/resource.h>

namespace {

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

} // namespace

class TestLinkEndToEnd : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void startRefreshesAllParameters();
    void refreshSurvivesDroppedReplies();
    void silentUnitAsksAfterSendsAndProbes();
    void foreignHeaderStopsLink();
    void wrongCodeUnitAsks();
    void pulledDeviceDoesNotHang();
    void pluggedBackAdapterResumesOnYes();

private:
    void startSession();

    std::unique_ptr<SimulatedSetup> m_setup;
    SimulatedUnit* m_unit = nullptr;
    PtyLine* m_line = nullptr;
    FakePrompter* m_prompter = nullptr;
    TPrubehForm* m_progress = nullptr;
    Session* m_session = nullptr;
    QList<QByteArray>* m_requests = nullptr;
};

void TestLinkEndToEnd::init() {
    LangIndex = 0;
    m_setup = std::make_unique<SimulatedSetup>();
    QString error;
    QVERIFY2(m_setup->open(&error), qPrintable(error));
    m_unit = &m_setup->unit;
    m_line = &m_setup->line;
    m_prompter = &m_setup->prompter;
    m_progress = &m_setup->progress;
    m_session = m_setup->session.get();
    m_requests = &m_setup->requests;
}

void TestLinkEndToEnd::cleanup() {
    m_setup.reset();
}

void TestLinkEndToEnd::startSession() {
    m_setup->start();
    QVERIFY(m_session->scheduler().komBezi());
    QVERIFY(m_session->port().isOpen());
}

void TestLinkEndToEnd::startRefreshesAllParameters() {
    QSignalSpy records(m_session, &Session::monitorUpdated);
    int duringRefresh = 0;
    connect(m_session, &Session::monitorUpdated, this,
            [&] { duringRefresh += m_session->scheduler().obnovaBezi() ? 1 : 0; });
    QSignalSpy status(&m_session->scheduler(), &CommandScheduler::statusText);
    startSession();
    QVERIFY(m_progress->isVisible());
    QCOMPARE(m_progress->maximum(), 86);
    KOVR_TRY_VERIFY_WITH_TIMEOUT(!m_session->scheduler().obnovaBezi(), 15000);
    QVERIFY(!m_progress->isVisible());
    QCOMPARE(duringRefresh, 86);
    // One pass of the parameter cursor read every parameter and its presence.
    const DeviceImage& image = m_session->image();
    for (int i = 0; i < DeviceImage::CountB; ++i) {
        QCOMPARE(image.ParB[1][i], m_unit->parameter(SimulatedUnit::KindB, i));
        QCOMPARE(image.ParB_Act[i], m_unit->isPresent(SimulatedUnit::KindB, i));
    }
    for (int i = 0; i < DeviceImage::CountW; ++i) {
        QCOMPARE(image.ParW[2][i], m_unit->parameter(SimulatedUnit::KindW, i));
        QCOMPARE(image.ParW_Act[i], m_unit->isPresent(SimulatedUnit::KindW, i));
    }
    // Each kind's end costs the cursor one reply, so the double words follow just after.
    for (int i = 0; i < DeviceImage::CountDW; ++i)
        KOVR_TRY_COMPARE_WITH_TIMEOUT(image.ParDW[1][i],
                                      m_unit->parameter(SimulatedUnit::KindDW, i), 2000);
    QCOMPARE(status.at(0).at(1).toString(), QStringLiteral("COM3"));
    QCOMPARE(status.last().at(1).toString(), QStringLiteral("RUN"));
    QVERIFY(m_prompter->messages.isEmpty());
    QVERIFY(m_prompter->questions.isEmpty());
    // The poll goes on after the refresh.
    KOVR_TRY_VERIFY_WITH_TIMEOUT(records.size() > 90, 5000);
}

void TestLinkEndToEnd::refreshSurvivesDroppedReplies() {
    m_unit->setDropEvery(15);
    m_unit->setCorruptEvery(20);
    startSession();
    KOVR_TRY_VERIFY_WITH_TIMEOUT(!m_session->scheduler().obnovaBezi(), 30000);
    QVERIFY(m_prompter->questions.isEmpty());
    QVERIFY(m_requests->size() > 86); // the lost ones were asked again
}

// At the tool's own pace: three sends and three probes 300 ms apart.
void TestLinkEndToEnd::silentUnitAsksAfterSendsAndProbes() {
    m_session->setLinkTiming(LinkTiming{});
    startSession();
    KOVR_TRY_VERIFY_WITH_TIMEOUT(m_requests->size() >= 3, 5000);
    m_unit->setSilent(true);
    m_requests->clear();
    QElapsedTimer silence;
    silence.start();
    KOVR_TRY_COMPARE_WITH_TIMEOUT(m_prompter->questions.size(), 1, 5000);
    const qint64 elapsed = silence.elapsed();
    QVERIFY2(elapsed >= 1500 && elapsed < 3000, qPrintable(QString::number(elapsed)));
    QCOMPARE(m_requests->size(), 6);
    for (int i = 0; i < 3; ++i)
        QCOMPARE((*m_requests)[i].mid(1, 4), QByteArray("0200"));
    for (int i = 3; i < 6; ++i)
        QCOMPARE((*m_requests)[i], probeFrame());
    // Answered No: the link stops and sends nothing more.
    QVERIFY(!m_session->scheduler().komBezi());
    QTest::qWait(400);
    QCOMPARE(m_requests->size(), 6);
}

void TestLinkEndToEnd::foreignHeaderStopsLink() {
    startSession();
    m_unit->setForeignHeader(true);
    KOVR_TRY_COMPARE_WITH_TIMEOUT(m_prompter->messages.size(), 1, 5000);
    QCOMPARE(m_prompter->messages.first(), LangText(QStringLiteral("NekompatibilniVerzeFirmware")));
    QVERIFY(!m_session->scheduler().komBezi());
    QVERIFY(m_prompter->questions.isEmpty());
}

// A unit that answers every request with a wrong code is not a working link: after ten such
// replies the technician gets the link's question, not an endless "RUN".
void TestLinkEndToEnd::wrongCodeUnitAsks() {
    startSession();
    KOVR_TRY_VERIFY_WITH_TIMEOUT(m_requests->size() >= 3, 5000);
    m_unit->setWrongCode(true);
    m_requests->clear();
    KOVR_TRY_COMPARE_WITH_TIMEOUT(m_prompter->questions.size(), 1, 5000);
    QCOMPARE(m_prompter->questions.first(),
             linkQuestionText(QStringLiteral("COM3"), m_line->linkPath()));
    QCOMPARE(m_requests->size(), CommandScheduler::UnansweredReplyLimit);
    QVERIFY(!m_session->scheduler().komBezi()); // answered No
}

void TestLinkEndToEnd::pulledDeviceDoesNotHang() {
    QSignalSpy lost(&m_session->port(), &Port::deviceLost);
    startSession();
    KOVR_TRY_VERIFY_WITH_TIMEOUT(m_requests->size() >= 3, 5000);
    m_prompter->answers = {true}; // try again: the device is gone for good
    const double cpuBefore = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    QVERIFY(m_progress->isVisible()); // pulled during the start-up refresh
    const QString link = m_line->linkPath();
    m_line->closeLine();
    KOVR_TRY_COMPARE_WITH_TIMEOUT(m_prompter->questions.size(), 1, 5000);
    QCOMPARE(lost.size(), 1);
    QCOMPARE(m_prompter->questions.first(), linkQuestionText(QStringLiteral("COM3"), link, link));
    QCOMPARE(m_prompter->messages,
             QStringList{portUnavailableText({Port::OpenFailure::Absent, link, {}, {}})});
    // The refresh cannot go on: its always-on-top window must not stay behind.
    QVERIFY(!m_progress->isVisible());
    // Frozen, quiet and not spinning.
    QTest::qWait(300);
    QCOMPARE(m_prompter->questions.size(), 1);
    QCOMPARE(m_prompter->messages.size(), 1);
    const double cpu = cpuSeconds() - cpuBefore;
    QVERIFY2(cpu < 0.5 * wall.elapsed() / 1000.0,
             qPrintable(QStringLiteral("cpu %1 s in %2 ms").arg(cpu).arg(wall.elapsed())));
}

// The adapter comes back while the question is up, its link path now naming another pty, as a
// /dev/serial/by-id path survives a new ttyUSB number: Yes reopens it and the poll resumes.
void TestLinkEndToEnd::pluggedBackAdapterResumesOnYes() {
    startSession();
    KOVR_TRY_VERIFY_WITH_TIMEOUT(!m_session->scheduler().obnovaBezi(), 15000);
    const QString link = m_line->linkPath();
    const QString firstPty = m_line->slavePath();
    // Ptys that keep the pulled one's number taken, so the adapter comes back as another one.
    std::vector<std::unique_ptr<PtyPair>> holders;
    m_prompter->answers = {true};
    bool linkGoneDuringQuestion = false;
    m_prompter->duringQuestion = [&] {
        linkGoneDuringQuestion = !QFileInfo(link).isSymLink();
        while (holders.size() < 64 && (holders.empty() || holders.back()->slavePath() != firstPty))
            holders.push_back(std::make_unique<PtyPair>());
        QVERIFY(m_line->open());
    };
    m_line->closeLine();
    KOVR_TRY_COMPARE_WITH_TIMEOUT(m_prompter->questions.size(), 1, 5000);
    QVERIFY(linkGoneDuringQuestion);
    QCOMPARE(m_prompter->questions.first(), linkQuestionText(QStringLiteral("COM3"), link, link));
    QVERIFY(m_prompter->questions.first().startsWith(LangText(QStringLiteral("ChybaKomunikace"))));
    QVERIFY(m_line->slavePath() != firstPty);
    QCOMPARE(QFileInfo(link).symLinkTarget(), m_line->slavePath());
    QVERIFY(m_prompter->messages.isEmpty());
    QVERIFY(m_session->scheduler().komBezi());
    // A full refresh over the new line, then the poll goes on.
    QVERIFY(m_progress->isVisible());
    m_requests->clear();
    KOVR_TRY_VERIFY_WITH_TIMEOUT(!m_session->scheduler().obnovaBezi(), 15000);
    QVERIFY(!m_progress->isVisible());
    KOVR_TRY_VERIFY_WITH_TIMEOUT(m_requests->size() > 90, 5000);
    QCOMPARE(m_prompter->questions.size(), 1);
    QVERIFY(m_prompter->messages.isEmpty());
    // A later pull is reported afresh; a silent unit on a present line is not called a pull.
    m_unit->setSilent(true);
    KOVR_TRY_COMPARE_WITH_TIMEOUT(m_prompter->questions.size(), 2, 5000);
    QCOMPARE(m_prompter->questions.last(), linkQuestionText(QStringLiteral("COM3"), link));
}

QTEST_MAIN(TestLinkEndToEnd)
#include "tst_link_e2e.moc"

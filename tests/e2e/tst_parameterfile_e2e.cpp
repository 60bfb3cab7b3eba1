// A parameter file saved from one simulated unit and written into another over a real serial
// line: each selection of "Zápis ze souboru" writes exactly the parameters it allows.

#include "SimulatedSetup.h"
#include "lang/Lang.h"
#include "link/ParameterFiles.h"
#include "link/ServiceActions.h"
#include "params/ParameterCatalogue.h"

#include <QSignalSpy>
#include <QTest>

namespace {

constexpr SimulatedUnit::Kind Kinds[] = {SimulatedUnit::KindB, SimulatedUnit::KindW,
                                         SimulatedUnit::KindDW};

// Every value of a unit, by kind and index.
QList<QList<quint32>> valuesOf(const SimulatedUnit& unit) {
    QList<QList<quint32>> values;
    for (SimulatedUnit::Kind kind : Kinds) {
        QList<quint32> ofKind;
        for (int i = 0; i < ParameterCatalogue::count(kind); ++i)
            ofKind.append(unit.parameter(kind, i));
        values.append(ofKind);
    }
    return values;
}

} // namespace

class TestParameterFileEndToEnd : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void writeFromFile_data();
    void writeFromFile();

private:
    bool startAndRefresh(SimulatedSetup& setup);

    QTemporaryDir m_dir;
    QString m_file;
    QList<QList<quint32>> m_fileValues;
};

bool TestParameterFileEndToEnd::startAndRefresh(SimulatedSetup& setup) {
    QString error;
    if (!setup.open(&error)) {
        qWarning() << error;
        return false;
    }
    setup.start();
    return QTest::qWaitFor([&] { return !setup.session->scheduler().ObnovaBezi; }, 15000) &&
           QTest::qWaitFor(
               [&] {
                   // The double words follow the refresh by a reply or two.
                   return setup.session->image().ParDW[1][1] ==
                          setup.unit.parameter(SimulatedUnit::KindDW, 1);
               },
               3000);
}

// Unit A's parameters saved to a file.
void TestParameterFileEndToEnd::initTestCase() {
    LangIndex = 0;
    QVERIFY(m_dir.isValid());
    SimulatedSetup a;
    QVERIFY(startAndRefresh(a));
    m_file = m_dir.filePath(QStringLiteral("unit-a.par"));
    QVERIFY(a.session->parameterFiles().save(m_file));
    m_fileValues = valuesOf(a.unit);
}

void TestParameterFileEndToEnd::writeFromFile_data() {
    QTest::addColumn<int>("selection");
    QTest::newRow("Omezení") << 0;
    QTest::newRow("Výměna snímače") << 1;
}

void TestParameterFileEndToEnd::writeFromFile() {
    QFETCH(int, selection);
    // Unit B differs from A in every parameter but its variant, which decides what it has.
    SimulatedSetup b;
    for (SimulatedUnit::Kind kind : Kinds)
        for (int i = 0; i < ParameterCatalogue::count(kind); ++i)
            if (!(kind == SimulatedUnit::KindB && i == 6))
                b.unit.setParameter(kind, i, b.unit.parameter(kind, i) + 1);
    const QList<QList<quint32>> before = valuesOf(b.unit);
    QVERIFY(startAndRefresh(b));
    Session& session = *b.session;

    QVERIFY(session.parameterFiles().open(m_file));
    QVERIFY(session.transfer().ZapisZeSouboru);
    session.transfer().writeFromFileSelection = selection;
    session.serviceEditing().NactiService(1, true);
    QSignalSpy ended(&session, &Session::transferEnded);
    b.prompter.answers = {true};
    QVERIFY(session.serviceActions().run(ServiceCommand::WriteAll));
    QTRY_COMPARE_WITH_TIMEOUT(ended.size(), 1, 15000);
    QVERIFY(!session.transfer().ZapisZeSouboru);

    int written = 0;
    for (int k = 0; k < 3; ++k) {
        const SimulatedUnit::Kind kind = Kinds[k];
        for (int i = 0; i < ParameterCatalogue::count(kind); ++i) {
            const bool allowed =
                ParameterCatalogue::fromFile(kind, i, selection) && b.unit.isPresent(kind, i);
            written += allowed ? 1 : 0;
            const quint32 expected = allowed ? m_fileValues[k][i] : before[k][i];
            QVERIFY2(b.unit.parameter(kind, i) == expected,
                     qPrintable(QStringLiteral("kind %1 index %2: %3, expected %4")
                                    .arg(kind)
                                    .arg(i)
                                    .arg(b.unit.parameter(kind, i))
                                    .arg(expected)));
        }
    }
    QVERIFY(written > 40);
    QVERIFY(b.prompter.messages.isEmpty());
}

QTEST_MAIN(TestParameterFileEndToEnd)
#include "tst_parameterfile_e2e.moc"

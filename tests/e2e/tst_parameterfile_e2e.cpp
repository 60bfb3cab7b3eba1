// A parameter file saved from one simulated unit and written into another over a real serial
// line: each selection of "Zápis ze souboru" writes exactly the parameters it allows, after a
// backup of what the unit held, and a backup that cannot be written stops the write.

#include "EventWait.h"
#include "SimulatedSetup.h"
#include "lang/Lang.h"
#include "params/ParameterCatalogue.h"
#include "params/ParameterFile.h"
#include "params/ProductionTexts.h"
#include "params/ServiceSheet.h"
#include "session/ParameterFiles.h"
#include "session/ServiceActions.h"

#include <QDir>
#include <QSignalSpy>
#include <QTest>

namespace {} // namespace

class TestParameterFileEndToEnd : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void writeFromFile_data();
    void writeFromFile();
    void unwritableBackupStopsWrite();

private:
    bool startAndRefresh(SimulatedSetup& setup);
    // Unit B: differs from A in every parameter but its variant, which decides what it has.
    static void makeDifferent(SimulatedSetup& b);

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
    return waitUntil([&] { return !setup.session->scheduler().obnovaBezi(); }, 15000) &&
           waitUntil(
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

void TestParameterFileEndToEnd::makeDifferent(SimulatedSetup& b) {
    for (SimulatedUnit::Kind kind : Kinds)
        for (int i = 0; i < ParameterCatalogue::count(kind); ++i)
            if (!(kind == SimulatedUnit::KindB && i == 6))
                b.unit.setParameter(kind, i, b.unit.parameter(kind, i) + 1);
    b.unit.setText(3, "B-0815/7");
}

void TestParameterFileEndToEnd::writeFromFile() {
    QFETCH(int, selection);
    SimulatedSetup b;
    makeDifferent(b);
    const QList<QList<quint32>> before = valuesOf(b.unit);
    QVERIFY(startAndRefresh(b));
    Session& session = *b.session;
    const QString backups = b.dir.filePath(QStringLiteral("backups"));
    session.serviceActions().setBackup(session.display().errorGrid, backups);
    // The serial number names the backup: it has to have come in whole.
    KOVR_TRY_COMPARE_WITH_TIMEOUT(productionText(session.image(), 3), QStringLiteral("B-0815/7"),
                                  10000);

    QSignalSpy mode(&session, &Session::modeChanged);
    QVERIFY(session.parameterFiles().open(m_file));
    QVERIFY(session.writesFromFile());
    QCOMPARE(mode.size(), 1);
    QCOMPARE(mode.first().first().toBool(), true);
    session.transfer().writeFromFileSelection = selection;
    session.serviceEditing().NactiService(1, true);
    QSignalSpy ended(&session, &Session::transferEnded);
    b.prompter.answers = {true};
    QVERIFY(session.serviceActions().run(ServiceCommand::WriteAll));
    KOVR_TRY_COMPARE_WITH_TIMEOUT(ended.size(), 1, 15000);
    // The write ends the mode, and says so once.
    QVERIFY(!session.writesFromFile());
    QCOMPARE(mode.size(), 2);
    QCOMPARE(mode.last().first().toBool(), false);

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

    // The backup holds unit B as it was before the write, and the question named it.
    const QStringList names = QDir(backups).entryList(QDir::Files);
    QCOMPARE(names.size(), 1);
    QVERIFY2(names.first().endsWith(QStringLiteral("_B-0815_7.par")), qPrintable(names.first()));
    const QString backup = QDir(backups).filePath(names.first());
    QCOMPARE(b.prompter.questions,
             QStringList{LangText(QStringLiteral("ZapsatParametry?")) + u'\n' +
                         LangAddedText(QStringLiteral("ZalohaJednotky")) + u'\n' + backup});
    ServiceSheet sheet;
    DeviceImage image;
    QCOMPARE(ParameterFile::load(backup, sheet, image, false), ParameterFile::Read::Loaded);
    QCOMPARE(sheet.cell(ServiceSheet::ProductionGrid, ServiceSheet::TextColumn,
                        ParameterCatalogue::productionField(3).row),
             QStringLiteral("B-0815/7"));
    int present = 0;
    for (int k = 0; k < 3; ++k) {
        const SimulatedUnit::Kind kind = Kinds[k];
        for (int i = 0; i < ParameterCatalogue::count(kind); ++i) {
            QCOMPARE(image.isActive(kind, i), b.unit.isPresent(kind, i));
            if (!b.unit.isPresent(kind, i)) continue;
            ++present;
            const GridPlace place = ParameterCatalogue::place(kind, i);
            const QString cell = sheet.cell(place.grid, ServiceSheet::ValueColumn, place.row);
            QVERIFY2(ParameterCatalogue::parseValue(kind, cell) == before[k][i],
                     qPrintable(QStringLiteral("kind %1 index %2: backup %3, unit had %4")
                                    .arg(kind)
                                    .arg(i)
                                    .arg(cell)
                                    .arg(before[k][i])));
        }
    }
    QVERIFY(present > 40);
}

// Nothing is asked and nothing goes out: unit B keeps every value, and the message says why.
void TestParameterFileEndToEnd::unwritableBackupStopsWrite() {
    SimulatedSetup b;
    makeDifferent(b);
    const QList<QList<quint32>> before = valuesOf(b.unit);
    QVERIFY(startAndRefresh(b));
    Session& session = *b.session;
    QFile blocker(b.dir.filePath(QStringLiteral("not-a-folder")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    session.serviceActions().setBackup(session.display().errorGrid,
                                       blocker.fileName() + QStringLiteral("/backups"));

    QVERIFY(session.parameterFiles().open(m_file));
    b.prompter.answers = {true};
    QVERIFY(!session.serviceActions().run(ServiceCommand::WriteAll));
    QVERIFY(b.prompter.questions.isEmpty());
    QCOMPARE(b.prompter.messages.size(), 1);
    QVERIFY(
        b.prompter.messages.first().startsWith(LangAddedText(QStringLiteral("ZalohaSeNezdarila"))));
    QVERIFY(b.prompter.messages.first().contains(QStringLiteral("not-a-folder")));
    // A few polls later the unit has had every chance to receive a write.
    const qsizetype requests = b.requests.size();
    KOVR_TRY_VERIFY_WITH_TIMEOUT(b.requests.size() > requests + 10, 5000);
    QCOMPARE(session.scheduler().komStav(), 2);
    QCOMPARE(valuesOf(b.unit), before);
}

QTEST_MAIN(TestParameterFileEndToEnd)
#include "tst_parameterfile_e2e.moc"

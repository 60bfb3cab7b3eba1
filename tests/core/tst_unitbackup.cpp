// The backup of the unit's values before a loaded file is written over them: what it holds,
// how it is named, and the service window's writes that make it, keep it or stop on it.

#include "SchedulerRig.h"
#include "lang/Lang.h"
#include "link/ParameterTransfer.h"
#include "params/ParameterCatalogue.h"
#include "params/ParameterFile.h"
#include "params/ServiceEditing.h"
#include "params/ServiceSheet.h"
#include "params/SheetGrid.h"
#include "params/UnitBackup.h"
#include "session/ServiceActions.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int Kinds[] = {ParameterCatalogue::KindB, ParameterCatalogue::KindW,
                         ParameterCatalogue::KindDW};
constexpr int SerialField = 3; // "Výrobní číslo elektroniky"

void setUnitText(DeviceImage& image, int field, const QByteArray& text) {
    DeviceImage::ProductionText& t = image.VyrobniUdaje[field];
    for (int i = 0; i < text.size(); ++i)
        t.cells[i].received = t.cells[i].shown = quint8(text[i]);
    t.learnedLength = t.shownLength = int(text.size());
}

// The service window's core in write-from-file mode: the unit holds one set of values and
// production data, the grids show a loaded file's other values and texts.
struct FileModeRig : Rig {
    ServiceSheet sheet;
    SheetGrid errorGrid{3, 34};
    ParameterTransfer transfer{image};
    ServiceEditing editing{image, sheet, transfer.writeFromFileSelection};
    ServiceActions actions{prompter, scheduler, transfer, editing, image};

    FileModeRig() {
        scheduler.setTransfer(&transfer);
        start();
        finishRefresh();
        for (int kind : Kinds)
            for (int i = 0; i < ParameterCatalogue::count(kind); ++i) {
                image.setValue(kind, 1, i, unitValue(kind, i));
                if (kind == ParameterCatalogue::KindB) image.ParB_Act[i] = i != 40;
                if (kind == ParameterCatalogue::KindW) image.ParW_Act[i] = true;
                if (kind == ParameterCatalogue::KindDW) image.ParDW_Act[i] = true;
            }
        image.ParB_Sign[30] = true; // 180 shows as -76
        image.ParB_Err[12] = true;
        setUnitText(image, SerialField, "E123456");
        setUnitText(image, 5, "P0042317");
        errorGrid.setCell(2, 1, QStringLiteral("7"));
        for (int kind : Kinds)
            for (int i = 0; i < ParameterCatalogue::count(kind); ++i) {
                const GridPlace place = ParameterCatalogue::place(kind, i);
                sheet.setCell(place.grid, ServiceSheet::ValueColumn, place.row,
                              QString::number(unitValue(kind, i) % 100 + 1));
            }
        sheet.setCell(ServiceSheet::ProductionGrid, ServiceSheet::TextColumn,
                      ParameterCatalogue::productionField(SerialField).row,
                      QStringLiteral("FILE-SN"));
        transfer.setZapisZeSouboru(true);
        editing.StringGridToParAll();
        editing.PorovnejZmenuStringGrid();
        editing.NactiService(1, true);
    }
    static quint32 unitValue(int kind, int i) {
        return kind == ParameterCatalogue::KindB ? quint32(150 + i) : quint32(1000 * kind + i);
    }
};

QStringList backupsIn(const QString& folder) {
    return QDir(folder).entryList({QStringLiteral("*.par")}, QDir::Files, QDir::Name);
}

// The backup opens as a parameter file and holds the rig's unit, not the file it shows.
void verifyHoldsUnit(const QString& path, const DeviceImage& unit) {
    ServiceSheet sheet;
    DeviceImage read;
    QCOMPARE(ParameterFile::load(path, sheet, read, false), ParameterFile::Read::Loaded);
    for (int kind : Kinds)
        for (int i = 0; i < ParameterCatalogue::count(kind); ++i) {
            QCOMPARE(read.isActive(kind, i), unit.isActive(kind, i));
            QCOMPARE(read.isFaulty(kind, i), unit.isFaulty(kind, i));
            if (!unit.isActive(kind, i)) continue;
            const GridPlace place = ParameterCatalogue::place(kind, i);
            const bool isSigned = kind == ParameterCatalogue::KindB && unit.ParB_Sign[i];
            QCOMPARE(sheet.cell(place.grid, ServiceSheet::ValueColumn, place.row),
                     ParameterCatalogue::valueText(kind, unit.value(kind, 1, i), isSigned));
        }
    const auto production = [&](int field) {
        return sheet.cell(ServiceSheet::ProductionGrid, ServiceSheet::TextColumn,
                          ParameterCatalogue::productionField(field).row);
    };
    QCOMPARE(production(SerialField), QStringLiteral("E123456"));
    QCOMPARE(production(5), QStringLiteral("P0042317"));
}

} // namespace

class TestUnitBackup : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { LangIndex = 1; }
    void init() { QVERIFY(m_dir.isValid()); }
    void holdsUnitValues();
    void name_data();
    void name();
    void neverReplacesABackup();
    void unwritableFolder();
    void writesBackUpFirst_data();
    void writesBackUpFirst();
    void failedBackupStopsWrite_data();
    void failedBackupStopsWrite();

private:
    QString folder(const QString& name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
};

// Set 1, the unit's production data, flags and counters; the displayed file plays no part.
void TestUnitBackup::holdsUnitValues() {
    FileModeRig rig;
    const QDateTime now(QDate(2026, 12, 10), QTime(9, 14, 3));
    const BackupResult result =
        UnitBackup::save(rig.image, rig.errorGrid, folder(QStringLiteral("a/backups")), now);
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(result.path, folder(QStringLiteral("a/backups/2026-12-10_09-14-03_E123456.par")));
    verifyHoldsUnit(result.path, rig.image);
    QFile file(result.path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    QVERIFY(text.contains("\r\n[Chyby_Pocet]\r\n0=7\r\n"));
    QVERIFY(text.contains("\r\n30=-76\r\n"));
}

void TestUnitBackup::name_data() {
    QTest::addColumn<QByteArray>("serial");
    QTest::addColumn<QString>("name");
    const auto row = [](const char* tag, const QByteArray& serial, const char* name) {
        QTest::newRow(tag) << serial << QString::fromLatin1(name);
    };
    row("plain", "E123456", "2026-01-02_03-04-05_E123456.par");
    row("blanks around", "  E12 ", "2026-01-02_03-04-05_E12.par");
    row("separators and blanks", "AB/12\\ 3:4", "2026-01-02_03-04-05_AB_12_3_4.par");
    row("dots cannot climb", "../..", "2026-01-02_03-04-05_no-serial.par");
    row("bytes above 127", "S\xE9R\x9A-1", "2026-01-02_03-04-05_S_R_-1.par");
    row("control bytes", "\x01\x02", "2026-01-02_03-04-05_no-serial.par");
    row("empty", "", "2026-01-02_03-04-05_no-serial.par");
}

void TestUnitBackup::name() {
    QFETCH(QByteArray, serial);
    QFETCH(QString, name);
    DeviceImage image;
    setUnitText(image, SerialField, serial);
    const QDateTime now(QDate(2026, 1, 2), QTime(3, 4, 5));
    const QString target = folder(QString::fromLatin1(QTest::currentDataTag()));
    const BackupResult result = UnitBackup::save(image, SheetGrid(3, 34), target, now);
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(QFileInfo(result.path).fileName(), name);
    QCOMPARE(QFileInfo(result.path).absolutePath(), target);
}

// Two backups in one second, and a file of that name that someone else left.
void TestUnitBackup::neverReplacesABackup() {
    DeviceImage image;
    setUnitText(image, SerialField, "E1");
    image.ParB_Act[20] = true;
    const QString target = folder(QStringLiteral("same-second"));
    const QDateTime now(QDate(2026, 12, 10), QTime(9, 0, 0));
    const BackupResult first = UnitBackup::save(image, SheetGrid(3, 34), target, now);
    QVERIFY(first.ok());
    QFile taken(target + QStringLiteral("/2026-12-10_09-00-00_E1_2.par"));
    QVERIFY(taken.open(QIODevice::WriteOnly));
    taken.write("someone else's");
    taken.close();
    image.ParB[1][20] = 99;
    const BackupResult second = UnitBackup::save(image, SheetGrid(3, 34), target, now);
    QVERIFY(second.ok());
    QCOMPARE(QFileInfo(second.path).fileName(), QStringLiteral("2026-12-10_09-00-00_E1_3.par"));
    QCOMPARE(backupsIn(target).size(), 3);
    QVERIFY(taken.open(QIODevice::ReadOnly));
    QCOMPARE(taken.readAll(), QByteArray("someone else's"));

    // Each holds the unit as it was at its own time.
    const GridPlace b20 = ParameterCatalogue::place(ParameterCatalogue::KindB, 20);
    for (const auto& [path, value] : {std::pair{first.path, "0"}, std::pair{second.path, "99"}}) {
        ServiceSheet sheet;
        DeviceImage read;
        QCOMPARE(ParameterFile::load(path, sheet, read, false), ParameterFile::Read::Loaded);
        QCOMPARE(sheet.cell(b20.grid, ServiceSheet::ValueColumn, b20.row), QLatin1String(value));
    }
}

void TestUnitBackup::unwritableFolder() {
    QFile blocker(folder(QStringLiteral("a-file")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const BackupResult result = UnitBackup::save(DeviceImage(), SheetGrid(3, 34),
                                                 blocker.fileName() + QStringLiteral("/backups"),
                                                 QDateTime::currentDateTime());
    QVERIFY(!result.ok());
    QVERIFY2(result.error.contains(QStringLiteral("a-file")), qPrintable(result.error));
}

Q_DECLARE_METATYPE(ServiceCommand)

void TestUnitBackup::writesBackUpFirst_data() {
    QTest::addColumn<bool>("closing"); // the close question instead of a command
    QTest::addColumn<ServiceCommand>("command");
    QTest::addColumn<bool>("fileMode");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<bool>("backedUp"); // a backup is made and named in the question
    QTest::newRow("Zapsat, Yes") << false << ServiceCommand::WriteAll << true << true << true;
    QTest::newRow("Zapsat, No") << false << ServiceCommand::WriteAll << true << false << true;
    QTest::newRow("production data, Yes")
        << false << ServiceCommand::WriteProduction << true << true << true;
    QTest::newRow("closing, Yes") << true << ServiceCommand::WriteAll << true << true << true;
    QTest::newRow("Default: the unit's own values")
        << false << ServiceCommand::Defaults << true << true << false;
    QTest::newRow("Zapsat of the unit's values")
        << false << ServiceCommand::WriteAll << false << true << false;
}

void TestUnitBackup::writesBackUpFirst() {
    QFETCH(bool, closing);
    QFETCH(ServiceCommand, command);
    QFETCH(bool, fileMode);
    QFETCH(bool, yes);
    QFETCH(bool, backedUp);
    FileModeRig rig;
    if (!fileMode) {
        rig.transfer.setZapisZeSouboru(false);
        rig.editing.NactiService(1, false);
    }
    const QString target = folder(QString::fromLatin1(QTest::currentDataTag()));
    rig.actions.setBackup(rig.errorGrid, target);
    QString keptDuringQuestion;
    rig.prompter.duringQuestion = [&] {
        const QStringList now = backupsIn(target);
        keptDuringQuestion = now.isEmpty() ? QString() : QDir(target).filePath(now.first());
    };
    rig.prompter.answers = {yes};
    if (closing)
        QCOMPARE(rig.actions.FormCloseQuery(), !yes);
    else
        QCOMPARE(rig.actions.run(command), yes);

    QCOMPARE(rig.prompter.questions.size(), 1);
    QVERIFY(rig.prompter.messages.isEmpty());
    QCOMPARE(rig.scheduler.komStav(), yes ? 110 : 2);
    QCOMPARE(!keptDuringQuestion.isEmpty(), backedUp);
    if (!backedUp) {
        QVERIFY(!rig.prompter.questions.first().contains(u'\n'));
        QVERIFY(backupsIn(target).isEmpty());
        return;
    }
    const QString question = closing
                                 ? QStringLiteral("ChceteZapsatParametry?")
                                 : QString::fromLatin1(ServiceActions::row(command).questionKey);
    QCOMPARE(rig.prompter.questions.first(),
             LangText(question) + u'\n' + LangAddedText(QStringLiteral("ZalohaJednotky")) + u'\n' +
                 QDir::toNativeSeparators(keptDuringQuestion));
    // A declined write leaves nothing to undo; a write keeps the unit's values.
    QCOMPARE(backupsIn(target).size(), yes ? 1 : 0);
    if (yes) verifyHoldsUnit(keptDuringQuestion, rig.image);
}

void TestUnitBackup::failedBackupStopsWrite_data() {
    QTest::addColumn<bool>("closing");
    QTest::newRow("Zapsat") << false;
    QTest::newRow("closing") << true;
}

// Nothing is asked and nothing queued; the message says why. Closing is not held up.
void TestUnitBackup::failedBackupStopsWrite() {
    QFETCH(bool, closing);
    FileModeRig rig;
    QFile blocker(folder(QStringLiteral("blocker")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    rig.actions.setBackup(rig.errorGrid, blocker.fileName() + QStringLiteral("/backups"));
    rig.prompter.answers = {true};
    if (closing)
        QVERIFY(rig.actions.FormCloseQuery());
    else
        QVERIFY(!rig.actions.run(ServiceCommand::WriteAll));
    QVERIFY(rig.prompter.questions.isEmpty());
    QCOMPARE(rig.prompter.messages.size(), 1);
    QVERIFY(rig.prompter.messages.first().startsWith(
        LangAddedText(QStringLiteral("ZalohaSeNezdarila")) + u'\n'));
    QVERIFY(rig.prompter.messages.first().contains(QStringLiteral("blocker")));
    QCOMPARE(rig.prompter.icons.first(), Prompter::Icon::Error);
    QVERIFY(rig.transfer.ParZapis.Usek.isEmpty());
    QCOMPARE(rig.scheduler.komStav(), 2);
}

QTEST_GUILESS_MAIN(TestUnitBackup)
#include "tst_unitbackup.moc"

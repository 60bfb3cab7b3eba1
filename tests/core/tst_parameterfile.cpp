// Parameter files (*.par) and the printed report's lines, without a window.

#include "SchedulerRig.h"
#include "UnprivilegedUser.h"
#include "lang/Lang.h"
#include "link/ParameterTransfer.h"
#include "params/ParameterCatalogue.h"
#include "params/ParameterFile.h"
#include "params/ParameterReport.h"
#include "params/ServiceEditing.h"
#include "params/ServiceSheet.h"
#include "params/SheetGrid.h"
#include "session/ParameterFiles.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The service window's core and the file commands on a faked link.
struct FileRig : Rig {
    ServiceSheet sheet;
    SheetGrid errorGrid{3, 34};
    ParameterTransfer transfer{image};
    ServiceEditing editing{image, sheet, transfer.writeFromFileSelection};
    ParameterFiles files{{prompter, scheduler, transfer, editing, sheet, image, errorGrid}};

    FileRig() { sheet.applyHeaders(); }
    QString cell(int kind, int index, int column) const {
        const GridPlace place = ParameterCatalogue::place(kind, index);
        return sheet.cell(place.grid, column, place.row);
    }
    void setCell(int kind, int index, int column, const QString& text) {
        const GridPlace place = ParameterCatalogue::place(kind, index);
        sheet.setCell(place.grid, column, place.row, text);
    }
    QString production(int field) const {
        return sheet.cell(ServiceSheet::ProductionGrid, ServiceSheet::TextColumn,
                          ParameterCatalogue::productionField(field).row);
    }
    void setProduction(int field, const QString& text) {
        sheet.setCell(ServiceSheet::ProductionGrid, ServiceSheet::TextColumn,
                      ParameterCatalogue::productionField(field).row, text);
    }
};

// A unit's bytes above 127 (é, š in the Windows code page, a control byte) as the tool holds
// them: one character per byte.
const QString HighBytes = QString::fromLatin1("S\xE9R\x9A\x01 ");

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeAll(const QString& path, const QByteArray& data) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(data), data.size());
}

} // namespace

class TestParameterFile : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { LangIndex = 0; }
    void init() { QVERIFY(m_dir.isValid()); }
    void roundTrip();
    void fileLayout();
    void wrongIdentification_data();
    void wrongIdentification();
    void namesWithoutRegardToCase();
    void flagTexts_data();
    void flagTexts();
    void absentParameterSkippedWhileLinkRuns();
    void invalidValueText();
    void savingKeepsForeignEntries();
    void unwritableFolderKeepsOldFile();
    void unreadableOrBrokenFile();
    void reportItemLine_data();
    void reportItemLine();
    void reportLines();

private:
    QString path(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)); }
    QTemporaryDir m_dir;
};

// Save then open on a stopped link gives back the texts, flags, production data and marks.
void TestParameterFile::roundTrip() {
    FileRig a;
    for (int i = 0; i < DeviceImage::CountB; ++i) {
        a.setCell(0, i, ServiceSheet::ValueColumn, QString::number(i * 3 - 20));
        a.image.ParB_Act[i] = i % 3 != 0;
        a.image.ParB_Err[i] = i % 7 == 0;
    }
    a.setCell(1, 4, ServiceSheet::ValueColumn, QStringLiteral("65535"));
    a.image.ParW_Act[4] = true;
    a.setCell(2, 1, ServiceSheet::ValueColumn, QStringLiteral("4294967295"));
    a.image.ParDW_Act[1] = true;
    a.image.ParDW_Err[1] = true;
    a.setProduction(3, HighBytes);
    a.setProduction(9, QStringLiteral("1.02"));
    QVERIFY(a.files.save(path("a.par")));

    FileRig b;
    QVERIFY(b.files.open(path("a.par")));
    for (int i = 0; i < DeviceImage::CountB; ++i) {
        QCOMPARE(b.image.ParB_Act[i], a.image.ParB_Act[i]);
        QCOMPARE(b.image.ParB_Err[i], a.image.ParB_Err[i]);
        QCOMPARE(b.cell(0, i, ServiceSheet::ErrorColumn),
                 a.image.ParB_Err[i] ? QStringLiteral("X") : QString());
        // An inactive parameter keeps its cell and shows no label.
        QCOMPARE(b.cell(0, i, ServiceSheet::ValueColumn),
                 a.image.ParB_Act[i] ? a.cell(0, i, ServiceSheet::ValueColumn) : QString());
        QCOMPARE(b.cell(0, i, ServiceSheet::NameColumn).isEmpty(), !a.image.ParB_Act[i]);
    }
    QCOMPARE(b.cell(1, 4, ServiceSheet::ValueColumn), QStringLiteral("65535"));
    QCOMPARE(b.cell(2, 1, ServiceSheet::ValueColumn), QStringLiteral("4294967295"));
    QVERIFY(b.image.ParDW_Err[1]);
    QCOMPARE(b.production(3), HighBytes);
    QCOMPARE(b.production(9), QStringLiteral("1.02"));
    // Write-from-file mode with the file's values in set 2 and marked where they differ.
    QVERIFY(b.transfer.ZapisZeSouboru());
    QCOMPARE(b.editing.NazevSouboru, QStringLiteral("a.par"));
    QCOMPARE(b.image.ParW[2][4], 65535);
    QCOMPARE(b.image.ParDW[2][1], 4294967295u);
    QCOMPARE(b.cell(1, 4, ServiceSheet::ChangedColumn), QStringLiteral("X"));
    QVERIFY(b.prompter.messages.isEmpty());

    // The unit's bytes travel as single bytes, also into the next write to the unit.
    QVERIFY(readAll(path("a.par")).contains("3=S\xE9R\x9A\x01 \r\n"));
    b.transfer.setProductionText([&b](int field) { return b.production(field); });
    b.transfer.NastavZapisPar(3, 3, ParameterTransfer::Texts, false);
    b.transfer.begin();
    QCOMPARE(b.transfer.itemPayload(), QByteArray("340C03S\xE9R\x9A\x01     "));
}

void TestParameterFile::fileLayout() {
    FileRig rig;
    rig.image.ReleBajty = {0, 5, 12, 3, 1, 0, 0, 7};
    rig.image.Teplota = qint8(-1);
    rig.image.Poloha_Abs = 4294967295u;
    rig.image.Chyby_Akt = {1, 0, 0x80, 255};
    rig.errorGrid.setCell(2, 1, QStringLiteral("3"));
    rig.errorGrid.setCell(2, 32, QStringLiteral("17"));
    rig.image.ParDW_Act[0] = true;
    QVERIFY(rig.files.save(path("layout.par")));
    const QByteArray text = readAll(path("layout.par"));
    QVERIFY(text.startsWith("[Ident]\r\nSystem=KOVR\r\n[Vyrobni_udaje]\r\n0=\r\n"));
    QVERIFY(!text.contains("\n\n") && !text.contains("\r\r"));
    QCOMPARE(text.count("\r\n"), text.count('\n'));
    QVERIFY(text.contains("[Parametry_DW]\r\n0=\r\n1=\r\n[Parametry_DW_Act]\r\n0=-1\r\n1=0\r\n"
                          "[Parametry_DW_Err]\r\n0=0\r\n1=0\r\n[Parametry_W]\r\n"));
    QVERIFY(text.contains("[Parametry_B_Err]\r\n0=0\r\n"));
    QVERIFY(
        text.contains("[Chyby_Akt]\r\n0=1\r\n1=0\r\n2=128\r\n3=255\r\n[Chyby_Pocet]\r\n0=3\r\n"));
    QVERIFY(text.contains("31=17\r\n[Stav]\r\nPoloha_Proc=0\r\nPoloha_Abs=4294967295\r\n"));
    QVERIFY(text.endsWith("Teplota=-1\r\nRele_O=5123\r\nRele_C=256007\r\n"));
    // Sections in the order a file holds them.
    const char* order[] = {
        "[Vyrobni_udaje]", "[Parametry_DW]", "[Parametry_W]", "[Parametry_W_Act]",
        "[Parametry_B]",   "[Chyby_Akt]",    "[Stav]"};
    qsizetype last = -1;
    for (const char* section : order) {
        const qsizetype at = text.indexOf(section);
        QVERIFY2(at > last, section);
        last = at;
    }
}

void TestParameterFile::wrongIdentification_data() {
    QTest::addColumn<QByteArray>("head");
    QTest::newRow("lower case") << QByteArray("[Ident]\r\nSystem=kovr\r\n");
    QTest::newRow("no Ident") << QByteArray("[Setup]\r\nSystem=KOVR\r\n");
    QTest::newRow("no System") << QByteArray("[Ident]\r\nName=KOVR\r\n");
    QTest::newRow("binary") << QByteArray("\x00\xFF\x1B[\x02", 5);
}

// A wrong file changes nothing: no cell, no flag, no mode.
void TestParameterFile::wrongIdentification() {
    QFETCH(QByteArray, head);
    writeAll(path("wrong.par"), head + "[Parametry_B]\r\n0=99\r\n[Parametry_B_Act]\r\n0=-1\r\n");
    FileRig rig;
    rig.setCell(0, 0, ServiceSheet::ValueColumn, QStringLiteral("5"));
    QVERIFY(!rig.files.open(path("wrong.par")));
    QCOMPARE(rig.prompter.messages, QStringList{QStringLiteral("Chybný soubor ") +
                                                QDir::toNativeSeparators(path("wrong.par"))});
    QCOMPARE(rig.prompter.icons.first(), Prompter::Icon::Error);
    QCOMPARE(rig.cell(0, 0, ServiceSheet::ValueColumn), QStringLiteral("5"));
    QVERIFY(!rig.image.ParB_Act[0]);
    QVERIFY(!rig.transfer.ZapisZeSouboru());
}

void TestParameterFile::namesWithoutRegardToCase() {
    writeAll(path("case.par"), "[IDENT]\r\nsystem=KOVR\r\n[parametry_b]\r\n17=3\r\n"
                               "[PARAMETRY_B_ACT]\r\n17=-1\r\n");
    FileRig rig;
    QVERIFY(rig.files.open(path("case.par")));
    QCOMPARE(rig.cell(0, 17, ServiceSheet::ValueColumn), QStringLiteral("3"));
    QVERIFY(rig.image.ParB_Act[17]);
}

void TestParameterFile::flagTexts_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("active");
    QTest::addColumn<bool>("faulty"); // the same text in the error section
    QTest::newRow("-1") << QByteArray("-1") << true << true;
    QTest::newRow("0") << QByteArray("0") << false << false;
    QTest::newRow("1") << QByteArray("1") << true << false;
    QTest::newRow("True") << QByteArray("True") << true << false;
    QTest::newRow("empty") << QByteArray("") << false << false;
}

void TestParameterFile::flagTexts() {
    QFETCH(QByteArray, text);
    QFETCH(bool, active);
    QFETCH(bool, faulty);
    writeAll(path("flags.par"), "[Ident]\r\nSystem=KOVR\r\n[Parametry_W]\r\n3=700\r\n"
                                "[Parametry_W_Act]\r\n3=" +
                                    text + "\r\n[Parametry_W_Err]\r\n3=" + text + "\r\n");
    FileRig rig;
    QVERIFY(rig.files.open(path("flags.par")));
    QCOMPARE(rig.image.ParW_Act[3], active);
    QCOMPARE(rig.image.ParW_Err[3], faulty);
    QCOMPARE(rig.cell(1, 3, ServiceSheet::ErrorColumn), faulty ? QStringLiteral("X") : QString());
    QCOMPARE(rig.cell(1, 3, ServiceSheet::ValueColumn), active ? QStringLiteral("700") : QString());
}

// With the link running, a parameter the unit reports absent is skipped even if the file marks
// it active.
void TestParameterFile::absentParameterSkippedWhileLinkRuns() {
    writeAll(path("absent.par"), "[Ident]\r\nSystem=KOVR\r\n[Parametry_B]\r\n15=2\r\n16=3\r\n"
                                 "[Parametry_B_Act]\r\n15=-1\r\n16=-1\r\n"
                                 "[Parametry_B_Err]\r\n15=-1\r\n16=-1\r\n");
    FileRig rig;
    rig.start();
    rig.image.ParB_Act[16] = true; // the unit has B 16, not B 15
    rig.setCell(0, 15, ServiceSheet::ValueColumn, QStringLiteral("0"));
    QVERIFY(rig.files.open(path("absent.par")));
    QCOMPARE(rig.cell(0, 15, ServiceSheet::ValueColumn), QStringLiteral("0"));
    QVERIFY(!rig.image.ParB_Act[15]);
    QVERIFY(!rig.image.ParB_Err[15]);
    QCOMPARE(rig.cell(0, 16, ServiceSheet::ValueColumn), QStringLiteral("3"));
    QVERIFY(rig.image.ParB_Err[16]);
}

void TestParameterFile::invalidValueText() {
    writeAll(path("abc.par"),
             "[Ident]\r\nSystem=KOVR\r\n[Parametry_B]\r\n20=abc\r\n[Parametry_B_Act]\r\n20=-1\r\n");
    FileRig rig;
    rig.image.ParB[1][20] = 4;
    rig.image.ParB[2][20] = 4;
    QVERIFY(rig.files.open(path("abc.par")));
    QCOMPARE(rig.cell(0, 20, ServiceSheet::ValueColumn), QStringLiteral("abc"));
    QCOMPARE(rig.image.ParB[2][20], 0);
    QCOMPARE(rig.cell(0, 20, ServiceSheet::ChangedColumn), QStringLiteral("X"));
}

// Saving over an older file keeps what this save does not write, and its values are replaced in
// place.
void TestParameterFile::savingKeepsForeignEntries() {
    writeAll(path("old.par"), "; commissioning of valve 7\r\n[Ident]\r\nSystem=KOVR\r\n"
                              "[Stav]\r\nPoloha_Proc=77\r\nOperator=J. Novák\r\n");
    FileRig rig;
    rig.image.Poloha_Proc = 5000;
    QVERIFY(rig.files.save(path("old.par")));
    const QByteArray text = readAll(path("old.par"));
    QVERIFY(text.startsWith("; commissioning of valve 7\r\n[Ident]\r\nSystem=KOVR\r\n[Stav]\r\n"
                            "Poloha_Proc=5000\r\nOperator=J. Nov"));
    QVERIFY(text.contains("Rele_C=0\r\n"));
}

// The file is replaced whole or not at all: a folder that refuses the new file keeps the old
// one as it was, and the technician is told.
void TestParameterFile::unwritableFolderKeepsOldFile() {
    const QString inside = m_dir.filePath(QStringLiteral("ro"));
    QVERIFY(QDir().mkdir(inside));
    const QString file = inside + QStringLiteral("/pohon.par");
    const QByteArray old = "[Ident]\r\nSystem=KOVR\r\n[Stav]\r\nTeplota=21\r\n";
    writeAll(file, old);
    const bool asNobody = geteuid() == 0;
    if (asNobody) {
        QVERIFY(QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                        QFile::ExeOwner | QFile::ExeOther));
        if (!UnprivilegedUser::handOver({inside, file}))
            QSKIP("running as root and cannot act as user nobody");
    }
    const auto restore = qScopeGuard([&] {
        QFile::setPermissions(inside, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    });
    QVERIFY(QFile::setPermissions(inside, QFile::ReadOwner | QFile::ExeOwner));
    FileRig rig;
    if (asNobody) QVERIFY(UnprivilegedUser::become());
    const bool saved = rig.files.save(file);
    if (asNobody) QVERIFY(UnprivilegedUser::leave());
    QVERIFY(!saved);
    // The message names the file, and on a line of its own why it could not be written.
    QCOMPARE(rig.prompter.messages,
             QStringList{QStringLiteral("Chyba při zápisu souboru ") +
                         QDir::toNativeSeparators(file) + QStringLiteral("\nNemáte oprávnění.")});
    QCOMPARE(readAll(file), old);
}

void TestParameterFile::unreadableOrBrokenFile() {
    FileRig rig;
    QVERIFY(QDir().mkdir(path("folder.par")));
    QVERIFY(!rig.files.open(path("folder.par")));
    QCOMPARE(rig.prompter.messages.last(), QStringLiteral("Chyba při čtení souboru ") +
                                               QDir::toNativeSeparators(path("folder.par")) +
                                               QStringLiteral("\nJe to složka, ne soubor."));
    // Cut off in the middle of a line: what is there is read, the rest is missing.
    writeAll(path("cut.par"), "[Ident]\r\nSystem=KOVR\r\n[Parametry_B]\r\n0=12\r\n[Parametry_B_A");
    QVERIFY(rig.files.open(path("cut.par")));
    QVERIFY(!rig.image.ParB_Act[0]);
}

void TestParameterFile::reportItemLine_data() {
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("line");
    QTest::newRow("padded") << QStringLiteral("Poloha O [abs]")
                            << QStringLiteral("        Poloha O [abs]: ") + QString(14, u' ') +
                                   QStringLiteral("52000");
    QTest::newRow("28 characters")
        << QString(28, u'L')
        << QStringLiteral("        ") + QString(28, u'L') + QStringLiteral(": 52000");
    QTest::newRow("longer") << QString(31, u'L')
                            << QStringLiteral("        ") + QString(31, u'L') +
                                   QStringLiteral(": 52000");
    QTest::newRow("absent parameter")
        << QString() << QStringLiteral("        : ") + QString(28, u' ') + QStringLiteral("52000");
}

void TestParameterFile::reportItemLine() {
    QFETCH(QString, label);
    QFETCH(QString, line);
    QCOMPARE(ParameterReport::itemLine(label, QStringLiteral("52000")), line);
}

// The report reloads the grids as the mode shows them: outside write-from-file mode the unit's
// values, with the change marks cleared and set 2 keeping the edits.
void TestParameterFile::reportLines() {
    FileRig rig;
    rig.sheet.resetParameterRows();
    rig.image.ParDW[1][0] = 52000;
    rig.image.ParB[1][20] = 3;
    rig.setCell(0, 20, ServiceSheet::ValueColumn, QStringLiteral("9"));
    rig.editing.StringGridNovaHodnota(ParameterCatalogue::place(0, 20).grid,
                                      ParameterCatalogue::place(0, 20).row);
    rig.editing.NazevSouboru = QStringLiteral("pohon.par");
    rig.setProduction(5, QStringLiteral("P0042317"));
    const QDateTime at(QDate(2026, 12, 10), QTime(14, 5, 9));
    const QStringList lines = rig.files.reportLines(at);
    QCOMPARE(lines.size(), 6 + 13 + 3 + 42 + 44);
    QCOMPARE(lines[0], QString());
    QCOMPARE(lines[1], QStringLiteral("        KOVR - LOMTEK elektronika s.r.o."));
    QVERIFY(lines[2].startsWith(QStringLiteral("        ")));
    QVERIFY(lines[2].endsWith(QStringLiteral(" pohon.par")));
    QVERIFY(lines[2].contains(QLocale::system().toString(at.time(), QLocale::LongFormat)));
    QCOMPARE(lines[4], QStringLiteral("        Výrobní údaje"));
    QCOMPARE(lines[5], QStringLiteral("        ") + QString(73, u'*'));
    QCOMPARE(lines[5].size(), 81);
    QCOMPARE(lines[6 + 9], ParameterReport::itemLine(QStringLiteral("Výrobní číslo pohonu"),
                                                     QStringLiteral("P0042317")));
    QCOMPARE(lines[20], QStringLiteral("        Parametry"));
    QCOMPARE(lines[21], lines[5]);
    QCOMPARE(lines[22],
             ParameterReport::itemLine(QStringLiteral("Poloha O [abs]"), QStringLiteral("52000")));
    // B 20 sits in the left grid: its line shows the unit's value, not the edit.
    const GridPlace b20 = ParameterCatalogue::place(0, 20);
    QCOMPARE(lines[22 + b20.row - 1],
             ParameterReport::itemLine(LangText(ParameterCatalogue::nameKeyOf(0, 20)),
                                       QStringLiteral("3")));
    QCOMPARE(rig.cell(0, 20, ServiceSheet::ChangedColumn), QString());
    QCOMPARE(rig.image.ParB[2][20], 9);
}

QTEST_GUILESS_MAIN(TestParameterFile)
#include "tst_parameterfile.moc"

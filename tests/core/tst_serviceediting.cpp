// The service window's grids and commands without the window: presentations, change marks,
// pending edits, the production-data length rule, the write commands and closing.

#include "SchedulerRig.h"
#include "lang/Lang.h"
#include "link/ParameterTransfer.h"
#include "params/ParameterCatalogue.h"
#include "params/ServiceEditing.h"
#include "params/ServiceSheet.h"
#include "session/ServiceActions.h"

#include <QTest>

namespace {

// The scheduler polling after its start-up refresh, with the service window's core parts.
struct ServiceRig : Rig {
    ServiceSheet sheet;
    ParameterTransfer transfer{image};
    ServiceEditing editing{image, sheet, transfer.writeFromFileSelection};
    ServiceActions actions{prompter, scheduler, transfer, editing, image};

    ServiceRig() {
        scheduler.setTransfer(&transfer);
        start();
        finishRefresh();
    }
    QString cell(int kind, int index, int column) const {
        const GridPlace place = ParameterCatalogue::place(kind, index);
        return sheet.cell(place.grid, column, place.row);
    }
    void type(int kind, int index, const QString& text) {
        const GridPlace place = ParameterCatalogue::place(kind, index);
        sheet.setCell(place.grid, ServiceSheet::ValueColumn, place.row, text);
        editing.StringGridNovaHodnota(place.grid, place.row);
    }
    QList<TUsek> queued() const { return transfer.ParZapis.Usek; }
};

const QString X = QStringLiteral("X");

} // namespace

Q_DECLARE_METATYPE(ServiceCommand)

class TestServiceEditing : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { LangIndex = 0; }
    void unitPresentation();
    void changeMarkFollowsEdit();
    void fileModePresentation_data();
    void fileModePresentation();
    void pendingEdit_data();
    void pendingEdit();
    void productionLength_data();
    void productionLength();
    void editorOnlyForPresentParameter();
    void commands_data();
    void commands();
    void writeAllReparsesFileCells();
    void valuesTheWidthHolds_data();
    void valuesTheWidthHolds();
    void closeQuery_data();
    void closeQuery();
    void closeWithValueThatDoesNotFit();
    void closeDropsEditsAndLeavesFileMode();
};

void TestServiceEditing::unitPresentation() {
    ServiceRig rig;
    rig.image.ParB[1][5] = 200;
    rig.image.ParB_Sign[5] = true;
    rig.image.ParW[2][9] = 1234;
    rig.image.ParDW_Err[1] = true;
    rig.sheet.setCaption(QStringLiteral("something else"));
    rig.editing.NactiService(1, false);
    QCOMPARE(rig.cell(0, 5, ServiceSheet::ValueColumn), QStringLiteral("-56"));
    QCOMPARE(rig.cell(1, 9, ServiceSheet::ValueColumn), QStringLiteral("0"));
    QCOMPARE(rig.cell(2, 1, ServiceSheet::ErrorColumn), X);
    QCOMPARE(rig.sheet.caption(), QStringLiteral("Parametry"));
    rig.editing.NactiService(2, false);
    QCOMPARE(rig.cell(1, 9, ServiceSheet::ValueColumn), QStringLiteral("1234"));
    // Fields the unit does not accept are marked in every presentation.
    const int row9 = ParameterCatalogue::productionField(9).row;
    QCOMPARE(
        rig.sheet.cell(ServiceSheet::ProductionGrid, ServiceSheet::ProductionAccessColumn, row9),
        QStringLiteral("NE"));
}

// Typing "7" into the value cell of B23 ("Jazyk") marks it at once; the old value clears it.
void TestServiceEditing::changeMarkFollowsEdit() {
    ServiceRig rig;
    rig.image.ParB[1][23] = 1;
    rig.editing.NactiService(1, false);
    rig.type(0, 23, QStringLiteral("7"));
    QCOMPARE(rig.cell(0, 23, ServiceSheet::ChangedColumn), X);
    QCOMPARE(rig.image.ParB[2][23], 7);
    rig.type(0, 23, QStringLiteral("1"));
    QCOMPARE(rig.cell(0, 23, ServiceSheet::ChangedColumn), QString());
    QCOMPARE(rig.image.ParB[2][23], 1);
    // Parsed in the parameter's width: 257 in a byte is 1, the unit's value.
    rig.type(0, 23, QStringLiteral("257"));
    QCOMPARE(rig.cell(0, 23, ServiceSheet::ChangedColumn), QString());
    rig.type(0, 23, QStringLiteral("abc"));
    QCOMPARE(rig.cell(0, 23, ServiceSheet::ChangedColumn), X);
    QCOMPARE(rig.image.ParB[2][23], 0);
}

void TestServiceEditing::fileModePresentation_data() {
    QTest::addColumn<int>("selection");
    QTest::addColumn<QList<ParamRef>>("notWritten");
    QTest::addColumn<QList<ParamRef>>("written");
    QTest::newRow("Omezení") << 0 << QList<ParamRef>{{0, 0}, {0, 3},  {0, 4},  {0, 7},  {1, 0},
                                                     {1, 7}, {0, 54}, {0, 57}, {0, 58}, {0, 64}}
                             << QList<ParamRef>{{0, 8}, {1, 8}, {2, 0}, {2, 1}, {0, 63}};
    QTest::newRow("Výměna snímače") << 1 << QList<ParamRef>{{0, 4}, {0, 7}, {0, 64}}
                                    << QList<ParamRef>{{0, 0}, {0, 3},  {1, 0},  {1, 7},  {0, 5},
                                                       {0, 6}, {0, 54}, {0, 57}, {0, 58}, {2, 0}};
}

void TestServiceEditing::fileModePresentation() {
    QFETCH(int, selection);
    QFETCH(QList<ParamRef>, notWritten);
    QFETCH(QList<ParamRef>, written);
    ServiceRig rig;
    rig.transfer.setZapisZeSouboru(true);
    rig.editing.NazevSouboru = QStringLiteral("pohon.par");
    rig.transfer.writeFromFileSelection = selection;
    rig.type(0, 20, QStringLiteral("9")); // a file value: the presentation leaves it alone
    rig.editing.NactiService(1, true);
    QCOMPARE(rig.sheet.caption(),
             LangText(QStringLiteral("ParametrySoubor")) + QStringLiteral("pohon.par\""));
    for (const ParamRef& p : notWritten)
        QCOMPARE(rig.cell(p.kind, p.index, ServiceSheet::AccessColumn), QStringLiteral("NE"));
    for (const ParamRef& p : written)
        QCOMPARE(rig.cell(p.kind, p.index, ServiceSheet::AccessColumn), QString());
    QCOMPARE(rig.cell(0, 20, ServiceSheet::ValueColumn), QStringLiteral("9"));
    QCOMPARE(rig.cell(0, 20, ServiceSheet::ChangedColumn), X);
}

void TestServiceEditing::pendingEdit_data() {
    QTest::addColumn<int>("b");
    QTest::addColumn<bool>("fileMode");
    QTest::addColumn<bool>("pending");
    QTest::newRow("no edit") << -1 << false << false;
    QTest::newRow("edit") << 20 << false << true;
    QTest::newRow("edit of a file row written") << 20 << true << true;
    QTest::newRow("edit of a file row marked NE") << 0 << true << false;
}

void TestServiceEditing::pendingEdit() {
    QFETCH(int, b);
    QFETCH(bool, fileMode);
    QFETCH(bool, pending);
    ServiceRig rig;
    if (b >= 0) rig.type(0, b, QStringLiteral("42"));
    if (fileMode) rig.editing.NactiService(1, true);
    QCOMPARE(rig.editing.hasPendingEdit(), pending);
}

void TestServiceEditing::productionLength_data() {
    QTest::addColumn<int>("reported");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("message"); // -1: none
    QTest::addColumn<QString>("kept");
    QTest::newRow("within") << 10 << QStringLiteral("0123456789") << -1
                            << QStringLiteral("0123456789");
    QTest::newRow("one too many") << 10 << QStringLiteral("0123456789A") << 10
                                  << QStringLiteral("0123456789");
    QTest::newRow("not reported yet") << 0 << QStringLiteral("A") << 0 << QString();
}

void TestServiceEditing::productionLength() {
    QFETCH(int, reported);
    QFETCH(QString, typed);
    QFETCH(int, message);
    QFETCH(QString, kept);
    ServiceRig rig;
    rig.image.VyrobniUdaje[5].shownLength = reported;
    const int row = ParameterCatalogue::productionField(5).row;
    rig.sheet.setCell(ServiceSheet::ProductionGrid, ServiceSheet::TextColumn, row, typed);
    const std::optional<int> cut = rig.editing.checkProductionLength(row);
    QCOMPARE(cut.value_or(-1), message);
    QCOMPARE(rig.sheet.cell(ServiceSheet::ProductionGrid, ServiceSheet::TextColumn, row), kept);
}

void TestServiceEditing::editorOnlyForPresentParameter() {
    ServiceRig rig;
    const GridPlace w12 = ParameterCatalogue::place(1, 12);
    const GridPlace b5 = ParameterCatalogue::place(0, 5);
    QCOMPARE(rig.editing.editorAt(w12.grid, w12.row), Editor::None);
    rig.image.ParW_Act[12] = true;
    rig.image.ParB_Act[5] = true;
    QCOMPARE(rig.editing.editorAt(w12.grid, w12.row), Editor::Position);
    QCOMPARE(rig.editing.editorAt(b5.grid, b5.row), Editor::None); // edited in its cell
    QCOMPARE(rig.editing.editorAt(0, 0), Editor::None);            // header row
}

void TestServiceEditing::commands_data() {
    QTest::addColumn<ServiceCommand>("command");
    QTest::addColumn<QString>("question");
    QTest::addColumn<QList<TUsek>>("segments");
    QTest::addColumn<bool>("showsUnitValues");
    auto row = [](const char* name, ServiceCommand c, const char* key, QList<TUsek> s, bool show) {
        QTest::newRow(name) << c << QString::fromUtf8(key) << s << show;
    };
    row("Zapsat", ServiceCommand::WriteAll, "ZapsatParametry?",
        {{0, 1, 2, false}, {0, 18, 1, false}, {0, 64, 0, true}}, false);
    row("Zapsat production data", ServiceCommand::WriteProduction, "ZapsatIdentifikacniData?",
        {{3, 12, 15, false}}, false);
    row("Default", ServiceCommand::Defaults, "ZapsatDefaultParametry?", {{0, 0, 13, false}}, true);
    row("Inic", ServiceCommand::Initialise, "InicializovatParametry?", {{2, 2, 13, false}}, true);
    row("Obnovit ze zálohy", ServiceCommand::RestoreBackup, "ObnovitParametryZeZalohy?",
        {{1, 1, 13, false}}, true);
    row("Vytvořit zálohu", ServiceCommand::CreateBackup, "VytvoritZalohuParametru?",
        {{3, 3, 13, false}}, false);
    row("Nulování of Poslední reset", ServiceCommand::ResetLastResets, "Vynulovat?",
        {{4, 4, 14, false}}, false);
    row("Nulování of Poslední chyby", ServiceCommand::ResetLastErrors, "Vynulovat?",
        {{3, 3, 14, false}}, false);
}

void TestServiceEditing::commands() {
    QFETCH(ServiceCommand, command);
    QFETCH(QString, question);
    QFETCH(QList<TUsek>, segments);
    QFETCH(bool, showsUnitValues);
    for (bool yes : {false, true}) {
        ServiceRig rig;
        rig.transfer.setZapisZeSouboru(true); // a file is loaded: its values fill the cells
        rig.image.ParB[1][20] = 3;
        rig.type(0, 20, QStringLiteral("9"));
        rig.editing.NactiService(1, true);
        rig.prompter.answers = {yes};
        QCOMPARE(rig.actions.run(command), yes);
        QCOMPARE(rig.prompter.questions, QStringList{LangText(question)});
        if (!yes) {
            QVERIFY(rig.queued().isEmpty());
            QCOMPARE(rig.scheduler.komStav(), 2);
            continue;
        }
        const QList<TUsek> queued = rig.queued();
        QCOMPARE(queued.size(), segments.size());
        for (qsizetype i = 0; i < segments.size(); ++i) {
            QCOMPARE(queued[i].Start, segments[i].Start);
            QCOMPARE(queued[i].Stop, segments[i].Stop);
            QCOMPARE(queued[i].Typ, segments[i].Typ);
            QCOMPARE(queued[i].CS, segments[i].CS);
        }
        QCOMPARE(rig.scheduler.komStav(), 110);
        QCOMPARE(rig.cell(0, 20, ServiceSheet::ValueColumn),
                 showsUnitValues ? QStringLiteral("3") : QStringLiteral("9"));
        QCOMPARE(rig.sheet.caption() == LangText(QStringLiteral("Parametry")), showsUnitValues);
    }
}

// In write-from-file mode "Zapsat" sends what the cells show, whatever set 2 holds.
void TestServiceEditing::writeAllReparsesFileCells() {
    ServiceRig rig;
    rig.transfer.setZapisZeSouboru(true);
    const GridPlace place = ParameterCatalogue::place(0, 20);
    rig.sheet.setCell(place.grid, ServiceSheet::ValueColumn, place.row, QStringLiteral("1"));
    rig.image.ParB[2][20] = 0;
    rig.prompter.answers = {true};
    rig.actions.run(ServiceCommand::WriteAll);
    QCOMPARE(rig.image.ParB[2][20], 1);
    QCOMPARE(rig.cell(0, 20, ServiceSheet::ChangedColumn), X);
}

// A value cell is sent only when it is an integer the parameter's width holds in either reading;
// anything else refuses the whole write before its question, naming the parameter and its text.
// In write-from-file mode only the rows the file writes count.
void TestServiceEditing::valuesTheWidthHolds_data() {
    QTest::addColumn<bool>("fromFile");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("sent"); // -1: refused
    const auto row = [](const char* name, int kind, int index, const char* text, qint64 sent,
                        bool fromFile = false) {
        QTest::newRow(name) << fromFile << kind << index << QString::fromLatin1(text) << sent;
    };
    row("B lowest", 0, 20, "-128", 128);
    row("B highest", 0, 20, "255", 255);
    row("B beyond", 0, 20, "300", -1);
    row("B below", 0, 20, "-129", -1);
    row("W unsigned highest", 1, 9, "65535", 65535);
    row("W signed lowest", 1, 9, "-32768", 32768);
    row("W beyond", 1, 9, "65537", -1);
    row("DW unsigned highest", 2, 0, "4294967295", 4294967295);
    row("DW signed lowest", 2, 0, "-2147483648", 2147483648);
    row("DW beyond", 2, 0, "4294967296", -1);
    row("no number", 0, 20, "abc", -1);
    row("digits then letters", 0, 20, "9000abc", -1);
    row("a placeholder of the message", 0, 20, "%5", -1);
    row("exponent", 1, 9, "1e3", -1);
    row("empty cell", 1, 9, "", -1);
    row("file: no value", 1, 9, "", -1, true);
    row("file: beyond", 0, 20, "256", -1, true);
    // Selection 0 ("Omezení") keeps B 1 out of a file's write: its text is never sent.
    row("file: a row the file does not write", 0, 1, "abc", 0, true);
}

void TestServiceEditing::valuesTheWidthHolds() {
    QFETCH(bool, fromFile);
    QFETCH(int, kind);
    QFETCH(int, index);
    QFETCH(QString, text);
    QFETCH(qint64, sent);
    QCOMPARE(ParameterCatalogue::fromFile(kind, index, 0), !(fromFile && sent == 0));
    ServiceRig rig;
    for (int i = 0; i < ParameterCatalogue::count(kind); ++i) {
        if (kind == 0) rig.image.ParB_Act[i] = true;
        if (kind == 1) rig.image.ParW_Act[i] = true;
        if (kind == 2) rig.image.ParDW_Act[i] = true;
    }
    // Every cell holds the unit's value; a loaded file's presentation keeps them.
    rig.editing.NactiService(1, false);
    rig.transfer.setZapisZeSouboru(fromFile);
    if (fromFile) rig.editing.NactiService(1, true);
    rig.type(kind, index, text);
    rig.prompter.answers = {true};
    const bool written = rig.actions.run(ServiceCommand::WriteAll);
    QCOMPARE(written, sent >= 0);
    if (written) {
        QCOMPARE(rig.prompter.messages, QStringList());
        QCOMPARE(rig.scheduler.komStav(), 110);
        if (sent > 0) QCOMPARE(qint64(rig.image.value(kind, 2, index)), sent);
        return;
    }
    QCOMPARE(rig.prompter.questions, QStringList());
    QVERIFY(rig.queued().isEmpty());
    QCOMPARE(rig.scheduler.komStav(), 2);
    QCOMPARE(rig.prompter.messages.size(), 1);
    const QString message = rig.prompter.messages.first();
    const QString letter = QStringList{"B", "W", "DW"}.at(kind);
    const QString named = letter + u' ' + QString::number(index) + u' ' +
                          LangText(ParameterCatalogue::nameKeyOf(kind, index)) + u':';
    QVERIFY2(message.contains(named), qPrintable(message));
    QVERIFY2(message.contains(text.isEmpty() ? LangAddedText(QStringLiteral("ChybiHodnota"))
                                             : u'"' + text + u'"'),
             qPrintable(message));
}

void TestServiceEditing::closeQuery_data() {
    QTest::addColumn<bool>("edit");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<int>("questions");
    QTest::newRow("nothing pending") << false << true << true << 0;
    QTest::newRow("pending, No") << true << false << true << 1;
    QTest::newRow("pending, Yes") << true << true << false << 1;
}

void TestServiceEditing::closeQuery() {
    QFETCH(bool, edit);
    QFETCH(bool, yes);
    QFETCH(bool, closes);
    QFETCH(int, questions);
    ServiceRig rig;
    if (edit) rig.type(0, 20, QStringLiteral("5"));
    rig.prompter.answers = {yes};
    QCOMPARE(rig.actions.FormCloseQuery(), closes);
    QCOMPARE(rig.prompter.questions.size(), questions);
    if (questions) QCOMPARE(rig.prompter.questions.first(), LangText("ChceteZapsatParametry?"));
    QCOMPARE(rig.transfer.total(), closes ? 0 : 86);
    QCOMPARE(rig.scheduler.komStav(), closes ? 2 : 110);
}

// Closing with an edit its parameter cannot hold: the message names it and the window closes
// with nothing written, as after a declined write.
void TestServiceEditing::closeWithValueThatDoesNotFit() {
    ServiceRig rig;
    rig.image.ParB_Act[20] = true;
    rig.type(0, 20, QStringLiteral("300"));
    rig.prompter.answers = {true};
    QVERIFY(rig.actions.FormCloseQuery());
    QCOMPARE(rig.prompter.questions, QStringList());
    QCOMPARE(rig.prompter.messages.size(), 1);
    QCOMPARE(rig.transfer.total(), 0);
    QCOMPARE(rig.scheduler.komStav(), 2);
}

void TestServiceEditing::closeDropsEditsAndLeavesFileMode() {
    ServiceRig rig;
    rig.image.ParB[1][20] = 3;
    rig.type(0, 20, QStringLiteral("9"));
    rig.image.ParB_Act[20] = true;
    rig.transfer.setZapisZeSouboru(true);
    rig.transfer.writeFromFileSelection = 1;
    rig.actions.FormClose();
    QCOMPARE(rig.image.ParB[2][20], 3);
    QVERIFY(!rig.transfer.ZapisZeSouboru());
    QVERIFY(!rig.image.ParB_Act[20]); // InicParam
    QCOMPARE(rig.transfer.writeFromFileSelection, 0);
    QVERIFY(rig.scheduler.obnovaBezi()); // every parameter is read again
    QCOMPARE(rig.progress.maximum(), 86);
}

QTEST_GUILESS_MAIN(TestServiceEditing)
#include "tst_serviceediting.moc"

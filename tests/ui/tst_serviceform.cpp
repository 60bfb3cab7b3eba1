// The service window and the parameters dialog offscreen: what only the windows do.

#include "SchedulerRig.h"
#include "lang/Lang.h"
#include "link/ParameterTransfer.h"
#include "params/ParameterCatalogue.h"
#include "params/ServiceEditing.h"
#include "params/ServiceSheet.h"
#include "session/ServiceActions.h"
#include "ui/ParametryForm.h"
#include "ui/ServiceForm.h"

#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QTableView>
#include <QTest>

namespace {

struct FormRig : Rig {
    ServiceSheet sheet;
    ParameterTransfer transfer{image};
    ServiceEditing editing{image, sheet, transfer.writeFromFileSelection};
    ServiceActions actions{prompter, scheduler, transfer, editing, image};
    TServiceForm form{{sheet, editing, actions, transfer, prompter}};
    TParametryForm dialog{image, editing, transfer.ZapisZeSouboru()};
    QList<Editor> opened;

    FormRig() {
        scheduler.setTransfer(&transfer);
        start();
        finishRefresh();
        for (Editor e : {Editor::Parameters, Editor::Position, Editor::Sensor})
            form.setEditor(e, [this, e] { opened.append(e); });
        form.applyCaptions();
        dialog.setOnActivate([this] {
            dialog.showSet(2);
            dialog.OdblokujParReg(image.ParB[2][6]);
        });
        dialog.setOnVariantChosen([this](int item) { dialog.OdblokujParReg(item); });
    }
    void showForm() {
        editing.NactiService(1, false);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
    }
    QTableView* select(int kind, int index) {
        const GridPlace place = ParameterCatalogue::place(kind, index);
        form.setCurrentRow(place.grid, place.row);
        QTableView* view = form.gridView(place.grid);
        view->setFocus();
        return view;
    }
};

} // namespace

Q_DECLARE_METATYPE(Qt::Key)

class TestServiceForm : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { LangIndex = 0; }
    void keysOpenEditor_data();
    void keysOpenEditor();
    void doubleClickOpensEditor();
    void typingMarksChange();
    void productionTextCut();
    void closeQuestion_data();
    void closeQuestion();
    void dialogEnabledByVariant();
    void dialogOkStoresAndStornoDoesNot();
    void dialogChoiceShownWithFile();
    void menuBarOnTopOfTheClient_data();
    void menuBarOnTopOfTheClient();
    void tabLeavesTheGrids();
    void cursorKeepsOffTheFixedColumns();
};

void TestServiceForm::keysOpenEditor_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("index");
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<bool>("active");
    QTest::addColumn<bool>("opens");
    QTest::newRow("left, Enter: W 12") << 1 << 12 << Qt::Key_Return << true << true;
    QTest::newRow("left, Space: W 12") << 1 << 12 << Qt::Key_Space << true << true;
    QTest::newRow("right, Enter: W 8") << 1 << 8 << Qt::Key_Return << true << true;
    QTest::newRow("right, Space: W 8") << 1 << 8 << Qt::Key_Space << true << false;
    QTest::newRow("absent parameter") << 1 << 12 << Qt::Key_Return << false << false;
    QTest::newRow("no dialog: B 5") << 0 << 5 << Qt::Key_Return << true << false;
}

void TestServiceForm::keysOpenEditor() {
    QFETCH(int, kind);
    QFETCH(int, index);
    QFETCH(Qt::Key, key);
    QFETCH(bool, active);
    QFETCH(bool, opens);
    FormRig rig;
    if (kind == 0) rig.image.ParB_Act[index] = active;
    if (kind == 1) rig.image.ParW_Act[index] = active;
    rig.showForm();
    QTableView* view = rig.select(kind, index);
    QTest::keyClick(view, key);
    QCOMPARE(rig.opened, opens ? QList<Editor>{Editor::Position} : QList<Editor>{});
    if (opens) QCOMPARE(rig.form.aktivniGrid(), ParameterCatalogue::place(kind, index).grid);
}

void TestServiceForm::doubleClickOpensEditor() {
    FormRig rig;
    rig.image.ParB_Act[17] = true;
    rig.image.ParB_Act[5] = true;
    rig.showForm();
    for (int b : {5, 17}) {
        QTableView* view = rig.select(0, b);
        const QRect cell = view->visualRect(view->currentIndex());
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, cell.center());
    }
    QCOMPARE(rig.opened, QList<Editor>{Editor::Parameters}); // B 5 has no dialog
}

// Every key stroke in a value cell reaches set 2 and the change mark.
void TestServiceForm::typingMarksChange() {
    FormRig rig;
    rig.image.ParB[1][23] = 1;
    rig.showForm();
    QTableView* view = rig.select(0, 23);
    QTest::keyClick(view, Qt::Key_7);
    const GridPlace place = ParameterCatalogue::place(0, 23);
    QCOMPARE(rig.sheet.cell(place.grid, ServiceSheet::ChangedColumn, place.row),
             QStringLiteral("X"));
    QCOMPARE(rig.image.ParB[2][23], 7);
}

void TestServiceForm::productionTextCut() {
    FormRig rig;
    rig.image.VyrobniUdaje[5].shownLength = 3;
    rig.showForm();
    QTableView* view = rig.form.gridView(ServiceSheet::ProductionGrid);
    const int row = ParameterCatalogue::productionField(5).row;
    view->setCurrentIndex(view->model()->index(row - 1, ServiceSheet::TextColumn));
    view->setFocus();
    QTest::keyClick(view, 'A'); // starts editing the cell
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("BCD"));
    QCOMPARE(rig.prompter.messages, QStringList{QStringLiteral("Zadejte maximálně 3 znaků.")});
    QCOMPARE(rig.prompter.icons, QList<Prompter::Icon>{Prompter::Icon::Information});
    QCOMPARE(rig.sheet.cell(ServiceSheet::ProductionGrid, ServiceSheet::TextColumn, row),
             QStringLiteral("ABC"));
}

void TestServiceForm::closeQuestion_data() {
    QTest::addColumn<bool>("yes");
    QTest::newRow("No: closes, edit dropped") << false;
    QTest::newRow("Yes: stays, writes all") << true;
}

void TestServiceForm::closeQuestion() {
    QFETCH(bool, yes);
    FormRig rig;
    rig.image.ParB[1][20] = 1;
    rig.showForm();
    QTest::keyClick(rig.select(0, 20), Qt::Key_5);
    rig.prompter.answers = {yes};
    QTest::keyClick(&rig.form, Qt::Key_Escape);
    QCOMPARE(rig.prompter.questions,
             QStringList{LangText(QStringLiteral("ChceteZapsatParametry?"))});
    QCOMPARE(rig.form.isVisible(), yes);
    QCOMPARE(rig.image.ParB[2][20], yes ? 5 : 1);
    QCOMPARE(rig.transfer.total(), yes ? 86 : 0);
}

// With B 6 = 0 ("KOVR.ED") the relay 1 and 2, language, CAN, local-control and "TP Safe" lists
// take no input; choosing "KOVR FIELDBUS" enables them and the Modbus lists at once.
void TestServiceForm::dialogEnabledByVariant() {
    FormRig rig;
    rig.image.ParB[2][6] = 0;
    rig.dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&rig.dialog));
    const QList<int> notOnEd{45, 46, 23, 9, 21};
    for (int b : notOnEd)
        QVERIFY2(!rig.dialog.list(b)->isEnabled(), qPrintable(QString::number(b)));
    QVERIFY(!rig.dialog.canConfiguration()->isEnabled());
    for (int b : {59, 60, 61})
        QVERIFY(!rig.dialog.list(b)->isEnabled());
    QVERIFY(rig.dialog.list(19)->isEnabled());

    QComboBox* variant = rig.dialog.list(6);
    variant->setFocus();
    variant->setCurrentIndex(0);
    QTest::keyClick(variant, Qt::Key_End); // the last item, "KOVR FIELDBUS", as the user chooses
    QCOMPARE(variant->currentIndex(), 4);
    for (int b : notOnEd + QList<int>{59, 60, 61})
        QVERIFY2(rig.dialog.list(b)->isEnabled(), qPrintable(QString::number(b)));
    QVERIFY(rig.dialog.canConfiguration()->isEnabled());
    QVERIFY(!rig.dialog.list(19)->isEnabled()); // no CPT output on the fieldbus variant
    QVERIFY(!rig.dialog.list(15)->isEnabled());
}

void TestServiceForm::dialogOkStoresAndStornoDoesNot() {
    for (bool ok : {false, true}) {
        FormRig rig;
        rig.image.ParB[1][17] = 2;
        rig.image.ParB[2][17] = 2;
        rig.image.ParB_Err[43] = true;
        rig.image.ParB[2][43] = 9;
        rig.image.ParB[2][8] = 0x81;
        rig.editing.NactiService(1, false);
        rig.dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&rig.dialog));
        QCOMPARE(rig.dialog.list(17)->currentText(), QStringLiteral("zastavit"));
        QCOMPARE(rig.dialog.list(43)->currentIndex(), -1); // faulty: no selection
        QCOMPARE(rig.dialog.canConfiguration()->item(7)->checkState(), Qt::Checked);
        rig.dialog.list(17)->setCurrentIndex(3); // "na polohu"
        rig.dialog.canConfiguration()->item(0)->setCheckState(Qt::Unchecked);
        if (ok)
            QTest::mouseClick(rig.dialog.okButton(), Qt::LeftButton);
        else
            QTest::keyClick(&rig.dialog, Qt::Key_Escape);
        QVERIFY(!rig.dialog.isVisible());
        const GridPlace b17 = ParameterCatalogue::place(0, 17);
        QCOMPARE(rig.image.ParB[2][17], ok ? 3 : 2);
        QCOMPARE(rig.image.ParB[2][8], ok ? 0x80 : 0x81);
        QCOMPARE(rig.image.ParB[2][43], 9); // no selection: left as it was
        QCOMPARE(rig.sheet.cell(b17.grid, ServiceSheet::ValueColumn, b17.row),
                 ok ? QStringLiteral("3") : QStringLiteral("2"));
        QCOMPARE(rig.sheet.cell(b17.grid, ServiceSheet::ChangedColumn, b17.row),
                 ok ? QStringLiteral("X") : QString());
    }
}

// A choice confirmed in the dialog while a loaded file fills the grids goes into the value cell,
// which is what "Zapsat" writes.
void TestServiceForm::dialogChoiceShownWithFile() {
    FormRig rig;
    rig.transfer.setZapisZeSouboru(true);
    rig.image.ParB[2][17] = 1;
    rig.editing.NactiService(1, true);
    rig.dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&rig.dialog));
    rig.dialog.list(17)->setCurrentIndex(3);
    QTest::mouseClick(rig.dialog.okButton(), Qt::LeftButton);
    const GridPlace b17 = ParameterCatalogue::place(0, 17);
    QCOMPARE(rig.sheet.cell(b17.grid, ServiceSheet::ValueColumn, b17.row), QStringLiteral("3"));
    rig.prompter.answers = {true};
    rig.actions.run(ServiceCommand::WriteAll); // re-parses the cells
    QCOMPARE(rig.image.ParB[2][17], 3);
}

void TestServiceForm::menuBarOnTopOfTheClient_data() {
    QTest::addColumn<int>("language");
    for (int language = 0; language < 4; ++language)
        QTest::addRow("%d", language) << language;
}

// "Soubor" has the height its title needs above the 1024 x 510 client, in every language.
void TestServiceForm::menuBarOnTopOfTheClient() {
    QFETCH(int, language);
    LangIndex = language;
    const auto restore = qScopeGuard([] { LangIndex = 0; });
    FormRig rig;
    rig.form.applyCaptions();
    rig.showForm();
    auto* bar = rig.form.findChild<QMenuBar*>();
    auto* content = rig.form.findChild<QWidget*>(QStringLiteral("content"));
    QVERIFY(bar && content);
    QCOMPARE(content->size(), QSize(1024, 510));
    const QRect file = bar->actionGeometry(bar->actions().first());
    QVERIFY2(file.height() >= bar->fontMetrics().height(),
             qPrintable(QString::number(file.height())));
    QVERIFY(bar->rect().contains(file));
    QCOMPARE(content->y(), bar->height());
    QCOMPARE(rig.form.size(), QSize(1024, 510 + bar->height()));
}

// Tab goes from control to control, each grid one stop; Shift+Tab goes back out.
void TestServiceForm::tabLeavesTheGrids() {
    FormRig rig;
    rig.showForm();
    QVERIFY(QTest::qWaitForWindowActive(&rig.form));
    QTableView* left = rig.select(0, 23);
    QCOMPARE(QApplication::focusWidget(), left);
    QStringList stops;
    for (int i = 0; i < 30 && !stops.contains(QStringLiteral("StringGrid1")); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        stops << QApplication::focusWidget()->objectName();
    }
    for (const char* name : {"StringGrid3", "StringGrid2", "Button4", "Button8", "Button9",
                             "Button1", "Button6", "Button2", "Button3", "StringGrid1"})
        QVERIFY2(stops.contains(QLatin1String(name)), qPrintable(stops.join(u' ')));
    QVERIFY2(stops.count(QStringLiteral("StringGrid1")) == 1, qPrintable(stops.join(u' ')));
    QCOMPARE(QApplication::focusWidget(), left);
    QTest::keyClick(left, Qt::Key_Tab, Qt::ShiftModifier);
    QVERIFY(QApplication::focusWidget() != left);
}

// Arrows and clicks never leave the cursor on a label or mark column.
void TestServiceForm::cursorKeepsOffTheFixedColumns() {
    FormRig rig;
    rig.showForm();
    QTableView* view = rig.select(0, 23);
    const int row = view->currentIndex().row();
    QTest::keyClick(view, Qt::Key_Left);
    QCOMPARE(view->currentIndex().column(), int(ServiceSheet::ValueColumn));
    QTest::keyClick(view, Qt::Key_Home);
    QCOMPARE(view->currentIndex().column(), int(ServiceSheet::ValueColumn));
    const QRect name = view->visualRect(view->model()->index(row, ServiceSheet::NameColumn));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, name.center());
    QCOMPARE(view->currentIndex(), view->model()->index(row, ServiceSheet::ValueColumn));
    QTest::keyClick(view, Qt::Key_Down);
    QCOMPARE(view->currentIndex(), view->model()->index(row + 1, ServiceSheet::ValueColumn));
}

QTEST_MAIN(TestServiceForm)
#include "tst_serviceform.moc"

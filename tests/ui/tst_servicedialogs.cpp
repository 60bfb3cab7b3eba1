// The CPT, error-masks and control-signal dialogs inside the program, and the main menu's
// "Motor" and "Výstupy": what the windows themselves add to the dialog rules — the edits'
// notices, the up-down controls, the page the poll sends, the check lists' clicks, and the
// results handed back into the service window.

#include "LinkFakes.h"
#include "app/Program.h"
#include "app/ServiceDialogs.h"
#include "lang/Lang.h"
#include "link/CommandScheduler.h"
#include "params/ParameterCatalogue.h"
#include "params/ServiceSheet.h"
#include "session/Session.h"
#include "ui/ChybyForm.h"
#include "ui/MainWindow.h"
#include "ui/ParameterPanel.h"
#include "ui/PwmForm.h"
#include "ui/RSForm.h"
#include "ui/ServiceForm.h"
#include "ui/SheetModel.h"
#include "ui/VystupyForm.h"
#include "wire/Frame.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace {

constexpr int B = ParameterCatalogue::KindB, W = ParameterCatalogue::KindW;

// The program on a line that never opens: the scheduler stays where the dialogs put it.
struct Fixture {
    QTemporaryDir dir;
    FakePrompter prompter;
    std::unique_ptr<Program> program;

    explicit Fixture(int lang = 0) {
        QFile file(dir.filePath(QStringLiteral("kovr.ini")));
        if (file.open(QIODevice::WriteOnly))
            file.write("[Ports]\nCOM1=" + dir.filePath(QStringLiteral("none")).toUtf8() +
                       "\n\n[Setup]\nPort=1\nLang=" + QByteArray::number(lang) + "\n");
        file.close();
        program = std::make_unique<Program>(dir.path(), &prompter);
        prompter.messages.clear(); // the line that failed to open
    }
    Session& session() { return program->session(); }
    CommandScheduler& scheduler() { return session().scheduler(); }
    ServiceDialogs& dialogs() { return program->serviceDialogs(); }
    QString cell(ParamRef p, int column = ServiceSheet::ValueColumn) {
        const GridPlace at = ParameterCatalogue::place(p.kind, p.index);
        return session().sheet().cell(at.grid, column, at.row);
    }
    void setCell(ParamRef p, const QString& text) {
        const GridPlace at = ParameterCatalogue::place(p.kind, p.index);
        session().sheet().setCell(at.grid, ServiceSheet::ValueColumn, at.row, text);
    }
    // What the service window's grid shows in a parameter's value cell.
    QString shown(ParamRef p) {
        const GridPlace at = ParameterCatalogue::place(p.kind, p.index);
        const auto* model =
            qobject_cast<const SheetModel*>(program->serviceForm().gridView(at.grid)->model());
        return model ? model->index(model->modelRow(at.row), ServiceSheet::ValueColumn)
                           .data()
                           .toString()
                     : QStringLiteral("no sheet model");
    }
    void selectRow(ParamRef p) {
        const GridPlace at = ParameterCatalogue::place(p.kind, p.index);
        program->serviceForm().setCurrentRow(at.grid, at.row);
    }
    void monitorWithControlSignal(int raw) {
        QByteArray record(66, '0');
        record.replace(16, 4, IntToHex(raw, 4));
        session().ZobrazMonitor(record);
    }
};

QToolButton* arrow(TPwmForm& form, int page, bool up) {
    auto* upDown =
        form.findChild<QWidget*>(page == 0 ? QStringLiteral("UpDown1") : QStringLiteral("UpDown2"));
    return upDown
               ? upDown->findChild<QToolButton*>(up ? QStringLiteral("Up") : QStringLiteral("Down"))
               : nullptr;
}

// A click on the check box of item n, where the user clicks.
void clickCheck(QListWidget* list, int n) {
    QListWidgetItem* item = list->item(n);
    list->scrollToItem(item);
    QStyleOptionViewItem option;
    option.initFrom(list->viewport());
    option.rect = list->visualItemRect(item);
    option.features |= QStyleOptionViewItem::HasCheckIndicator;
    const QRect box =
        list->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, list);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, box.center());
}

QList<int> checked(const QListWidget* list) {
    QList<int> rows;
    for (int n = 0; n < list->count(); ++n)
        if (list->item(n)->checkState() == Qt::Checked) rows << n;
    return rows;
}

} // namespace

class TestServiceDialogs : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { LangIndex = 0; }
    void cptEditCheck_data();
    void cptEditCheck();
    void cptUpDownWithinRange();
    void cptPollSendsThePageShown();
    void cptClosingWritesBothRows_data();
    void cptClosingWritesBothRows();
    void masksClicksAreExclusive();
    void masksOkStoresAndRefreshesTheServiceWindow_data();
    void masksOkStoresAndRefreshesTheServiceWindow();
    void controlSignalBeforeAnyReading_data();
    void controlSignalBeforeAnyReading();
    void controlSignalTakeOver_data();
    void controlSignalTakeOver();
    void motorMenuFollowsTheVariant_data();
    void motorMenuFollowsTheVariant();
    void outputsMenuWhileTheDialogIsActive();
    void outputsGridsReadWhole();
};

void TestServiceDialogs::cptEditCheck_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("notice");
    QTest::newRow("number") << "512"
                            << "512"
                            << "";
    QTest::newRow("empty: 0, no notice") << ""
                                         << "0"
                                         << "";
    QTest::newRow("letter") << "12a"
                            << "0"
                            << "Zadávejte pouze číslice 0..9";
    QTest::newRow("above 1023") << "2000"
                                << "1023" << LangText(QStringLiteral("MaximalniHodnota")) + " 1023";
    QTest::newRow("negative") << "-5"
                              << "0" << LangText(QStringLiteral("MinimalniHodnota")) + " 0";
}

// The notice comes once, through the prompter, and the unit is sent what the edit shows.
void TestServiceDialogs::cptEditCheck() {
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(QString, notice);
    Fixture f;
    TPwmForm& form = f.dialogs().pwmForm();
    f.session().image().ParW[2][6] = 300;
    form.show();
    QCOMPARE(form.edit(0)->text(), QStringLiteral("300"));
    QVERIFY(f.prompter.messages.isEmpty());
    form.edit(0)->setText(typed);
    QCOMPARE(form.edit(0)->text(), shown);
    QCOMPARE(f.prompter.messages, notice.isEmpty() ? QStringList() : QStringList{notice});
    QCOMPARE(f.scheduler().requestPayload(86), "7104" + IntToHex(shown.toInt(), 4));
    form.reject();
}

void TestServiceDialogs::cptUpDownWithinRange() {
    Fixture f;
    TPwmForm& form = f.dialogs().pwmForm();
    f.session().image().ParW[2][6] = 1;
    f.session().image().ParW[2][7] = 1022;
    form.show();
    QToolButton* down1 = arrow(form, 0, false);
    QToolButton* up1 = arrow(form, 0, true);
    QToolButton* up2 = arrow(form, 1, true);
    QVERIFY(down1 && up1 && up2);
    QTest::mouseClick(down1, Qt::LeftButton);
    QCOMPARE(form.edit(0)->text(), QStringLiteral("0"));
    QTest::mouseClick(down1, Qt::LeftButton);
    QCOMPARE(form.edit(0)->text(), QStringLiteral("0"));
    QTest::mouseClick(up1, Qt::LeftButton);
    QCOMPARE(form.edit(0)->text(), QStringLiteral("1"));
    QTest::mouseClick(up2, Qt::LeftButton);
    QCOMPARE(form.edit(1)->text(), QStringLiteral("1023"));
    QTest::mouseClick(up2, Qt::LeftButton);
    QCOMPARE(form.edit(1)->text(), QStringLiteral("1023"));
    // Each page's arrows step their own edit only; the bounds give no notice.
    QCOMPARE(form.edit(0)->text(), QStringLiteral("1"));
    QVERIFY(f.prompter.messages.isEmpty());
    QCOMPARE(f.scheduler().requestPayload(86), QByteArray("71040001"));
    form.reject();
}

void TestServiceDialogs::cptPollSendsThePageShown() {
    Fixture f;
    TPwmForm& form = f.dialogs().pwmForm();
    f.session().image().ParW[2][6] = 100;
    f.session().image().ParW[2][7] = 1000;
    form.pages()->setCurrentIndex(1); // left on "20 mA" by an earlier opening
    form.show();
    QCOMPARE(f.scheduler().komStav(), 85);
    QCOMPARE(f.scheduler().requestPayload(86), QByteArray("710403E8"));
    form.pages()->setCurrentIndex(0);
    QCOMPARE(f.scheduler().requestPayload(86), QByteArray("71040064"));
    // The hidden page's edit does not reach the unit until its page is shown.
    form.edit(1)->setText(QStringLiteral("1023"));
    QCOMPARE(f.scheduler().requestPayload(86), QByteArray("71040064"));
    form.pages()->setCurrentIndex(1);
    QCOMPARE(f.scheduler().requestPayload(86), QByteArray("710403FF"));
    form.reject();
}

void TestServiceDialogs::cptClosingWritesBothRows_data() {
    QTest::addColumn<bool>("ok");
    QTest::newRow("OK") << true;
    QTest::newRow("Storno") << false;
}

// Both ways out leave the poll and write both rows from the target set; only OK changes it.
void TestServiceDialogs::cptClosingWritesBothRows() {
    QFETCH(bool, ok);
    Fixture f;
    TPwmForm& form = f.dialogs().pwmForm();
    DeviceImage& image = f.session().image();
    image.ParW[1][6] = image.ParW[2][6] = 200;
    image.ParW[1][7] = image.ParW[2][7] = 900;
    f.setCell({W, 6}, QStringLiteral("7"));
    f.setCell({W, 7}, QStringLiteral("8"));
    form.show();
    form.edit(0)->setText(QStringLiteral("300"));
    form.edit(1)->setText(QStringLiteral("700"));
    QTest::mouseClick(
        form.findChild<QPushButton*>(ok ? QStringLiteral("OKBtn") : QStringLiteral("CancelBtn")),
        Qt::LeftButton);
    QVERIFY(!form.isVisible());
    QCOMPARE(form.result(), ok ? QDialog::Accepted : QDialog::Rejected);
    QCOMPARE(f.scheduler().komStav(), 102);
    QCOMPARE(image.ParW[2][6], quint16(ok ? 300 : 200));
    QCOMPARE(image.ParW[2][7], quint16(ok ? 700 : 900));
    QCOMPARE(f.cell({W, 6}), ok ? QStringLiteral("300") : QStringLiteral("200"));
    QCOMPARE(f.cell({W, 7}), ok ? QStringLiteral("700") : QStringLiteral("900"));
    const QString mark = ok ? QStringLiteral("X") : QString();
    QCOMPARE(f.cell({W, 6}, ServiceSheet::ChangedColumn), mark);
    QCOMPARE(f.cell({W, 7}, ServiceSheet::ChangedColumn), mark);
}

void TestServiceDialogs::masksClicksAreExclusive() {
    Fixture f;
    TChybyForm& form = f.dialogs().chybyForm();
    DeviceImage& image = f.session().image();
    image.ParB[2][34] = 0x08; // warning "Moment" (3)
    image.ParB[2][38] = 0x80; // error "Nast. režim" (7)
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QListWidget* errors = form.errorsList();
    QListWidget* warnings = form.warningsList();
    QCOMPARE(errors->count(), 32);
    QCOMPARE(warnings->item(3)->text(), QStringLiteral("Moment"));
    QCOMPARE(errors->item(8)->text(), QStringLiteral("RAM"));
    QCOMPARE(errors->item(31)->text(), QStringLiteral("Chybná poloha"));
    QCOMPARE(checked(warnings), QList<int>{3});
    QCOMPARE(checked(errors), QList<int>{7});

    clickCheck(errors, 3); // "Moment" becomes an error: no longer a warning
    QCOMPARE(checked(errors), (QList<int>{3, 7}));
    QCOMPARE(checked(warnings), QList<int>{});
    clickCheck(warnings, 7); // and the other way round
    QCOMPARE(checked(warnings), QList<int>{7});
    QCOMPARE(checked(errors), QList<int>{3});
    clickCheck(warnings, 7); // unchecking touches nothing else
    clickCheck(errors, 3);
    QCOMPARE(checked(warnings), QList<int>{});
    QCOMPARE(checked(errors), QList<int>{});
    clickCheck(warnings, 20); // a condition in neither list: only the one clicked
    QCOMPARE(checked(warnings), QList<int>{20});
    QCOMPARE(checked(errors), QList<int>{});
    form.reject();
}

void TestServiceDialogs::masksOkStoresAndRefreshesTheServiceWindow_data() {
    QTest::addColumn<bool>("ok");
    QTest::newRow("OK") << true;
    QTest::newRow("Storno") << false;
}

void TestServiceDialogs::masksOkStoresAndRefreshesTheServiceWindow() {
    QFETCH(bool, ok);
    Fixture f;
    TChybyForm& form = f.dialogs().chybyForm();
    DeviceImage& image = f.session().image();
    image.ParB[1][34] = image.ParB[2][34] = 0x08; // warning "Moment"
    f.session().serviceEditing().NactiService(1, false);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    clickCheck(form.warningsList(), 3);
    clickCheck(form.errorsList(), 8); // "RAM"
    QTest::mouseClick(
        form.findChild<QPushButton*>(ok ? QStringLiteral("OKBtn") : QStringLiteral("CancelBtn")),
        Qt::LeftButton);
    QVERIFY(!form.isVisible());

    const quint8 expected[8] = {quint8(ok ? 0 : 8), 0, 0, 0, 0, quint8(ok ? 1 : 0), 0, 0};
    for (int i = 0; i < 8; ++i) {
        const ParamRef p{B, 34 + i};
        QCOMPARE(image.ParB[2][p.index], expected[i]);
        QCOMPARE(f.cell(p), QString::number(expected[i]));
        QCOMPARE(f.shown(p), QString::number(expected[i]));
        const bool changed = expected[i] != image.ParB[1][p.index];
        QCOMPARE(f.cell(p, ServiceSheet::ChangedColumn), changed ? QStringLiteral("X") : QString());
    }
}

void TestServiceDialogs::controlSignalBeforeAnyReading_data() {
    QTest::addColumn<int>("lang");
    QTest::addColumn<QString>("message");
    QTest::newRow("Czech") << 0 << "Řídicí signál ještě nebyl načten: nic nebylo převzato.";
    QTest::newRow("English") << 1 << "No control signal has been read yet: nothing was taken over.";
}

// OK with nothing read yet: the message in the user's language, nothing stored, still open.
void TestServiceDialogs::controlSignalBeforeAnyReading() {
    QFETCH(int, lang);
    QFETCH(QString, message);
    Fixture f(lang);
    TRSForm& form = f.dialogs().rsForm();
    f.session().image().ParB[2][4] = 17;
    f.setCell({B, 4}, QStringLiteral("17"));
    f.selectRow({B, 4});
    form.show();
    QCOMPARE(form.reading(), QString());
    QTest::mouseClick(form.findChild<QPushButton*>(QStringLiteral("OKBtn")), Qt::LeftButton);
    QCOMPARE(f.prompter.messages, QStringList{message});
    QCOMPARE(f.prompter.icons, QList<Prompter::Icon>{Prompter::Icon::Exclamation});
    QVERIFY(form.isVisible());
    QCOMPARE(f.session().image().ParB[2][4], quint8(17));
    QCOMPARE(f.cell({B, 4}), QStringLiteral("17"));
    QCOMPARE(f.scheduler().komStav(), 2);
    form.reject();
}

void TestServiceDialogs::controlSignalTakeOver_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("b4");
    QTest::newRow("B 4: low 8 bits") << 4 << 2 << "232";
    QTest::newRow("B 64: the unit's 0 mA point") << 64 << 120 << "17";
}

void TestServiceDialogs::controlSignalTakeOver() {
    QFETCH(int, index);
    QFETCH(int, state);
    QFETCH(QString, b4);
    Fixture f;
    TRSForm& form = f.dialogs().rsForm();
    DeviceImage& image = f.session().image();
    image.ParB[1][4] = image.ParB[2][4] = 17;
    f.setCell({B, 4}, QStringLiteral("17"));
    f.selectRow({B, index});
    form.show();
    f.monitorWithControlSignal(1000);
    QCOMPARE(form.reading(), QStringLiteral("1000"));
    QTest::mouseClick(form.findChild<QPushButton*>(QStringLiteral("OKBtn")), Qt::LeftButton);
    QVERIFY(!form.isVisible());
    QVERIFY(f.prompter.messages.isEmpty());
    QCOMPARE(f.scheduler().komStav(), state);
    QCOMPARE(QString::number(image.ParB[2][4]), b4);
    QCOMPARE(f.cell({B, 4}), b4);
    QCOMPARE(f.cell({B, 4}, ServiceSheet::ChangedColumn), b4 == "17" ? QString() : "X");
}

void TestServiceDialogs::motorMenuFollowsTheVariant_data() {
    QTest::addColumn<int>("unit");   // B 6 of the unit (set 1)
    QTest::addColumn<int>("target"); // B 6 as edited (set 2)
    QTest::addColumn<int>("sada");   // the set shown
    QTest::addColumn<bool>("enabled");
    QTest::newRow("variant 0") << 0 << 0 << 1 << false;
    QTest::newRow("variant 1") << 1 << 1 << 1 << true;
    QTest::newRow("variant 4") << 4 << 4 << 1 << true;
    QTest::newRow("unit 0, edited to 2") << 0 << 2 << 2 << false;
    QTest::newRow("unit 3, edited to 0") << 3 << 0 << 2 << true;
}

void TestServiceDialogs::motorMenuFollowsTheVariant() {
    QFETCH(int, unit);
    QFETCH(int, target);
    QFETCH(int, sada);
    QFETCH(bool, enabled);
    Fixture f;
    QAction* motor = f.program->mainWindow().action(QStringLiteral("Motor"));
    ParameterPanel* panel = f.program->mainWindow().parameterPanel();
    DeviceImage& image = f.session().image();
    QVERIFY(!motor->isEnabled()); // nothing known of the unit yet
    // From the opposite state, so that the panel has to change it.
    image.ParB[1][6] = enabled ? 0 : 2;
    panel->ZobrazPar(1);
    QCOMPARE(motor->isEnabled(), !enabled);
    image.ParB[1][6] = quint8(unit);
    image.ParB[2][6] = quint8(target);
    panel->ZobrazPar(sada);
    QCOMPARE(motor->isEnabled(), enabled);
}

// "Výstupy" opens the outputs test; while that dialog is the active window it does nothing.
void TestServiceDialogs::outputsMenuWhileTheDialogIsActive() {
    Fixture f;
    TVystupyForm& form = f.dialogs().vystupyForm();
    QAction* outputs = f.program->mainWindow().action(QStringLiteral("Vystupy"));
    QVERIFY(outputs->isEnabled());

    // From the main window: the dialog runs modally until it is closed.
    bool openedModally = false;
    QTimer::singleShot(0, &form, [&] {
        openedModally = form.isVisible() && QApplication::activeModalWidget() == &form;
        form.reject();
    });
    outputs->trigger();
    QVERIFY(openedModally);
    QVERIFY(!form.isVisible());
    // Without a line the outputs poll never starts: the scheduler stays in its opening state.
    QCOMPARE(f.scheduler().komStav(), 71);
    f.scheduler().setStateForTest(2);

    // Already the active window: the command returns at once and opens no second loop.
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QCOMPARE(f.scheduler().komStav(), 71);
    bool returned = false;
    bool nested = false;
    QTimer::singleShot(0, &form, [&] {
        nested = !returned;
        if (nested) form.reject();
    });
    outputs->trigger();
    returned = true;
    QCoreApplication::processEvents();
    QVERIFY(!nested);
    QVERIFY(form.isVisible());
    QCOMPARE(f.scheduler().komStav(), 71);
    form.reject();
}

// The input grids: every row caption has room in its column, and no cell looks selected, not
// even after a click.
void TestServiceDialogs::outputsGridsReadWhole() {
    Fixture f;
    TVystupyForm& form = f.dialogs().vystupyForm();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    for (const char* name : {"StringGrid2", "StringGrid3"}) {
        auto* grid = form.findChild<QTableWidget*>(QLatin1String(name));
        QVERIFY(grid);
        for (int row = 0; row < grid->rowCount(); ++row) {
            const QTableWidgetItem* caption = grid->item(row, 0);
            const int needed = grid->fontMetrics().horizontalAdvance(caption->text()) + 6;
            QVERIFY2(needed <= grid->visualItemRect(caption).width(), qPrintable(caption->text()));
        }
        QVERIFY(grid->viewport()->rect().contains(grid->visualItemRect(grid->item(0, 1))));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualItemRect(grid->item(1, 0)).center());
        QVERIFY(grid->selectedItems().isEmpty());
        QVERIFY(!grid->selectionModel()->isSelected(grid->currentIndex()));
    }
    form.reject();
}

QTEST_MAIN(TestServiceDialogs)
#include "tst_servicedialogs.moc"

#include "LinkFakes.h"
#include "device/MonitorDisplay.h"
#include "image/DeviceImage.h"
#include "lang/Lang.h"
#include "params/ParameterCatalogue.h"
#include "params/ServiceSheet.h"
#include "params/Setup.h"
#include "ui/AboutBox.h"
#include "ui/MainWindow.h"
#include "ui/MonitoringPanel.h"
#include "ui/ParameterPanel.h"
#include "ui/PrubehForm.h"
#include "ui/SetupForm.h"
#include "ui/UiFont.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>

namespace {

struct Window {
    DeviceImage image;
    MonitorDisplay display;
    FakePrompter prompter;
    bool fromFile = false;
    MainWindow window{image, display, prompter, fromFile};

    QLabel* panel(int i) const {
        return window.findChild<QLabel*>(QStringLiteral("StatusPanel%1").arg(i));
    }
};

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QApplication::setFont(kovrFont()); }
    void init() { LangIndex = 0; }
    void cleanup() { LangIndex = 0; }
    void frame();
    void tabRingInReadingOrder();
    void menu_data();
    void menu();
    void statusBar();
    void centredOnScreen();
    void groupContentsInsideFrames();
    void displayEditsShowTextFromStart();
    void captions_data();
    void captions();
    void captionsKeepSelections();
    void commandsForwarded();
    void everyCaptionKeyExists();
};

void TestMainWindow::frame() {
    Window w;
    QCOMPARE(w.window.centralWidget()->size(), QSize(971, 520));
    QCOMPARE(w.window.monitoringPanel()->geometry(), QRect(8, -1, 501, 507));
    QCOMPARE(w.window.parameterPanel()->geometry(), QRect(513, -1, 450, 507));
    QCOMPARE(w.window.monitoringPanel()->objectName(), QStringLiteral("GroupBox1"));
    QCOMPARE(w.window.parameterPanel()->objectName(), QStringLiteral("GroupBox2"));
}

void TestMainWindow::menu_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("shortcut");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("visible");
    auto row = [](const char* name, const char* shortcut, bool enabled, bool visible) {
        QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(shortcut) << enabled
                            << visible;
    };
    // Every command is there at start; "Motor" waits for the unit's variant.
    row("FileOpen1", "Ctrl+O", true, true);
    row("FileSaveAs1", "Ctrl+S", true, true);
    row("Print", "", true, true);
    row("PrintPreview", "", true, true);
    row("ExportPdf", "", true, true);
    row("FileExit1", "", true, true);
    row("Motor", "", false, true);
    row("Service", "", true, true);
    row("Vystupy", "", true, true);
    row("ChybyKomunikace", "", true, true);
    row("Setup", "", true, true);
    // Help entries are hidden and do nothing: a hidden action is disabled with them.
    row("Napoveda", "F1", false, false);
    row("Cotoje1", "Shift+F1", false, false);
    row("HelpAbout1", "", true, true);
}

void TestMainWindow::menu() {
    QFETCH(QString, name);
    QFETCH(QString, shortcut);
    QFETCH(bool, enabled);
    QFETCH(bool, visible);
    Window w;
    QAction* action = w.window.action(name);
    QVERIFY(action);
    QCOMPARE(action->shortcut(), QKeySequence(shortcut));
    QCOMPARE(action->isEnabled(), enabled);
    QCOMPARE(action->isVisible(), visible);
}

// The ten panels lie side by side from the left edge at their own widths, with no gaps.
void TestMainWindow::statusBar() {
    Window w;
    w.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.window));
    const int widths[] = {50, 50, 50, 80, 70, 80, 70, 150, 150, 50};
    int left = 0;
    for (int i = 0; i < 10; ++i) {
        QCOMPARE(w.panel(i)->x(), left);
        QCOMPARE(w.panel(i)->width(), widths[i]);
        left += widths[i];
    }
    QCOMPARE(w.panel(8)->alignment(), Qt::AlignLeft | Qt::AlignVCenter);
    // Below the client: nothing of the panels lies under it.
    const QWidget* client = w.window.centralWidget();
    QCOMPARE(client->size(), QSize(MainWindow::ClientWidth, MainWindow::ClientHeight));
    const QRect bar(w.panel(0)->parentWidget()->mapTo(&w.window, QPoint(0, 0)),
                    w.panel(0)->parentWidget()->size());
    QVERIFY(bar.top() >= client->geometry().bottom() + 1);
    for (const QWidget* child : client->findChildren<QWidget*>())
        QVERIFY2(!QRect(child->mapTo(&w.window, QPoint(0, 0)), child->size())
                      .intersected(QRect(client->mapTo(&w.window, QPoint(0, 0)), client->size()))
                      .intersects(bar),
                 qPrintable(child->objectName()));
    QCOMPARE(w.panel(3)->alignment(), Qt::Alignment(Qt::AlignCenter));
    QVERIFY(!w.window.lineErrorsAction()->isChecked());
    QVERIFY(w.window.lineErrorsAction()->isCheckable());
    w.window.setStatusText(8, QStringLiteral("KOVR"));
    QCOMPARE(w.window.statusText(8), QStringLiteral("KOVR"));
    w.window.setStatusText(12, QStringLiteral("x")); // beyond the panels: ignored
}

void TestMainWindow::centredOnScreen() {
    Window w;
    w.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.window));
    const QPoint centre = w.window.screen()->availableGeometry().center();
    const QPoint offset = w.window.frameGeometry().center() - centre;
    // The offscreen screen is narrower than the window, and the platform nudges a window
    // whose frame starts left of the screen by the frame's width (2 px) to the right.
    QVERIFY2(qAbs(offset.x()) <= 2 && qAbs(offset.y()) <= 1,
             qPrintable(QStringLiteral("%1,%2 off the centre").arg(offset.x()).arg(offset.y())));
}

// Both panels draw their groups alike, the caption in the top frame line: everything a group
// holds lies inside its frame, below that line.
void TestMainWindow::groupContentsInsideFrames() {
    Window w;
    w.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.window));
    for (QGroupBox* panel : {static_cast<QGroupBox*>(w.window.monitoringPanel()),
                             static_cast<QGroupBox*>(w.window.parameterPanel())}) {
        const QList<QGroupBox*> groups =
            panel->findChildren<QGroupBox*>(Qt::FindDirectChildrenOnly);
        for (const QGroupBox* group : groups) {
            const QList<QWidget*> contents =
                group->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
            for (const QWidget* child : contents)
                QVERIFY2(group->contentsRect().contains(child->geometry()),
                         qPrintable(group->objectName() + u' ' + child->objectName()));
        }
    }
}

// A display edit shows every text from its first character, however long, in both panels.
void TestMainWindow::displayEditsShowTextFromStart() {
    Window w;
    w.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.window));
    QString MonitorDisplay::*const fields[] = {
        &MonitorDisplay::Edit1,  &MonitorDisplay::Edit2,  &MonitorDisplay::Edit3,
        &MonitorDisplay::Edit4,  &MonitorDisplay::Edit5,  &MonitorDisplay::Edit6,
        &MonitorDisplay::Edit7,  &MonitorDisplay::Edit8,  &MonitorDisplay::Edit9,
        &MonitorDisplay::Edit11, &MonitorDisplay::Edit12, &MonitorDisplay::Edit13,
        &MonitorDisplay::Edit14, &MonitorDisplay::Edit15};
    const QList<QLineEdit*> edits = w.window.findChildren<QLineEdit*>();
    for (const QString& text : {QStringLiteral("открывать открывать открывать открывать"),
                                QStringLiteral("Chyba-Autokalibrace Chyba-Autokalibrace 1")}) {
        for (QString MonitorDisplay::*field : fields)
            w.display.*field = text;
        w.window.monitoringPanel()->render(w.display);
        w.window.parameterPanel()->render(w.display);
        int displays = 0;
        for (const QLineEdit* edit : edits) {
            if (!edit->isReadOnly()) continue;
            ++displays;
            QCOMPARE(edit->text(), text);
            QVERIFY2(edit->cursorPosition() == 0, qPrintable(edit->objectName()));
        }
        QCOMPARE(displays, int(std::size(fields)));
    }
}

void TestMainWindow::captions_data() {
    QTest::addColumn<int>("language");
    QTest::newRow("Czech") << 0;
    QTest::newRow("English") << 1;
}

void TestMainWindow::captions() {
    QFETCH(int, language);
    Window w;
    LangIndex = language;
    w.window.Napisy(false);
    QCOMPARE(w.window.windowTitle(), QStringLiteral("KOVR NEVRA"));
    const struct {
        const char* action;
        const char* key;
    } menus[] = {{"File1", "menuSoubor"},       {"FileOpen1", "menuOtevrit"},
                 {"FileSaveAs1", "menuUlozit"}, {"Print", "menuTisk"},
                 {"FileExit1", "menuKonec"},    {"Motor", "menuMotor"},
                 {"Service", "menuParametry"},  {"Vyrobce1", "menuVyrobce"},
                 {"Vystupy", "menuVystupy"},    {"Setup", "menuNastaveni"},
                 {"Help1", "menuNapoveda"},     {"Napoveda", "menuNapovedaKOVR"},
                 {"Cotoje1", "CoToJe"},         {"HelpAbout1", "OAplikaci"}};
    for (const auto& m : menus) {
        const QString key = QString::fromUtf8(m.key);
        QVERIFY2(LangHasKey(key), m.key);
        QCOMPARE(w.window.action(QString::fromLatin1(m.action))->text(), LangText(key));
    }
    QCOMPARE(w.window.action(QStringLiteral("ChybyKomunikace"))->text(),
             QStringLiteral("Chyby komunikace"));
    // The tool's own additions follow "Tisk", in the language chosen.
    QCOMPARE(w.window.action(QStringLiteral("PrintPreview"))->text(),
             LangAddedText(QStringLiteral("menuNahledTisku")));
    QCOMPARE(w.window.action(QStringLiteral("ExportPdf"))->text(),
             LangAddedText(QStringLiteral("menuExportPdf")));
    QVERIFY(!w.window.action(QStringLiteral("ExportPdf"))->text().startsWith(u"menu"));
    const QList<QAction*> file =
        qobject_cast<QWidget*>(w.window.action(QStringLiteral("Print"))->parent())->actions();
    const qsizetype print = file.indexOf(w.window.action(QStringLiteral("Print")));
    QCOMPARE(file.value(print + 1)->objectName(), QStringLiteral("PrintPreview"));
    QCOMPARE(file.value(print + 2)->objectName(), QStringLiteral("ExportPdf"));
    QCOMPARE(w.window.statusText(7), LangText(QStringLiteral("VyrobceElektroniky")));
    QCOMPARE(w.window.statusText(0), QStringLiteral("STOP"));
    QCOMPARE(w.panel(0)->toolTip(), LangText(QStringLiteral("Komunikace")));
    QCOMPARE(w.panel(7)->toolTip(), LangText(QStringLiteral("ServisniMod")));
    QCOMPARE(w.panel(3)->toolTip(), LangText(QStringLiteral("Výrobní číslo pohonu")));
    QCOMPARE(w.panel(9)->toolTip(), QStringLiteral("-----"));
    QCOMPARE(w.window.monitoringPanel()->title(), LangText(QStringLiteral("Monitorovani")));
    w.window.Napisy(true);
    QCOMPARE(w.window.statusText(0), QStringLiteral("RUN"));
}

void TestMainWindow::captionsKeepSelections() {
    Window w;
    w.image.ParB[1][26] = 1;
    w.image.ParB[1][27] = 80;
    w.image.ParB[1][45] = 3;
    w.window.parameterPanel()->ZobrazPar(1);
    auto* torque = w.window.findChild<QComboBox*>(QStringLiteral("ComboBox14"));
    auto* relay = w.window.findChild<QComboBox*>(QStringLiteral("ComboBox3"));
    QCOMPARE(torque->currentIndex(), 3);
    QCOMPARE(relay->currentIndex(), 3);
    LangIndex = 1;
    w.window.Napisy(true);
    QCOMPARE(torque->currentIndex(), 3);
    QCOMPARE(relay->currentIndex(), 3);
    QCOMPARE(relay->itemText(0), LangText(QStringLiteral("vypnuto")));
    QCOMPARE(relay->itemText(0), QStringLiteral("off"));
    QVERIFY(w.prompter.questions.isEmpty());
}

void TestMainWindow::commandsForwarded() {
    Window w;
    QSignalSpy setup(&w.window, &MainWindow::setupRequested);
    QSignalSpy about(&w.window, &MainWindow::aboutRequested);
    QSignalSpy closing(&w.window, &MainWindow::closing);
    QSignalSpy shown(&w.window, &MainWindow::firstShown);
    w.window.action(QStringLiteral("Setup"))->trigger();
    w.window.action(QStringLiteral("HelpAbout1"))->trigger();
    QCOMPARE(setup.size(), 1);
    QCOMPARE(about.size(), 1);
    w.window.show();
    w.window.hide();
    w.window.show();
    QCOMPARE(shown.size(), 1); // the link starts at the first display only
    w.window.action(QStringLiteral("FileExit1"))->trigger();
    QCOMPARE(closing.size(), 1);
    QVERIFY(!w.window.isVisible());
}

// Captions come from key tables all over the windows and the catalogue; a key the dictionary
// lacks shows as the key itself and is reported once. None may be reported in any language.
void TestMainWindow::everyCaptionKeyExists() {
    static QStringList reported;
    reported.clear();
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext& context, const QString& message) {
            if (qstrcmp(context.category, "kovr.lang") == 0) reported.append(message);
        });
    Window w;
    TSetup setup;
    TSetupForm setupForm(setup, {}, {});
    AboutBox about;
    TPrubehForm progress;
    ServiceSheet sheet;
    for (int language = 0; language < 4; ++language) {
        LangIndex = language;
        w.window.Napisy(true);
        setupForm.applyCaptions();
        about.applyCaptions();
        progress.applyCaptions();
        sheet.applyHeaders();
        for (int b = 0; b < DeviceImage::CountB; ++b)
            ParameterCatalogue::valueListTexts(b);
        ParameterCatalogue::b8BitTexts();
        for (int row = 1; row <= ParameterCatalogue::RightRows; ++row)
            for (int grid = 0; grid < 2; ++grid)
                sheet.ServiceStringGridWriteNapis(grid, 0, row);
    }
    qInstallMessageHandler(previous);
    QVERIFY2(reported.isEmpty(), qPrintable(reported.join(QLatin1Char('\n'))));
}

// The keyboard starts on a harmless control, and Tab follows the reading order: the monitoring
// half, then the parameter half's left column, its selectors, and its backup, each group from
// the top.
void TestMainWindow::tabRingInReadingOrder() {
    Window w;
    w.window.show();
    QVERIFY(QTest::qWaitForWindowActive(&w.window));
    QWidget* first = QApplication::focusWidget();
    QVERIFY(first);
    QCOMPARE(first->objectName(), QStringLiteral("Edit13"));
    QStringList groups;
    QList<int> tops;
    QWidget* x = first;
    do {
        if (x->focusPolicy() & Qt::TabFocus) {
            const QString group = x->parentWidget()->objectName();
            const int top = x->mapTo(&w.window, QPoint(0, 0)).y();
            if (!groups.isEmpty() && groups.last() == group)
                QVERIFY2(top >= tops.last(), qPrintable(x->objectName()));
            else
                groups << group;
            tops << top;
        }
        x = x->nextInFocusChain();
    } while (x != first);
    QCOMPARE(groups,
             (QStringList{"GroupBox9", "GroupBox17", "GroupBox14", "GroupBox13", "GroupBox8",
                          "GroupBox12", "GroupBox19", "GroupBox10", "GroupBox16", "GroupBox7"}));
    // And a real Tab goes where the chain says.
    QTest::keyClick(first, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("Edit11"));
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"

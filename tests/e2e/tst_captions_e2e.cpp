// Captions of every window of the program in the four languages, and a language change in the
// setup dialog while the windows are open against the simulated unit: every window shows texts
// of the chosen language, none shows a dictionary key in place of its text, and the lists keep
// what they must keep.

#include "EventWait.h"
#include "LinkFakes.h"
#include "SimulatedProgram.h"
#include "app/CalibrationDialogs.h"
#include "app/Program.h"
#include "app/ServiceDialogs.h"
#include "lang/Lang.h"
#include "link/CommandScheduler.h"
#include "params/ServiceEditing.h"
#include "params/ServiceSheet.h"
#include "session/Session.h"
#include "ui/ChybyForm.h"
#include "ui/MainWindow.h"
#include "ui/MomentForm.h"
#include "ui/MotionForm.h"
#include "ui/ParametryForm.h"
#include "ui/PrubehForm.h"
#include "ui/PwmForm.h"
#include "ui/RSForm.h"
#include "ui/ServiceForm.h"
#include "ui/SetupForm.h"
#include "ui/SnimacForm.h"
#include "ui/TraceForm.h"
#include "ui/TrendForm.h"
#include "ui/UiFont.h"
#include "ui/VystupyForm.h"
#include "ui/WindowPlacement.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {

// One visible text of a window: where it is and what it says.
struct ShownText {
    QString where;
    QString text;
};

QString nameOf(const QObject* object) {
    return object->objectName().isEmpty() ? QString::fromLatin1(object->metaObject()->className())
                                          : object->objectName();
}

bool insideComboBox(const QWidget* widget) {
    for (const QWidget* w = widget->parentWidget(); w; w = w->parentWidget())
        if (qobject_cast<const QComboBox*>(w)) return true;
    return false;
}

// The window an object is shown in: menus and list pop-ups count as part of the window that
// owns them, dialogs made with the main window as parent as windows of their own.
const QWidget* ownerWindow(const QObject* object) {
    for (; object; object = object->parent()) {
        const auto* widget = qobject_cast<const QWidget*>(object);
        if (widget && widget->isWindow() && !qobject_cast<const QMenu*>(widget) &&
            !insideComboBox(widget))
            return widget;
    }
    return nullptr;
}

// The children of type T that `window` itself shows.
template <typename T> QList<T*> shownIn(QWidget* window) {
    QList<T*> own;
    for (T* child : window->findChildren<T*>())
        if (ownerWindow(child) == window) own.append(child);
    return own;
}

// Every text a window shows: its caption, the captions of its groups, labels, buttons, check
// boxes, menus and actions, the items of its lists and the cells of its grids.
QList<ShownText> shownTexts(QWidget* window) {
    QList<ShownText> texts{{QStringLiteral("caption"), window->windowTitle()}};
    for (const QAction* action : shownIn<QAction>(window))
        texts.append({nameOf(action), action->text()});
    for (const QMenu* menu : shownIn<QMenu>(window))
        texts.append({nameOf(menu), menu->title()});
    for (const QGroupBox* group : shownIn<QGroupBox>(window))
        texts.append({nameOf(group), group->title()});
    for (const QLabel* label : shownIn<QLabel>(window))
        texts.append({nameOf(label), label->text()});
    for (const QAbstractButton* button : shownIn<QAbstractButton>(window))
        texts.append({nameOf(button), button->text()});
    for (const QComboBox* combo : shownIn<QComboBox>(window))
        for (int i = 0; i < combo->count(); ++i)
            texts.append({nameOf(combo) + QStringLiteral(" item %1").arg(i), combo->itemText(i)});
    for (const QTabWidget* tabs : shownIn<QTabWidget>(window))
        for (int i = 0; i < tabs->count(); ++i)
            texts.append({nameOf(tabs) + QStringLiteral(" tab %1").arg(i), tabs->tabText(i)});
    for (const QAbstractItemView* view : shownIn<QAbstractItemView>(window)) {
        if (insideComboBox(view) || qobject_cast<const QHeaderView*>(view) || !view->model())
            continue;
        const QAbstractItemModel& model = *view->model();
        const auto* table = qobject_cast<const QTableView*>(view);
        if (table && !table->horizontalHeader()->isHidden())
            for (int col = 0; col < model.columnCount(); ++col)
                texts.append({nameOf(view) + QStringLiteral(" header %1").arg(col),
                              model.headerData(col, Qt::Horizontal).toString()});
        for (int row = 0; row < model.rowCount(); ++row)
            for (int col = 0; col < model.columnCount(); ++col)
                texts.append({nameOf(view) + QStringLiteral(" (%1, %2)").arg(col).arg(row),
                              model.index(row, col).data().toString()});
    }
    return texts;
}

// Every text of the current language, whichever key gives it.
QSet<QString> currentLanguageTexts() {
    QSet<QString> texts;
    for (const QString& key : LangKeys())
        texts.insert(LangText(key));
    return texts;
}

// A text that is a dictionary key and would read differently in the current language: the
// key itself shown where its text belongs, or a Czech caption left untranslated. A text that
// the current language gives some other key ("Stop" is English for "Zastavit") is a text.
bool isUntranslatedKey(const QString& text, const QSet<QString>& languageTexts) {
    return !text.isEmpty() && LangHasKey(text) && LangText(text) != text &&
           !languageTexts.contains(text);
}

// Controls that the caption tables leave out keep the Czech caption they are built with in
// every language: the caption of the CPT dialog, the "PC" mark of the motion dialogs, the
// buttons of the torque and sensor dialogs (only their captions and grids are translated).
struct FixedText {
    const char* window;
    const char* where; // a control's name, or the start of the names of a row of buttons
};

const FixedText FixedTexts[] = {
    {"CPT dialog", "caption"},   {"position dialog", "Label1"}, {"motor dialog", "Label1"},
    {"torque dialog", "Button"}, {"sensor dialog", "Button"},   {"sensor dialog", "CancelBtn"},
};

bool isFixed(const QString& window, const QString& where) {
    for (const FixedText& fixed : FixedTexts)
        if (window == QLatin1String(fixed.window) && where.startsWith(QLatin1String(fixed.where)))
            return true;
    return false;
}

struct Window {
    const char* name;
    QWidget* widget;
};

// The windows of the program; the outputs-test dialog is Czech in every language and is
// checked on its own.
QList<Window> translatedWindows(Program& program) {
    ServiceDialogs& dialogs = program.serviceDialogs();
    CalibrationDialogs& calibration = program.calibrationDialogs();
    return {
        {"main window", &program.mainWindow()},
        {"service window", &program.serviceForm()},
        {"position dialog", &dialogs.polohaForm()},
        {"CPT dialog", &dialogs.pwmForm()},
        {"parameters dialog", &program.parametryForm()},
        {"error-masks dialog", &dialogs.chybyForm()},
        {"setup dialog", &program.setupForm()},
        {"motor dialog", &dialogs.motorForm()},
        {"progress window", &program.progressWindow()},
        {"about box", program.mainWindow().findChild<QDialog*>(QStringLiteral("AboutBox"))},
        {"control-signal dialog", &dialogs.rsForm()},
        {"sensor dialog", &calibration.snimacForm()},
        {"torque dialog", &calibration.momentForm()},
    };
}

// The windows of the tool's own, captioned from the added texts.
QList<Window> addedTextWindows(Program& program) {
    return {
        {"trace window", &program.traceForm()},
        {"trend window", &program.trendForm()},
    };
}

// A text that an added key gives in some language, but not the current one: left over from the
// language the window was made in.
QStringList untranslatedAdded(Program& program) {
    QSet<QString> current, other;
    const int language = LangIndex;
    for (int l = 0; l < 4; ++l) {
        LangIndex = l;
        for (const QString& key : LangAddedKeys())
            (l == language ? current : other).insert(LangAddedText(key));
    }
    LangIndex = language;
    QStringList found;
    for (const Window& window : addedTextWindows(program))
        for (const ShownText& shown : shownTexts(window.widget))
            if (other.contains(shown.text) && !current.contains(shown.text))
                found << QStringLiteral("%1 %2: \"%3\"")
                             .arg(QLatin1String(window.name), shown.where, shown.text);
    return found;
}

QStringList untranslated(Program& program) {
    QStringList found = untranslatedAdded(program);
    const QSet<QString> languageTexts = currentLanguageTexts();
    for (const Window& window : translatedWindows(program)) {
        const QString name = QString::fromLatin1(window.name);
        if (!window.widget) {
            found << name + QStringLiteral(": missing");
            continue;
        }
        for (const ShownText& shown : shownTexts(window.widget))
            if (isUntranslatedKey(shown.text, languageTexts) && !isFixed(name, shown.where))
                found << QStringLiteral("%1 %2: \"%3\" (\"%4\")")
                             .arg(name, shown.where, shown.text, LangText(shown.text));
    }
    return found;
}

// What a screen reader finds wrong among the inputs of `window`: an input without a name, two
// inputs of the same name, a group not named by its own title, a gauge without a value.
QStringList accessibilityFaults(QWidget* window) {
    QStringList faults;
    QHash<QString, QString> names; // name -> object
    std::function<void(QAccessibleInterface*)> walk = [&](QAccessibleInterface* a) {
        if (!a) return;
        const QString object = a->object() ? a->object()->objectName() : QString();
        // Qt on Linux gives a list its shown item as name (its label is a relation): the name
        // the program gives it is the widget's.
        const auto* widget = qobject_cast<const QWidget*>(a->object());
        const QString name = a->role() == QAccessible::ComboBox && widget
                                 ? widget->accessibleName()
                                 : a->text(QAccessible::Name);
        switch (a->role()) {
        case QAccessible::Grouping:
            // Its own title; an untitled group a name of its own, not its outer group's.
            if (const auto* group = qobject_cast<const QGroupBox*>(a->object())) {
                const QString title = group->title().remove(u'&').simplified();
                const auto* outer = qobject_cast<const QGroupBox*>(group->parentWidget());
                if (title.isEmpty() ? name.isEmpty() || (outer && name == outer->title())
                                    : name != title)
                    faults << QStringLiteral("group %1 named \"%2\"").arg(object, name);
            }
            break;
        case QAccessible::ProgressBar:
            if (a->text(QAccessible::Value).isEmpty())
                faults << QStringLiteral("gauge %1 without a value").arg(object);
            [[fallthrough]];
        case QAccessible::ComboBox:
        case QAccessible::EditableText:
        case QAccessible::Table:
        case QAccessible::CheckBox:
        case QAccessible::RadioButton:
            if (name.isEmpty())
                faults << QStringLiteral("%1 without a name").arg(object);
            else if (names.contains(name))
                faults << QStringLiteral("%1 and %2 both \"%3\"").arg(names[name], object, name);
            names.insert(name, object);
            return; // the inside of a list or grid is its own business
        default: break;
        }
        for (int i = 0; i < a->childCount(); ++i)
            walk(a->child(i));
    };
    walk(QAccessible::queryAccessibleInterface(window));
    return faults;
}

// The dictionary's reports of keys it lacks, or lacks in the current language.
QStringList g_langReports;

void collectLangReports(QtMsgType, const QMessageLogContext& context, const QString& message) {
    if (qstrcmp(context.category, "kovr.lang") == 0) g_langReports.append(message);
}

QComboBox* combo(QWidget& window, const char* name) {
    return window.findChild<QComboBox*>(QString::fromLatin1(name));
}

QString cell(QWidget& window, const char* grid, int row, int col) {
    const auto* view = window.findChild<QAbstractItemView*>(QString::fromLatin1(grid));
    return view ? view->model()->index(row, col).data().toString() : QString();
}

} // namespace

class TestCaptionsEndToEnd : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QApplication::setFont(kovrFont()); }
    void cleanup() { LangIndex = 0; }
    void everyWindowInEveryLanguage_data();
    void everyWindowInEveryLanguage();
    void languageChangeRedrawsOpenWindows();

private:
    // kovr.ini in `dir` with COM 3 on `device` and the language `language`.
    static bool writeIni(const QTemporaryDir& dir, const QByteArray& device, int language);
    // Chooses `language` in the setup dialog and confirms it, as the user does.
    static void chooseLanguage(TSetupForm& setup, int language);
};

bool TestCaptionsEndToEnd::writeIni(const QTemporaryDir& dir, const QByteArray& device,
                                    int language) {
    QFile ini(dir.filePath(QStringLiteral("kovr.ini")));
    if (!ini.open(QIODevice::WriteOnly)) return false;
    ini.write("[Ports]\nCOM3=" + device +
              "\n\n[Setup]\nPort=3\nLang=" + QByteArray::number(language) + "\n");
    return true;
}

void TestCaptionsEndToEnd::chooseLanguage(TSetupForm& setup, int language) {
    setup.show();
    auto* item = setup.findChild<QRadioButton*>(QStringLiteral("rbLang%1").arg(language));
    QVERIFY(item);
    item->click();
    QTest::mouseClick(setup.findChild<QPushButton*>(QStringLiteral("OKBtn")), Qt::LeftButton);
    QVERIFY(!setup.isVisible());
    QCOMPARE(LangIndex, language);
}

void TestCaptionsEndToEnd::everyWindowInEveryLanguage_data() {
    QTest::addColumn<int>("language");
    QTest::newRow("Czech") << 0;
    QTest::newRow("English") << 1;
    QTest::newRow("Polish") << 2;
    QTest::newRow("Russian") << 3;
}

// The program started in each language (every window translated at creation), then the
// captions applied again as a language change applies them. No window is shown: the link is
// not needed for captions.
void TestCaptionsEndToEnd::everyWindowInEveryLanguage() {
    QFETCH(int, language);
    QTemporaryDir dir;
    QVERIFY(writeIni(dir, "/nonexistent/kovr-tty", language));
    FakePrompter prompter;
    g_langReports.clear();
    const QtMessageHandler previous = qInstallMessageHandler(collectLangReports);
    const auto restore = qScopeGuard([previous] { qInstallMessageHandler(previous); });
    Program program(dir.path(), &prompter);
    QCOMPARE(LangIndex, language);
    const QStringList before = untranslated(program);
    // Named for a screen reader from the start, not only after a change of language.
    QVERIFY2(accessibilityFaults(&program.mainWindow()).isEmpty(),
             qPrintable(accessibilityFaults(&program.mainWindow()).join(QLatin1Char('\n'))));
    program.applyCaptions();
    QVERIFY2(g_langReports.isEmpty(), qPrintable(g_langReports.join(QLatin1Char('\n'))));
    QVERIFY2(before.isEmpty(), qPrintable(before.join(QLatin1Char('\n'))));
    const QStringList after = untranslated(program);
    QVERIFY2(after.isEmpty(), qPrintable(after.join(QLatin1Char('\n'))));
    // A screen reader can tell every input of the main window and the parameters dialog apart.
    for (QWidget* window : {static_cast<QWidget*>(&program.mainWindow()),
                            static_cast<QWidget*>(&program.parametryForm())}) {
        const QStringList faults = accessibilityFaults(window);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
    }
    // Every caption has room in its window's title bar.
    for (const Window& window : translatedWindows(program) + addedTextWindows(program)) {
        const QString title = window.widget->windowTitle();
        QVERIFY2(window.widget->width() >= titleBarWidth(title),
                 qPrintable(QStringLiteral("%1: \"%2\" in %3 px")
                                .arg(QLatin1String(window.name), title)
                                .arg(window.widget->width())));
    }

    // Copies from the main window read exactly as the main window does.
    MainWindow& main = program.mainWindow();
    const std::pair<const char*, const char*> repeated[] = {{"Label7", "Label22"},
                                                            {"Label17", "Label23"},
                                                            {"Label19", "Label24"},
                                                            {"Label20", "Label25"}};
    for (const auto& [original, copy] : repeated) {
        const QLabel* from = main.findChild<QLabel*>(QLatin1String(original));
        const QLabel* to = main.findChild<QLabel*>(QLatin1String(copy));
        QVERIFY(from && to);
        QCOMPARE(to->text(), from->text());
    }
    QComboBox* relays = combo(main, "ComboBox3");
    QComboBox* dialogRelays = combo(program.parametryForm(), "ComboBox3");
    QCOMPARE(dialogRelays->count(), relays->count());
    for (int i = 0; i < relays->count(); ++i)
        QCOMPARE(dialogRelays->itemText(i), relays->itemText(i));
    TChybyForm& masks = program.serviceDialogs().chybyForm();
    for (int row = 1; row <= 32; ++row)
        QCOMPARE(
            masks.findChild<QListWidget*>(QStringLiteral("CheckListBox2"))->item(row - 1)->text(),
            cell(main, "StringGrid1", row, 0));
    QCOMPARE(combo(program.parametryForm(), "ComboBox14")->count(), 3);

    // The outputs test is never translated.
    TVystupyForm& outputs = program.serviceDialogs().vystupyForm();
    QCOMPARE(outputs.windowTitle(), QStringLiteral("Výstupy"));
}

// Czech → Russian → English in the setup dialog with the windows open and the link running:
// each window redraws at once, the main window's lists keep their items, the service window
// starts again from "0" and its first selection, and the sensor and torque dialogs keep the
// language they were made in.
void TestCaptionsEndToEnd::languageChangeRedrawsOpenWindows() {
    SimulatedProgram sim;
    QString error;
    QVERIFY2(sim.open(&error), qPrintable(error));
    QVERIFY(sim.startAndRefresh());
    Program& program = *sim.program;
    FakePrompter& prompter = sim.prompter;
    MainWindow& main = program.mainWindow();

    TServiceForm& service = program.serviceForm();
    TParametryForm& parametry = program.parametryForm();
    ServiceDialogs& dialogs = program.serviceDialogs();
    TSnimacForm& sensor = program.calibrationDialogs().snimacForm();
    TMomentForm& torque = program.calibrationDialogs().momentForm();
    service.show();
    program.session().serviceEditing().NactiService(1, false);
    parametry.show();
    dialogs.chybyForm().show();
    // The diagnostic windows open from the manufacturer menu.
    TraceForm& trace = program.traceForm();
    TrendForm& trend = program.trendForm();
    main.action(QStringLiteral("ZaznamKomunikace"))->trigger();
    main.action(QStringLiteral("PrubehVelicin"))->trigger();
    QVERIFY(trace.isVisible() && trend.isVisible());
    const QString sensorTitle = sensor.windowTitle();
    const QString torqueCell = cell(torque, "StringGrid1", 1, 0);

    QComboBox* relay = combo(main, "ComboBox3");
    QComboBox* readyRelay = combo(main, "ComboBox4");
    const int relayItem = relay->currentIndex();
    const int readyItem = readyRelay->currentIndex();
    QVERIFY(relayItem > 0 && readyItem >= 0);
    combo(parametry, "ComboBox27")->setCurrentIndex(2);
    const auto selection = service.findChildren<QRadioButton*>();
    QCOMPARE(selection.size(), 2);
    selection.at(1)->click();

    struct Expected {
        const char* window;
        QString shown;
        const char* key;
    };
    for (int language : {3, 1}) {
        chooseLanguage(program.setupForm(), language);
        const Expected expected[] = {
            {"main window", main.findChild<QGroupBox*>(QStringLiteral("GroupBox1"))->title(),
             "Monitorovani"},
            {"service window", service.windowTitle(), "Parametry"},
            {"position dialog", dialogs.polohaForm().windowTitle(), "Poloha"},
            {"CPT dialog",
             dialogs.pwmForm().findChild<QPushButton*>(QStringLiteral("CancelBtn"))->text(),
             "Storno"},
            {"parameters dialog",
             parametry.findChild<QGroupBox*>(QStringLiteral("GroupBox12"))->title(), "Regulátor"},
            {"error-masks dialog", dialogs.chybyForm().windowTitle(), "Varování a chyby"},
            {"setup dialog", program.setupForm().windowTitle(), "Nastavení"},
            {"motor dialog", dialogs.motorForm().windowTitle(), "Motor"},
            {"progress window", program.progressWindow().windowTitle(), "Čekejte prosím"},
            {"about box", main.findChild<QDialog*>(QStringLiteral("AboutBox"))->windowTitle(),
             "O aplikaci"},
            {"control-signal dialog", dialogs.rsForm().windowTitle(), "Řídicí signál"},
        };
        for (const Expected& e : expected)
            QVERIFY2(e.shown == LangText(QString::fromUtf8(e.key)),
                     qPrintable(QStringLiteral("%1 in language %2: \"%3\"")
                                    .arg(QLatin1String(e.window))
                                    .arg(language)
                                    .arg(e.shown)));
        const QStringList leftOver = untranslatedAdded(program);
        QVERIFY2(leftOver.isEmpty(), qPrintable(leftOver.join(QLatin1Char('\n'))));
        // The names a screen reader reads follow the language, the window-named groups too.
        const QStringList faults = accessibilityFaults(&main);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
        QCOMPARE(main.findChild<QWidget*>(QStringLiteral("Edit6"))->accessibleName(),
                 LangText(QStringLiteral("Čas chodu")));
        QCOMPARE(main.findChild<QWidget*>(QStringLiteral("Edit13"))->accessibleName(),
                 LangText(QStringLiteral("Krajní polohy")) + u' ' + LangText(QStringLiteral("Z")));
        QCOMPARE(parametry.findChild<QGroupBox*>(QStringLiteral("GroupBox1"))->accessibleName(),
                 parametry.windowTitle());
        QCOMPARE(trace.windowTitle(), LangAddedText(QStringLiteral("TraceTitulek")));
        QCOMPARE(trend.windowTitle(), LangAddedText(QStringLiteral("TrendTitulek")));
        QCOMPARE(relay->currentIndex(), relayItem);
        QCOMPARE(readyRelay->currentIndex(), readyItem);
        QCOMPARE(relay->itemText(0), LangText(QStringLiteral("vypnuto")));
        QCOMPARE(combo(parametry, "ComboBox27")->currentIndex(), 2);
        QVERIFY(selection.at(0)->isChecked());
        const ServiceSheet& sheet = program.session().sheet();
        for (int grid : {ServiceSheet::LeftGrid, ServiceSheet::RightGrid}) {
            QStringList values;
            for (int row = 1; row <= (grid == ServiceSheet::LeftGrid ? 42 : 44); ++row)
                values << sheet.cell(grid, ServiceSheet::ValueColumn, row);
            QCOMPARE(values, QStringList(values.size(), QStringLiteral("0")));
        }
        QCOMPARE(sheet.cell(ServiceSheet::LeftGrid, 1, 0), LangText(QStringLiteral("Změna")));
        QCOMPARE(sensor.windowTitle(), sensorTitle);
        QCOMPARE(cell(torque, "StringGrid1", 1, 0), torqueCell);
        QCOMPARE(main.statusText(0), QStringLiteral("RUN"));
        QCOMPARE(main.statusText(7), LangText(QStringLiteral("VyrobceElektroniky")));
    }
    // Both show what the running link brought: its frames, and the position of the records.
    KOVR_TRY_VERIFY(trace.table()->model()->rowCount() > 0);
    const QList<QPointF>& position = trend.line(TrendPlot::Quantity::Position).points;
    KOVR_TRY_VERIFY(!position.isEmpty());
    const QPointF newest = position.last();
    const QList<TrendSample> recorded = program.session().trend().samples();
    const auto drawn = std::find_if(recorded.cbegin(), recorded.cend(), [&](const TrendSample& s) {
        return s.time == qint64(newest.x());
    });
    QVERIFY(drawn != recorded.cend());
    QCOMPARE(newest.y(), drawn->position);
    QCOMPARE(relay->itemText(0), QStringLiteral("off"));
    QCOMPARE(program.setup().Lang, QStringLiteral("1"));
    // The link went on through both changes: it was running, so it was not restarted.
    QCOMPARE(program.session().scheduler().komStav(), 2);
    QVERIFY(prompter.questions.isEmpty());
}

QTEST_MAIN(TestCaptionsEndToEnd)
#include "tst_captions_e2e.moc"

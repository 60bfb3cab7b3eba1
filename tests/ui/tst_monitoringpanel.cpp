#include "CaptionFit.h"
#include "LinkFakes.h"
#include "device/MonitorDisplay.h"
#include "lang/Lang.h"
#include "ui/GaugeWidget.h"
#include "ui/MonitoringPanel.h"
#include "ui/UiFont.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>

namespace {

// Counts paint events per widget, to tell which controls a render touched.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* root) {
        watch(root);
        const QList<QWidget*> all = root->findChildren<QWidget*>();
        for (QWidget* w : all)
            watch(w);
    }
    QHash<QObject*, int> paints;
    int total() const {
        int sum = 0;
        for (int n : paints)
            sum += n;
        return sum;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints[watched];
        return false;
    }

private:
    void watch(QWidget* w) { w->installEventFilter(this); }
};

struct Panel {
    FakePrompter prompter;
    MonitoringPanel panel{prompter};

    template <typename T> T* get(const char* name) const {
        T* child = panel.findChild<T*>(QString::fromLatin1(name));
        if (!child) qFatal("no child %s", name);
        return child;
    }
    QString text(const char* edit) const { return get<QLineEdit>(edit)->text(); }
    QString cell(const char* grid, int row, int col) const {
        return get<QTableWidget>(grid)->item(row, col)->text();
    }
    QColor cellColour(const char* grid, int row, int col) const {
        return get<QTableWidget>(grid)->item(row, col)->background().color();
    }
};

// A display with something in every kind of element.
MonitorDisplay busyDisplay() {
    MonitorDisplay d;
    d.Gauge1 = {5055, true, false};
    d.Gauge2 = {2500, false, false};
    d.Gauge3 = {40, false, true};
    d.Gauge4 = {75, true, false};
    d.Edit1 = QStringLiteral("123456");
    d.Edit2 = QStringLiteral("12.3");
    d.Edit3 = QStringLiteral("stop");
    d.Edit4 = QStringLiteral("812");
    d.Edit5 = QStringLiteral("-5");
    d.Edit6 = QStringLiteral("300:05");
    d.Edit7 = QStringLiteral("zavírat");
    d.Edit9 = QStringLiteral("otevírat");
    d.Edit12 = QStringLiteral("300");
    d.Edit14 = QStringLiteral("17");
    d.Edit15 = QStringLiteral("4711");
    d.CheckBox1 = true;
    d.CheckBox5 = true;
    d.CheckBox20 = true;
    d.CheckBox2 = true;
    // Error group 2 as 0x81: rows 17 and 24.
    d.errorGrid.setCell(1, 17, QStringLiteral("X"));
    d.errorGrid.setCell(1, 24, QStringLiteral("X"));
    d.errorGrid.setCell(2, 32, QStringLiteral("255"));
    d.errorGridRed = true;
    // Input/output group 2 as 0x10: "Topení".
    d.ioGrids[2].setCell(1, 4, QStringLiteral("X"));
    d.ioGrids[0].setCell(1, 0, QStringLiteral("X"));
    return d;
}

void settle() {
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

} // namespace

class TestMonitoringPanel : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QApplication::setFont(kovrFont()); }
    void init() { LangIndex = 0; }
    void cleanupTestCase() { LangIndex = 0; }

    void layout_data();
    void layout();
    void startState();
    void gaugeValueAndText_data();
    void gaugeValueAndText();
    void gaugeRepaintsOnlyOnChange();
    void rendersDisplay();
    void errorGridColourFollowsActiveErrors();
    void renderTouchesOnlyWhatChanged();
    void checkBoxesIgnoreTheUser();
    void resetButtons_data();
    void resetButtons();
    void captions_data();
    void captions();
    void captionsFit_data();
    void captionsFit();
    void controlSignalVisibility();
};

void TestMonitoringPanel::layout_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::newRow("GroupBox3") << "GroupBox3" << QRect(8, 13, 269, 37);
    QTest::newRow("GroupBox4") << "GroupBox4" << QRect(8, 49, 269, 37);
    QTest::newRow("Moment") << "Moment" << QRect(8, 85, 269, 65);
    QTest::newRow("GroupBox5") << "GroupBox5" << QRect(8, 149, 83, 41);
    QTest::newRow("GroupBox15") << "GroupBox15" << QRect(101, 149, 83, 41);
    QTest::newRow("GroupBox18") << "GroupBox18" << QRect(194, 149, 83, 41);
    QTest::newRow("GroupBox6") << "GroupBox6" << QRect(8, 189, 269, 155);
    QTest::newRow("GroupBox10") << "GroupBox10" << QRect(8, 343, 269, 42);
    QTest::newRow("GroupBox16") << "GroupBox16" << QRect(8, 385, 269, 70);
    QTest::newRow("GroupBox11") << "GroupBox11" << QRect(6, 457, 181, 52);
    QTest::newRow("Teplota") << "Teplota" << QRect(193, 455, 84, 52);
    QTest::newRow("GroupBox7") << "GroupBox7" << QRect(280, 6, 215, 499);
}

// Each group sits where the main window expects it, directly on the panel, and everything
// in it lies inside it.
void TestMonitoringPanel::layout() {
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    Panel p;
    QCOMPARE(p.panel.objectName(), QStringLiteral("GroupBox1"));
    QCOMPARE(p.panel.size(), QSize(501, 507));
    auto* group = p.panel.findChild<QGroupBox*>(name);
    QVERIFY(group);
    QCOMPARE(group->parentWidget(), &p.panel);
    QCOMPARE(group->geometry(), geometry);
    const QList<QWidget*> children = group->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    QVERIFY(!children.isEmpty());
    for (QWidget* child : children)
        QVERIFY2(group->rect().contains(child->geometry()), qPrintable(child->objectName()));
}

void TestMonitoringPanel::startState() {
    Panel p;
    p.panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&p.panel));
    auto* gauge1 = p.get<GaugeWidget>("Gauge1");
    QCOMPARE(gauge1->size(), QSize(162, 17));
    QCOMPARE(gauge1->maximum(), 10000);
    QCOMPARE(gauge1->text(), QStringLiteral("0%"));
    QCOMPARE(p.get<GaugeWidget>("Gauge2")->maximum(), 10000);
    for (const char* torque : {"Gauge3", "Gauge4"}) {
        auto* gauge = p.get<GaugeWidget>(torque);
        QCOMPARE(gauge->size(), QSize(41, 17));
        QCOMPARE(gauge->maximum(), 100);
        QCOMPARE(gauge->value(), 0);
        QCOMPARE(gauge->text(), QString());
    }
    for (const char* edit : {"Edit1", "Edit2", "Edit3", "Edit4", "Edit5", "Edit6", "Edit7", "Edit9",
                             "Edit12", "Edit14", "Edit15"}) {
        QVERIFY2(p.text(edit).isEmpty(), edit);
        QVERIFY2(p.get<QLineEdit>(edit)->isReadOnly(), edit);
    }
    for (const char* hidden : {"CheckBox2", "CheckBox3", "CheckBox4"})
        QVERIFY2(p.get<QCheckBox>(hidden)->isHidden(), hidden);
    for (const char* button : {"Button1", "Button3", "Button10"})
        QVERIFY2(p.get<QPushButton>(button)->isEnabled(), button);

    auto* errors = p.get<QTableWidget>("StringGrid1");
    QCOMPARE(errors->columnCount(), 3);
    QCOMPARE(errors->rowCount(), 34);
    QCOMPARE(errors->columnWidth(0), 116);
    QCOMPARE(errors->columnWidth(1), 34);
    QCOMPARE(errors->columnWidth(2), 74);
    QCOMPARE(errors->rowHeight(20), 13);
    QCOMPARE(errors->font().pixelSize(), 9);
    QCOMPARE(errors->currentRow(), 33);
    QCOMPARE(errors->currentColumn(), 0);
    QVERIFY(errors->selectedItems().isEmpty());
    for (int row = 1; row < 34; ++row)
        for (int col = 1; col < 3; ++col)
            QVERIFY(p.cell("StringGrid1", row, col).isEmpty());
    for (const char* name : {"StringGrid2", "StringGrid3", "StringGrid4"}) {
        auto* grid = p.get<QTableWidget>(name);
        QCOMPARE(grid->columnCount(), 2);
        QCOMPARE(grid->rowCount(), 9);
        QCOMPARE(grid->columnWidth(0), 70);
        QCOMPARE(grid->columnWidth(1), 11);
        QCOMPARE(grid->rowHeight(3), 15);
        QCOMPARE(grid->currentRow(), 8);
        QCOMPARE(grid->editTriggers(), QAbstractItemView::NoEditTriggers);
        // Every row in view.
        QVERIFY(grid->viewport()->height() >= 9 * 15);
    }
    QVERIFY(errors->viewport()->height() >= 34 * 13);
}

void TestMonitoringPanel::gaugeValueAndText_data() {
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("shown");
    QTest::addColumn<QString>("text");
    QTest::newRow("half") << 10000 << 5000 << 5000 << "50%";
    QTest::newRow("whole percent truncated") << 10000 << 9999 << 9999 << "99%";
    QTest::newRow("full") << 100 << 100 << 100 << "100%";
    QTest::newRow("above clamps") << 100 << 250 << 100 << "100%";
    QTest::newRow("below clamps") << 10000 << -7 << 0 << "0%";
}

void TestMonitoringPanel::gaugeValueAndText() {
    QFETCH(int, maximum);
    QFETCH(int, value);
    QFETCH(int, shown);
    QFETCH(QString, text);
    GaugeWidget gauge;
    gauge.setRange(0, maximum);
    gauge.setValue(value);
    QCOMPARE(gauge.value(), shown);
    QCOMPARE(gauge.text(), QString());
    gauge.setShowText(true);
    QCOMPARE(gauge.text(), text);
}

void TestMonitoringPanel::gaugeRepaintsOnlyOnChange() {
    GaugeWidget gauge;
    gauge.resize(162, 17);
    gauge.setRange(0, 100);
    gauge.show();
    QVERIFY(QTest::qWaitForWindowExposed(&gauge));
    settle();
    PaintCounter counter(&gauge);
    gauge.setValue(0);
    gauge.setShowText(false);
    gauge.setBarColor(Qt::black);
    settle();
    QCOMPARE(counter.total(), 0);
    gauge.setBarColor(Qt::red);
    settle();
    QCOMPARE(counter.total(), 1);
    gauge.setValue(30);
    settle();
    QCOMPARE(counter.total(), 2);

    // The bar covers its share of the inside and takes the bar colour.
    const QImage image = gauge.grab().toImage();
    QCOMPARE(image.pixelColor(10, 8), QColor(Qt::red));
    QCOMPARE(image.pixelColor(150, 8), QColor(Qt::white));
}

void TestMonitoringPanel::rendersDisplay() {
    Panel p;
    p.panel.render(busyDisplay());

    auto* gauge1 = p.get<GaugeWidget>("Gauge1");
    QCOMPARE(gauge1->value(), 5055);
    QCOMPARE(gauge1->text(), QStringLiteral("50%"));
    QCOMPARE(p.get<GaugeWidget>("Gauge2")->value(), 2500);
    auto* gauge3 = p.get<GaugeWidget>("Gauge3");
    QCOMPARE(gauge3->value(), 40);
    QCOMPARE(gauge3->text(), QString());
    QCOMPARE(gauge3->barColor(), QColor(Qt::red));
    auto* gauge4 = p.get<GaugeWidget>("Gauge4");
    QCOMPARE(gauge4->text(), QStringLiteral("75%"));
    QCOMPARE(gauge4->barColor(), QColor(Qt::black));

    const std::pair<const char*, QString> edits[] = {
        {"Edit1", "123456"}, {"Edit2", "12.3"},   {"Edit3", "stop"},    {"Edit4", "812"},
        {"Edit5", "-5"},     {"Edit6", "300:05"}, {"Edit7", "zavírat"}, {"Edit9", "otevírat"},
        {"Edit12", "300"},   {"Edit14", "17"},    {"Edit15", "4711"}};
    for (const auto& [edit, expected] : edits)
        QCOMPARE(p.text(edit), expected);

    const std::pair<const char*, bool> boxes[] = {
        {"CheckBox1", true},   {"CheckBox5", true}, {"CheckBox6", false}, {"CheckBox20", true},
        {"CheckBox21", false}, {"CheckBox2", true}, {"CheckBox3", false}, {"CheckBox4", false}};
    for (const auto& [box, checked] : boxes)
        QVERIFY2(p.get<QCheckBox>(box)->isChecked() == checked, box);
    QVERIFY(p.get<QCheckBox>("CheckBox2")->isHidden());

    for (int row = 17; row <= 24; ++row)
        QCOMPARE(p.cell("StringGrid1", row, 1),
                 row == 17 || row == 24 ? QStringLiteral("X") : QString());
    QCOMPARE(p.cell("StringGrid1", 32, 2), QStringLiteral("255"));
    // The captions stay: the display's own empty labels are not shown.
    QCOMPARE(p.cell("StringGrid1", 17, 0), QStringLiteral("Otáčení"));
    QCOMPARE(p.cell("StringGrid1", 0, 2), QStringLiteral("Počet"));
    for (int row = 0; row < 8; ++row)
        QCOMPARE(p.cell("StringGrid4", row, 1), row == 4 ? QStringLiteral("X") : QString());
    QCOMPARE(p.cell("StringGrid4", 4, 0), QStringLiteral("Topení"));
    QCOMPARE(p.cell("StringGrid2", 0, 1), QStringLiteral("X"));
    QCOMPARE(p.cell("StringGrid3", 0, 1), QString());

    // A later report clears what it no longer carries.
    MonitorDisplay cleared = busyDisplay();
    cleared.errorGrid.setCell(1, 17, QString());
    cleared.ioGrids[2].setCell(1, 4, QString());
    cleared.Edit12.clear();
    p.panel.render(cleared);
    QCOMPARE(p.cell("StringGrid1", 17, 1), QString());
    QCOMPARE(p.cell("StringGrid1", 24, 1), QStringLiteral("X"));
    QCOMPARE(p.cell("StringGrid4", 4, 1), QString());
    QCOMPARE(p.text("Edit12"), QString());
}

// The fixed column and row turn red together while any error is active, and go back to the
// button face when all clear.
void TestMonitoringPanel::errorGridColourFollowsActiveErrors() {
    Panel p;
    const QColor face = p.panel.palette().color(QPalette::Button);
    QVERIFY(face != QColor(Qt::red));
    auto fixedCells = [&](const QColor& colour) {
        for (int row = 0; row < 34; ++row)
            if (p.cellColour("StringGrid1", row, 0) != colour) return false;
        return p.cellColour("StringGrid1", 0, 1) == colour &&
               p.cellColour("StringGrid1", 0, 2) == colour;
    };
    QVERIFY(fixedCells(face));
    MonitorDisplay d = busyDisplay();
    p.panel.render(d);
    QVERIFY(fixedCells(Qt::red));
    QVERIFY(p.cellColour("StringGrid1", 17, 1) != QColor(Qt::red));
    d.errorGridRed = false;
    p.panel.render(d);
    QVERIFY(fixedCells(face));
}

void TestMonitoringPanel::renderTouchesOnlyWhatChanged() {
    Panel p;
    p.panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&p.panel));
    MonitorDisplay d = busyDisplay();
    p.panel.render(d);
    settle();

    // setText clears an edit's modified flag even for the same text: a flag that survives
    // shows the edit was left alone.
    const QList<QLineEdit*> edits = p.panel.findChildren<QLineEdit*>();
    for (QLineEdit* edit : edits)
        edit->setModified(true);
    PaintCounter counter(&p.panel);
    p.panel.render(d);
    settle();
    QCOMPARE(counter.total(), 0);
    for (QLineEdit* edit : edits)
        QVERIFY2(edit->isModified(), qPrintable(edit->objectName()));

    // One temperature step repaints the temperature edit and leaves the gauges and grids be.
    d.Edit5 = QStringLiteral("-4");
    p.panel.render(d);
    settle();
    QVERIFY(counter.paints.value(p.get<QLineEdit>("Edit5")) > 0);
    QVERIFY(!p.get<QLineEdit>("Edit5")->isModified());
    QVERIFY(p.get<QLineEdit>("Edit1")->isModified());
    for (const char* untouched : {"Gauge1", "Gauge3", "Edit1"})
        QCOMPARE(counter.paints.value(p.get<QWidget>(untouched)), 0);
    QCOMPARE(counter.paints.value(p.get<QTableWidget>("StringGrid1")->viewport()), 0);

    counter.paints.clear();
    d.errorGrid.setCell(2, 5, QStringLiteral("3"));
    p.panel.render(d);
    settle();
    QVERIFY(counter.paints.value(p.get<QTableWidget>("StringGrid1")->viewport()) > 0);
    QCOMPARE(counter.paints.value(p.get<QLineEdit>("Edit5")), 0);
}

void TestMonitoringPanel::checkBoxesIgnoreTheUser() {
    Panel p;
    p.panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&p.panel));
    for (const char* name : {"CheckBox1", "CheckBox5", "CheckBox6", "CheckBox20", "CheckBox21"}) {
        auto* box = p.get<QCheckBox>(name);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
        QVERIFY2(!box->isChecked(), name);
        QCOMPARE(box->focusPolicy(), Qt::NoFocus);
    }
}

void TestMonitoringPanel::resetButtons_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("item");
    QTest::newRow("errors") << "Button1" << 1;
    QTest::newRow("running time") << "Button3" << 0;
    QTest::newRow("relays") << "Button10" << 2;
}

void TestMonitoringPanel::resetButtons() {
    QFETCH(QString, button);
    QFETCH(int, item);
    Panel p;
    QSignalSpy spy(&p.panel, &MonitoringPanel::writeRequested);
    auto* push = p.panel.findChild<QPushButton*>(button);
    QVERIFY(push);

    p.prompter.answers = {false};
    push->click();
    QCOMPARE(p.prompter.questions, QStringList{QStringLiteral("Vynulovat ?")});
    QCOMPARE(spy.count(), 0);

    p.prompter.answers = {true};
    push->click();
    QCOMPARE(p.prompter.questions.size(), 2);
    QCOMPARE(spy.count(), 1);
    const QList<QVariant> args = spy.takeFirst();
    QCOMPARE(args.at(0).toInt(), item);
    QCOMPARE(args.at(1).toInt(), item);
    QCOMPARE(args.at(2).toInt(), 14);
    QCOMPARE(args.at(3).toBool(), false);
}

void TestMonitoringPanel::captions_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<QStringList>("expected");
    // Panel, GroupBox7, Button1, error rows 1, 18, 32, header "Počet", StringGrid2 row 0,
    // StringGrid3 row 1, StringGrid4 row 5, CheckBox5, Teplota.
    QTest::newRow("Czech") << 0 << QStringList{"Monitorování", "Varování a chyby", "Nulování",
                                               "Safe",         "Teplota <",        "Chybná poloha",
                                               "Počet",        "Dálkové",          "Otevřít",
                                               "stop",         "Kal. přev.",       "Teplota"};
    QTest::newRow("English") << 1 << QStringList{"Monitoring",    "Warnings and Errors",
                                                 "Reset",         "Safe",
                                                 "Temperature <", "Wrong Position",
                                                 "Count",         "Remote",
                                                 "Open",          "stop",
                                                 "Gearbox Cal.",  "Temperature"};
}

void TestMonitoringPanel::captions() {
    QFETCH(int, language);
    QFETCH(QStringList, expected);
    Panel p;
    p.panel.render(busyDisplay());
    LangIndex = language;
    p.panel.applyCaptions();
    const QStringList shown{p.panel.title(),
                            p.get<QGroupBox>("GroupBox7")->title(),
                            p.get<QPushButton>("Button1")->text(),
                            p.cell("StringGrid1", 1, 0),
                            p.cell("StringGrid1", 18, 0),
                            p.cell("StringGrid1", 32, 0),
                            p.cell("StringGrid1", 0, 2),
                            p.cell("StringGrid2", 0, 0),
                            p.cell("StringGrid3", 1, 0),
                            p.cell("StringGrid4", 5, 0),
                            p.get<QCheckBox>("CheckBox5")->text(),
                            p.get<QGroupBox>("Teplota")->title()};
    QCOMPARE(shown, expected);
    // Every error row has a name, and the unit's values survive the change of language.
    for (int row = 1; row <= 32; ++row)
        QVERIFY(!p.cell("StringGrid1", row, 0).isEmpty());
    QCOMPARE(p.cell("StringGrid1", 24, 1), QStringLiteral("X"));
    QCOMPARE(p.text("Edit7"), QStringLiteral("zavírat"));
}

void TestMonitoringPanel::captionsFit_data() {
    QTest::addColumn<int>("language");
    QTest::newRow("Czech") << 0;
    QTest::newRow("English") << 1;
    QTest::newRow("Polish") << 2;
    QTest::newRow("Russian") << 3;
}

// Every caption, grid label and the widest value of each edit fits its control in Tahoma.
void TestMonitoringPanel::captionsFit() {
    QFETCH(int, language);
    if (QFontInfo(kovrFont()).family() != QStringLiteral("Tahoma"))
        QSKIP("Tahoma is not installed");
    LangIndex = language;
    Panel p;
    auto fits = [](const QWidget* w, const QString& text, int room) {
        return w->fontMetrics().horizontalAdvance(text) <= room;
    };
    const QList<QGroupBox*> groups = p.panel.findChildren<QGroupBox*>();
    for (QGroupBox* g : groups)
        QVERIFY2(captionFits(g), qPrintable(g->title()));
    const QList<QCheckBox*> boxes = p.panel.findChildren<QCheckBox*>();
    for (QCheckBox* b : boxes)
        QVERIFY2(b->sizeHint().width() <= b->width(), qPrintable(b->text()));
    const QList<QPushButton*> buttons = p.panel.findChildren<QPushButton*>();
    for (QPushButton* b : buttons)
        QVERIFY2(fits(b, b->text(), b->width() - 12), qPrintable(b->text()));
    const QList<QTableWidget*> grids = p.panel.findChildren<QTableWidget*>();
    for (QTableWidget* grid : grids) {
        for (int row = 0; row < grid->rowCount(); ++row) {
            for (int col = 0; col < grid->columnCount(); ++col) {
                const QString label = grid->item(row, col)->text();
                QVERIFY2(fits(grid, label, grid->columnWidth(col) - 3), qPrintable(label));
            }
        }
    }
    const std::pair<const char*, QString> widest[] = {{"Edit1", "4294967295"},
                                                      {"Edit14", "4294967295"},
                                                      {"Edit15", "4294967295"},
                                                      {"Edit6", "65535:59"},
                                                      {"Edit4", "65535"},
                                                      {"Edit12", "65535"},
                                                      {"Edit5", "-128"},
                                                      {"Edit2", "100.0"},
                                                      {"Edit9", LangText("Otevirat")},
                                                      {"Edit3", LangText("Zavirat")},
                                                      {"Edit7", LangText("Otevirat")}};
    for (const auto& [name, value] : widest) {
        auto* edit = p.get<QLineEdit>(name);
        QVERIFY2(fits(edit, value, edit->width() - 8), name);
    }
    auto* errors = p.get<QTableWidget>("StringGrid1");
    QVERIFY(fits(errors, QStringLiteral("255"),
                 errors->width() - 2 * errors->frameWidth() - errors->columnWidth(0) -
                     errors->columnWidth(1) - 3));
}

void TestMonitoringPanel::controlSignalVisibility() {
    Panel p;
    p.panel.show();
    const QList<QWidget*> signalParts{p.get<QWidget>("Gauge2"), p.get<QWidget>("Edit2"),
                                      p.get<QLabel>("LabelmA")};
    for (QWidget* w : signalParts)
        QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
    QVERIFY(p.get<QWidget>("GroupBox4")->isVisible());
    p.panel.setControlSignalVisible(true);
    for (QWidget* w : signalParts)
        QVERIFY2(w->isVisible(), qPrintable(w->objectName()));
    p.panel.setControlSignalVisible(false);
    for (QWidget* w : signalParts)
        QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
}

QTEST_MAIN(TestMonitoringPanel)
#include "tst_monitoringpanel.moc"

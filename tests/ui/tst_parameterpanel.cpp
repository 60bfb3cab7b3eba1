#include "CaptionFit.h"
#include "LinkFakes.h"
#include "device/MonitorDisplay.h"
#include "image/DeviceImage.h"
#include "lang/Lang.h"
#include "ui/ParameterPanel.h"
#include "ui/UiFont.h"

#include <QApplication>
#include <QComboBox>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <memory>

namespace {

// The panel over its own image, display and prompter, as the main window holds it.
struct Rig {
    DeviceImage image;
    MonitorDisplay display;
    FakePrompter prompter;
    bool zapisZeSouboru = false;
    ParameterPanel panel{image, display, prompter, zapisZeSouboru};
    QSignalSpy writes{&panel, &ParameterPanel::writeRequested};

    template <typename T> T* child(const QString& name) const { return panel.findChild<T*>(name); }
    QComboBox* combo(const QString& name) const { return child<QComboBox>(name); }
    QLineEdit* edit(const QString& name) const { return child<QLineEdit>(name); }
    QPushButton* button(const QString& name) const { return child<QPushButton>(name); }

    // What a drop-down list does when the user picks an item from it.
    static void userPicks(QComboBox* combo, int item) {
        combo->setCurrentIndex(item);
        emit combo->activated(item);
    }

    // Relay-position rows 1..4 shown: a variant with relays 1 and 2, all on "poloha".
    void showRelayRows() {
        image.ParB[1][6] = 2;
        for (int b = 45; b <= 48; ++b)
            image.ParB[1][b] = 10;
        panel.ZobrazPar(1);
    }

    // Shown and active, so that an edit can take the focus.
    bool showActive() {
        panel.show();
        panel.activateWindow();
        return QTest::qWaitForWindowActive(&panel);
    }

    QString writeArgs(int i) const {
        const QList<QVariant>& a = writes.at(i);
        return QStringLiteral("%1,%2,%3,%4")
            .arg(a[0].toInt())
            .arg(a[1].toInt())
            .arg(a[2].toInt())
            .arg(a[3].toBool() ? 1 : 0);
    }
};

bool isRed(const QWidget* w) {
    return w->palette().color(QPalette::Window) == QColor(Qt::red);
}

const QStringList SelectorNames = {
    QStringLiteral("ComboBox23"), QStringLiteral("ComboBox14"), QStringLiteral("ComboBox8"),
    QStringLiteral("ComboBox7"),  QStringLiteral("ComboBox15"), QStringLiteral("ComboBox10"),
    QStringLiteral("ComboBox5"),  QStringLiteral("ComboBox4"),  QStringLiteral("ComboBox3"),
    QStringLiteral("ComboBox13"), QStringLiteral("ComboBox21"), QStringLiteral("ComboBox22"),
    QStringLiteral("ComboBox1"),  QStringLiteral("ComboBox9"),  QStringLiteral("ComboBox2"),
    QStringLiteral("ComboBox6"),  QStringLiteral("ComboBox11")};

} // namespace

class tst_ParameterPanel : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setFont(kovrFont()); }
    void init() {
        LangIndex = 0;
        rig = std::make_unique<Rig>();
    }
    void cleanup() {
        rig.reset();
        LangIndex = 0;
    }

    void controlsInTheirGroups();

    void selectorShowsValue_data();
    void selectorShowsValue();
    void valueBeyondListExtendsOnlyItsSelector();
    void faultyParameterShowsNothingOnRed();
    void userChoice_data();
    void userChoice();
    void writeFromFileKeepsSelectors();
    void workingTorquesFollowTorqueMeasurement();
    void motorFollowsVariantOfSetOne();

    void variantTable_data();
    void variantTable();
    void relayRows_data();
    void relayRows();

    void typedRelayPositionEnablesWrite();
    void currentPositionNeedsAnEnteredRow();
    void relayPositionsWrite_data();
    void relayPositionsWrite();
    void safePosition_data();
    void safePosition();
    void positionInput_data();
    void positionInput();

    void questions_data();
    void questions();

    void captionsFollowLanguage();
    void captionsFit_data();
    void captionsFit();
    void renderKeepsTyping();

private:
    std::unique_ptr<Rig> rig;
};

void tst_ParameterPanel::controlsInTheirGroups() {
    // Other windows copy captions and lists from these controls by name.
    const QList<std::pair<QString, QStringList>> groups = {
        {QStringLiteral("GroupBox9"),
         {QStringLiteral("Edit13"), QStringLiteral("Edit11"), QStringLiteral("Button4"),
          QStringLiteral("Button2")}},
        {QStringLiteral("GroupBox17"),
         {QStringLiteral("Button8"), QStringLiteral("Button9"), QStringLiteral("Label22"),
          QStringLiteral("Edit16"), QStringLiteral("Label23"), QStringLiteral("Edit17"),
          QStringLiteral("Label24"), QStringLiteral("Edit18"), QStringLiteral("Label25"),
          QStringLiteral("Edit19")}},
        {QStringLiteral("GroupBox8"),
         SelectorNames.mid(0, 12) +
             QStringList{
                 QStringLiteral("Label21"), QStringLiteral("Label14"), QStringLiteral("Label12"),
                 QStringLiteral("Label1"), QStringLiteral("Label15"), QStringLiteral("Label16"),
                 QStringLiteral("Label9"), QStringLiteral("Label8"), QStringLiteral("Label7"),
                 QStringLiteral("Label17"), QStringLiteral("Label19"), QStringLiteral("Label20")}},
        {QStringLiteral("GroupBox14"), {QStringLiteral("Button5"), QStringLiteral("Edit8")}},
        {QStringLiteral("GroupBox13"),
         {QStringLiteral("Button6"), QStringLiteral("Button7"), QStringLiteral("Edit20")}},
        {QStringLiteral("GroupBox12"),
         SelectorNames.mid(12) + QStringList{QStringLiteral("Label5"), QStringLiteral("Label13"),
                                             QStringLiteral("Label6"), QStringLiteral("Label10"),
                                             QStringLiteral("Label26")}},
        {QStringLiteral("GroupBox19"), {QStringLiteral("Button11"), QStringLiteral("Button12")}},
    };
    QCOMPARE(rig->panel.objectName(), QStringLiteral("GroupBox2"));
    QCOMPARE(rig->panel.title(), QStringLiteral("Parametry"));
    for (const auto& [group, names] : groups) {
        const QWidget* box = rig->child<QGroupBox>(group);
        QVERIFY2(box && box->parentWidget() == &rig->panel, qPrintable(group));
        for (const QString& name : names) {
            const QWidget* w = rig->child<QWidget>(name);
            QVERIFY2(w && w->parentWidget() == box, qPrintable(name));
        }
    }
    QCOMPARE(rig->combo(QStringLiteral("ComboBox3"))->width(), 177);
    QVERIFY(!rig->combo(QStringLiteral("ComboBox3"))->isEditable());
    QVERIFY(!rig->button(QStringLiteral("Button9"))->isEnabled());
    QVERIFY(!rig->button(QStringLiteral("Button7"))->isEnabled());
    QCOMPARE(rig->edit(QStringLiteral("Edit11"))->text(), QStringLiteral("0"));
    QCOMPARE(rig->edit(QStringLiteral("Edit13"))->text(), QStringLiteral("0"));
}

void tst_ParameterPanel::selectorShowsValue_data() {
    QTest::addColumn<QString>("combo");
    QTest::addColumn<int>("b");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("item");
    QTest::addColumn<QString>("text");

    QTest::newRow("B27 70") << "ComboBox14" << 27 << 70 << 2 << "70  %";
    QTest::newRow("B27 45 truncates to 50 %") << "ComboBox14" << 27 << 45 << 0 << "50  %";
    QTest::newRow("B27 40 below the list") << "ComboBox14" << 27 << 40 << -1 << "";
    QTest::newRow("B10 100") << "ComboBox8" << 10 << 100 << 5 << "100 %";
    QTest::newRow("B29 35 in whole seconds") << "ComboBox7" << 29 << 35 << 3 << "3 s";
    QTest::newRow("B32 0 below the list") << "ComboBox9" << 32 << 0 << -1 << "";
    QTest::newRow("B32 1") << "ComboBox9" << 32 << 1 << 0 << "1 %";
    QTest::newRow("B25 50") << "ComboBox10" << 25 << 50 << 50 << "50 %";
    QTest::newRow("B16 3") << "ComboBox23" << 16 << 3 << 3 << "moment+poloha O+Z";
    QTest::newRow("B56 2") << "ComboBox11" << 56 << 2 << 2 << "směr Z";
    QTest::newRow("B48 19") << "ComboBox22" << 48 << 19 << 19 << "moment O nebo Z negovaný";
    QTest::newRow("B45 25 newer than the list")
        << "ComboBox3" << 45 << 25 << 25 << "25 (aktualizujte SW)";
}

void tst_ParameterPanel::selectorShowsValue() {
    QFETCH(QString, combo);
    QFETCH(int, b);
    QFETCH(int, value);
    QFETCH(int, item);
    QFETCH(QString, text);
    rig->image.ParB[1][26] = 1; // torque measured: working torques from their parameters
    rig->image.ParB[1][b] = quint8(value == 1 ? 4 : 1);
    rig->panel.ZobrazPar(1);
    rig->image.ParB[1][b] = quint8(value);
    rig->panel.ZobrazPar(1);

    QComboBox* c = rig->combo(combo);
    QCOMPARE(c->currentIndex(), item);
    QCOMPARE(c->currentText(), text);
    QVERIFY(!isRed(c));
    // A selection made from the image is no user's change.
    QVERIFY(rig->prompter.questions.isEmpty());
    QCOMPARE(rig->writes.count(), 0);
    QCOMPARE(rig->image.ParB[2][b], quint8(0));
}

void tst_ParameterPanel::valueBeyondListExtendsOnlyItsSelector() {
    rig->image.ParB[1][45] = 25;
    rig->panel.ZobrazPar(1);
    QComboBox* relay1 = rig->combo(QStringLiteral("ComboBox3"));
    QCOMPARE(relay1->count(), 26);
    for (int n = 20; n <= 25; ++n)
        QCOMPARE(relay1->itemText(n), QString::number(n) + QStringLiteral(" (aktualizujte SW)"));
    QCOMPARE(relay1->itemText(19), QStringLiteral("moment O nebo Z negovaný"));
    for (const char* other : {"ComboBox13", "ComboBox21", "ComboBox22"})
        QCOMPARE(rig->combo(QString::fromLatin1(other))->count(), 20);

    // The extension stays until the list is rebuilt.
    rig->image.ParB[1][45] = 3;
    rig->panel.ZobrazPar(1);
    QCOMPARE(relay1->count(), 26);
    QCOMPARE(relay1->currentIndex(), 3);
}

void tst_ParameterPanel::faultyParameterShowsNothingOnRed() {
    QComboBox* ready = rig->combo(QStringLiteral("ComboBox4"));
    rig->image.ParB[1][43] = 2;
    rig->image.ParB_Err[43] = true;
    rig->panel.ZobrazPar(1);
    QCOMPARE(ready->currentIndex(), -1);
    QVERIFY(isRed(ready));
    QVERIFY(!isRed(rig->combo(QStringLiteral("ComboBox3"))));

    rig->image.ParB_Err[43] = false;
    rig->panel.ZobrazPar(1);
    QCOMPARE(ready->currentIndex(), 2);
    QVERIFY(!isRed(ready));
}

void tst_ParameterPanel::userChoice_data() {
    QTest::addColumn<QString>("combo");
    QTest::addColumn<int>("b");
    QTest::addColumn<int>("reference");
    QTest::addColumn<int>("item");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<int>("target");
    QTest::addColumn<int>("shown");

    QTest::newRow("B27 90 % written") << "ComboBox14" << 27 << 70 << 4 << true << true << 90 << 4;
    QTest::newRow("B27 90 % declined") << "ComboBox14" << 27 << 70 << 4 << false << true << 70 << 2;
    QTest::newRow("B10 50 % written") << "ComboBox8" << 10 << 100 << 0 << true << true << 50 << 0;
    QTest::newRow("B29 5 s written") << "ComboBox7" << 29 << 35 << 5 << true << true << 50 << 5;
    // 35 shows as 3 s; picking it again means 30.
    QTest::newRow("B29 3 s picked again")
        << "ComboBox7" << 29 << 35 << 3 << true << true << 30 << 3;
    QTest::newRow("B32 1 % written") << "ComboBox9" << 32 << 5 << 0 << true << true << 1 << 0;
    QTest::newRow("B45 poloha written") << "ComboBox3" << 45 << 0 << 10 << true << true << 10 << 10;
    QTest::newRow("B17 declined") << "ComboBox2" << 17 << 1 << 3 << false << true << 1 << 1;
    QTest::newRow("same value asks nothing")
        << "ComboBox14" << 27 << 70 << 2 << true << false << 70 << 2;
}

void tst_ParameterPanel::userChoice() {
    QFETCH(QString, combo);
    QFETCH(int, b);
    QFETCH(int, reference);
    QFETCH(int, item);
    QFETCH(bool, yes);
    QFETCH(bool, asked);
    QFETCH(int, target);
    QFETCH(int, shown);
    rig->image.ParB[1][26] = rig->image.ParB[2][26] = 1;
    rig->image.ParB[1][b] = rig->image.ParB[2][b] = quint8(reference);
    rig->panel.ZobrazPar(1);
    rig->prompter.answers = {yes};

    QComboBox* c = rig->combo(combo);
    Rig::userPicks(c, item);

    QCOMPARE(rig->prompter.questions,
             asked ? QStringList{QStringLiteral("Zapsat změnu ?")} : QStringList{});
    QCOMPARE(int(rig->image.ParB[2][b]), target);
    QCOMPARE(int(rig->image.ParB[1][b]), reference);
    QCOMPARE(c->currentIndex(), shown);
    QCOMPARE(rig->writes.count(), asked && yes ? 1 : 0);
    if (asked && yes) QCOMPARE(rig->writeArgs(0), QStringLiteral("%1,%1,0,1").arg(b));
}

void tst_ParameterPanel::writeFromFileKeepsSelectors() {
    QSignalSpy motor(&rig->panel, &ParameterPanel::motorEnabledChanged);
    rig->zapisZeSouboru = true;
    rig->image.ParB[1][43] = 4;
    rig->image.ParB[1][6] = 0;
    rig->image.ParB[1][47] = 10;
    rig->panel.ZobrazPar(1);
    QCOMPARE(rig->combo(QStringLiteral("ComboBox4"))->currentIndex(), -1);
    QCOMPARE(motor.count(), 0);
    // Relay rows and the variant still follow.
    QVERIFY(!rig->edit(QStringLiteral("Edit18"))->isHidden());
    QVERIFY(rig->combo(QStringLiteral("ComboBox23"))->isHidden());

    rig->zapisZeSouboru = false;
    rig->panel.ZobrazPar(1);
    QCOMPARE(rig->combo(QStringLiteral("ComboBox4"))->currentIndex(), 4);
}

void tst_ParameterPanel::workingTorquesFollowTorqueMeasurement() {
    QComboBox* o = rig->combo(QStringLiteral("ComboBox14"));
    QComboBox* z = rig->combo(QStringLiteral("ComboBox8"));
    rig->image.ParB[1][27] = 70;
    rig->image.ParB[1][10] = 40;
    rig->panel.ZobrazPar(1);
    for (QComboBox* c : {o, z}) {
        QCOMPARE(c->currentText(), QStringLiteral("100 %"));
        QVERIFY(!c->isEnabled());
    }
    QVERIFY(!rig->panel.workingTorqueUnselected(27));
    QVERIFY(!rig->panel.workingTorqueUnselected(10));

    rig->image.ParB[1][26] = 1;
    rig->panel.ZobrazPar(1);
    QCOMPARE(o->currentText(), QStringLiteral("70  %"));
    QCOMPARE(z->currentIndex(), -1);
    QVERIFY(o->isEnabled() && z->isEnabled());
    QVERIFY(!rig->panel.workingTorqueUnselected(27));
    QVERIFY(rig->panel.workingTorqueUnselected(10));
}

void tst_ParameterPanel::motorFollowsVariantOfSetOne() {
    QSignalSpy motor(&rig->panel, &ParameterPanel::motorEnabledChanged);
    rig->image.ParB[1][6] = 0;
    rig->image.ParB[2][6] = 3;
    rig->panel.ZobrazPar(2);
    QCOMPARE(motor.count(), 1);
    QCOMPARE(motor.last().at(0).toBool(), false);

    rig->image.ParB[1][6] = 2;
    rig->image.ParB[2][6] = 0;
    rig->panel.ZobrazPar(2);
    QCOMPARE(motor.last().at(0).toBool(), true);
    // The variant of the controls is that of the set shown.
    QVERIFY(rig->combo(QStringLiteral("ComboBox2"))->isHidden());
}

void tst_ParameterPanel::variantTable_data() {
    QTest::addColumn<int>("variant");
    QTest::addColumn<bool>("cycle"); // ParB_Act[56]
    QTest::addColumn<bool>("safe");
    QTest::addColumn<bool>("range");
    QTest::addColumn<bool>("deadZone");
    QTest::addColumn<bool>("cpt");
    QTest::addColumn<bool>("i1");
    QTest::addColumn<bool>("relays12");
    QTest::addColumn<bool>("switchingOff");
    QTest::addColumn<bool>("cycleShown");

    // clang-format off
    //                                            cyc    safe   range  dead   cpt    i1     rel12  swOff  cycShown
    QTest::newRow("0")               << 0 << true  << false << false << false << true  << false << false << false << false;
    QTest::newRow("1 cycle")         << 1 << true  << true  << true  << true  << true  << false << false << true  << true;
    QTest::newRow("1 without cycle") << 1 << false << true  << true  << true  << true  << false << false << true  << false;
    QTest::newRow("2")               << 2 << true  << true  << false << false << true  << true  << true  << true  << true;
    QTest::newRow("3")               << 3 << false << true  << true  << true  << true  << true  << true  << true  << false;
    QTest::newRow("4 fieldbus")      << 4 << true  << true  << false << true  << false << true  << true  << true  << true;
    QTest::newRow("7 unknown")       << 7 << true  << false << false << false << false << false << true  << true  << false;
    // clang-format on
}

void tst_ParameterPanel::variantTable() {
    QFETCH(int, variant);
    QFETCH(bool, cycle);
    QFETCH(bool, safe);
    QFETCH(bool, range);
    QFETCH(bool, deadZone);
    QFETCH(bool, cpt);
    QFETCH(bool, i1);
    QFETCH(bool, relays12);
    QFETCH(bool, switchingOff);
    QFETCH(bool, cycleShown);

    const QList<std::pair<QStringList, bool>> expected = {
        {{QStringLiteral("ComboBox2"), QStringLiteral("Label6"), QStringLiteral("Edit20"),
          QStringLiteral("Button6"), QStringLiteral("Button7")},
         safe},
        {{QStringLiteral("ComboBox1"), QStringLiteral("Label5")}, range},
        {{QStringLiteral("ComboBox9"), QStringLiteral("Label13")}, deadZone},
        {{QStringLiteral("ComboBox5"), QStringLiteral("Label9")}, cpt},
        {{QStringLiteral("ComboBox6"), QStringLiteral("Label10")}, i1},
        {{QStringLiteral("ComboBox3"), QStringLiteral("Label7"), QStringLiteral("ComboBox13"),
          QStringLiteral("Label17")},
         relays12},
        {{QStringLiteral("ComboBox23"), QStringLiteral("Label21")}, switchingOff},
        {{QStringLiteral("ComboBox11"), QStringLiteral("Label26")}, cycleShown},
        {{QStringLiteral("ComboBox14"), QStringLiteral("ComboBox8"), QStringLiteral("ComboBox7"),
          QStringLiteral("ComboBox15"), QStringLiteral("ComboBox10"), QStringLiteral("ComboBox4"),
          QStringLiteral("ComboBox21"), QStringLiteral("Label19"), QStringLiteral("ComboBox22")},
         true},
    };

    QSignalSpy controlSignal(&rig->panel, &ParameterPanel::controlSignalVisibleChanged);
    // From a variant that shows nearly everything and from one that hides nearly everything.
    for (int before : {3, 7}) {
        rig->image.ParB_Act[56] = true;
        rig->panel.OdblokujParReg(before);
        rig->image.ParB_Act[56] = cycle;
        rig->panel.OdblokujParReg(variant);
        for (const auto& [names, shown] : expected)
            for (const QString& name : names)
                QVERIFY2(rig->child<QWidget>(name)->isHidden() != shown,
                         qPrintable(QStringLiteral("%1 after %2").arg(name).arg(before)));
        QCOMPARE(controlSignal.last().at(0).toBool(), safe);
    }
}

void tst_ParameterPanel::relayRows_data() {
    QTest::addColumn<int>("variant");
    QTest::addColumn<QList<int>>("functions"); // B 45..48
    QTest::addColumn<QString>("rows");         // rows 1..4 shown

    QTest::newRow("variant 0, relay 3 on position") << 0 << QList<int>{0, 0, 10, 0} << "0010";
    QTest::newRow("variant 0, relays 1 and 2 on position")
        << 0 << QList<int>{10, 11, 0, 0} << "0000";
    QTest::newRow("variant 1, relay 4 negated") << 1 << QList<int>{11, 0, 0, 11} << "0001";
    QTest::newRow("variant 2, relays 1 and 2") << 2 << QList<int>{10, 11, 9, 12} << "1100";
    QTest::newRow("variant 4, all") << 4 << QList<int>{10, 10, 11, 11} << "1111";
}

void tst_ParameterPanel::relayRows() {
    QFETCH(int, variant);
    QFETCH(QList<int>, functions);
    QFETCH(QString, rows);
    // Every row shown first, so hiding is seen as well.
    rig->image.ParB[1][6] = 3;
    for (int k = 0; k < 4; ++k)
        rig->image.ParB[1][45 + k] = 10;
    rig->panel.ZobrazPar(1);

    rig->image.ParB[1][6] = quint8(variant);
    for (int k = 0; k < 4; ++k)
        rig->image.ParB[1][45 + k] = quint8(functions[k]);
    rig->panel.ZobrazPar(1);
    QString shown;
    for (int k = 0; k < 4; ++k) {
        const bool label = !rig->child<QLabel>(QStringLiteral("Label%1").arg(22 + k))->isHidden();
        const bool edit = !rig->edit(QStringLiteral("Edit%1").arg(16 + k))->isHidden();
        QCOMPARE(label, edit);
        shown += edit ? u'1' : u'0';
    }
    QCOMPARE(shown, rows);
}

void tst_ParameterPanel::typedRelayPositionEnablesWrite() {
    for (int w = 8; w <= 11; ++w)
        rig->image.ParW[1][w] = rig->image.ParW[2][w] = quint16(1000 * (w - 7));
    rig->showRelayRows();
    QVERIFY(rig->showActive());
    QLineEdit* edit = rig->edit(QStringLiteral("Edit18"));
    QPushButton* write = rig->button(QStringLiteral("Button9"));
    edit->setText(QStringLiteral("30"));
    edit->setFocus();
    QTRY_COMPARE(rig->image.VybranaPolohaRele, 10);

    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("45"));
    QCOMPARE(rig->image.ParW[2][10], quint16(4500));
    QVERIFY(write->isEnabled());

    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QCOMPARE(rig->image.ParW[2][10], quint16(0)); // an empty edit stands for 0
    QTest::keyClicks(edit, QStringLiteral("30"));
    QCOMPARE(rig->image.ParW[2][10], quint16(3000));
    QVERIFY(!write->isEnabled());
    QCOMPARE(rig->writes.count(), 0);
}

void tst_ParameterPanel::currentPositionNeedsAnEnteredRow() {
    for (int w = 8; w <= 11; ++w)
        rig->image.ParW[1][w] = rig->image.ParW[2][w] = 2000;
    rig->image.Poloha_Proc = 5234;
    rig->showRelayRows();
    QVERIFY(rig->showActive());
    QPushButton* current = rig->button(QStringLiteral("Button8"));

    current->click();
    for (int w = 8; w <= 11; ++w)
        QCOMPARE(rig->image.ParW[2][w], quint16(2000));
    for (int k = 16; k <= 19; ++k)
        QCOMPARE(rig->edit(QStringLiteral("Edit%1").arg(k))->text(), QString());
    QVERIFY(!rig->button(QStringLiteral("Button9"))->isEnabled());

    rig->edit(QStringLiteral("Edit17"))->setFocus();
    QTRY_COMPARE(rig->image.VybranaPolohaRele, 9);
    current->setFocus(); // the button takes the focus; the entered row stays chosen
    current->click();
    QCOMPARE(rig->image.ParW[2][9], quint16(5234));
    QCOMPARE(rig->image.ParW[2][8], quint16(2000));
    QCOMPARE(rig->edit(QStringLiteral("Edit17"))->text(), QStringLiteral("52"));
    QCOMPARE(rig->edit(QStringLiteral("Edit16"))->text(), QString());
    QVERIFY(rig->button(QStringLiteral("Button9"))->isEnabled());
}

void tst_ParameterPanel::relayPositionsWrite_data() {
    QTest::addColumn<bool>("yes");
    QTest::newRow("written") << true;
    QTest::newRow("declined") << false;
}

void tst_ParameterPanel::relayPositionsWrite() {
    QFETCH(bool, yes);
    for (int w = 8; w <= 11; ++w)
        rig->image.ParW[1][w] = rig->image.ParW[2][w] = 3000;
    rig->image.ParW[2][10] = 4500;
    rig->panel.PorovnejZmenuPolohRele();
    QPushButton* write = rig->button(QStringLiteral("Button9"));
    QVERIFY(write->isEnabled());
    rig->prompter.answers = {yes};

    write->click();
    QCOMPARE(rig->prompter.questions, QStringList{QStringLiteral("Zapsat změnu ?")});
    QCOMPARE(rig->writes.count(), yes ? 1 : 0);
    if (yes) QCOMPARE(rig->writeArgs(0), QStringLiteral("8,11,1,1"));
    QCOMPARE(rig->image.ParW[2][10], quint16(yes ? 4500 : 3000));
    QCOMPARE(write->isEnabled(), yes);
}

void tst_ParameterPanel::safePosition_data() {
    QTest::addColumn<bool>("yes");
    QTest::newRow("written") << true;
    QTest::newRow("declined") << false;
}

void tst_ParameterPanel::safePosition() {
    QFETCH(bool, yes);
    rig->image.ParB[1][6] = 4; // a variant with SAFE
    rig->image.ParW[1][12] = rig->image.ParW[2][12] = 2500;
    rig->image.Poloha_Proc = 7777;
    rig->panel.ZobrazPar(1);
    QVERIFY(rig->showActive());
    QLineEdit* edit = rig->edit(QStringLiteral("Edit20"));
    QPushButton* write = rig->button(QStringLiteral("Button7"));

    QTest::keyClicks(edit, QStringLiteral("25"));
    QCOMPARE(rig->image.ParW[2][12], quint16(2500));
    QVERIFY(!write->isEnabled());

    rig->button(QStringLiteral("Button6"))->click();
    QCOMPARE(rig->image.ParW[2][12], quint16(7777));
    QCOMPARE(edit->text(), QStringLiteral("77"));
    QVERIFY(write->isEnabled());

    rig->prompter.answers = {yes};
    write->click();
    QCOMPARE(rig->prompter.questions, QStringList{QStringLiteral("Zapsat změnu ?")});
    QCOMPARE(rig->writes.count(), yes ? 1 : 0);
    if (yes) QCOMPARE(rig->writeArgs(0), QStringLiteral("12,12,1,1"));
    QCOMPARE(rig->image.ParW[2][12], quint16(yes ? 7777 : 2500));
    QCOMPARE(write->isEnabled(), yes);
}

void tst_ParameterPanel::positionInput_data() {
    QTest::addColumn<QString>("edit");
    QTest::addColumn<int>("w");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("stored"); // -1: set 2 untouched

    QTest::newRow("relay 100 %") << "Edit18" << 10 << "100"
                                 << "100" << 10000;
    QTest::newRow("relay 0 %") << "Edit18" << 10 << "0"
                               << "0" << 0;
    QTest::newRow("relay 150 refused at the 0") << "Edit18" << 10 << "150"
                                                << "15" << 1500;
    QTest::newRow("relay 656 refused at the 6") << "Edit18" << 10 << "656"
                                                << "65" << 6500;
    QTest::newRow("relay sign refused") << "Edit18" << 10 << "-5"
                                        << "5" << 500;
    QTest::newRow("relay letters refused") << "Edit18" << 10 << "abc"
                                           << "" << -1;
    QTest::newRow("SAFE 101 refused at the 1") << "Edit20" << 12 << "101"
                                               << "10" << 1000;
    QTest::newRow("SAFE four digits") << "Edit20" << 12 << "1000"
                                      << "100" << 10000;
    QTest::newRow("SAFE blank refused") << "Edit20" << 12 << " 7"
                                        << "7" << 700;
}

void tst_ParameterPanel::positionInput() {
    QFETCH(QString, edit);
    QFETCH(int, w);
    QFETCH(QString, typed);
    QFETCH(QString, text);
    QFETCH(int, stored);
    rig->image.ParB[1][6] = 3;
    rig->image.ParB[1][47] = 10;
    rig->image.ParW[2][w] = 1234;
    rig->panel.ZobrazPar(1);
    QVERIFY(rig->showActive());
    QLineEdit* e = rig->edit(edit);
    e->setFocus();

    QTest::keyClicks(e, typed);
    QCOMPARE(e->text(), text);
    QCOMPARE(int(rig->image.ParW[2][w]), stored < 0 ? 1234 : stored);
}

void tst_ParameterPanel::questions_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QString>("question");
    QTest::addColumn<QString>("write");   // start,stop,typ,cs; empty: none
    QTest::addColumn<bool>("autocal");    // the autocalibration sequence asked for
    QTest::addColumn<bool>("reload");     // service grids reloaded
    QTest::addColumn<int>("endPosition"); // DW whose set 2 is checked; -1: none

    const QString change = QStringLiteral("Zapsat změnu ?");
    QTest::newRow("end O written")
        << "Button2" << true << change << "0,0,2,1" << false << false << 0;
    QTest::newRow("end O declined") << "Button2" << false << change << "" << false << false << 0;
    QTest::newRow("end Z written")
        << "Button4" << true << change << "1,1,2,1" << false << false << 1;
    QTest::newRow("end Z declined") << "Button4" << false << change << "" << false << false << 1;
    const QString autocal = QStringLiteral("Spustit autokalibraci ?");
    QTest::newRow("autocalibration") << "Button5" << true << autocal << "" << true << false << -1;
    QTest::newRow("autocalibration declined")
        << "Button5" << false << autocal << "" << false << false << -1;
    const QString backup = QStringLiteral("Vytvořit zálohu parametrů ?");
    QTest::newRow("backup") << "Button11" << true << backup << "3,3,13,0" << false << false << -1;
    QTest::newRow("backup declined") << "Button11" << false << backup << "" << false << false << -1;
    const QString restore = QStringLiteral("Obnovit parametry ze zálohy ?");
    QTest::newRow("restore") << "Button12" << true << restore << "1,1,13,0" << false << true << -1;
    QTest::newRow("restore declined")
        << "Button12" << false << restore << "" << false << false << -1;
}

void tst_ParameterPanel::questions() {
    QFETCH(QString, button);
    QFETCH(bool, yes);
    QFETCH(QString, question);
    QFETCH(QString, write);
    QFETCH(bool, autocal);
    QFETCH(bool, reload);
    QFETCH(int, endPosition);
    QSignalSpy kom(&rig->panel, &ParameterPanel::linkRequested);
    QSignalSpy reloads(&rig->panel, &ParameterPanel::serviceReloadRequested);
    rig->image.Poloha_Abs = 4000000000u;
    rig->image.ParDW[1] = rig->image.ParDW[2] = {111, 222};
    rig->prompter.answers = {yes};

    rig->button(button)->click();
    QCOMPARE(rig->prompter.questions, QStringList{question});
    QCOMPARE(rig->writes.count(), write.isEmpty() ? 0 : 1);
    if (!write.isEmpty()) QCOMPARE(rig->writeArgs(0), write);
    QCOMPARE(kom.count(), autocal ? 1 : 0);
    if (autocal) QCOMPARE(kom.first().at(0).value<LinkRequest>(), LinkRequest::Autocalibration);
    QCOMPARE(reloads.count(), reload ? 1 : 0);
    if (endPosition >= 0) {
        QCOMPARE(rig->image.ParDW[2][endPosition],
                 yes ? 4000000000u : rig->image.ParDW[1][endPosition]);
        QCOMPARE(rig->image.ParDW[2][1 - endPosition], rig->image.ParDW[1][1 - endPosition]);
    }
}

void tst_ParameterPanel::captionsFollowLanguage() {
    DeviceImage& im = rig->image;
    im.ParB[1][6] = 3;
    im.ParB[1][26] = 1;
    im.ParB[1][45] = 25; // beyond the list
    im.ParB[1][27] = 80;
    im.ParB[1][32] = 4;
    im.ParB[1][43] = 6;
    im.ParB[1][56] = 1;
    im.ParB[1][29] = 200;
    rig->panel.ZobrazPar(1);
    QList<int> selected;
    for (const QString& name : SelectorNames)
        selected.append(rig->combo(name)->currentIndex());

    LangIndex = 1;
    rig->panel.applyCaptions();
    for (int i = 0; i < SelectorNames.size(); ++i)
        QCOMPARE(rig->combo(SelectorNames[i])->currentIndex(), selected[i]);
    QComboBox* relay1 = rig->combo(QStringLiteral("ComboBox3"));
    QCOMPARE(relay1->itemText(0), LangText(QStringLiteral("vypnuto")));
    QCOMPARE(relay1->itemText(0), QStringLiteral("off"));
    QCOMPARE(relay1->currentText(), QStringLiteral("25 (aktualizujte SW)"));
    QCOMPARE(rig->combo(QStringLiteral("ComboBox13"))->itemText(1), QStringLiteral("position O"));
    QCOMPARE(rig->combo(QStringLiteral("ComboBox4"))->currentText(),
             LangText(QStringLiteral("moment O nebo Z")));
    QCOMPARE(rig->panel.title(), QStringLiteral("Parameters"));
    QCOMPARE(rig->child<QLabel>(QStringLiteral("Label24"))->text(),
             rig->child<QLabel>(QStringLiteral("Label19"))->text());
    QCOMPARE(rig->child<QLabel>(QStringLiteral("Label19"))->text(),
             LangText(QStringLiteral("Relé 3 / SZ")));
    QCOMPARE(rig->button(QStringLiteral("Button9"))->text(), QStringLiteral("Write"));

    LangIndex = 0;
    rig->panel.applyCaptions();
    QCOMPARE(relay1->itemText(0), QStringLiteral("vypnuto"));
    QCOMPARE(rig->combo(QStringLiteral("ComboBox7"))->currentText(), QStringLiteral("20 s"));
    QCOMPARE(rig->child<QLabel>(QStringLiteral("Label22"))->text(), QStringLiteral("Relé 1"));
    QVERIFY(rig->prompter.questions.isEmpty());
}

void tst_ParameterPanel::captionsFit_data() {
    QTest::addColumn<int>("language");
    QTest::newRow("Czech") << 0;
    QTest::newRow("English") << 1;
    QTest::newRow("Polish") << 2;
    QTest::newRow("Russian") << 3;
}

// Every label, button and group caption has room in Tahoma, and no label reaches into the
// control beside it.
void tst_ParameterPanel::captionsFit() {
    QFETCH(int, language);
    if (QFontInfo(kovrFont()).family() != QStringLiteral("Tahoma"))
        QSKIP("Tahoma is not installed");
    LangIndex = language;
    rig->panel.applyCaptions();
    const QList<QLabel*> labels = rig->panel.findChildren<QLabel*>();
    for (const QLabel* label : labels) {
        QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->width(),
                 qPrintable(label->text()));
        const QList<QWidget*> siblings =
            label->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        for (const QWidget* other : siblings)
            QVERIFY2(other == label || !other->geometry().intersects(label->geometry()),
                     qPrintable(label->objectName() + u' ' + other->objectName()));
    }
    const QList<QPushButton*> buttons = rig->panel.findChildren<QPushButton*>();
    for (const QPushButton* b : buttons)
        QVERIFY2(b->fontMetrics().horizontalAdvance(b->text()) <= b->width() - 12,
                 qPrintable(b->text()));
    const QList<QGroupBox*> groups = rig->panel.findChildren<QGroupBox*>();
    for (const QGroupBox* g : groups)
        QVERIFY2(captionFits(g), qPrintable(g->title()));
}

void tst_ParameterPanel::renderKeepsTyping() {
    MonitorDisplay& d = rig->display;
    QLineEdit* relay3 = rig->edit(QStringLiteral("Edit18"));
    d.Edit11 = QStringLiteral("123456");
    d.Edit16_19[2] = QStringLiteral("30");
    d.Edit8 = QStringLiteral("Ukončeno OK");
    rig->panel.render(d);
    QCOMPARE(rig->edit(QStringLiteral("Edit11"))->text(), QStringLiteral("123456"));
    QCOMPARE(rig->edit(QStringLiteral("Edit13"))->text(), QStringLiteral("0"));
    QCOMPARE(relay3->text(), QStringLiteral("30"));
    QCOMPARE(rig->edit(QStringLiteral("Edit8"))->text(), QStringLiteral("Ukončeno OK"));

    relay3->setText(QStringLiteral("4")); // the user is typing
    rig->panel.render(d);
    QCOMPARE(relay3->text(), QStringLiteral("4"));
    d.Edit16_19[2] = QStringLiteral("31");
    rig->panel.render(d);
    QCOMPARE(relay3->text(), QStringLiteral("31"));

    d.workingTorqueRedO = true;
    d.autocalibrationRed = true;
    rig->panel.render(d);
    QVERIFY(isRed(rig->combo(QStringLiteral("ComboBox14"))));
    QVERIFY(!isRed(rig->combo(QStringLiteral("ComboBox8"))));
    QVERIFY(isRed(rig->child<QGroupBox>(QStringLiteral("GroupBox14"))));
    d.workingTorqueRedO = false;
    d.workingTorqueRedZ = true;
    d.autocalibrationRed = false;
    rig->panel.render(d);
    QVERIFY(!isRed(rig->combo(QStringLiteral("ComboBox14"))));
    QVERIFY(isRed(rig->combo(QStringLiteral("ComboBox8"))));
    QVERIFY(!isRed(rig->child<QGroupBox>(QStringLiteral("GroupBox14"))));
}

QTEST_MAIN(tst_ParameterPanel)
#include "tst_parameterpanel.moc"

// The torque and sensor dialogs inside the program: the offsets grid's enabling by the unit's
// status code, results handed into the service window's rows, the bench settings in kovr.ini,
// and captions that keep the language of start-up.

#include "LinkFakes.h"
#include "app/CalibrationDialogs.h"
#include "app/Program.h"
#include "lang/Lang.h"
#include "params/ParameterCatalogue.h"
#include "params/ServiceSheet.h"
#include "session/Session.h"
#include "ui/MomentForm.h"
#include "ui/ServiceForm.h"
#include "ui/SnimacForm.h"
#include "ui/StringGridView.h"
#include "wire/Frame.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray sensorRecord(const QByteArray& offsets, int code) {
    return offsets + QByteArray(44, '0') + IntToHex(code, 2) + QByteArray(6, '0');
}

QByteArray torqueRecord(int raw, int minimum, int full, int code) {
    return IntToHex(raw, 4) + IntToHex(minimum, 4) + IntToHex(full, 4) + "0929" +
           QByteArray(10, '0') + IntToHex(code, 2);
}

struct Fixture {
    QTemporaryDir dir;
    FakePrompter prompter;
    std::unique_ptr<Program> program;

    explicit Fixture(const QByteArray& ini = "[Setup]\nLang=0\n") {
        QFile file(dir.filePath(QStringLiteral("kovr.ini")));
        if (file.open(QIODevice::WriteOnly)) file.write(ini);
        file.close();
        program = std::make_unique<Program>(dir.path(), &prompter);
    }
    Session& session() { return program->session(); }
    TMomentForm& moment() { return program->calibrationDialogs().momentForm(); }
    TSnimacForm& snimac() { return program->calibrationDialogs().snimacForm(); }
    QString value(ParamRef p) {
        const GridPlace at = ParameterCatalogue::place(p.kind, p.index);
        return session().sheet().cell(at.grid, ServiceSheet::ValueColumn, at.row);
    }
    QString changed(ParamRef p) {
        const GridPlace at = ParameterCatalogue::place(p.kind, p.index);
        return session().sheet().cell(at.grid, ServiceSheet::ChangedColumn, at.row);
    }
};

constexpr int B = ParameterCatalogue::KindB, W = ParameterCatalogue::KindW;

} // namespace

class TestCalibrationDialogs : public QObject {
    Q_OBJECT
private slots:
    void offsetsGridFollowsTheUnit_data();
    void offsetsGridFollowsTheUnit();
    void typedOffsetGoesOutWithTheNextPoll();
    void offsetsHandedToTheServiceWindow();
    void torqueResultsHandedToTheServiceWindow();
    void rawTorqueIntoTheActiveRow();
    void benchSettingsThroughKovrIni();
    void captionsKeepTheLanguageOfStartUp();
};

void TestCalibrationDialogs::offsetsGridFollowsTheUnit_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QString>("offset1");
    QTest::newRow("idle: typed text stays") << 0 << true << "7";
    QTest::newRow("calibrating: the unit's") << 5 << false << "28";
    QTest::newRow("finished: the unit's") << 255 << false << "28";
    QTest::newRow("interrupted: typed text stays") << 100 << true << "7";
}

void TestCalibrationDialogs::offsetsGridFollowsTheUnit() {
    QFETCH(int, code);
    QFETCH(bool, enabled);
    QFETCH(QString, offset1);

    Fixture f;
    f.session().image().ParB[2][0] = 7;
    f.snimac().FormActivate();
    QCOMPARE(f.snimac().offsetsGrid()->cell(1, 1), "7");
    f.session().ZobrazSnimac(sensorRecord("1C5A93E4", code));
    QCOMPARE(f.snimac().offsetsGrid()->isEnabled(), enabled);
    QCOMPARE(f.snimac().offsetsGrid()->cell(1, 1), offset1);
}

void TestCalibrationDialogs::typedOffsetGoesOutWithTheNextPoll() {
    Fixture f;
    f.snimac().FormActivate();
    StringGridView* grid = f.snimac().offsetsGrid();
    grid->item(1, 1)->setText(QStringLiteral("300"));
    grid->item(1, 4)->setText(QStringLiteral("abc"));
    QCOMPARE(f.session().image().ParB[2][0], 0x2C);
    QCOMPARE(f.session().image().ParB[2][3], 0);
    QCOMPARE(f.session().scheduler().requestPayload(64).left(8), QByteArray("730A2C00"));
    // A record while the unit does not calibrate keeps the typed text.
    f.session().ZobrazSnimac(sensorRecord("01020304", 0));
    QCOMPARE(grid->cell(1, 1), "300");
}

void TestCalibrationDialogs::offsetsHandedToTheServiceWindow() {
    Fixture f;
    f.snimac().FormActivate();
    f.session().ZobrazSnimac(sensorRecord("1C5A93E4", 255));
    f.snimac().findChild<QPushButton*>(QStringLiteral("OKBtn"))->click();
    QCOMPARE(f.value({B, 0}), "28");
    QCOMPARE(f.value({B, 3}), "228");
    QCOMPARE(f.changed({B, 1}), "X");
    QCOMPARE(f.session().image().ParB[2][1], 0x5A);
    const GridPlace last = ParameterCatalogue::place(B, 3);
    QCOMPARE(f.program->serviceForm().currentRow(last.grid), last.row);
}

void TestCalibrationDialogs::torqueResultsHandedToTheServiceWindow() {
    Fixture f;
    f.moment().FormActivate();
    auto* button1 = f.moment().findChild<QPushButton*>(QStringLiteral("Button1"));
    // Before any calibration finished the results are empty texts: no result, so the rows keep
    // the values they show (an empty cell would go out as 0).
    const QString before = f.value({W, 0});
    QVERIFY(!before.isEmpty());
    button1->click();
    QCOMPARE(f.value({W, 0}), before);
    QCOMPARE(f.changed({W, 0}), "");
    f.moment().FormActivate();
    f.session().ZobrazMoment(torqueRecord(10, 3000, 6000, 6));
    f.session().ZobrazMoment(torqueRecord(10, 3100, 6100, 10));
    QCOMPARE(f.moment().resultGrid()->cell(1, 2), "3000");
    button1->click();
    QCOMPARE(f.value({W, 0}), "6000"); // MomentO100
    QCOMPARE(f.value({W, 1}), "3000"); // MomentOMin
    QCOMPARE(f.value({W, 2}), "6100"); // MomentZ100
    QCOMPARE(f.value({W, 3}), "3100"); // MomentZMin
    QCOMPARE(f.session().image().ParW[2][2], 6100);
    QCOMPARE(f.changed({W, 3}), "X");
    const GridPlace last = ParameterCatalogue::place(W, 3);
    QCOMPARE(f.program->serviceForm().currentRow(last.grid), last.row);
}

void TestCalibrationDialogs::rawTorqueIntoTheActiveRow() {
    Fixture f;
    const GridPlace row = ParameterCatalogue::place(W, 1);
    f.program->serviceForm().setCurrentRow(row.grid, row.row);
    f.moment().FormActivate();
    f.session().ZobrazMoment(torqueRecord(0x04D2, 0, 0, 0));
    QCOMPARE(f.moment().findChild<QLineEdit*>(QStringLiteral("Edit3"))->text(), "1234");
    f.moment().findChild<QPushButton*>(QStringLiteral("Button3"))->click();
    QCOMPARE(f.value({W, 1}), "1234");
    QCOMPARE(f.moment().result(), int(QDialog::Accepted));
}

void TestCalibrationDialogs::benchSettingsThroughKovrIni() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kovr.ini"));
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[Setup]\nLang=0\nStolice_50_O=4,5\nStolice_100_O=20\nStolice_50_C=5\n"
                   "Stolice_100_C=19\nStolice_Smysl=1\nZpusob_Kal=1\n");
    }
    FakePrompter prompter;
    {
        Program program(dir.path(), &prompter);
        TMomentForm& form = program.calibrationDialogs().momentForm();
        QCOMPARE(form.benchGrid()->cell(1, 1), "4,5");
        QCOMPARE(form.benchGrid()->cell(2, 2), "19");
        auto* sense = form.findChild<QComboBox*>(QStringLiteral("ComboBox1"));
        auto* method = form.findChild<QComboBox*>(QStringLiteral("ComboBox3"));
        QCOMPARE(sense->currentIndex(), 1);
        QCOMPARE(method->currentIndex(), 1);
        form.FormActivate();
        form.benchGrid()->item(2, 1)->setText(QStringLiteral("18,75"));
        method->setCurrentIndex(0);
        form.FormDeactivate();
        QCOMPARE(program.setup().Stolice_100_O, "18,75");
        QVERIFY(program.saveSettings());
    }
    Program again(dir.path(), &prompter);
    TMomentForm& form = again.calibrationDialogs().momentForm();
    QCOMPARE(form.benchGrid()->cell(1, 2), "18,75");
    QCOMPARE(form.benchGrid()->cell(1, 1), "4,5");
    QCOMPARE(form.findChild<QComboBox*>(QStringLiteral("ComboBox3"))->currentIndex(), 0);
    QCOMPARE(form.findChild<QComboBox*>(QStringLiteral("ComboBox1"))->currentIndex(), 1);
}

void TestCalibrationDialogs::captionsKeepTheLanguageOfStartUp() {
    Fixture f("[Setup]\nLang=1\n");
    QCOMPARE(f.moment().resultGrid()->cell(0, 1), "Torque 100%");
    QCOMPARE(f.snimac().sensorGrid()->cell(0, 9), "Parity");
    QCOMPARE(f.snimac().windowTitle(), "Sensors");
    LangIndex = 0;
    f.program->applyCaptions();
    QCOMPARE(f.moment().resultGrid()->cell(0, 1), "Torque 100%");
    QCOMPARE(f.moment().windowTitle(), "Torque");
    QCOMPARE(f.snimac().sensorGrid()->cell(0, 9), "Parity");
    QCOMPARE(f.snimac().offsetsGrid()->cell(0, 0), "Sensor");
}

QTEST_MAIN(TestCalibrationDialogs)
#include "tst_calibrationdialogs.moc"

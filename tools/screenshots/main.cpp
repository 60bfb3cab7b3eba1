// kovr-shots: pictures of the program's windows, live against the simulated unit, in one
// language, for checking by eye that no caption, list item or cell is cut.
//
//   build/kovr-shots LANG FOLDER     LANG 0 Czech, 1 English, 2 Polish, 3 Russian
//
// Writes FOLDER/main-window-LANG.png, service-window-LANG.png, parameters-dialog-LANG.png and
// the position, motor, CPT, error-masks, outputs, control-signal, torque and sensor dialogs' LANG
// pictures.
// Runs offscreen; the unit plays variant 3 with every relay on a position function, so that
// every control of the main window is shown.

#include "PtyLine.h"
#include "SimulatedUnit.h"
#include "app/CalibrationDialogs.h"
#include "app/Program.h"
#include "app/ServiceDialogs.h"
#include "app/Session.h"
#include "link/Prompter.h"
#include "params/ServiceEditing.h"
#include "ui/ChybyForm.h"
#include "ui/MainWindow.h"
#include "ui/MomentForm.h"
#include "ui/MotionForm.h"
#include "ui/ParametryForm.h"
#include "ui/PwmForm.h"
#include "ui/RSForm.h"
#include "ui/ServiceForm.h"
#include "ui/SnimacForm.h"
#include "ui/StringGridView.h"
#include "ui/UiFont.h"
#include "ui/VystupyForm.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <cstdio>

namespace {

// Nothing is asked while the pictures are taken.
struct NoQuestions : Prompter {
    bool askYesNo(const QString&) override { return false; }
    void message(const QString& text, Icon) override {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
    }
};

void run(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

bool save(QWidget& window, const QString& path) {
    if (window.grab().save(path)) return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

// The position, motor, CPT, error-masks, outputs-test and control-signal dialogs, one at a
// time, each shown as long as its poll needs to fill it and closed before the next opens.
bool saveServiceDialogs(Program& program, const QDir& folder, const QString& suffix) {
    ServiceDialogs& dialogs = program.serviceDialogs();
    // The outputs test pictured with something selected, so the radio groups show a choice.
    const auto chooseOutputs = [&dialogs] {
        TVystupyForm& form = dialogs.vystupyForm();
        form.radioGroup(0)->button(9)->click();
        form.radioGroup(1)->button(1)->click();
        form.radioGroup(2)->button(2)->click();
    };
    const std::pair<QDialog*, const char*> shots[] = {
        {&dialogs.polohaForm(), "position-dialog"}, {&dialogs.motorForm(), "motor-dialog"},
        {&dialogs.pwmForm(), "cpt-dialog"},         {&dialogs.chybyForm(), "error-masks-dialog"},
        {&dialogs.vystupyForm(), "outputs-dialog"}, {&dialogs.rsForm(), "control-signal-dialog"},
    };
    bool ok = true;
    for (const auto& [dialog, name] : shots) {
        dialog->show();
        if (dialog == &dialogs.vystupyForm()) chooseOutputs();
        run(1500);
        ok = save(*dialog, folder.filePath(QString::fromLatin1(name) + suffix)) && ok;
        dialog->hide();
        // The dialog's closing sequence ends before the next one asks for its own.
        QElapsedTimer idle;
        idle.start();
        while (program.session().scheduler().KomStav != 2 && idle.elapsed() < 3000)
            run(20);
    }
    return ok;
}

// Waits until a dialog's closing sequence has given the line back to the monitor poll.
void waitForMonitorPoll(Program& program) {
    QElapsedTimer idle;
    idle.start();
    while (program.session().scheduler().KomStav != 2 && idle.elapsed() < 3000)
        run(20);
}

void click(QWidget& form, const char* button) {
    form.findChild<QPushButton*>(QString::fromLatin1(button))->click();
}

// The torque and sensor dialogs during a calibration: the torque dialog with side Z finished
// and side O at its 100 % point, the sensor dialog in the middle of a gearbox calibration.
bool saveCalibrationDialogs(Program& program, SimulatedUnit& unit, const QDir& folder,
                            const QString& suffix) {
    CalibrationDialogs& dialogs = program.calibrationDialogs();
    unit.torqueCalibration().setStepMs(300);
    unit.gearboxCalibration().setStepMs(300);

    TMomentForm& moment = dialogs.momentForm();
    const char* bench[2][2] = {{"4", "20"}, {"5", "19"}};
    for (int col = 0; col < 2; ++col)
        for (int row = 0; row < 2; ++row)
            moment.benchGrid()
                ->item(row + 1, col + 1)
                ->setText(QString::fromLatin1(bench[col][row]));
    moment.show();
    run(500);
    click(moment, "Button2"); // Zavírat: side Z to its end
    run(1600);
    click(moment, "Button4"); // Otevírat
    run(750);
    bool ok = save(moment, folder.filePath(QStringLiteral("torque-dialog") + suffix));
    click(moment, "Button5"); // Stop
    run(300);
    moment.hide();
    waitForMonitorPoll(program);

    TSnimacForm& snimac = dialogs.snimacForm();
    snimac.show();
    snimac.findChild<QSlider*>(QStringLiteral("TrackBar1"))->setValue(5);
    click(snimac, "Button2"); // the motor opens
    run(500);
    click(snimac, "Button4"); // calibration Start
    run(2000);
    ok = save(snimac, folder.filePath(QStringLiteral("sensor-dialog") + suffix)) && ok;
    click(snimac, "Button5"); // calibration Stop
    run(300);
    snimac.hide();
    waitForMonitorPoll(program);
    return ok;
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setFont(kovrFont());
    if (argc != 3) {
        std::fprintf(stderr, "usage: kovr-shots LANG FOLDER\n");
        return 2;
    }
    const QByteArray lang = argv[1];
    const QDir folder(QString::fromLocal8Bit(argv[2]));
    if (!folder.exists() && !QDir().mkpath(folder.path())) return 1;

    SimulatedUnit unit(3);
    for (int relay = 45; relay <= 48; ++relay)
        unit.setParameter(SimulatedUnit::KindB, relay, relay % 2 ? 10 : 11);
    unit.setParameter(SimulatedUnit::KindB, 27, 70);
    unit.setSweep(true);
    PtyLine line(&unit);
    line.setPaced(false);
    QTemporaryDir dir;
    if (!line.open() || !dir.isValid()) {
        std::fprintf(stderr, "no pseudo-terminal: %s\n", qPrintable(line.errorString()));
        return 1;
    }
    QFile ini(dir.filePath(QStringLiteral("kovr.ini")));
    if (!ini.open(QIODevice::WriteOnly)) return 1;
    ini.write("[Setup]\nPort=3\nLang=" + lang + "\n[Ports]\nCOM3=" + line.slavePath().toUtf8() +
              "\n");
    ini.close();

    NoQuestions prompter;
    Program program(dir.path(), &prompter);
    program.mainWindow().show();
    QElapsedTimer refresh;
    refresh.start();
    while (program.session().scheduler().ObnovaBezi && refresh.elapsed() < 30000)
        run(50);
    run(6000); // the texts and the last errors arrive a character and an item per poll

    const QString suffix = QStringLiteral("-") + QString::fromLatin1(lang) + QStringLiteral(".png");
    bool ok = save(program.mainWindow(), folder.filePath(QStringLiteral("main-window") + suffix));

    TServiceForm& service = program.serviceForm();
    program.session().serviceEditing().NactiService(1, false);
    service.show();
    run(1500);
    ok = save(service, folder.filePath(QStringLiteral("service-window") + suffix)) && ok;

    TParametryForm& dialog = program.parametryForm();
    dialog.show();
    run(500);
    ok = save(dialog, folder.filePath(QStringLiteral("parameters-dialog") + suffix)) && ok;
    dialog.hide();
    service.hide();
    ok = saveServiceDialogs(program, folder, suffix) && ok;
    ok = saveCalibrationDialogs(program, unit, folder, suffix) && ok;
    return ok ? 0 : 1;
}

// kovr-shots: pictures of the program's windows, live against the simulated unit, in one
// language, for checking by eye that no caption, list item or cell is cut.
//
//   build/kovr-shots LANG FOLDER     LANG 0 Czech, 1 English, 2 Polish, 3 Russian
//
// Writes FOLDER/<window>-<cs|en|pl|ru>.png for all sixteen windows: the main window, the
// protocol trace during the start-up refresh, the trend after a few minutes of a positioner at
// work, the service window, the parameters dialog, the
// position, motor, CPT, error-masks, outputs and control-signal dialogs, the torque and sensor
// dialogs during a calibration, the setup dialog, the about box and the progress window during a
// write of all parameters.
// The unit plays variant 3 with every relay on a position function, so that every control of
// the main window is shown. Under an X server with a window manager (scripts/screenshots runs
// it so) each picture is taken from the screen, with the window manager's own title bar;
// offscreen a window has no frame, and each picture gets a drawn title bar with its caption.

#include "PtyLine.h"
#include "SimulatedUnit.h"
#include "TrendScenario.h"
#include "app/CalibrationDialogs.h"
#include "app/Program.h"
#include "app/ServiceDialogs.h"
#include "link/Prompter.h"
#include "link/SerialPortList.h"
#include "params/ServiceEditing.h"
#include "session/ServiceActions.h"
#include "session/Session.h"
#include "ui/AboutBox.h"
#include "ui/ChybyForm.h"
#include "ui/CompareForm.h"
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
#include "ui/StringGridView.h"
#include "ui/TraceForm.h"
#include "ui/TrendForm.h"
#include "ui/UiFont.h"
#include "ui/VystupyForm.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPainter>
#include <QScreen>
#ifdef KOVR_SHOTS_XCB
#include <QGuiApplication>
#include <xcb/xcb.h>
#endif
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

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

// The buttons a title bar shows for the window's flags: close, maximise (only for a window
// that can change its size), minimise.
int titleButtons(const QWidget& window) {
    const Qt::WindowFlags flags = window.windowFlags();
    int buttons = 0;
    if (flags & Qt::WindowCloseButtonHint) ++buttons;
    if ((flags & Qt::WindowMaximizeButtonHint) && window.minimumSize() != window.maximumSize())
        ++buttons;
    if (flags & Qt::WindowMinimizeButtonHint) ++buttons;
    return buttons;
}

// The window with a title bar above its client area: the caption in the bold window font, cut
// with an ellipsis where it does not fit beside the buttons, as a title bar cuts it.
QImage framed(QWidget& window) {
    const QPixmap client = window.grab();
    QFont font = window.font();
    font.setBold(true);
    const QFontMetrics metrics(font);
    const int bar = metrics.height() + 10;
    QImage image(client.width(), client.height() + bar, QImage::Format_RGB32);
    image.fill(QColor(0x2B, 0x57, 0x9A));
    QPainter painter(&image);
    painter.drawPixmap(0, bar, client);
    painter.setPen(QPen(Qt::white, 1));
    const int side = bar - 6;
    int right = image.width() - 4;
    for (int i = 0; i < titleButtons(window); ++i) {
        const QRect box(right - side, 3, side, side);
        const QRect glyph = box.adjusted(5, 5, -5, -5);
        painter.drawRect(box.adjusted(0, 0, -1, -1));
        if (i == 0) {
            painter.drawLine(glyph.topLeft(), glyph.bottomRight());
            painter.drawLine(glyph.topRight(), glyph.bottomLeft());
        } else if (i == 1 && titleButtons(window) == 3) {
            painter.drawRect(glyph);
        } else {
            painter.drawLine(glyph.bottomLeft(), glyph.bottomRight());
        }
        right = box.left() - 2;
    }
    const QRect captionBox(6, 0, right - 6 - 4, bar);
    painter.setFont(font);
    painter.drawText(captionBox, Qt::AlignLeft | Qt::AlignVCenter,
                     metrics.elidedText(window.windowTitle(), Qt::ElideRight, captionBox.width()));
    return image;
}

#ifdef KOVR_SHOTS_XCB
// The window manager's frame around `window` as the X server has it: the ancestor of the
// window's X window that is a child of the root. Empty while the window has no frame.
QRect managedFrame(const QWidget& window) {
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11) return {};
    xcb_connection_t* c = x11->connection();
    xcb_window_t current = xcb_window_t(window.winId());
    for (;;) {
        xcb_query_tree_reply_t* tree = xcb_query_tree_reply(c, xcb_query_tree(c, current), nullptr);
        if (!tree) return {};
        const xcb_window_t parent = tree->parent, root = tree->root;
        std::free(tree);
        if (parent == root) break;
        current = parent;
    }
    if (current == xcb_window_t(window.winId())) return {};
    xcb_get_geometry_reply_t* geometry =
        xcb_get_geometry_reply(c, xcb_get_geometry(c, current), nullptr);
    if (!geometry) return {};
    // The X server counts device pixels; Qt's screen grab takes logical ones (QT_SCALE_FACTOR).
    const qreal ratio = window.devicePixelRatioF();
    const QRect frame(qRound(geometry->x / ratio), qRound(geometry->y / ratio),
                      qRound((geometry->width + 2 * geometry->border_width) / ratio),
                      qRound((geometry->height + 2 * geometry->border_width) / ratio));
    std::free(geometry);
    return frame;
}
#else
QRect managedFrame(const QWidget& window) {
    return window.frameGeometry() == window.geometry() ? QRect() : window.frameGeometry();
}
#endif

// The window as the screen shows it, frame and title bar included, brought to the front first.
// A window that stays on top (the progress window during a refresh) steps aside meanwhile.
QImage fromScreen(QWidget& window) {
    window.raise();
    window.activateWindow();
    QElapsedTimer framing;
    framing.start();
    while (managedFrame(window).isEmpty() && framing.elapsed() < 10000)
        run(20); // until the window manager has framed it
    const QRect frame = managedFrame(window);
    if (frame.isEmpty()) {
        std::fprintf(stderr, "%s: no frame from the window manager\n",
                     qPrintable(window.objectName()));
        return {};
    }
    QList<std::pair<QWidget*, QPoint>> aside;
    for (QWidget* other : QApplication::topLevelWidgets())
        if (other != &window && other->isVisible() &&
            (other->windowFlags() & Qt::WindowStaysOnTopHint) &&
            other->frameGeometry().intersects(frame)) {
            aside.append({other, other->pos()});
            const QRect screen = window.screen()->availableGeometry();
            other->move(screen.right() - other->frameGeometry().width(),
                        screen.bottom() - other->frameGeometry().height());
        }
    run(400); // the window manager restacks and the windows repaint
    const QImage picture = window.screen()
                               ->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height())
                               .toImage();
    for (const auto& [other, at] : aside)
        other->move(at);
    return picture;
}

bool save(QWidget& window, const QString& path) {
    const bool windowManager = QGuiApplication::platformName() == QLatin1String("xcb");
    if ((windowManager ? fromScreen(window) : framed(window)).save(path)) return true;
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
        while (!program.session().isPollingMonitor() && idle.elapsed() < 3000)
            run(20);
    }
    return ok;
}

// Waits until a dialog's closing sequence has given the line back to the monitor poll.
void waitForMonitorPoll(Program& program) {
    QElapsedTimer idle;
    idle.start();
    while (!program.session().isPollingMonitor() && idle.elapsed() < 3000)
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

// The serial ports of a bench PC with two USB adapters, and the simulated unit's line that
// COM 3 opens, so the setup dialog's list looks as it does in the workshop.
struct BenchPorts : PortInfoSource {
    QString simulated;
    QList<SerialPortEntry> ports() const override {
        return {
            {QStringLiteral("/dev/ttyS0"), {}, {}, {}, {}},
            {QStringLiteral("/dev/ttyUSB0"), QStringLiteral("FT232R USB UART"),
             QStringLiteral("FTDI"), QStringLiteral("A10K2LQ9"),
             QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K2LQ9-if00-port0")},
            {QStringLiteral("/dev/ttyUSB1"),
             QStringLiteral("USB-Serial Controller"),
             QStringLiteral("Prolific Technology Inc."),
             {},
             QStringLiteral("/dev/serial/by-id/usb-Prolific_Technology_Inc._USB-Serial_"
                            "Controller-if00-port0")},
            {simulated, QStringLiteral("kovr-sim"), {}, {}, {}},
        };
    }
};

// The setup dialog and the about box, each shown on its own.
bool saveSetupAndAbout(Program& program, const QDir& folder, const QString& suffix,
                       const QString& simulatedLine) {
    BenchPorts bench;
    bench.simulated = simulatedLine;
    program.setupForm().setPortInfo(&bench);
    const std::pair<QDialog*, const char*> shots[] = {
        {&program.setupForm(), "setup-dialog"},
        {&program.aboutBox(), "about-box"},
    };
    bool ok = true;
    for (const auto& [dialog, name] : shots) {
        dialog->show();
        run(300);
        ok = save(*dialog, folder.filePath(QString::fromLatin1(name) + suffix)) && ok;
        dialog->hide();
    }
    program.setupForm().setPortInfo(nullptr);
    return ok;
}

// The progress window during a write of all parameters, as the service window's "Zapsat"
// starts it, caught once half of the items are acknowledged. Last, since the write changes
// the unit.
bool saveProgressWindow(Program& program, const QDir& folder, const QString& suffix) {
    TPrubehForm& progress = program.progressWindow();
    program.session().serviceActions().ZapsatParService();
    QElapsedTimer timer;
    timer.start();
    const auto halfway = [&progress] {
        return progress.isVisible() && progress.maximum() > 0 &&
               progress.position() * 2 >= progress.maximum();
    };
    while (!halfway() && timer.elapsed() < 20000)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    if (!halfway()) {
        std::fprintf(stderr, "the write showed no progress window\n");
        return false;
    }
    const bool ok = save(progress, folder.filePath(QStringLiteral("progress-window") + suffix));
    while (progress.isVisible() && timer.elapsed() < 30000)
        run(20);
    return ok;
}

// The service window in write-from-file mode: the unit saved to a file, two of its parameters
// changed at the unit since, and the file opened again, its differences marked.
bool saveServiceWindowWithFile(Program& program, SimulatedUnit& unit, const QDir& scratch,
                               const QDir& folder, const QString& suffix) {
    const QString file = scratch.filePath(QStringLiteral("ventil 7.par"));
    if (!program.session().parameterFiles().save(file)) return false;
    unit.setParameter(SimulatedUnit::KindB, 28, 60);
    unit.setParameter(SimulatedUnit::KindW, 7, unit.parameter(SimulatedUnit::KindW, 7) + 40);
    run(4000); // a round of the parameters through the monitor
    if (!program.session().parameterFiles().open(file)) return false;
    TServiceForm& service = program.serviceForm();
    program.session().serviceEditing().NactiService(1, true);
    service.show();
    run(1500);
    const bool ok = save(service, folder.filePath(QStringLiteral("service-window-file") + suffix));
    service.hide();
    return ok;
}

// The unit as found against the unit now, after two of its parameters were changed at the unit.
bool saveCompareWindow(Program& program, SimulatedUnit& unit, const QDir& folder,
                       const QString& suffix) {
    unit.setParameter(SimulatedUnit::KindB, 27, 90);
    unit.setParameter(SimulatedUnit::KindW, 6, unit.parameter(SimulatedUnit::KindW, 6) + 25);
    run(4000); // a round of the parameters through the monitor
    CompareForm& compare = program.compareForm();
    compare.show();
    run(500);
    const bool ok = save(compare, folder.filePath(QStringLiteral("compare-window") + suffix));
    compare.hide();
    return ok;
}

// The trend after a few minutes of a positioner at work, played on a unit of its own without
// waiting for them.
bool saveTrendWindow(Prompter& prompter, const QDir& folder, const QString& suffix) {
    SimulatedUnit unit(3);
    TPrubehForm progress;
    QTemporaryDir dir;
    Session session(prompter, progress, dir.filePath(QStringLiteral("kovr.ini")));
    const qint64 end = QDateTime::currentMSecsSinceEpoch();
    TrendScenario(session, unit, end - TrendScenario::LengthMs).play();
    TrendForm trend(session.trend(), prompter);
    trend.show();
    run(200);
    trend.refresh();
    run(200);
    return save(trend, folder.filePath(QStringLiteral("trend-window") + suffix));
}

} // namespace

int main(int argc, char* argv[]) {
    // Offscreen unless the caller chose a platform (xcb: a display with a window manager).
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setFont(kovrFont());
    const QByteArray lang = argc == 3 ? QByteArray(argv[1]) : QByteArray();
    static const char* const codes[] = {"cs", "en", "pl", "ru"};
    if (lang.size() != 1 || lang[0] < '0' || lang[0] > '3') {
        std::fprintf(stderr, "usage: kovr-shots LANG FOLDER   (LANG 0 cs, 1 en, 2 pl, 3 ru)\n");
        return 2;
    }
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
    program.session().recorder().setFolder(dir.filePath(QStringLiteral("units")),
                                           QStringLiteral("kovr"));
    const QString suffix =
        QStringLiteral("-") + QString::fromLatin1(codes[lang[0] - '0']) + QStringLiteral(".png");
    program.mainWindow().show();
    // The protocol trace is open from the start and pictured halfway through the refresh.
    TraceForm& trace = program.traceForm();
    trace.show();
    bool traced = false;
    QElapsedTimer refresh;
    refresh.start();
    while (program.session().isRefreshing() && refresh.elapsed() < 30000) {
        run(50);
        const TPrubehForm& progress = program.progressWindow();
        if (!traced && progress.maximum() > 0 && progress.position() * 2 >= progress.maximum()) {
            run(2 * TraceForm::RefreshMs); // the window takes in what came meanwhile
            traced = save(trace, folder.filePath(QStringLiteral("trace-window") + suffix));
        }
    }
    trace.hide();
    if (!traced) std::fprintf(stderr, "the refresh ended before the trace was pictured\n");
    run(6000); // the texts and the last errors arrive a character and an item per poll

    bool ok = traced;
    ok = save(program.mainWindow(), folder.filePath(QStringLiteral("main-window") + suffix)) && ok;
    ok = saveCompareWindow(program, unit, folder, suffix) && ok;

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
    ok = saveSetupAndAbout(program, folder, suffix, line.slavePath()) && ok;
    ok = saveProgressWindow(program, folder, suffix) && ok;
    ok = saveTrendWindow(prompter, folder, suffix) && ok;
    ok = saveServiceWindowWithFile(program, unit, QDir(dir.path()), folder, suffix) && ok;
    return ok ? 0 : 1;
}

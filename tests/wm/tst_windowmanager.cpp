// The program under a real X server with the openbox window manager: what only a window
// manager shows (title bars, placement, stacking), read back from the X server, not from Qt's
// own idea of its windows. The port names a device that does not exist: the windows are what
// is tried here, not the link.

#include "EventWait.h"
#include "LinkFakes.h"
#include "XServer.h"
#include "app/Program.h"
#include "lang/Lang.h"
#include "ui/MainWindow.h"
#include "ui/MessagePrompter.h"
#include "ui/ProgramIcon.h"
#include "ui/PrubehForm.h"
#include "ui/ServiceForm.h"
#include "ui/TraceForm.h"
#include "ui/TrendForm.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

constexpr int ScreenWidth = 1600;
constexpr int ScreenHeight = 1000;

XServer* server = nullptr;

// Until the window manager has framed `window` and shows it.
bool managed(QWidget& window) {
    return waitUntil(
        [&] {
            const xcb_window_t frame = server->frameOf(window.winId());
            return frame != window.winId() && server->isViewable(frame);
        },
        5000);
}

QRect frameOnScreen(QWidget& window) {
    return server->geometry(server->frameOf(window.winId()));
}

QRect clientOnScreen(QWidget& window) {
    return server->geometry(window.winId());
}

// A widget's rectangle on the screen: its window's client as the X server places it, and the
// widget's place within that client.
QRect onScreen(QWidget& widget) {
    const QRect client = clientOnScreen(*widget.window());
    return QRect(client.topLeft() + widget.mapTo(widget.window(), QPoint(0, 0)), widget.size());
}

} // namespace

class TestWindowManager : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void serviceMenuOpensByMouse();
    void statusBarBelowThePanels();
    void questionAboveTheProgressWindow();
    void diagnosticWindowsInsideTheScreen_data();
    void diagnosticWindowsInsideTheScreen();
    void oneIconEverywhere();

private:
    QTemporaryDir m_dir;
    FakePrompter m_prompter;
    std::unique_ptr<Program> m_program;
};

void TestWindowManager::init() {
    LangIndex = 0;
    QFile ini(m_dir.filePath(QStringLiteral("kovr.ini")));
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write("[Ports]\nCOM1=/nonexistent/kovr-tty\n\n[Setup]\nPort=1\nLang=0\n");
    ini.close();
    m_prompter = FakePrompter();
    m_program = std::make_unique<Program>(m_dir.path(), &m_prompter);
    m_program->mainWindow().show();
    QVERIFY(managed(m_program->mainWindow()));
}

void TestWindowManager::cleanup() {
    m_program.reset();
}

// "Soubor" has a title bar's worth of height and a real click opens it.
void TestWindowManager::serviceMenuOpensByMouse() {
    TServiceForm& service = m_program->serviceForm();
    service.show();
    QVERIFY(managed(service));
    auto* bar = service.findChild<QMenuBar*>();
    QVERIFY(bar);
    const QRect client = clientOnScreen(service);
    QCOMPARE(client.size(), QSize(1024, 510 + bar->height()));
    QVERIFY2(bar->height() >= bar->fontMetrics().height(),
             qPrintable(QString::number(bar->height())));
    QAction* file = bar->actions().first();
    const QRect title = bar->actionGeometry(file).translated(onScreen(*bar).topLeft());
    QVERIFY(client.contains(title));
    QVERIFY(XServer::click(title.center()));
    KOVR_TRY_VERIFY(file->menu()->isVisible());
    QVERIFY(managed(*file->menu()) || server->isViewable(file->menu()->winId()));
    QVERIFY(server->geometry(file->menu()->winId()).top() >= title.bottom());
    file->menu()->close();
    service.hide();
}

// The panels keep the whole 971 x 520 client; the status bar lies below it.
void TestWindowManager::statusBarBelowThePanels() {
    MainWindow& main = m_program->mainWindow();
    const QRect client = clientOnScreen(main);
    const QRect panels = onScreen(*main.centralWidget());
    const QRect status = onScreen(*main.findChild<QStatusBar*>());
    QCOMPARE(panels.size(), QSize(MainWindow::ClientWidth, MainWindow::ClientHeight));
    QVERIFY(client.contains(panels) && client.contains(status));
    QVERIFY2(status.top() > panels.bottom(),
             qPrintable(QStringLiteral("status bar at %1, panels end at %2")
                            .arg(status.top())
                            .arg(panels.bottom())));
    QVERIFY(QRect(0, 0, ScreenWidth, ScreenHeight).contains(frameOnScreen(main)));
}

// The link's question comes while the always-on-top progress window is up and lies over the
// question's buttons: the question is above it, and a real click on "Ano" answers it.
void TestWindowManager::questionAboveTheProgressWindow() {
    MainWindow& main = m_program->mainWindow();
    TPrubehForm& progress = m_program->progressWindow();
    progress.prepare(86);
    progress.show();
    QVERIFY(managed(progress));
    MessagePrompter prompter(&main);
    prompter.setKeepAbove(&progress);
    bool checked = false;
    QTimer::singleShot(0, this, [&] {
        // Whatever fails, the box closes and the test goes on.
        const auto close = qScopeGuard([] {
            if (auto* open = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
                open->reject();
        });
        QMessageBox* box = nullptr;
        QVERIFY(waitUntil([&] {
            box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            return box && box->isVisible();
        }));
        QVERIFY(managed(*box));
        QAbstractButton* yes = box->button(QMessageBox::Yes);
        // The progress window over the question's "Ano", as where both come up centred.
        const QRect yesOnScreen = onScreen(*yes);
        progress.move(yesOnScreen.center() - QPoint(progress.width() / 2, progress.height() / 2));
        progress.raise();
        QVERIFY(waitUntil([&] { return frameOnScreen(progress).contains(yesOnScreen.center()); }));
        QTest::qWait(100); // the window manager restacks after the move
        const QList<xcb_window_t> stack = server->stacking();
        QVERIFY(stack.indexOf(server->frameOf(box->winId())) >
                stack.indexOf(server->frameOf(progress.winId())));
        QCOMPARE(server->frameAt(yesOnScreen.center()), server->frameOf(box->winId()));
        checked = true;
        QVERIFY(XServer::click(yesOnScreen.center()));
        QVERIFY(waitUntil([&] { return !box->isVisible(); }));
    });
    const bool answer = prompter.askYesNo(QStringLiteral("Chyba komunikace!"));
    QVERIFY(checked);
    QVERIFY(answer);
    progress.resetAndClose();
}

void TestWindowManager::diagnosticWindowsInsideTheScreen_data() {
    QTest::addColumn<QString>("action");
    QTest::newRow("trace") << QStringLiteral("ZaznamKomunikace");
    QTest::newRow("trend") << QStringLiteral("PrubehVelicin");
}

// Opened from the menu over the main window, and wholly on the screen, title bar included.
void TestWindowManager::diagnosticWindowsInsideTheScreen() {
    QFETCH(QString, action);
    MainWindow& main = m_program->mainWindow();
    QWidget* form = action == QStringLiteral("ZaznamKomunikace")
                        ? static_cast<QWidget*>(&m_program->traceForm())
                        : static_cast<QWidget*>(&m_program->trendForm());
    // The main window in the bottom right-hand corner: a window centred over it would reach
    // past the screen's edges.
    const QRect mainFrame = frameOnScreen(main);
    main.move(ScreenWidth - mainFrame.width(), ScreenHeight - mainFrame.height());
    QVERIFY(waitUntil([&] { return frameOnScreen(main).bottom() == ScreenHeight - 1; }));
    main.action(action)->trigger();
    QVERIFY(managed(*form));
    const QRect frame = frameOnScreen(*form);
    QVERIFY2(QRect(0, 0, ScreenWidth, ScreenHeight).contains(frame),
             qPrintable(QStringLiteral("%1,%2 %3x%4")
                            .arg(frame.x())
                            .arg(frame.y())
                            .arg(frame.width())
                            .arg(frame.height())));
    QVERIFY(frameOnScreen(main).contains(frame.center()));
    form->hide();
}

// The window manager gets the program's picture for every window (_NET_WM_ICON), the same the
// about box shows and the package installs.
void TestWindowManager::oneIconEverywhere() {
    MainWindow& main = m_program->mainWindow();
    const QByteArray name = "_NET_WM_ICON";
    xcb_connection_t* c = server->connection();
    xcb_intern_atom_reply_t* atom =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, name.size(), name.constData()), nullptr);
    QVERIFY(atom);
    xcb_get_property_reply_t* property = xcb_get_property_reply(
        c, xcb_get_property(c, 0, main.winId(), atom->atom, XCB_ATOM_CARDINAL, 0, 1 << 20),
        nullptr);
    std::free(atom);
    QVERIFY(property);
    // Width, height and the ARGB pixels of each size, one after the other.
    const auto* words = static_cast<const quint32*>(xcb_get_property_value(property));
    const int count = xcb_get_property_value_length(property) / 4;
    QImage found;
    for (int at = 0; at + 2 <= count;) {
        const int width = int(words[at]), height = int(words[at + 1]);
        if (width == 48 && height == 48 && at + 2 + 48 * 48 <= count) {
            found = QImage(reinterpret_cast<const uchar*>(words + at + 2), 48, 48,
                           QImage::Format_ARGB32)
                        .copy();
            break;
        }
        at += 2 + width * height;
    }
    std::free(property);
    QVERIFY2(!found.isNull(), "no 48 x 48 picture in _NET_WM_ICON");
    const QImage expected = programPixmap(48).toImage().convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(found, expected);
    auto* about = main.findChild<QDialog*>(QStringLiteral("AboutBox"));
    QVERIFY(about);
    auto* picture = about->findChild<QLabel*>(QStringLiteral("ProgramIcon"));
    QCOMPARE(picture->pixmap().toImage().convertToFormat(QImage::Format_ARGB32), expected);
}

int main(int argc, char* argv[]) {
    XServer x;
    if (!x.start(ScreenWidth, ScreenHeight)) return 1;
    server = &x;
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    TestWindowManager test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_windowmanager.moc"

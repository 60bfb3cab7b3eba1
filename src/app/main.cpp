#include "Lang.h"
#include "MainWindow.h"
#include "MessagePrompter.h"
#include "PrubehForm.h"
#include "Session.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QSettings>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // kovr.ini of the working directory current at start.
    const QString iniPath = QDir::current().absoluteFilePath(QStringLiteral("kovr.ini"));
    QSettings ini(iniPath, QSettings::IniFormat);
    QString port = ini.value(QStringLiteral("Setup/Port"), QStringLiteral("1")).toString();
    if (port == QStringLiteral("0")) port = QStringLiteral("1");
    LangIndex = ini.value(QStringLiteral("Setup/Lang"), QStringLiteral("0")).toString().toInt();

    MainWindow window;
    MessagePrompter prompter(&window);
    PrubehForm progress(&window);
    Session session(prompter, progress, iniPath);
    QObject::connect(&session, &Session::statusText, &window, &MainWindow::setStatusText);
    QObject::connect(&session, &Session::monitorUpdated, &window,
                     [&] { window.showMonitor(session.display()); });
    QObject::connect(window.lineErrorsAction(), &QAction::toggled, &session,
                     [&](bool on) { session.scheduler().setLineErrorsShown(on); });
    QObject::connect(&window, &MainWindow::firstShown, &session, [&] { session.start(port); });
    window.show();
    return app.exec();
}

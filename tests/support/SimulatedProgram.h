#pragma once

// The whole program, windows and all, against the simulated unit on a pseudo-terminal: what a
// technician runs, with a prompter that answers for them.

#include "EventWait.h"
#include "SimulatedSetup.h"
#include "app/Program.h"
#include "ui/MainWindow.h"
#include "ui/ServiceForm.h"

#include <QTimer>
#include <functional>

struct SimulatedProgram : SimulatedLine {
    FakePrompter prompter;
    std::unique_ptr<Program> program;
    LinkTiming timing = FastTiming;

    // Czech, COM 3, unless `settings` says otherwise.
    bool open(QString* error, const QByteArray& settings = "[Setup]\nPort=3\nLang=0\n") {
        if (!openLine(error, settings)) return false;
        program = std::make_unique<Program>(dir.path(), &prompter);
        program->session().setLinkTiming(timing);
        // The records stay in the test's folder.
        program->session().recorder().setFolder(dir.filePath(QStringLiteral("units")),
                                                QStringLiteral("kovr"));
        return true;
    }
    // Shows the main window, which starts the link, and waits for the first refresh to end.
    bool startAndRefresh() {
        program->mainWindow().show();
        return waitUntil([this] { return !program->session().isRefreshing(); }, 15000);
    }
    Session& session() { return program->session(); }
    // The caption of the service window the next time it shows, during `action` (which may
    // open it modally) or after it, closed again at once; empty when it does not show within
    // `timeout` ms.
    QString serviceCaptionDuring(const std::function<void()>& action = {}, int timeout = 5000) {
        TServiceForm& form = program->serviceForm();
        QString caption;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, &form, [&] {
            if (!form.isVisible() || !caption.isEmpty()) return;
            caption = form.windowTitle();
            form.done(0);
        });
        watch.start(5);
        if (action) action();
        return waitUntil([&] { return !caption.isEmpty(); }, timeout) ? caption : QString();
    }
};

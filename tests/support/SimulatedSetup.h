#pragma once

// The session with its real serial port on one side of a kernel pseudo-terminal and the
// simulated unit on the other (unpaced, so tests run at the pace of the 20 ms poll gap).

#include "LinkFakes.h"
#include "PtyLine.h"
#include "SimulatedUnit.h"
#include "params/ParameterCatalogue.h"
#include "session/Session.h"
#include "ui/PrubehForm.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <memory>

// The parameter kinds in the catalogue's order: B, W, DW.
inline constexpr SimulatedUnit::Kind Kinds[] = {SimulatedUnit::KindB, SimulatedUnit::KindW,
                                                SimulatedUnit::KindDW};

// Every value of a unit, by kind and index.
inline QList<QList<quint32>> valuesOf(const SimulatedUnit& unit) {
    QList<QList<quint32>> values;
    for (SimulatedUnit::Kind kind : Kinds) {
        QList<quint32> ofKind;
        for (int i = 0; i < ParameterCatalogue::count(kind); ++i)
            ofKind.append(unit.parameter(kind, i));
        values.append(ofKind);
    }
    return values;
}

// The pace of the cases that are not about timing: the protocol of the tool, every request and
// reply as it would be, only the gap before the next request and the reply timeout shorter (the
// unpaced unit answers within a millisecond). Cases about the pace keep LinkTiming{}.
inline constexpr LinkTiming FastTiming{
    .startInterval = 10, .replyTimeout = 100, .longReplyTimeout = 4000, .nextRequestGap = 2};

// The simulated unit on one side of a kernel pseudo-terminal, reached through a link in a
// folder of its own, with a kovr.ini there that maps COM 3 to it.
struct SimulatedLine {
    QTemporaryDir dir;
    SimulatedUnit unit{2};
    PtyLine line{&unit};
    QList<QByteArray> requests; // every request the unit accepted

    // Opens the line and writes kovr.ini with `settings` after the ports; false (with the
    // reason) when the system refuses.
    bool openLine(QString* error, const QByteArray& settings = {}) {
        line.setPaced(false);
        if (!line.open()) {
            *error = line.errorString();
            return false;
        }
        QObject::connect(&unit, &SimulatedUnit::requestAccepted, &unit,
                         [this](const QByteArray& frame) { requests.append(frame); });
        // The serial port's lock file is named after the device's file name: unique per setup.
        const QString name = QStringLiteral("tty") + QFileInfo(dir.path()).fileName();
        if (!line.setLink(dir.filePath(name))) {
            *error = QStringLiteral("no link to the line");
            return false;
        }
        QFile ini(iniPath());
        if (!ini.open(QIODevice::WriteOnly)) {
            *error = ini.errorString();
            return false;
        }
        // Through a link, as a USB adapter's device node: a pulled line takes it away, so no
        // other process's new pty can stand in for it.
        ini.write("[Ports]\nCOM3=" + line.linkPath().toUtf8() + "\n\n" + settings);
        ini.close();
        return true;
    }
    QString iniPath() const { return dir.filePath(QStringLiteral("kovr.ini")); }
    // The payload of each accepted request: command, length and data.
    QList<QByteArray> payloads() const {
        QList<QByteArray> all;
        for (const QByteArray& frame : requests)
            all.append(frame.mid(3, frame.size() - 5));
        return all;
    }
};

// The session (no windows) against the simulated unit.
struct SimulatedSetup : SimulatedLine {
    FakePrompter prompter;
    TPrubehForm progress;
    std::unique_ptr<Session> session;
    LinkTiming timing = FastTiming;

    bool open(QString* error) {
        if (!openLine(error)) return false;
        session = std::make_unique<Session>(prompter, progress, iniPath());
        session->setLinkTiming(timing);
        return true;
    }
    void start() { session->start(QStringLiteral("3")); }
};

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

struct SimulatedSetup {
    QTemporaryDir dir;
    SimulatedUnit unit{2};
    PtyLine line{&unit};
    FakePrompter prompter;
    TPrubehForm progress;
    std::unique_ptr<Session> session;
    QList<QByteArray> requests; // every request the unit accepted

    // Opens the line and maps COM 3 to it; false (with the reason) when the system refuses.
    bool open(QString* error) {
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
        QFile ini(dir.filePath(QStringLiteral("kovr.ini")));
        if (!ini.open(QIODevice::WriteOnly)) {
            *error = ini.errorString();
            return false;
        }
        // Through a link, as a USB adapter's device node: a pulled line takes it away, so no
        // other process's new pty can stand in for it.
        ini.write("[Ports]\nCOM3=" + line.linkPath().toUtf8() + "\n");
        ini.close();
        session = std::make_unique<Session>(prompter, progress, ini.fileName());
        return true;
    }
    void start() { session->start(QStringLiteral("3")); }
};

#pragma once

#include <QList>
#include <QString>

struct DeviceImage;
class ServiceSheet;

// A parameter that writing the loaded file would change: its label as the service window
// shows it, the unit's value and the file's value, as decimal texts.
struct PendingChange {
    int kind;
    int index;
    QString name;
    QString unitValue;
    QString fileValue;

    bool operator==(const PendingChange&) const = default;
};

// The parameters a write from the loaded file would change, in the order of the service
// window's grids (left, then right): the unit has the parameter, the selection of "Zápis ze
// souboru" lets the file write it, and the file's value (set 2) differs from the unit's (set 1).
QList<PendingChange> pendingFileChanges(const DeviceImage& image, int selection);

#pragma once

#include <QDateTime>
#include <QString>

struct DeviceImage;
class ServiceSheet;
class SheetGrid;

// What a backup of the unit gave: the file written, or why there is none.
struct BackupResult {
    QString path;  // absolute path of the backup; empty when it failed
    QString error; // why it failed, for the message; empty on success

    bool ok() const { return !path.isEmpty(); }
};

// Saves what the connected unit holds now as a parameter file, before a loaded file is written
// over it, so that a wrong file can always be undone by opening the backup and writing it back.
//
// The backup is built from the device image alone: parameter values of set 1 (what the unit
// reported), the unit's production-data texts and the flags, never the service sheet, which in
// write-from-file mode shows the loaded file. Opening a file sets the flags of the parameters
// the unit has from the file until the monitor reports each one again (a round through all 86
// parameters), so a backup taken at once records those flags as the file had them. The file is what
// "Uložit jako" writes, so the program opens it like any other parameter file.
//
// Names: `<yyyy-MM-dd_HH-mm-ss>_<serial>.par` from the local time and the electronics serial
// number ("Výrobní číslo elektroniky"), with every run of characters other than letters, digits and
// '-' made one '_' ("no-serial" when nothing is left); a second backup in the same second gets
// "_2", "_3", ... and never replaces an earlier one, whichever process wrote it.
class UnitBackup {
public:
    // The platform's application data location + "/backups". It follows the application (and
    // organisation) name, so front ends that want one folder set the same name.
    static QString defaultFolder();

    // The one call a front end needs: writes the backup into `folder` (created when missing).
    // `errorGrid` is the monitoring panel's error grid, whose counters a parameter file records.
    static BackupResult save(const DeviceImage& image, const SheetGrid& errorGrid,
                             const QString& folder,
                             const QDateTime& now = QDateTime::currentDateTime());

    // The serial number as it appears in a backup's name.
    static QString serialForName(const DeviceImage& image);
    // The name without the folder; `attempt` 1 is the plain name, 2.. the suffixed ones; a
    // `tag` ("found", "left") follows the serial number.
    static QString fileName(const QString& serial, const QDateTime& now, int attempt = 1,
                            const QString& tag = QString());
    // Creates an empty file of the first free name in `folder` (made when missing) and returns
    // its absolute path; empty with `error` when no name could be claimed. Creating the file is
    // what claims the name, so two processes never write the same one.
    static QString claimName(const QString& folder, const QString& serial, const QDateTime& now,
                             const QString& tag, QString* error);
    // The service sheet as the window shows the unit outside write-from-file mode.
    static void fillUnitSheet(const DeviceImage& image, ServiceSheet& sheet);
};

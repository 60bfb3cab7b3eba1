#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

struct DeviceImage;
class SheetGrid;

// As-found and as-left records: what a unit held when it was first read completely after
// connecting, and what it held after a write's re-read. Each record is a parameter file, as
// "Uložit jako" writes it, in `<folder>/<electronics serial>/`, named as the backups are with
// "_found" or "_left" after the serial number, plus a section "Record" saying its kind, the
// program that wrote it and when. A record equal in every value and text to the unit's latest
// one is not written again, so a unit watched all day leaves one file.
class UnitRecords {
public:
    enum class Kind { Found, Left };
    struct Record {
        QString path;
        QDateTime time;
        Kind kind = Kind::Found;
        QString writer; // "kovr" or "kovr-cli"
    };
    struct Result {
        QString path;           // the record written; empty when none
        bool unchanged = false; // none needed: the latest record holds the same
        QString error;          // why none could be written
    };

    // The application data location + "/units", beside the backups.
    static QString defaultFolder();
    // The records' folder kovr.ini names (section "Folders", key "Records"), else the default.
    static QString folderFromSettings(const QString& iniPath);
    // The unit's own folder below `folder`.
    static QString unitFolder(const QString& folder, const DeviceImage& image);

    static Result record(const DeviceImage& image, const SheetGrid& errorGrid,
                         const QString& folder, Kind kind, const QString& writer,
                         const QDateTime& now = QDateTime::currentDateTime());
    // The records of a unit's folder, newest first; files without a section "Record" are left
    // out.
    static QList<Record> list(const QString& unitFolder);

    static QString kindName(Kind kind) {
        return kind == Kind::Found ? QStringLiteral("found") : QStringLiteral("left");
    }
};

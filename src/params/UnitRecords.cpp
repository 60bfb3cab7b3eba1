#include "params/UnitRecords.h"

#include "params/IniFile.h"
#include "params/ParameterComparison.h"
#include "params/ParameterFile.h"
#include "params/RecentFolders.h"
#include "params/UnitBackup.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <algorithm>

namespace {

const QString RecordSection = QStringLiteral("Record");

} // namespace

QString UnitRecords::defaultFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
           QStringLiteral("/units");
}

QString UnitRecords::folderFromSettings(const QString& iniPath) {
    RecentFolders folders;
    folders.load(iniPath);
    const QString named = folders.folder(RecentFolders::Records);
    return named.isEmpty() ? defaultFolder() : named;
}

QString UnitRecords::unitFolder(const QString& folder, const DeviceImage& image) {
    return QDir(folder).filePath(UnitBackup::serialForName(image));
}

UnitRecords::Result UnitRecords::record(const DeviceImage& image, const SheetGrid& errorGrid,
                                        const QString& folder, Kind kind, const QString& writer,
                                        const QDateTime& now) {
    const QString own = unitFolder(folder, image);
    ParameterSet unit;
    unit.takeUnit(image);
    if (const QList<Record> earlier = list(own); !earlier.isEmpty()) {
        ParameterSet latest;
        QString unreadable;
        if (latest.loadFile(earlier.first().path, &unreadable) &&
            !parameterSetsDiffer(latest, unit))
            return {QString(), true, QString()};
    }
    Result result;
    const QString path = UnitBackup::claimName(own, UnitBackup::serialForName(image), now,
                                               kindName(kind), &result.error);
    if (path.isEmpty()) return result;
    // The record's own section first: the parameter file's save keeps what it does not write.
    IniFile file(path, IniFile::Format::ParameterFile);
    const bool claimed = file.load(&result.error);
    file.setValue(RecordSection, QStringLiteral("Kind"), kindName(kind));
    file.setValue(RecordSection, QStringLiteral("Writer"), writer);
    // Local time with its offset from UTC, so that records from PCs in other zones sort right.
    file.setValue(RecordSection, QStringLiteral("Time"),
                  now.toOffsetFromUtc(now.offsetFromUtc()).toString(Qt::ISODateWithMs));
    if (!claimed || !file.save(&result.error) ||
        !ParameterFile::save(path, unit.sheet(), image, errorGrid, &result.error)) {
        QFile::remove(path);
        return result;
    }
    result.path = path;
    return result;
}

QList<UnitRecords::Record> UnitRecords::list(const QString& unitFolder) {
    QList<Record> records;
    const QDir dir(unitFolder);
    for (const QString& name : dir.entryList({QStringLiteral("*.par")}, QDir::Files)) {
        IniFile file(dir.filePath(name), IniFile::Format::ParameterFile);
        if (!file.load()) continue;
        const QString kind = file.value(RecordSection, QStringLiteral("Kind"));
        const QDateTime time = QDateTime::fromString(
            file.value(RecordSection, QStringLiteral("Time")), Qt::ISODateWithMs);
        if (!time.isValid() || (kind != kindName(Kind::Found) && kind != kindName(Kind::Left)))
            continue;
        records.append({dir.filePath(name), time,
                        kind == kindName(Kind::Found) ? Kind::Found : Kind::Left,
                        file.value(RecordSection, QStringLiteral("Writer"))});
    }
    // Newest first; in the same millisecond the later name (a "_2" claimed after the first).
    std::sort(records.begin(), records.end(), [](const Record& a, const Record& b) {
        return a.time != b.time ? a.time > b.time : a.path > b.path;
    });
    return records;
}

#include "params/UnitBackup.h"

#include "image/DeviceImage.h"
#include "params/ParameterCatalogue.h"
#include "params/ParameterFile.h"
#include "params/ProductionTexts.h"
#include "params/ServiceEditing.h"
#include "params/ServiceSheet.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

// More backups than this in one second means something else is wrong.
constexpr int MaximumAttempts = 100;

bool fitsName(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
           c == u'-';
}

} // namespace

QString UnitBackup::defaultFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
           QStringLiteral("/backups");
}

QString UnitBackup::serialForName(const DeviceImage& image) {
    // Anything else (blanks, slashes, bytes above 127) becomes one '_' per run.
    QString serial;
    for (QChar c : productionText(image, ParameterCatalogue::ElectronicsSerialField).trimmed()) {
        if (fitsName(c))
            serial += c;
        else if (!serial.endsWith(u'_'))
            serial += u'_';
    }
    while (serial.startsWith(u'_'))
        serial.remove(0, 1);
    while (serial.endsWith(u'_'))
        serial.chop(1);
    return serial.isEmpty() ? QStringLiteral("no-serial") : serial;
}

QString UnitBackup::fileName(const QString& serial, const QDateTime& now, int attempt,
                             const QString& tag) {
    QString name = now.toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss_")) + serial;
    if (!tag.isEmpty()) name += u'_' + tag;
    if (attempt > 1) name += QStringLiteral("_%1").arg(attempt);
    return name + QStringLiteral(".par");
}

void UnitBackup::fillUnitSheet(const DeviceImage& image, ServiceSheet& sheet) {
    // The window's own fill of the unit's values, on a copy: it needs an image it may change.
    DeviceImage unit = image;
    const int selection = 0;
    ServiceEditing(unit, sheet, selection).NactiService(1, false);
    ZobrazVerzi(image, sheet);
}

QString UnitBackup::claimName(const QString& folder, const QString& serial, const QDateTime& now,
                              const QString& tag, QString* error) {
    const QString absoluteFolder = QFileInfo(folder).absoluteFilePath();
    if (!QDir().mkpath(absoluteFolder)) {
        *error = QStringLiteral("%1: the folder cannot be created")
                     .arg(QDir::toNativeSeparators(absoluteFolder));
        return {};
    }
    // The name is claimed by creating the file, so that no other writer can take it before
    // the parameter file replaces the empty one.
    for (int attempt = 1; attempt <= MaximumAttempts; ++attempt) {
        const QString candidate = absoluteFolder + u'/' + fileName(serial, now, attempt, tag);
        QFile claim(candidate);
        if (claim.open(QIODevice::WriteOnly | QIODevice::NewOnly)) return candidate;
        if (!claim.exists()) {
            *error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(candidate),
                                                  claim.errorString());
            return {};
        }
    }
    *error = QStringLiteral("%1: no free name left for this second")
                 .arg(QDir::toNativeSeparators(absoluteFolder));
    return {};
}

BackupResult UnitBackup::save(const DeviceImage& image, const SheetGrid& errorGrid,
                              const QString& folder, const QDateTime& now) {
    QString error;
    const QString path = claimName(folder, serialForName(image), now, QString(), &error);
    if (path.isEmpty()) return {QString(), error};

    ServiceSheet sheet;
    fillUnitSheet(image, sheet);
    if (!ParameterFile::save(path, sheet, image, errorGrid, &error)) {
        QFile::remove(path);
        return {QString(), QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), error)};
    }
    return {path, QString()};
}

#include "params/SettingsLocation.h"

#include "lang/Lang.h"
#include "params/Setup.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>
#include <cerrno>

namespace {

const QString FileName = QStringLiteral("kovr.ini");

SettingsLocation at(const QString& path, bool inUserFolder) {
    const QFileInfo info(path);
    return {info.absoluteFilePath(), info.exists(), inUserFolder};
}

} // namespace

SettingsLocation SettingsLocation::find(const QString& named, const QString& workingDir,
                                        Fallback fallback) {
    if (!named.isEmpty()) return at(QDir(workingDir).absoluteFilePath(named), false);
    const SettingsLocation local = at(QDir(workingDir).absoluteFilePath(FileName), false);
    if (local.exists || fallback == Fallback::WorkingDirectory) return local;
    return at(userFile(), true);
}

QString SettingsLocation::userFile() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
        .filePath(QStringLiteral("kovr/") + FileName);
}

bool SettingsLocation::makeFolder(QString* error) const {
    const QString folder = QFileInfo(path).absolutePath();
    errno = 0;
    if (QDir().mkpath(folder)) return true;
    // mkpath keeps the reason of the mkdir that failed.
    const int reason = errno;
    if (error)
        *error = LangAddedText(QStringLiteral("SlozkuNelzeVytvorit"))
                     .arg(QDir::toNativeSeparators(folder),
                          reason ? qt_error_string(reason) : QString());
    return false;
}

int localeLanguageIndex(const QLocale& locale) {
    switch (locale.language()) {
    case QLocale::Czech: return 0;
    case QLocale::English: return 1;
    case QLocale::Polish: return 2;
    case QLocale::Russian: return 3;
    default: return -1;
    }
}

int startLanguage(const SettingsLocation& location) {
    if (location.exists) {
        TSetup setup;
        setup.load(location.path);
        return languageIndex(setup);
    }
    return std::max(0, localeLanguageIndex());
}

#include "params/RecentFolders.h"

#include "params/IniFile.h"

#include <QFileInfo>

#include <algorithm>

namespace {

// Read and written as they stand: a folder's name may hold ';' or '#' after a blank.
const QString FoldersSection = QStringLiteral("Folders");
constexpr const char* Keys[] = {"ParameterFiles", "Reports", "Records"};

} // namespace

void RecentFolders::load(const QString& iniPath) {
    m_folders = {};
    m_changed = {};
    IniFile ini(iniPath);
    if (!ini.load()) return;
    for (int kind = 0; kind < int(m_folders.size()); ++kind)
        m_folders[kind] = ini.value(FoldersSection, QLatin1String(Keys[kind])).trimmed();
}

void RecentFolders::remember(Kind kind, const QString& filePath) {
    setFolder(kind, QFileInfo(filePath).absolutePath());
}

void RecentFolders::setFolder(Kind kind, const QString& folder) {
    m_folders[kind] = folder;
    m_changed[kind] = true;
}

bool RecentFolders::save(const QString& iniPath, QString* error) const {
    if (std::find(m_changed.cbegin(), m_changed.cend(), true) == m_changed.cend()) return true;
    IniFile ini(iniPath);
    // A file we cannot read is not overwritten: its other sections would be lost.
    if (!ini.load(error)) return false;
    bool changed = false;
    for (int kind = 0; kind < int(m_folders.size()); ++kind) {
        const QString key = QLatin1String(Keys[kind]);
        if (!m_changed[kind] || ini.value(FoldersSection, key) == m_folders[kind]) continue;
        ini.setValue(FoldersSection, key, m_folders[kind]);
        changed = true;
    }
    return !changed || ini.save(error);
}

QString proposedFileName(const QString& electronicsSerial, const QString& date,
                         const QString& suffix) {
    QString serial;
    for (const QChar c : electronicsSerial.trimmed())
        serial += c.isLetterOrNumber() || c == u'-' || c == u'.' ? c : QChar(u'_');
    while (serial.startsWith(u'.'))
        serial.remove(0, 1); // no hidden file
    if (serial.isEmpty()) serial = QStringLiteral("kovr");
    return serial + u'_' + date + u'.' + suffix;
}

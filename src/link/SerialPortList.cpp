#include "link/SerialPortList.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>

#include <algorithm>

namespace {

// The node a name leads to, links followed; the name itself when it leads nowhere.
QString resolved(const QString& name) {
    const QString target = QFileInfo(name).canonicalFilePath();
    return target.isEmpty() ? name : target;
}

} // namespace

bool SerialPortEntry::opensAs(const QString& name) const {
    if (name.isEmpty()) return false;
    if (name == device || name == stablePath) return true;
    // A by-path link, or kovr.ini naming the same node another way.
    const QString node = resolved(name);
    return node == resolved(device);
}

QList<SerialPortEntry> SystemPortInfo::ports() const {
    QList<SerialPortEntry> list;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        SerialPortEntry entry;
#ifdef Q_OS_WIN
        entry.device = info.portName();
#else
        entry.device = info.systemLocation();
#endif
        entry.description = info.description();
        entry.manufacturer = info.manufacturer();
        entry.serialNumber = info.serialNumber();
        entry.stablePath = stablePath(info.systemLocation());
        list.append(entry);
    }
    std::sort(list.begin(), list.end(), [](const SerialPortEntry& a, const SerialPortEntry& b) {
        return a.device < b.device;
    });
    return list;
}

QString SystemPortInfo::stablePath(const QString& device, const QString& byIdFolder) {
    const QDir folder(byIdFolder);
    if (!folder.exists()) return {};
    const QString node = QFileInfo(device).canonicalFilePath();
    if (node.isEmpty()) return {};
    const QFileInfoList links = folder.entryInfoList(QDir::System | QDir::Files, QDir::Name);
    for (const QFileInfo& link : links)
        if (link.isSymLink() && link.canonicalFilePath() == node) return link.absoluteFilePath();
    return {};
}

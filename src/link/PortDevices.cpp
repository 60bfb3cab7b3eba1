#include "link/PortDevices.h"

#include "params/IniFile.h"
#include "params/Setup.h"

#include <QDir>

#include <algorithm>

PortDevices::PortDevices(const QString& iniPath)
    : m_iniPath(QDir::current().absoluteFilePath(iniPath)) {}

QString PortDevices::deviceName(int number) const {
    if (const auto bound = m_bound.constFind(number); bound != m_bound.cend()) return *bound;
    // Read as the settings are read, so that a line means the same in both sections.
    IniFile ini(m_iniPath);
    if (!ini.load()) return defaultDeviceName(number);
    const QString named =
        settingValue(ini, QStringLiteral("Ports"), QStringLiteral("COM") + QString::number(number));
    return named.isEmpty() ? defaultDeviceName(number) : named;
}

QList<int> PortDevices::boundNumbers() const {
    QList<int> numbers = m_bound.keys();
    IniFile ini(m_iniPath);
    if (ini.load()) {
        for (const QString& key : ini.keys(QStringLiteral("Ports"))) {
            bool valid = false;
            const int number = key.startsWith(QLatin1String("COM"), Qt::CaseInsensitive)
                                   ? key.mid(3).toInt(&valid)
                                   : 0;
            if (valid && number > 0 && !numbers.contains(number) &&
                !settingValue(ini, QStringLiteral("Ports"), key).isEmpty())
                numbers.append(number);
        }
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

QString PortDevices::defaultDeviceName(int number) {
#ifdef Q_OS_WIN
    // QSerialPort adds the \\.\ prefix itself, so COM10 and above open too.
    return QStringLiteral("COM") + QString::number(number);
#else
    return QStringLiteral("/dev/ttyS") + QString::number(number - 1);
#endif
}

bool PortDevices::saveBindings(QString* error) const {
    if (m_bound.isEmpty()) return true;
    IniFile ini(m_iniPath);
    // A file we cannot read is not overwritten: its other sections would be lost.
    if (!ini.load(error)) return false;
    for (auto it = m_bound.cbegin(); it != m_bound.cend(); ++it)
        ini.setValue(QStringLiteral("Ports"), QStringLiteral("COM") + QString::number(it.key()),
                     it.value());
    return ini.save(error);
}

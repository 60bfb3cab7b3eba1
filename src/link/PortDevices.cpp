#include "link/PortDevices.h"

#include <QDir>
#include <QSettings>

PortDevices::PortDevices(const QString& iniPath)
    : m_iniPath(QDir::current().absoluteFilePath(iniPath)) {}

QString PortDevices::deviceName(int number) const {
    const QSettings ini(m_iniPath, QSettings::IniFormat);
    const QString named =
        ini.value(QStringLiteral("Ports/COM") + QString::number(number)).toString().trimmed();
    return named.isEmpty() ? defaultDeviceName(number) : named;
}

QString PortDevices::defaultDeviceName(int number) {
#ifdef Q_OS_WIN
    // QSerialPort adds the \\.\ prefix itself, so COM10 and above open too.
    return QStringLiteral("COM") + QString::number(number);
#else
    return QStringLiteral("/dev/ttyS") + QString::number(number - 1);
#endif
}

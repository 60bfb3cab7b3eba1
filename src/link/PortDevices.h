#pragma once

#include <QString>

// Which device a COM number opens on this machine. The user picks ports by number (1..20);
// kovr.ini may name the device for a number in section "Ports" (COM1=/dev/ttyUSB0), otherwise
// the platform's usual name is used. The file is only read, at every lookup, so a changed
// kovr.ini takes effect at the next open.
class PortDevices {
public:
    // `iniPath` relative to the working directory current now, not at lookup time.
    explicit PortDevices(const QString& iniPath = QStringLiteral("kovr.ini"));

    QString deviceName(int number) const;
    QString iniPath() const { return m_iniPath; }

    // The name without a kovr.ini entry: /dev/ttyS<n-1> on Linux, COM<n> on Windows.
    static QString defaultDeviceName(int number);

private:
    QString m_iniPath;
};

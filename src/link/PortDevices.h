#pragma once

#include <QList>
#include <QMap>
#include <QString>

// Which device a COM number opens on this machine. The user picks ports by number (1..20);
// kovr.ini may name the device for a number in section "Ports" (COM1=/dev/ttyUSB0), read by the
// same rules as the settings (settingValue): the first of a twice-written key counts, a
// comment behind the path is no part of it, backslashes and commas are the path's own.
// Otherwise the platform's usual name is used. The file is only read, at every lookup, so a
// changed kovr.ini takes effect at the next open.
class PortDevices {
public:
    // `iniPath` relative to the working directory current now, not at lookup time.
    explicit PortDevices(const QString& iniPath = QStringLiteral("kovr.ini"));

    QString deviceName(int number) const;
    // The COM numbers kovr.ini's section Ports names and those bound for this run, ascending.
    QList<int> boundNumbers() const;
    QString iniPath() const { return m_iniPath; }

    // Binds a COM number to a device for this run, ahead of what kovr.ini says; saveBindings
    // puts the bindings into kovr.ini when the settings are written.
    void bind(int number, const QString& device) { m_bound.insert(number, device); }
    // Writes the bindings into section Ports (the rest of the file as it was); true when
    // there were none or they were written.
    bool saveBindings(QString* error = nullptr) const;

    // The name without a kovr.ini entry: /dev/ttyS<n-1> on Linux, COM<n> on Windows.
    static QString defaultDeviceName(int number);

private:
    QString m_iniPath;
    QMap<int, QString> m_bound;
};

#pragma once

#include <QList>
#include <QString>

// A serial port this machine has now, as the setup dialog lists it.
struct SerialPortEntry {
    QString device; // what the system calls it now: /dev/ttyUSB0, COM7
    QString description;
    QString manufacturer;
    QString serialNumber;
    // /dev/serial/by-id/... on Linux: the same adapter keeps it whatever ttyUSB number it
    // gets; empty where there is none.
    QString stablePath;

    // What kovr.ini's section Ports should name for it: the stable path where there is one.
    QString bindingPath() const { return stablePath.isEmpty() ? device : stablePath; }
    // True when `name` (as kovr.ini names a device) opens this port.
    bool opensAs(const QString& name) const;

    bool operator==(const SerialPortEntry&) const = default;
};

// Where the list comes from: the system, or a test's fixed list.
class PortInfoSource {
public:
    virtual ~PortInfoSource() = default;
    virtual QList<SerialPortEntry> ports() const = 0;
};

// The ports Qt's serial port info finds, in the order of their devices.
class SystemPortInfo : public PortInfoSource {
public:
    QList<SerialPortEntry> ports() const override;

    // The link in `byIdFolder` that leads to `device`, or empty.
    static QString stablePath(const QString& device,
                              const QString& byIdFolder = QStringLiteral("/dev/serial/by-id"));
};

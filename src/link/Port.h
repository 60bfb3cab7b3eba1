#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

// The serial line to the unit as the link sees it: open by COM number, write a frame,
// read whatever is waiting, purge both directions. Events arrive on the thread that owns
// the port (the user-interface thread).
class Port : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Line-error bits as the driver reports them.
    enum ErrorBit { QueueOverflow = 1, Overrun = 2, Parity = 4, Framing = 8, Break = 16 };

    virtual void setPortNum(int number) = 0;
    virtual int portNum() const = 0;
    // The device that port `number` opens on this machine.
    virtual QString deviceName(int number) const = 0;
    // Opens the port; on failure returns false and fills `error`.
    virtual bool open(QString* error) = 0;

    // Why the last open failed, in terms the technician can act on.
    // NotSerial: the name is a folder, a file, a FIFO or a device that is no terminal.
    enum class OpenFailure { None, Absent, NoPermission, Busy, NotSerial, Other };
    struct OpenProblem {
        OpenFailure reason = OpenFailure::None;
        QString device;
        QString group;  // NoPermission: the group that may open the device, when known
        QString detail; // Other: what the system said
    };
    // The problem of the last failed open; None after a successful one or when not known.
    virtual OpenProblem openProblem() const { return {}; }

    virtual void close() = 0;
    // True while open. A port whose device vanished stays "open" (writes are dropped, nothing
    // arrives) until it is closed, so the link sees silence rather than a closed port.
    virtual bool isOpen() const = 0;
    virtual bool writeText(const QByteArray& text) = 0;
    virtual QByteArray readText() = 0;
    virtual int bytesWaiting() const = 0;
    virtual void purgeReadWrite() = 0;

signals:
    // Characters have arrived; `count` is the number now waiting (never 0).
    void rxChar(int count);
    // Non-zero set of ErrorBit values.
    void lineError(int errors);
    // The device went away (adapter pulled, other end closed). Raised once per loss.
    void deviceLost(const QString& reason);
};

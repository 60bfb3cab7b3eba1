#pragma once

#include "link/Port.h"
#include "link/PortDevices.h"

#include <QSerialPort>

// The line driver's error counters (Linux TIOCGICOUNT); each only ever grows, wrapping at
// 32 bits, and starts again from 0 when the driver is reloaded.
struct LineCounters {
    int frame = 0;
    int overrun = 0;
    int bufOverrun = 0;
    int parity = 0;
    int brk = 0;
};

// Port over QSerialPort: 9600 baud 8N1, no flow control, DTR and RTS off, exclusive.
class SerialPort : public Port {
    Q_OBJECT
public:
    explicit SerialPort(const PortDevices& devices = PortDevices(), QObject* parent = nullptr);

    // Ignored while open: the link always closes before choosing another port.
    void setPortNum(int number) override;
    int portNum() const override { return m_portNum; }
    QString deviceName(int number) const override;
    // Which device each COM number opens; the setup dialog binds numbers to adapters.
    PortDevices& devices() { return m_devices; }
    bool open(QString* error) override;
    OpenProblem openProblem() const override { return m_openProblem; }
    void close() override;
    bool isOpen() const override;
    bool writeText(const QByteArray& text) override;
    QByteArray readText() override;
    int bytesWaiting() const override;
    void purgeReadWrite() override;

    // ErrorBit set for the counters that grew from `before` to `after`; a counter that went
    // down (driver reset) reports nothing.
    static int lineErrorBits(const LineCounters& before, const LineCounters& after);

private:
    void onReadyRead();
    void onErrorOccurred(QSerialPort::SerialPortError error);
    void finishLoss();
    bool readCounters(LineCounters* counters) const;
    static OpenProblem classify(const QString& device, QSerialPort::SerialPortError kind,
                                int systemError);

    PortDevices m_devices;
    QSerialPort m_serial;
    static constexpr qint64 ReadBufferSize = 4096; // a reply is at most 264 characters
    QByteArray m_received;
    int m_portNum = 1;
    QString m_device; // what the open port was opened as
    OpenProblem m_openProblem;
    // The device vanished: the port still counts as open but nothing passes.
    bool m_lost = false;
    QString m_lostReason;
    // False once the driver refused to give counters (pseudo-terminals, non-Linux).
    bool m_countersAvailable = false;
    LineCounters m_counters;
};

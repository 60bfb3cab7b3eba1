#include "link/SerialPort.h"

#include <algorithm>
#include <cerrno>

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#endif

#ifdef Q_OS_LINUX
#include <linux/serial.h>
#include <sys/ioctl.h>
#endif

SerialPort::SerialPort(const PortDevices& devices, QObject* parent)
    : Port(parent)
    , m_devices(devices)
    , m_serial(this) {
    connect(&m_serial, &QSerialPort::readyRead, this, &SerialPort::onReadyRead);
    connect(&m_serial, &QSerialPort::errorOccurred, this, &SerialPort::onErrorOccurred);
}

void SerialPort::setPortNum(int number) {
    if (!isOpen()) m_portNum = number;
}

QString SerialPort::deviceName(int number) const {
    return m_devices.deviceName(number);
}

bool SerialPort::open(QString* error) {
    const auto fail = [error](const QString& message) {
        if (error) *error = message;
        return false;
    };
    const QString device = deviceName(m_portNum);
    m_openProblem = {};
    if (isOpen()) return fail(QStringLiteral("Port already open (%1).").arg(m_device));

    m_serial.setPortName(device);
    m_serial.setBaudRate(QSerialPort::Baud9600);
    m_serial.setDataBits(QSerialPort::Data8);
    m_serial.setParity(QSerialPort::NoParity);
    m_serial.setStopBits(QSerialPort::OneStop);
    m_serial.setFlowControl(QSerialPort::NoFlowControl);
    // A bounded read buffer stays one small block that QIODevice keeps between replies; an
    // unbounded one is taken from the heap in large blocks and given back on every poll.
    m_serial.setReadBufferSize(ReadBufferSize);
#ifdef Q_OS_UNIX
    // A folder, a file or a FIFO named as the port is no line to a unit, and a FIFO must not
    // be opened at all: that could wait for ever for its other end.
    struct stat node {};
    if (::stat(QFile::encodeName(device).constData(), &node) == 0 && !S_ISCHR(node.st_mode)) {
        m_openProblem = {OpenFailure::NotSerial, device, {}, {}};
        return fail(QStringLiteral("Not a serial port (%1).").arg(device));
    }
#endif
    // QSerialPort takes the device exclusively (a lock file and TIOCEXCL on Unix).
    errno = 0;
    if (!m_serial.open(QIODevice::ReadWrite)) {
        const int systemError = errno;
        const QSerialPort::SerialPortError kind = m_serial.error();
        const QString text = m_serial.errorString();
        // Some failures (the lock file) are QSerialPort's own, with errno left over from
        // elsewhere; then its error kind is the most honest number there is.
        const int code = qt_error_string(systemError) == text ? systemError : int(kind);
        m_serial.clearError();
        m_openProblem = classify(device, kind, systemError);
        if (m_openProblem.reason == OpenFailure::Other) m_openProblem.detail = text;
        if (kind == QSerialPort::DeviceNotFoundError)
            return fail(QStringLiteral("Specified device not found (%1).").arg(device));
        return fail(QStringLiteral("Can't open specified device %1 (Error %2, %3)")
                        .arg(device)
                        .arg(code)
                        .arg(text));
    }
    // The unit's line uses neither output. A pseudo-terminal has no modem lines and refuses
    // both calls; that does not make the port unusable.
    m_serial.setDataTerminalReady(false);
    m_serial.setRequestToSend(false);
    m_serial.clearError();

    m_device = device;
    m_lost = false;
    m_lostReason.clear();
    m_countersAvailable = readCounters(&m_counters);
    return true;
}

void SerialPort::close() {
    m_lost = false;
    m_lostReason.clear();
    // No settling wait after closing: QSerialPort closes the descriptor synchronously and
    // has no writer thread that would still be holding the device.
    if (m_serial.isOpen()) m_serial.close();
}

bool SerialPort::isOpen() const {
    return m_lost || m_serial.isOpen();
}

bool SerialPort::writeText(const QByteArray& text) {
    // Dropped, but not refused: after a loss the link is to see a silent unit.
    if (m_lost) return true;
    if (!m_serial.isOpen()) return false;
    return m_serial.write(text) == text.size();
}

QByteArray SerialPort::readText() {
    if (m_lost || !m_serial.isOpen()) return {};
    // Into a buffer that is kept: its capacity outlives the reply.
    m_received.resize(m_serial.bytesAvailable());
    const qint64 read = m_serial.read(m_received.data(), m_received.size());
    m_received.resize(std::max<qint64>(read, 0));
    return m_received;
}

int SerialPort::bytesWaiting() const {
    if (m_lost || !m_serial.isOpen()) return 0;
    return int(m_serial.bytesAvailable());
}

void SerialPort::purgeReadWrite() {
    if (m_lost || !m_serial.isOpen()) return;
#ifdef Q_OS_UNIX
    // Usually nothing is left in QSerialPort's own buffers, and clearing them would free the
    // block they keep: then only the driver's queues are flushed.
    if (m_serial.bytesAvailable() == 0 && m_serial.bytesToWrite() == 0) {
        ::tcflush(int(m_serial.handle()), TCIOFLUSH);
        return;
    }
#endif
    m_serial.clear(QSerialPort::AllDirections);
    // What QSerialPort already took from the driver is "received but not yet read" too;
    // clear() drops it in current Qt, this keeps it so should that ever change.
    m_serial.skip(m_serial.bytesAvailable());
}

Port::OpenProblem SerialPort::classify(const QString& device, QSerialPort::SerialPortError kind,
                                       int systemError) {
    OpenProblem problem{OpenFailure::Other, device, {}, {}};
    // A by-id link of a pulled adapter dangles: the device is as absent as a missing node.
    if (kind == QSerialPort::DeviceNotFoundError || !QFileInfo::exists(device)) {
        problem.reason = OpenFailure::Absent;
        return problem;
    }
    // A device that takes no line settings (/dev/null) is no serial port.
    if (systemError == ENOTTY || kind == QSerialPort::UnsupportedOperationError) {
        problem.reason = OpenFailure::NotSerial;
        return problem;
    }
#ifdef Q_OS_UNIX
    const QByteArray path = QFile::encodeName(device);
    // Checked as this process's effective user, the one that opened the device.
    if (::faccessat(AT_FDCWD, path.constData(), R_OK | W_OK, AT_EACCESS) != 0 && errno == EACCES) {
        problem.reason = OpenFailure::NoPermission;
        struct stat node {};
        if (::stat(path.constData(), &node) == 0) {
            group buffer{};
            group* found = nullptr;
            char names[1024];
            if (::getgrgid_r(node.st_gid, &buffer, names, sizeof names, &found) == 0 && found)
                problem.group = QString::fromLocal8Bit(found->gr_name);
        }
        return problem;
    }
#endif
    // Allowed, yet refused: another program holds it (its lock file, or TIOCEXCL).
    if (kind == QSerialPort::PermissionError || systemError == EBUSY)
        problem.reason = OpenFailure::Busy;
    return problem;
}

int SerialPort::lineErrorBits(const LineCounters& before, const LineCounters& after) {
    // Compared as unsigned differences, so a wrap past the 32-bit limit still counts as
    // growth while a reset to 0 reads as a huge step back and counts as none.
    const auto grew = [](int from, int to) {
        const quint32 delta = quint32(to) - quint32(from);
        return delta != 0 && delta < 0x80000000u;
    };
    int bits = 0;
    if (grew(before.frame, after.frame)) bits |= Framing;
    if (grew(before.overrun, after.overrun) || grew(before.bufOverrun, after.bufOverrun))
        bits |= Overrun;
    if (grew(before.parity, after.parity)) bits |= Parity;
    if (grew(before.brk, after.brk)) bits |= Break;
    return bits;
}

void SerialPort::onReadyRead() {
    if (m_lost) return;
    const qint64 count = m_serial.bytesAvailable();
    if (count > 0) emit rxChar(int(count));
    // Characters first, then the errors that came with them. The receiver may have closed
    // the port meanwhile.
    if (!m_countersAvailable || m_lost || !m_serial.isOpen()) return;
    LineCounters now;
    if (!readCounters(&now)) {
        m_countersAvailable = false;
        return;
    }
    const int bits = lineErrorBits(m_counters, now);
    m_counters = now;
    if (bits != 0) emit lineError(bits);
}

void SerialPort::onErrorOccurred(QSerialPort::SerialPortError error) {
    if (error != QSerialPort::ResourceError && error != QSerialPort::ReadError &&
        error != QSerialPort::WriteError)
        return;
    if (m_lost || !m_serial.isOpen()) return;
    m_lost = true;
    // Not errorString(): a hung-up tty reads end-of-file, and QSerialPort then reports a
    // ReadError carrying whatever errno an earlier call left behind.
    const QString what = error == QSerialPort::ResourceError ? QStringLiteral("device removed")
                         : error == QSerialPort::ReadError   ? QStringLiteral("read failed")
                                                             : QStringLiteral("write failed");
    m_lostReason = QStringLiteral("Connection to %1 lost (%2).").arg(m_device, what);
    // A hung-up line keeps the read notifier firing, so the device is closed at once, yet
    // outside QSerialPort's own notification: the receivers of deviceLost may close and
    // reopen the port, which must not happen while QSerialPort is still inside its handler.
    QMetaObject::invokeMethod(this, &SerialPort::finishLoss, Qt::QueuedConnection);
}

void SerialPort::finishLoss() {
    if (!m_lost) return; // closed by the link before this ran
    m_serial.close();
    emit deviceLost(m_lostReason);
}

bool SerialPort::readCounters(LineCounters* counters) const {
#ifdef Q_OS_LINUX
    serial_icounter_struct icount{};
    if (::ioctl(m_serial.handle(), TIOCGICOUNT, &icount) < 0) return false;
    *counters = {icount.frame, icount.overrun, icount.buf_overrun, icount.parity, icount.brk};
    return true;
#else
    Q_UNUSED(counters);
    return false;
#endif
}

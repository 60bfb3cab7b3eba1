#include "UnprivilegedUser.h"
#include "link/SerialPort.h"
#include "link/SerialPortList.h"
#include "params/IniFile.h"
#include "params/Setup.h"
#include "ptypair.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <grp.h>
#include <memory>
#include <sys/resource.h>
#include <sys/stat.h>

Q_DECLARE_METATYPE(LineCounters)
Q_DECLARE_METATYPE(Port::OpenFailure)

namespace {

void writeIni(const QString& path, const QByteArray& content) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

// User plus system time of this process, in milliseconds.
qint64 cpuMs() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return (qint64(usage.ru_utime.tv_sec) + usage.ru_stime.tv_sec) * 1000 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000;
}

} // namespace

class TestSerialPort : public QObject {
    Q_OBJECT

    // Every test gets a fresh pty and a kovr.ini with COM3 pointing at its slave side.
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<PtyPair> pty;
    std::unique_ptr<SerialPort> port;

    QString iniPath() const { return dir->filePath(QStringLiteral("kovr.ini")); }
    void pointCom3At(const QString& device) {
        writeIni(iniPath(), "[Ports]\nCOM3=" + device.toLocal8Bit() + "\n");
    }
    std::unique_ptr<SerialPort> makePort() const {
        auto result = std::make_unique<SerialPort>(PortDevices(iniPath()));
        result->setPortNum(3);
        return result;
    }
    // COM3 goes through a link, as a USB adapter's device node does; pulling the adapter takes
    // the link away with the line, so no other process's new pty can stand in for it.
    // Named after the unique folder: the serial port's lock file takes the device's file name.
    QString linkPath() const {
        return dir->filePath(QStringLiteral("tty") + QFileInfo(dir->path()).fileName());
    }
    void pullAdapter() {
        pty->closeMaster();
        QFile::remove(linkPath());
    }
    void openPort() {
        QString error;
        QVERIFY2(port->open(&error), qPrintable(error));
    }

private slots:
    void init() {
        dir = std::make_unique<QTemporaryDir>();
        pty = std::make_unique<PtyPair>();
        QVERIFY(dir->isValid());
        QVERIFY(pty->isValid());
        QVERIFY(QFile::link(pty->slavePath(), linkPath()));
        pointCom3At(linkPath());
        port = makePort();
    }
    void cleanup() {
        port.reset();
        pty.reset();
        dir.reset();
    }

    void deviceName_data() {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("device");

        const QByteArray ports =
            "[Setup]\nPort=3\n[Ports]\nCOM3=/dev/ttyUSB7\nCOM12=/dev/ttyACM0\n";
        QTest::newRow("key present") << ports << 3 << "/dev/ttyUSB7";
        QTest::newRow("two digits") << ports << 12 << "/dev/ttyACM0";
        QTest::newRow("key absent") << ports << 2 << "/dev/ttyS1";
        QTest::newRow("first port") << ports << 1 << "/dev/ttyS0";
        QTest::newRow("last port") << ports << 20 << "/dev/ttyS19";
        QTest::newRow("other section ignored")
            << QByteArray("[Setup]\nCOM4=/dev/ttyUSB1\n") << 4 << "/dev/ttyS3";
        QTest::newRow("empty value") << QByteArray("[Ports]\nCOM5=\n") << 5 << "/dev/ttyS4";
        QTest::newRow("only a comment")
            << QByteArray("[Ports]\nCOM5= ; spare\n") << 5 << "/dev/ttyS4";
        QTest::newRow("second Ports section ignored, as a second Setup section is")
            << QByteArray("[Ports]\nCOM1=/dev/ttyUSB0\n[Setup]\nPort=2\n[Ports]\n"
                          "COM2=/dev/ttyUSB1\n")
            << 2 << "/dev/ttyS1";
        QTest::newRow("utf-8 with byte-order mark, crlf")
            << QByteArray("\xEF\xBB\xBF[Ports]\r\nCOM7=/dev/serial/by-id/usb-\xC5\xA0koda\r\n") << 7
            << QStringLiteral("/dev/serial/by-id/usb-\u0160koda");
        QTest::newRow("folder of that name") << QByteArray("<folder>") << 6 << "/dev/ttyS5";
        QTest::newRow("no file") << QByteArray() << 6 << "/dev/ttyS5";
    }
    void deviceName() {
        QFETCH(QByteArray, ini);
        QFETCH(int, number);
        QFETCH(QString, device);
        if (ini.isNull() || ini == "<folder>") QVERIFY(QFile::remove(iniPath()));
        if (ini == "<folder>")
            QVERIFY(QDir(dir->path()).mkdir(QStringLiteral("kovr.ini")));
        else if (!ini.isNull())
            writeIni(iniPath(), ini);

        QCOMPARE(PortDevices(iniPath()).deviceName(number), device);
        QCOMPARE(makePort()->deviceName(number), device);
    }

    // The same line means the same under [Setup] and [Ports]: one set of rules reads the file.
    // A number bound in the setup dialog opens its adapter at once and reaches kovr.ini with
    // the settings; the other lines of the file stay as they were.
    void boundDeviceWinsAndIsSaved() {
        writeIni(iniPath(),
                 "; bench PC\n[Ports]\nCOM3=/dev/ttyUSB7 ; old adapter\nCOM4=/dev/ttyS9\n"
                 "[Setup]\nPort=3\n");
        SerialPort bound{PortDevices(iniPath())};
        QVERIFY(bound.devices().saveBindings()); // nothing bound: nothing written
        bound.devices().bind(3, linkPath());
        bound.devices().bind(12, QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R-if00-port0"));
        QCOMPARE(bound.deviceName(3), linkPath());
        QCOMPARE(bound.deviceName(4), QStringLiteral("/dev/ttyS9"));
        bound.setPortNum(3);
        QString error;
        QVERIFY2(bound.open(&error), qPrintable(error));
        bound.close();

        QVERIFY(bound.devices().saveBindings(&error));
        QCOMPARE(PortDevices(iniPath()).deviceName(3), linkPath());
        QCOMPARE(PortDevices(iniPath()).deviceName(12),
                 QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R-if00-port0"));
        IniFile ini(iniPath());
        QVERIFY(ini.load());
        QCOMPARE(ini.keys(QStringLiteral("Ports")), (QStringList{"COM3", "COM4", "COM12"}));
        QCOMPARE(ini.value(QStringLiteral("Setup"), QStringLiteral("Port")), QStringLiteral("3"));
        QFile file(iniPath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().startsWith("; bench PC\n[Ports]\n"));
    }

    // The by-id link of an adapter is found by where it leads, whatever its tty number.
    void stablePathFollowsLinks() {
        const QString byId = dir->filePath(QStringLiteral("by-id"));
        QVERIFY(QDir().mkpath(byId));
        PtyPair other;
        QVERIFY(other.isValid());
        const QString mine = byId + QStringLiteral("/usb-FTDI_FT232R_A10K2LQ9-if00-port0");
        QVERIFY(QFile::link(other.slavePath(), byId + QStringLiteral("/usb-Prolific-if00")));
        QVERIFY(QFile::link(pty->slavePath(), mine));
        QCOMPARE(SystemPortInfo::stablePath(pty->slavePath(), byId), mine);
        QCOMPARE(SystemPortInfo::stablePath(linkPath(), byId), mine); // through another link
        QCOMPARE(SystemPortInfo::stablePath(QStringLiteral("/dev/null"), byId), QString());
        QCOMPARE(SystemPortInfo::stablePath(pty->slavePath(), dir->filePath("none")), QString());

        const SerialPortEntry entry{pty->slavePath(), {}, {}, {}, mine};
        QCOMPARE(entry.bindingPath(), mine);
        QVERIFY(entry.opensAs(mine));
        QVERIFY(entry.opensAs(linkPath()));
        QVERIFY(entry.opensAs(pty->slavePath()));
        QVERIFY(!entry.opensAs(other.slavePath()));
        QVERIFY(!entry.opensAs(QString()));
        QCOMPARE((SerialPortEntry{pty->slavePath(), {}, {}, {}, {}}).bindingPath(),
                 pty->slavePath());
    }

    void linesReadAlikeInEverySection_data() {
        QTest::addColumn<QByteArrayList>("values"); // written for the key, in file order
        QTest::addColumn<QString>("expected");

        QTest::newRow("comment behind the value")
            << QByteArrayList{"/dev/ttyUSB0   ; adapter on the bench"} << "/dev/ttyUSB0";
        QTest::newRow("comment after a tab, '#'")
            << QByteArrayList{"/dev/ttyUSB0\t# adapter"} << "/dev/ttyUSB0";
        QTest::newRow("';' inside the value is no comment")
            << QByteArrayList{"/tmp/a;b"} << "/tmp/a;b";
        // The settings reader keeps the first, and an edit further down that is meant to
        // count must replace the line, not follow it.
        QTest::newRow("twice-written key: the first counts")
            << QByteArrayList{"/dev/ttyUSB0", "/dev/ttyUSB1"} << "/dev/ttyUSB0";
        QTest::newRow("backslashes are the path's own")
            << QByteArrayList{"\\\\.\\COM12"} << "\\\\.\\COM12";
        QTest::newRow("commas make no list")
            << QByteArrayList{"/dev/serial/by-id/usb-FTDI,_Inc_FT232R-if00-port0"}
            << "/dev/serial/by-id/usb-FTDI,_Inc_FT232R-if00-port0";
        QTest::newRow("quotes are kept")
            << QByteArrayList{"\"/dev/ttyUSB0\""} << "\"/dev/ttyUSB0\"";
    }
    void linesReadAlikeInEverySection() {
        QFETCH(QByteArrayList, values);
        QFETCH(QString, expected);
        QByteArray ini = "[Setup]\n";
        for (const QByteArray& value : values)
            ini += "Adr=" + value + "\n";
        ini += "[Ports]\n";
        for (const QByteArray& value : values)
            ini += "COM3=" + value + "\n";
        writeIni(iniPath(), ini);

        TSetup setup;
        QVERIFY(setup.load(iniPath()));
        QCOMPARE(setup.Adr, expected);
        QCOMPARE(PortDevices(iniPath()).deviceName(3), expected);
    }

    // kovr.ini belongs to the working directory at start-up, not to whatever is current later.
    void defaultIniFromWorkingDirectory() {
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir->path()));
        const PortDevices devices;
        QVERIFY(QDir::setCurrent(before));
        QCOMPARE(devices.deviceName(3), linkPath());
    }

    void openOnPseudoTerminal() {
        QString error;
        QVERIFY2(port->open(&error), qPrintable(error)); // DTR/RTS refused by the pty
        QVERIFY(error.isEmpty());
        QVERIFY(port->isOpen());

        QVERIFY(!port->open(&error));
        QVERIFY(!error.isEmpty());
        QVERIFY(port->isOpen());

        port->setPortNum(5); // ignored while open
        QCOMPARE(port->portNum(), 3);

        port->close();
        QVERIFY(!port->isOpen());
        QVERIFY(port->readText().isEmpty());
        QVERIFY(!port->writeText("x"));
        openPort(); // the lock went with the close
    }

    void openFailure_data() {
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("message");
        QTest::addColumn<Port::OpenFailure>("reason");
        QTest::newRow("missing") << "/nonexistent/ttyUSB9"
                                 << "Specified device not found (/nonexistent/ttyUSB9)."
                                 << Port::OpenFailure::Absent;
        // No serial port: a device that takes no line settings, and what is no device at all,
        // which is never opened (a FIFO would wait for its other end).
        QTest::newRow("device that is no terminal")
            << "/dev/null"
            << "Can't open specified device /dev/null (Error " << Port::OpenFailure::NotSerial;
        QTest::newRow("folder") << "{dir}/folder"
                                << "Not a serial port ({dir}/folder)."
                                << Port::OpenFailure::NotSerial;
        QTest::newRow("regular file")
            << "{dir}/file"
            << "Not a serial port ({dir}/file)." << Port::OpenFailure::NotSerial;
        QTest::newRow("FIFO") << "{dir}/fifo"
                              << "Not a serial port ({dir}/fifo)." << Port::OpenFailure::NotSerial;
    }
    void openFailure() {
        QFETCH(QString, device);
        QFETCH(QString, message);
        QFETCH(Port::OpenFailure, reason);
        device.replace(QStringLiteral("{dir}"), dir->path());
        message.replace(QStringLiteral("{dir}"), dir->path());
        const QByteArray name = QFile::encodeName(device);
        if (device.endsWith(QStringLiteral("/folder"))) QVERIFY(QDir().mkdir(device));
        if (device.endsWith(QStringLiteral("/file")))
            QVERIFY(QFile(device).open(QIODevice::WriteOnly));
        if (device.endsWith(QStringLiteral("/fifo"))) QCOMPARE(::mkfifo(name.constData(), 0666), 0);
        pointCom3At(device);
        QString error;
        QVERIFY(!port->open(&error));
        QVERIFY2(error.startsWith(message), qPrintable(error));
        QVERIFY(!port->isOpen());
        QCOMPARE(port->openProblem().reason, reason);
        QCOMPARE(port->openProblem().device, device);
    }

    // A pulled adapter leaves its by-id link dangling: absent, not some other failure.
    void pulledAdapterIsAbsent() {
        pullAdapter();
        QVERIFY(QFile::link(QStringLiteral("/nonexistent/ttyUSB9"), linkPath()));
        QString error;
        QVERIFY(!port->open(&error));
        QCOMPARE(port->openProblem().reason, Port::OpenFailure::Absent);
        // The next open that succeeds forgets the problem.
        pty = std::make_unique<PtyPair>();
        QVERIFY(QFile::remove(linkPath()));
        QVERIFY(QFile::link(pty->slavePath(), linkPath()));
        openPort();
        QCOMPARE(port->openProblem().reason, Port::OpenFailure::None);
    }

    // A device only a group may use: the problem names that group (dialout where the system
    // has it, as a USB adapter's node has).
    void noPermissionNamesTheGroup() {
        if (::geteuid() != 0) QSKIP("needs root to hand the device to a group and act as nobody");
        const QByteArray slave = QFile::encodeName(pty->slavePath());
        const group* dialout = ::getgrnam("dialout");
        struct stat node {};
        QCOMPARE(::stat(slave.constData(), &node), 0);
        const gid_t gid = dialout ? dialout->gr_gid : node.st_gid;
        const QString groupName =
            QString::fromLocal8Bit(dialout ? dialout->gr_name : ::getgrgid(gid)->gr_name);
        QCOMPARE(::chown(slave.constData(), 0, gid), 0);
        QCOMPARE(::chmod(slave.constData(), 0660), 0);
        // Nobody must reach kovr.ini and the link, only not the device behind it.
        QCOMPARE(::chmod(QFile::encodeName(dir->path()).constData(), 0755), 0);
        QVERIFY(UnprivilegedUser::become());
        QString error;
        const bool opened = port->open(&error);
        const Port::OpenProblem problem = port->openProblem();
        QVERIFY(UnprivilegedUser::leave());
        QVERIFY(!opened);
        QCOMPARE(problem.reason, Port::OpenFailure::NoPermission);
        QCOMPARE(problem.group, groupName);
        QCOMPARE(problem.device, linkPath());
    }

    void exclusiveAccess() {
        openPort();
        auto other = makePort();
        QString error;
        QVERIFY(!other->open(&error));
        const QString expected = QStringLiteral("Can't open specified device ") + linkPath() +
                                 QStringLiteral(" (Error ");
        QVERIFY2(error.startsWith(expected), qPrintable(error));
        QCOMPARE(other->openProblem().reason, Port::OpenFailure::Busy);

        port->close();
        QVERIFY2(other->open(&error), qPrintable(error));
    }

    // Unread characters stay waiting and are counted again at the next arrival. All 8-bit
    // values pass untouched: no XON/XOFF, no CR/LF translation.
    void receive() {
        openPort();
        QSignalSpy rx(port.get(), &Port::rxChar);
        QSignalSpy errors(port.get(), &Port::lineError);

        const QByteArray first("\x1B\x11\x13", 3);
        const QByteArray second("\r\n\x00\xFF\x7F", 5);
        QVERIFY(pty->write(first));
        QTRY_COMPARE_WITH_TIMEOUT(rx.count(), 1, 2000);
        QCOMPARE(rx.at(0).at(0).toInt(), 3);
        QCOMPARE(port->bytesWaiting(), 3);

        QVERIFY(pty->write(second));
        QTRY_COMPARE_WITH_TIMEOUT(port->bytesWaiting(), 8, 2000);
        QCOMPARE(rx.last().at(0).toInt(), 8);
        QCOMPARE(port->readText(), first + second);
        QCOMPARE(port->bytesWaiting(), 0);
        QVERIFY(port->readText().isEmpty());
        for (const QList<QVariant>& signal : std::as_const(rx))
            QVERIFY(signal.at(0).toInt() > 0);
        QCOMPARE(errors.count(), 0); // a pty has no line-error counters
    }

    void transmit() {
        openPort();
        const QByteArray frame("\x1B"
                               "02400000E6\r\n\x00\xFF\x11",
                               15);
        QVERIFY(port->writeText(frame));
        QByteArray received;
        QTRY_COMPARE_WITH_TIMEOUT(received += pty->readAvailable(), frame, 2000);
    }

    // Line noise that nobody reads, up to more than the port's read buffer holds (then part of
    // it still waits in the driver), is all gone after the purge, and the port goes on
    // reporting what arrives next.
    void purgeDiscardsWaitingInput_data() {
        QTest::addColumn<int>("stale");
        QTest::newRow("a few characters") << 5;
        QTest::newRow("more than the read buffer") << 6000;
    }

    void purgeDiscardsWaitingInput() {
        QFETCH(int, stale);
        openPort();
        QSignalSpy rx(port.get(), &Port::rxChar);
        const QByteArray noise(stale, 'n');
        qsizetype sent = 0;
        QTRY_VERIFY_WITH_TIMEOUT(
            (sent += std::max<qsizetype>(0, pty->writeSome(noise.mid(sent)))) == noise.size() ||
                port->bytesWaiting() >= 4096,
            5000);
        QTRY_VERIFY_WITH_TIMEOUT(port->bytesWaiting() >= std::min(stale, 4096), 2000);
        port->purgeReadWrite();
        QCOMPARE(port->bytesWaiting(), 0);
        QVERIFY(port->readText().isEmpty());

        const qsizetype before = rx.count();
        QVERIFY(pty->write("Q"));
        QTRY_VERIFY_WITH_TIMEOUT(rx.count() > before, 2000);
        QCOMPARE(rx.last().at(0).toInt(), 1);
        QCOMPARE(port->readText(), QByteArray("Q"));
    }

    void lineErrorBits_data() {
        QTest::addColumn<LineCounters>("before");
        QTest::addColumn<LineCounters>("after");
        QTest::addColumn<int>("bits");

        const LineCounters base{5, 6, 7, 8, 9};
        const auto with = [&base](int LineCounters::*field, int value) {
            LineCounters counters = base;
            counters.*field = value;
            return counters;
        };
        QTest::newRow("unchanged") << base << base << 0;
        QTest::newRow("frame") << base << with(&LineCounters::frame, 6) << 8;
        QTest::newRow("overrun") << base << with(&LineCounters::overrun, 9) << 2;
        QTest::newRow("buffer overrun") << base << with(&LineCounters::bufOverrun, 8) << 2;
        QTest::newRow("parity") << base << with(&LineCounters::parity, 9) << 4;
        QTest::newRow("break") << base << with(&LineCounters::brk, 10) << 16;
        QTest::newRow("all at once") << base << LineCounters{6, 7, 8, 9, 10} << 30;
        QTest::newRow("both overrun kinds") << base << LineCounters{5, 7, 8, 8, 9} << 2;
        QTest::newRow("counter reset") << base << LineCounters{0, 0, 0, 0, 0} << 0;
        QTest::newRow("frame wraps")
            << with(&LineCounters::frame, INT_MAX) << with(&LineCounters::frame, INT_MIN) << 8;
        QTest::newRow("parity wraps to zero")
            << with(&LineCounters::parity, -1) << with(&LineCounters::parity, 0) << 4;
    }
    void lineErrorBits() {
        QFETCH(LineCounters, before);
        QFETCH(LineCounters, after);
        QFETCH(int, bits);
        QCOMPARE(SerialPort::lineErrorBits(before, after), bits);
    }

    // The other end hanging up: reported once, then plain silence until the link closes.
    void hangUp() {
        openPort();
        QSignalSpy rx(port.get(), &Port::rxChar);
        QSignalSpy errors(port.get(), &Port::lineError);
        QSignalSpy lost(port.get(), &Port::deviceLost);

        pullAdapter();
        QTRY_COMPARE_WITH_TIMEOUT(lost.count(), 1, 2000);
        QVERIFY2(lost.at(0).at(0).toString().contains(linkPath()),
                 qPrintable(lost.at(0).at(0).toString()));
        QVERIFY(port->isOpen());
        QVERIFY(port->writeText("dropped"));
        port->purgeReadWrite();
        QVERIFY(port->readText().isEmpty());
        QCOMPARE(port->bytesWaiting(), 0);

        const qint64 cpuBefore = cpuMs();
        QTest::qWait(200);
        const qint64 cpuSpent = cpuMs() - cpuBefore;
        QVERIFY2(cpuSpent < 100, qPrintable(QStringLiteral("%1 ms CPU in 200 ms").arg(cpuSpent)));
        QCOMPARE(lost.count(), 1);
        QCOMPARE(rx.count(), 0);
        QCOMPARE(errors.count(), 0);

        port->close();
        QVERIFY(!port->isOpen());
        QString error;
        QVERIFY(!port->open(&error)); // the device went with the adapter
        QVERIFY(!error.isEmpty());
        QVERIFY(!port->isOpen());

        // A new line under the same number works again: nothing of the loss is left.
        pty = std::make_unique<PtyPair>();
        QVERIFY(pty->isValid());
        pointCom3At(pty->slavePath());
        openPort();
        QVERIFY(pty->write("ok"));
        QTRY_COMPARE_WITH_TIMEOUT(rx.count(), 1, 2000);
        QCOMPARE(port->readText(), QByteArray("ok"));
    }

    // The link may close from inside its deviceLost handler and retry at once.
    void closeInsideLossHandler() {
        openPort();
        QString reopenError;
        bool reopened = true;
        connect(port.get(), &Port::deviceLost, port.get(), [&] {
            port->close();
            reopened = port->open(&reopenError);
        });
        QSignalSpy lost(port.get(), &Port::deviceLost);
        pullAdapter();
        QTRY_COMPARE_WITH_TIMEOUT(lost.count(), 1, 2000);
        QVERIFY(!reopened);
        QVERIFY(!reopenError.isEmpty());
        QVERIFY(!port->isOpen());
        QTest::qWait(50);
        QCOMPARE(lost.count(), 1);
    }
};

QTEST_GUILESS_MAIN(TestSerialPort)
#include "tst_serialport.moc"

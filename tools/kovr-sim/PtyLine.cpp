#include "PtyLine.h"

#include "SimulatedUnit.h"

#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {
constexpr qint64 CharacterNs = 1'000'000'000 / PtyLine::CharactersPerSecond;
}

PtyLine::PtyLine(SimulatedUnit* unit, QObject* parent)
    : QObject(parent)
    , m_unit(unit) {
    connect(&m_rxTimer, &LineTimer::timeout, this, &PtyLine::deliverReceived);
    connect(&m_txTimer, &LineTimer::timeout, this, &PtyLine::transmitDue);
    connect(m_unit, &SimulatedUnit::reply, this, &PtyLine::send);
}

PtyLine::~PtyLine() {
    closeLine();
    removeLink();
}

bool PtyLine::open() {
    closeLine();
    m_error.clear();
    auto fail = [this](const char* step) {
        m_error = QStringLiteral("%1: %2").arg(QLatin1String(step),
                                               QString::fromLocal8Bit(std::strerror(errno)));
        closeDescriptors();
        return false;
    };

    m_master = posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0) return fail("posix_openpt");
    if (grantpt(m_master) != 0) return fail("grantpt");
    if (unlockpt(m_master) != 0) return fail("unlockpt");
    char name[128];
    if (ptsname_r(m_master, name, sizeof name) != 0) return fail("ptsname");
    ::fcntl(m_master, F_SETFD, FD_CLOEXEC);
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);

    // Held open for the whole life of the line: without it the master reads EIO whenever
    // the tool has its port closed.
    m_slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_slave < 0) return fail("open slave");
    termios mode{};
    if (::tcgetattr(m_slave, &mode) != 0) return fail("tcgetattr");
    ::cfmakeraw(&mode);
    ::cfsetispeed(&mode, B9600);
    ::cfsetospeed(&mode, B9600);
    mode.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS);
    mode.c_cflag |= CS8 | CLOCAL | CREAD;
    if (::tcsetattr(m_slave, TCSANOW, &mode) != 0) return fail("tcsetattr");
    m_slavePath = QString::fromLocal8Bit(name);

    m_readNotifier = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
    connect(m_readNotifier, &QSocketNotifier::activated, this, &PtyLine::readMaster);
    m_writeNotifier = new QSocketNotifier(m_master, QSocketNotifier::Write, this);
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier, &QSocketNotifier::activated, this, &PtyLine::flush);

    if (!m_linkPath.isEmpty() && !makeLink()) return false;
    return true;
}

void PtyLine::closeLine() {
    m_rxTimer.stop();
    m_txTimer.stop();
    m_received.clear();
    m_toSend.clear();
    m_unwritten.clear();
    m_rxLineFreeNs = 0;
    m_txLineFreeNs = 0;
    closeDescriptors();
    dropLinkFile();
}

void PtyLine::closeDescriptors() {
    for (QSocketNotifier** notifier : {&m_readNotifier, &m_writeNotifier}) {
        if (*notifier) {
            (*notifier)->setEnabled(false);
            (*notifier)->deleteLater();
            *notifier = nullptr;
        }
    }
    if (m_master >= 0) ::close(m_master);
    if (m_slave >= 0) ::close(m_slave);
    m_master = -1;
    m_slave = -1;
}

// ---- symlink -------------------------------------------------------------------------

bool PtyLine::setLink(const QString& path) {
    dropLinkFile();
    m_linkPath = path;
    return !isOpen() || makeLink();
}

void PtyLine::removeLink() {
    dropLinkFile();
    m_linkPath.clear();
}

bool PtyLine::makeLink() {
    const QFileInfo info(m_linkPath);
    if (info.isSymLink()) {
        QFile::remove(m_linkPath);
    } else if (info.exists()) {
        m_error = m_linkPath + QStringLiteral(" exists and is not a symlink");
        return false;
    }
    if (::symlink(QFile::encodeName(m_slavePath).constData(),
                  QFile::encodeName(m_linkPath).constData()) != 0) {
        m_error = m_linkPath + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    return true;
}

void PtyLine::dropLinkFile() {
    // Only our own link: a symlink that still points to our slave.
    if (m_linkPath.isEmpty() || !QFileInfo(m_linkPath).isSymLink()) return;
    if (QFileInfo(m_linkPath).symLinkTarget() == QFileInfo(m_slavePath).absoluteFilePath())
        QFile::remove(m_linkPath);
}

// ---- receiving -----------------------------------------------------------------------

void PtyLine::readMaster() {
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n > 0) {
            if (!m_paced) {
                m_unit->feed(QByteArrayView(buffer, n));
                if (m_master < 0) return;
                continue;
            }
            const qint64 now = LineTimer::nowNs();
            for (ssize_t i = 0; i < n; ++i) {
                m_rxLineFreeNs = std::max(now, m_rxLineFreeNs) + CharacterNs;
                m_received.push_back({buffer[i], m_rxLineFreeNs});
            }
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EAGAIN) break;
        // End of file or EIO: nobody holds the slave, which our own descriptor rules out
        // unless it failed; stop watching rather than spin on a descriptor that stays ready.
        m_readNotifier->setEnabled(false);
        break;
    }
    if (!m_received.empty()) m_rxTimer.startAt(m_received.back().dueNs);
}

void PtyLine::deliverReceived() {
    const qint64 now = LineTimer::nowNs();
    QByteArray ready;
    qint64 lastDueNs = now;
    while (!m_received.empty() && m_received.front().dueNs <= now) {
        ready.append(m_received.front().byte);
        lastDueNs = m_received.front().dueNs;
        m_received.pop_front();
    }
    if (!m_received.empty()) m_rxTimer.startAt(m_received.back().dueNs);
    if (ready.isEmpty()) return;
    // A reply the unit gives at once starts on the line when the request's last character
    // was due, not when this late wake-up got to it.
    m_replyOriginNs = lastDueNs;
    m_unit->feed(ready);
    m_replyOriginNs = -1;
}

// ---- sending -------------------------------------------------------------------------

void PtyLine::send(const QByteArray& frame) {
    if (!isOpen()) return;
    if (!m_paced) {
        m_unwritten.append(frame);
        flush();
        return;
    }
    const qint64 origin = m_replyOriginNs >= 0 ? m_replyOriginNs : LineTimer::nowNs();
    for (char byte : frame) {
        m_txLineFreeNs = std::max(origin, m_txLineFreeNs) + CharacterNs;
        m_toSend.push_back({byte, m_txLineFreeNs});
    }
    transmitDue();
}

void PtyLine::transmitDue() {
    const qint64 now = LineTimer::nowNs();
    QByteArray due;
    while (!m_toSend.empty() && m_toSend.front().dueNs <= now) {
        due.append(m_toSend.front().byte);
        m_toSend.pop_front();
    }
    if (!due.isEmpty()) {
        m_unwritten.append(due);
        flush();
    }
    if (!m_toSend.empty()) {
        const std::size_t last = std::min<std::size_t>(Burst, m_toSend.size()) - 1;
        m_txTimer.startAt(m_toSend[last].dueNs);
    }
}

void PtyLine::flush() {
    while (!m_unwritten.isEmpty() && m_master >= 0) {
        const ssize_t n = ::write(m_master, m_unwritten.constData(), m_unwritten.size());
        if (n > 0) {
            m_unwritten.remove(0, n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EAGAIN) {
            // The tool is not reading; wait until the pty takes more.
            m_writeNotifier->setEnabled(true);
            return;
        }
        m_unwritten.clear();
    }
    if (m_writeNotifier) m_writeNotifier->setEnabled(false);
}

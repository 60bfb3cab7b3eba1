#pragma once

// A kernel pseudo-terminal for tests: the master side stays here, the slave path is what the
// port under test opens. The slave is put in raw mode so nothing is echoed or translated.

#include <QByteArray>
#include <QString>

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

class PtyPair {
public:
    PtyPair() {
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) {
            closeMaster();
            return;
        }
        m_slavePath = QString::fromLocal8Bit(::ptsname(m_master));
        const int slave = ::open(::ptsname(m_master), O_RDWR | O_NOCTTY);
        if (slave < 0) {
            closeMaster();
            return;
        }
        termios raw{};
        ::tcgetattr(slave, &raw);
        ::cfmakeraw(&raw);
        ::tcsetattr(slave, TCSANOW, &raw);
        ::close(slave);
        ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    }
    ~PtyPair() { closeMaster(); }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool isValid() const { return m_master >= 0; }
    QString slavePath() const { return m_slavePath; }

    bool write(const QByteArray& bytes) const {
        return ::write(m_master, bytes.constData(), size_t(bytes.size())) == bytes.size();
    }
    // As much of `bytes` as the line takes now; the count written, or -1.
    qsizetype writeSome(const QByteArray& bytes) const {
        return ::write(m_master, bytes.constData(), size_t(bytes.size()));
    }
    // Whatever the slave side has sent so far; does not wait.
    QByteArray readAvailable() const {
        QByteArray result;
        char chunk[256];
        ssize_t got;
        while ((got = ::read(m_master, chunk, sizeof chunk)) > 0)
            result.append(chunk, got);
        return result;
    }
    // Hangs the line up: the slave side then reads end-of-file / EIO and its path vanishes.
    void closeMaster() {
        if (m_master >= 0) ::close(m_master);
        m_master = -1;
    }

private:
    int m_master = -1;
    QString m_slavePath;
};

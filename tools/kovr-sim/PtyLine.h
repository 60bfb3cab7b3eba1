#pragma once

#include "LineTimer.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <deque>

class QSocketNotifier;
class SimulatedUnit;

// The serial line between the tool and a SimulatedUnit: a pseudo-terminal whose slave the
// tool opens as its COM port, while this side sits on the master.
//
// Pacing: by default both directions run at the line rate of 9600 baud 8N1, 960 characters
// per second. A received character counts as arrived one character time after the line was
// free for it, so a request reaches the unit only once all of it could have crossed the
// line; a reply leaves in small bursts, character k not before k character times after the
// reply started. Timers run only while characters are queued; an idle line waits in the
// event loop on the master's descriptor.
//
// The line keeps its own descriptor of the slave open, so the tool may close and reopen the
// port without the master seeing a hang-up. closeLine() closes everything, which the tool
// sees as a pulled adapter.
class PtyLine : public QObject {
    Q_OBJECT
public:
    static constexpr int CharactersPerSecond = 960;
    // Characters written together when paced: about 4 ms of line time.
    static constexpr int Burst = 4;

    explicit PtyLine(SimulatedUnit* unit, QObject* parent = nullptr);
    ~PtyLine() override;

    // Creates a new pseudo-terminal (closing a previous one); false with errorString() set
    // when the system refuses. Re-creates the symlink set by setLink() for the new slave.
    bool open();
    bool isOpen() const { return m_master >= 0; }
    QString errorString() const { return m_error; }
    QString slavePath() const { return m_slavePath; }

    // A symlink at `path` to the slave, replacing an older symlink there (never a file).
    bool setLink(const QString& path);
    void removeLink();
    QString linkPath() const { return m_linkPath; }

    void setPaced(bool paced) { m_paced = paced; }
    bool isPaced() const { return m_paced; }

    // Closes the master and this side's slave descriptor: the tool's port sees hang-up.
    // The symlink goes too, as the device node of a pulled adapter does.
    void closeLine();

private:
    struct Timed {
        char byte;
        qint64 dueNs;
    };

    void readMaster();
    void deliverReceived();
    void send(const QByteArray& frame);
    void transmitDue();
    void flush();
    bool makeLink();
    void dropLinkFile();
    void closeDescriptors();

    SimulatedUnit* m_unit;
    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
    QString m_linkPath;
    QString m_error;
    bool m_paced = true;
    QSocketNotifier* m_readNotifier = nullptr;
    QSocketNotifier* m_writeNotifier = nullptr;

    std::deque<Timed> m_received;
    std::deque<Timed> m_toSend;
    qint64 m_rxLineFreeNs = 0;
    qint64 m_txLineFreeNs = 0;
    qint64 m_replyOriginNs = -1; // due time of the request a reply answers, while it is fed
    LineTimer m_rxTimer;         // due times on LineTimer::nowNs()
    LineTimer m_txTimer;
    // Characters due but refused by a full master buffer.
    QByteArray m_unwritten;
};

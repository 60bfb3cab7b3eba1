#pragma once

#include <QObject>

class QSocketNotifier;

// Ctrl-C (SIGINT) and SIGTERM as a Qt signal: the handler only writes a byte into a socket
// pair, the event loop reads it. The first signal is delivered as interrupted() so that a
// write can stop after the item in flight; a second one ends the process at once.
class InterruptSignal : public QObject {
    Q_OBJECT
public:
    explicit InterruptSignal(QObject* parent = nullptr);
    ~InterruptSignal() override;

    bool wasInterrupted() const { return m_interrupted; }

signals:
    void interrupted();

private:
    void onActivated();

    QSocketNotifier* m_notifier = nullptr;
    bool m_interrupted = false;
};

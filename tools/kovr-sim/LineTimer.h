#pragma once

#include <QObject>

class QSocketNotifier;

// A one-shot timer to the nanosecond against the monotonic clock, for pacing characters at the
// line rate: a timer rounded to whole milliseconds would make every exchange up to a
// millisecond late at both ends.
class LineTimer : public QObject {
    Q_OBJECT
public:
    explicit LineTimer(QObject* parent = nullptr);
    ~LineTimer() override;

    // The monotonic clock the due times are read on, in nanoseconds.
    static qint64 nowNs();

    // Fires once at `dueNs` (at once when that has passed); replaces an earlier start.
    void startAt(qint64 dueNs);
    void stop();

signals:
    void timeout();

private:
    void expired();

    int m_fd = -1;
    QSocketNotifier* m_notifier = nullptr;
};

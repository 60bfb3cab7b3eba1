#pragma once

#include "wire/RingBuffer.h"

#include <QDateTime>
#include <QList>
#include <functional>

// The newest entries of something recorded all the time, each stamped when it was taken: what
// the frame trace and the trend have in common. Readers see what is held; only the recorder
// adds entries.
template <typename T> class TimedRecording {
public:
    explicit TimedRecording(int capacity)
        : m_ring(capacity) {}

    // Milliseconds since the epoch; the system clock unless a test sets one.
    void setClock(std::function<qint64()> clock) { m_clock = std::move(clock); }
    // Forgets what is held; numbering goes on.
    void clear() { m_ring.clear(); }

    int capacity() const { return m_ring.capacity(); }
    int size() const { return m_ring.size(); }
    // Number of the next entry to be recorded: entries are numbered from 0 in recording order.
    quint64 next() const { return m_ring.next(); }
    // The held entries numbered `from` or later, oldest first.
    QList<T> since(quint64 from) const { return m_ring.since(from); }

protected:
    qint64 now() const { return m_clock(); }

    RingBuffer<T> m_ring;

private:
    std::function<qint64()> m_clock = [] { return QDateTime::currentMSecsSinceEpoch(); };
};

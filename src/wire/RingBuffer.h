#pragma once

#include <QList>
#include <algorithm>
#include <vector>

// The newest `capacity` entries of a recording, numbered from 0 in recording order. A slot is
// reused as the ring goes round, so entries that keep buffers of their own allocate nothing once
// the ring is full.
template <typename T> class RingBuffer {
public:
    explicit RingBuffer(int capacity)
        : m_slots(size_t(std::max(capacity, 1))) {}

    // The slot of the next entry, still holding what the ring kept there before; it counts as
    // recorded from now on.
    T& push() {
        T& slot = m_slots[size_t(m_next % m_slots.size())];
        ++m_next;
        if (m_next - m_first > m_slots.size()) m_first = m_next - m_slots.size();
        return slot;
    }
    // Entry `number`, or nullptr when it is not held (left the ring, cleared, or not yet recorded).
    T* find(quint64 number) {
        return number >= m_first && number < m_next ? &m_slots[size_t(number % m_slots.size())]
                                                    : nullptr;
    }
    // Forgets what is held; numbering goes on.
    void clear() { m_first = m_next; }

    int capacity() const { return int(m_slots.size()); }
    int size() const { return int(m_next - m_first); }
    // Number of the next entry to be recorded.
    quint64 next() const { return m_next; }
    // The held entries numbered `from` or later, oldest first.
    QList<T> since(quint64 from) const {
        QList<T> result;
        const quint64 start = std::max(from, m_first);
        if (start >= m_next) return result;
        result.reserve(qsizetype(m_next - start));
        for (quint64 n = start; n < m_next; ++n)
            result.append(m_slots[size_t(n % m_slots.size())]);
        return result;
    }

private:
    std::vector<T> m_slots;
    quint64 m_first = 0; // oldest held
    quint64 m_next = 0;
};

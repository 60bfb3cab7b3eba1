#include "LineTimer.h"

#include <QSocketNotifier>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <ctime>
#include <sys/timerfd.h>
#include <unistd.h>

LineTimer::LineTimer(QObject* parent)
    : QObject(parent) {
    m_fd = ::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (m_fd < 0) qFatal("timerfd_create failed: %d", errno);
    m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &LineTimer::expired);
}

LineTimer::~LineTimer() {
    delete m_notifier;
    ::close(m_fd);
}

qint64 LineTimer::nowNs() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

void LineTimer::startAt(qint64 dueNs) {
    // 0 would disarm the timer: a time already past is taken as the next nanosecond.
    dueNs = std::max<qint64>(dueNs, 1);
    itimerspec due{};
    due.it_value.tv_sec = time_t(dueNs / 1'000'000'000);
    due.it_value.tv_nsec = long(dueNs % 1'000'000'000);
    ::timerfd_settime(m_fd, TFD_TIMER_ABSTIME, &due, nullptr);
}

void LineTimer::stop() {
    const itimerspec off{};
    ::timerfd_settime(m_fd, TFD_TIMER_ABSTIME, &off, nullptr);
}

void LineTimer::expired() {
    std::uint64_t expirations = 0;
    if (::read(m_fd, &expirations, sizeof expirations) != sizeof expirations) return;
    emit timeout();
}

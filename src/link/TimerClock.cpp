#include "link/TimerClock.h"

TimerClock::TimerClock(QObject* parent)
    : LinkClock(parent) {
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &LinkClock::timeout);
}

void TimerClock::setEnabled(bool enabled) {
    if (enabled == m_timer.isActive()) return;
    if (enabled)
        m_timer.start();
    else
        m_timer.stop();
}

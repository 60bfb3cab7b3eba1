#pragma once

#include "link/LinkClock.h"

#include <QTimer>

// The link's timer in the program: a precise QTimer, restarted when enabled.
class TimerClock : public LinkClock {
    Q_OBJECT
public:
    explicit TimerClock(QObject* parent = nullptr);

    void setInterval(int ms) override { m_timer.setInterval(ms); }
    int interval() const override { return m_timer.interval(); }
    void setEnabled(bool enabled) override;
    bool isEnabled() const override { return m_timer.isActive(); }

private:
    QTimer m_timer;
};

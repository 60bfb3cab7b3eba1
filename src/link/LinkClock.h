#pragma once

#include <QObject>

// The link's single timer. Enabling restarts the countdown; the scheduler disables and
// re-enables it at every send and every accepted reply.
class LinkClock : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    virtual void setInterval(int ms) = 0;
    virtual int interval() const = 0;
    virtual void setEnabled(bool enabled) = 0;
    virtual bool isEnabled() const = 0;

signals:
    void timeout();
};

#pragma once

#include <QByteArray>
#include <QList>

// One queued segment of a parameter transfer: items Start..Stop of kind Typ (low four bits);
// CS marks the last item of the segment as the end of the transfer.
struct TUsek {
    qint32 Start = 0;
    qint32 Stop = 0;
    qint32 Typ = 0;
    bool CS = false;
};

// What the scheduler needs from the transfer queue in states 110 and 111.
class TransferSteps {
public:
    virtual ~TransferSteps() = default;
    // State 110: load the first queued segment and start counting progress.
    virtual void begin() = 0;
    // Items queued since the queue was last found empty (progress maximum).
    virtual int total() const = 0;
    // Items acknowledged in the current transfer.
    virtual int progress() const = 0;
    // Index of the item in flight.
    virtual int itemIndex() const = 0;
    // State 111 request for the item in flight.
    virtual QByteArray itemPayload() const = 0;
    // What a state-111 reply did to the walk.
    enum class Reply {
        Refused,      // not an acknowledgement: the item in flight goes out again
        Acknowledged, // the walk moved on
        Finished      // the last queued item was acknowledged
    };
    // State 111 reply: its code and its data field (without the checksum).
    virtual Reply itemReply(QByteArrayView code, QByteArrayView data) = 0;
    // The link gave up during the transfer: what was not acknowledged goes back to the queue.
    virtual void abandon() = 0;
    // Segments of the latest request, for the refresh after the transfer.
    virtual QList<TUsek> lastRequest() const = 0;
};

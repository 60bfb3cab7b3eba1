#pragma once

#include <QByteArray>

// Decoders the dispatcher hands accepted replies to, called synchronously in protocol order.
// Each gets the reply's data field: from its eighth character, as long as its length field says,
// without the checksum.
class ReplyConsumers {
public:
    virtual ~ReplyConsumers() = default;
    virtual void ZobrazMonitor(const QByteArray& data) = 0;
    virtual void ZobrazVerzi() = 0;
    virtual void ZobrazSnimac(const QByteArray& data) = 0;
    virtual void ZobrazMoment(const QByteArray& data) = 0;
    virtual void ZobrazVstupy(const QByteArray& data) = 0;
    // End of a transfer (TServiceForm.SouborVyp).
    virtual void SouborVyp() = 0;
};

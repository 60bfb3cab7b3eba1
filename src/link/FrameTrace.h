#pragma once

#include "wire/TimedRecording.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>

// One frame event on the line, as the scheduler saw it.
struct TraceEntry {
    enum class Direction : quint8 { Out, In };
    enum class Outcome : quint8 {
        Request,         // a state's request, first send
        Repeat,          // the same request again after a timeout
        Probe,           // the retry ladder's probe in place of the request
        Accepted,        // the reply the request asked for
        WrongCode,       // a valid reply with another code: the request goes out again
        ShortRecord,     // the right code but a data field shorter than the record
        ForeignHeader,   // a valid reply from another protocol generation
        BadChecksum,     // complete by its length field, but the checksum does not match
        ExtraCharacters, // more characters than the length field allows
        Timeout,         // nothing usable arrived before the reply timeout
    };

    qint64 time = 0; // ms since the epoch
    Direction direction = Direction::Out;
    Outcome outcome = Outcome::Request;
    int state = 0; // KomStavVyslany: the state the request was built for
    QByteArray frame;
};

// The frames on the line in a ring of fixed size: the newest `capacity` events are kept. Recording
// is cheap enough to run all the time: the frame's characters are copied into the slot's own
// buffer (no allocation once the ring has gone round) and nothing is formatted until asked for.
class FrameTrace : public TimedRecording<TraceEntry> {
public:
    static constexpr int DefaultCapacity = 4000;

    explicit FrameTrace(int capacity = DefaultCapacity);

    void record(TraceEntry::Direction direction, int state, QByteArrayView frame,
                TraceEntry::Outcome outcome);
    // A later verdict on event `number`; nothing once it has left the ring.
    void amend(quint64 number, TraceEntry::Outcome outcome);
    QList<TraceEntry> entries() const { return since(0); }
};

// Texts of the trace, in the current language where they are words.
namespace TraceText {
QString time(qint64 msecs);     // HH:mm:ss.zzz, local time
QString dateTime(qint64 msecs); // yyyy-MM-dd HH:mm:ss.zzz, local time
QString direction(TraceEntry::Direction direction);
QString outcome(TraceEntry::Outcome outcome);
// The frame as readable text in any font: ESC as "<ESC>", a character outside printable ASCII
// (and "<") as \xNN and a backslash as "\\", so that the text says exactly which bytes travelled.
QString frame(QByteArrayView frame);
// Column titles: time, direction, state, frame, outcome.
QStringList columnTitles();
// One tab-separated line per event (date and time, direction, state, frame, outcome) under a
// line of column titles; every line ends with a newline.
QString lines(const QList<TraceEntry>& entries);
// Writes lines(entries) as UTF-8, the whole file or nothing; on failure fills `error`.
bool save(const QString& path, const QList<TraceEntry>& entries, QString* error = nullptr);
} // namespace TraceText

#include "link/FrameTrace.h"

#include "files/FileSaver.h"
#include "lang/Lang.h"
#include "wire/Frame.h"

#include <QDateTime>
#include <algorithm>

FrameTrace::FrameTrace(int capacity)
    : TimedRecording(capacity) {}

void FrameTrace::record(TraceEntry::Direction direction, int state, QByteArrayView frame,
                        TraceEntry::Outcome outcome) {
    TraceEntry& slot = m_ring.push();
    slot.time = now();
    slot.direction = direction;
    slot.outcome = outcome;
    slot.state = state;
    // Reuses the slot's buffer unless a shown copy still shares it.
    slot.frame.resize(0);
    slot.frame.append(frame);
}

void FrameTrace::amend(quint64 number, TraceEntry::Outcome outcome) {
    if (TraceEntry* entry = m_ring.find(number)) entry->outcome = outcome;
}

namespace TraceText {

namespace {

const char* const outcomeKeys[] = {
    "TraceDotaz",      "TraceOpakovani",    "TraceSonda",        "TracePrijato",
    "TraceChybnyKod",  "TraceKratkyZaznam", "TraceCiziHlavicka", "TraceChybnySoucet",
    "TraceZnakyNavic", "TraceBezOdpovedi",
};

} // namespace

QString time(qint64 msecs) {
    return QDateTime::fromMSecsSinceEpoch(msecs).toString(QStringLiteral("HH:mm:ss.zzz"));
}

QString dateTime(qint64 msecs) {
    return QDateTime::fromMSecsSinceEpoch(msecs).toString(
        QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
}

QString direction(TraceEntry::Direction direction) {
    return LangAddedText(direction == TraceEntry::Direction::Out ? "TraceVen" : "TraceDovnitr");
}

QString outcome(TraceEntry::Outcome outcome) {
    const auto index = size_t(outcome);
    return index < std::size(outcomeKeys) ? LangAddedText(outcomeKeys[index]) : QString();
}

QString frame(QByteArrayView frame) {
    static const char digits[] = "0123456789ABCDEF";
    QString text;
    text.reserve(frame.size() + 4);
    for (const char c : frame) {
        const auto byte = quint8(c);
        if (c == Frame::Esc) {
            text += QStringLiteral("<ESC>");
        } else if (c == '\\') {
            text += QStringLiteral("\\\\");
        } else if (byte >= 0x20 && byte < 0x7F && c != '<') {
            text += QLatin1Char(c);
        } else {
            text += QStringLiteral("\\x");
            text += QLatin1Char(digits[byte >> 4]);
            text += QLatin1Char(digits[byte & 0x0F]);
        }
    }
    return text;
}

QStringList columnTitles() {
    return {LangAddedText("TraceCas"), LangAddedText("TraceSmer"), LangAddedText("TraceStav"),
            LangAddedText("TraceRamec"), LangAddedText("TraceVysledek")};
}

QString lines(const QList<TraceEntry>& entries) {
    const QChar tab = QLatin1Char('\t');
    QString text = columnTitles().join(tab) + QLatin1Char('\n');
    for (const TraceEntry& entry : entries) {
        text += dateTime(entry.time) + tab + direction(entry.direction) + tab +
                QString::number(entry.state) + tab + frame(entry.frame) + tab +
                outcome(entry.outcome) + QLatin1Char('\n');
    }
    return text;
}

bool save(const QString& path, const QList<TraceEntry>& entries, QString* error) {
    return FileSaver::save(path, lines(entries).toUtf8(), error);
}

} // namespace TraceText

#pragma once

#include <QByteArray>
#include <QByteArrayView>

// Frames travel as 8-bit byte strings: ESC, a two-digit header, command or reply
// code, length, data and a two-digit additive checksum. No terminator.
namespace Frame {

inline constexpr char Esc = '\x1B';
inline constexpr QByteArrayView Header = "02";
// Request length field, code and header: what must be waiting before a reply can be judged.
inline constexpr int MinimumReplyLength = 7;
// ESC + header + code + length + checksum around the data.
inline constexpr int Overhead = 9;

} // namespace Frame

// Part of `text` from `pos` (0-based), at most `length` characters (all when negative); empty
// where the text is shorter. Fields of a short or garbled frame then read as empty.
inline QByteArrayView midView(QByteArrayView text, qsizetype pos, qsizetype length = -1) {
    if (pos >= text.size()) return {};
    const qsizetype available = text.size() - pos;
    return text.sliced(pos, length < 0 || length > available ? available : length);
}

// Checksum: sum of the bytes modulo 256 as two uppercase hexadecimal digits.
QByteArray CRC(QByteArrayView data);

// Hexadecimal text to integer; empty or invalid text gives 0. Upper- and lowercase digits
// are both accepted; eight digits are read as a 32-bit two's complement value, a value
// that does not fit into 32 bits gives 0.
qint32 HexToInt(QByteArrayView cislo);

// A hexadecimal field of a unit's record by its 1-based first character and its length; a field
// the record cuts short reads what is there, a field past its end reads 0.
inline qint32 recordField(QByteArrayView record, int first, int length) {
    return HexToInt(midView(record, first - 1, length));
}

// A hexadecimal field of a request's data, `digits` characters from `at` (0-based); a field the
// data cuts short reads 0, like any bad field.
inline qint32 requestField(QByteArrayView data, qsizetype at, qsizetype digits) {
    return at + digits > data.size() ? 0 : HexToInt(data.sliced(at, digits));
}

// Uppercase hexadecimal, zero-padded to at least `digits` digits. Negative values are
// written as their 32-bit two's complement.
QByteArray IntToHex(qint64 value, int digits);

// A request's payload: the command and the length of `data` in characters, two uppercase
// hexadecimal digits each, then `data`. The length is counted, never written by hand.
QByteArray commandPayload(int command, QByteArrayView data = {});

// ESC + "02" + payload + checksum.
QByteArray frameRequest(QByteArrayView payload);

// The fixed probe sent to a unit that stopped answering: ESC, "00", "42040000", checksum.
QByteArray probeFrame();

// True when `frame` (a complete frame) ends in the checksum of the rest: two hexadecimal digits
// of either case, compared by value.
bool checksumMatches(QByteArrayView frame);

#include "wire/Frame.h"

namespace {

bool isHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

} // namespace

QByteArray CRC(QByteArrayView data) {
    unsigned sum = 0;
    for (char c : data)
        sum += static_cast<unsigned char>(c);
    return IntToHex(sum & 0xFF, 2);
}

qint32 HexToInt(QByteArrayView cislo) {
    if (cislo.isEmpty()) return 0;
    quint64 value = 0;
    for (char c : cislo) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else
            return 0;
        value = value * 16 + digit;
        if (value > 0xFFFFFFFFull) return 0;
    }
    return static_cast<qint32>(static_cast<quint32>(value));
}

QByteArray IntToHex(qint64 value, int digits) {
    const quint64 bits = value < 0 ? static_cast<quint32>(value) : static_cast<quint64>(value);
    return QByteArray::number(bits, 16).toUpper().rightJustified(digits, '0');
}

QByteArray commandPayload(int command, QByteArrayView data) {
    return IntToHex(command & 0xFF, 2) + IntToHex(data.size() & 0xFF, 2) + data.toByteArray();
}

QByteArray frameRequest(QByteArrayView payload) {
    QByteArray frame;
    frame.reserve(payload.size() + Frame::Overhead);
    frame.append(Frame::Esc).append(Frame::Header).append(payload);
    frame.append(CRC(frame));
    return frame;
}

QByteArray probeFrame() {
    QByteArray frame(1, Frame::Esc);
    frame.append("0042040000");
    frame.append(CRC(frame));
    return frame;
}

bool checksumMatches(QByteArrayView frame) {
    if (frame.size() < 2) return false;
    const QByteArrayView field = frame.last(2);
    // HexToInt reads a field that is no number as 0: without this, line noise in the checksum
    // field would pass for the checksum of every frame whose characters sum to 0x00.
    if (!isHexDigit(field[0]) || !isHexDigit(field[1])) return false;
    const QByteArrayView body = frame.first(frame.size() - 2);
    return HexToInt(CRC(body)) == HexToInt(field);
}

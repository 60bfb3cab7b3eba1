// The simulated unit's request parser on whatever the line brings: request frames of any code
// and data, line noise, frames with a wrong checksum, cut into pieces of any size.
//
// Properties: the bytes give the same replies however they are cut; every request the unit
// takes has its checksum and a length field that counts its data; every reply is a
// well-formed frame (ESC, "02", the request's code with bit 7 set, a length field that counts
// its data, its checksum) answering the request taken just before it.

#include "FuzzSupport.h"
#include "SimulatedUnit.h"

#include <fuzzer/FuzzedDataProvider.h>

namespace {

struct Unit {
    qint64 now = 0;
    SimulatedUnit unit;
    QList<QByteArray> requests;
    QList<QByteArray> replies;

    explicit Unit(int variant)
        : unit(variant) {
        unit.setClock([this] { return now; });
        QObject::connect(&unit, &SimulatedUnit::requestAccepted, [this](const QByteArray& frame) {
            FUZZ_CHECK(fuzz::checksumFieldRight(frame), << frame);
            FUZZ_CHECK(frame.size() == HexToInt(frame.mid(5, 2)) + Frame::Overhead, << frame);
            requests.append(frame);
        });
        QObject::connect(&unit, &SimulatedUnit::reply, [this](const QByteArray& frame) {
            FUZZ_CHECK(!requests.isEmpty());
            const QByteArray& request = requests.last();
            FUZZ_CHECK(frame.startsWith(Frame::Esc) && frame.mid(1, 2) == "02", << frame);
            FUZZ_CHECK(frame.mid(3, 2) == IntToHex(HexToInt(request.mid(3, 2)) | 0x80, 2),
                       << request << "answered" << frame);
            FUZZ_CHECK(frame.size() == HexToInt(frame.mid(5, 2)) + Frame::Overhead, << frame);
            FUZZ_CHECK(CRC(frame.first(frame.size() - 2)) == frame.last(2), << frame);
            replies.append(frame);
        });
    }
};

// A request of any code; its data hexadecimal digits or any bytes, its checksum right or not.
QByteArray request(FuzzedDataProvider& in) {
    QByteArray frame(1, Frame::Esc);
    frame += in.ConsumeIntegralInRange(0, 15) == 0 ? "00" : "02";
    frame += IntToHex(in.ConsumeIntegral<quint8>(), 2);
    QByteArray data;
    const int length = in.ConsumeIntegralInRange(0, 40);
    const bool hex = in.ConsumeIntegralInRange(0, 7) != 0;
    for (int i = 0; i < length && in.remaining_bytes() > 0; ++i) {
        const quint8 byte = in.ConsumeIntegral<quint8>();
        data += hex ? "0123456789ABCDEF"[byte & 0x0F] : char(byte);
    }
    frame += IntToHex(data.size(), 2) + data;
    frame += IntToHex((HexToInt(CRC(frame)) + (in.ConsumeIntegralInRange(0, 15) == 0)) & 0xFF, 2);
    return frame;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const int variant = in.ConsumeIntegralInRange(0, 5);
    Unit whole(variant), pieces(variant);
    QByteArray line;
    while (in.remaining_bytes() > 0) {
        QByteArray bytes;
        if (in.ConsumeIntegralInRange(0, 3) == 0) {
            const std::string noise = in.ConsumeRandomLengthString(24);
            bytes = QByteArray(noise.data(), qsizetype(noise.size()));
        } else {
            bytes = request(in);
        }
        // Time passes between requests alike for both units: the motor and calibrations move.
        const qint64 pause = in.ConsumeIntegralInRange(0, 3000);
        whole.now += pause;
        pieces.now += pause;
        whole.unit.feed(bytes);
        line += bytes;
        while (!bytes.isEmpty()) {
            const int piece = in.ConsumeIntegralInRange(1, int(bytes.size()));
            pieces.unit.feed(bytes.left(piece));
            bytes.remove(0, piece);
        }
    }
    fuzz::context() = QStringLiteral("line %1").arg(QString::fromLatin1(line.toHex()));
    FUZZ_CHECK(whole.requests == pieces.requests, << whole.requests << pieces.requests);
    FUZZ_CHECK(whole.replies == pieces.replies, << whole.replies << pieces.replies);
    return 0;
}

// The torque dialog's decoder on any sequence of records.
//
// Properties: the decoder reads the record's first 28 characters only, so any tail after them
// gives the same image and display; the raw torque is a 16-bit field; a result cell is empty or
// a 16-bit number; the bench signal shows only while a calibration runs or has just finished,
// in mA with two decimals.

#include "FuzzSupport.h"
#include "device/TorqueDecoder.h"
#include "image/DeviceImage.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QRegularExpression>

namespace {

constexpr int RecordLength = 28;

QStringList shown(const DeviceImage& image, const TorqueDisplay& d) {
    QStringList s{QString::number(image.Moment_Abs), d.rawTorque, d.status, d.bench};
    for (const auto& side : d.results)
        for (const QString& cell : side)
            s << cell;
    return s;
}

bool isWord(const QString& text) {
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok && value >= 0 && value <= 0xFFFF;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const QRegularExpression milliamps(QStringLiteral("^\\d+\\.\\d\\d$"));
    FuzzedDataProvider in(data, size);
    const std::string tailBytes = in.ConsumeRandomLengthString(20);
    const QByteArray tail(tailBytes.data(), qsizetype(tailBytes.size()));
    DeviceImage imageA, imageB;
    TorqueDisplay a, b;
    while (in.remaining_bytes() > 0) {
        const std::string bytes = in.ConsumeRandomLengthString(60);
        const QByteArray record(bytes.data(), qsizetype(bytes.size()));
        ZobrazMoment(record, imageA, a);
        // A record too short for its fields reads the missing ones as 0; the other rig then
        // gets the same record.
        ZobrazMoment(record.size() >= RecordLength ? record.left(RecordLength) + tail : record,
                     imageB, b);
        FUZZ_CHECK(shown(imageA, a) == shown(imageB, b),
                   << record << shown(imageA, a) << shown(imageB, b));
        FUZZ_CHECK(isWord(a.rawTorque) && QString::number(imageA.Moment_Abs) == a.rawTorque,
                   << a.rawTorque);
        FUZZ_CHECK(a.bench.isEmpty() || milliamps.match(a.bench).hasMatch(), << a.bench);
        for (const auto& side : a.results)
            for (const QString& cell : side)
                FUZZ_CHECK(cell.isEmpty() || isWord(cell), << cell);
    }
    return 0;
}

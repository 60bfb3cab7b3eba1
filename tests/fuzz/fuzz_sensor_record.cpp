// The sensor dialog's decoder on any record.
//
// Properties: the decoder reads a record's first 60 characters only, so any tail after them
// gives the same display; the gauge is a 16-bit field; flag cells are "X" or empty; the offsets
// row is the user's while the unit does not calibrate, and the unit's numbers while it does.

#include "FuzzSupport.h"
#include "device/SensorDecoder.h"

#include <fuzzer/FuzzedDataProvider.h>

namespace {

constexpr int RecordLength = 60;

QStringList shown(const SensorDisplay& d) {
    QStringList s{QString::number(d.gauge),
                  d.absolute,
                  QString::number(d.offsetsEditable),
                  d.status,
                  d.speed,
                  d.counter};
    for (const QString& offset : d.offsets)
        s << offset;
    for (const auto& rows : d.sensors)
        for (const QString& cell : rows)
            s << cell;
    return s;
}

bool isNumber(const QString& text) {
    bool ok = false;
    text.toLongLong(&ok);
    return ok;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const std::string tailBytes = in.ConsumeRandomLengthString(20);
    const std::string bytes = in.ConsumeRemainingBytesAsString();
    const QByteArray record(bytes.data(), qsizetype(bytes.size()));

    SensorDisplay a;
    a.offsets = {QStringLiteral("typed"), QStringLiteral("1"), QString(), QStringLiteral("x")};
    SensorDisplay b = a;
    const auto typed = a.offsets;
    ZobrazSnimac(record, a);
    if (record.size() >= RecordLength) {
        ZobrazSnimac(record.left(RecordLength) +
                         QByteArray(tailBytes.data(), qsizetype(tailBytes.size())),
                     b);
        FUZZ_CHECK(shown(a) == shown(b), << record << shown(a) << shown(b));
    }

    FUZZ_CHECK(a.gauge >= 0 && a.gauge <= 0xFFFF, << a.gauge);
    FUZZ_CHECK(isNumber(a.absolute) && isNumber(a.speed) && isNumber(a.counter));
    for (size_t i = 0; i < a.offsets.size(); ++i)
        FUZZ_CHECK(a.offsetsEditable ? a.offsets[i] == typed[i] : isNumber(a.offsets[i]),
                   << a.offsets[i]);
    for (const auto& rows : a.sensors) {
        for (int row = 0; row < 4; ++row)
            FUZZ_CHECK(isNumber(rows[row]), << rows[row]);
        for (int row = 4; row < SensorDisplay::SensorRows; ++row)
            FUZZ_CHECK(rows[row].isEmpty() || rows[row] == QLatin1String("X"), << rows[row]);
    }
    return 0;
}

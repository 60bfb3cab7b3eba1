// The outputs-test dialog's decoder of the inputs record, on any record.
//
// Properties: the decoder reads the record's first 38 characters only, so any tail after them
// gives the same display; the raw values are 16-bit numbers, the temperature a signed byte,
// and the input cells "X" or empty.

#include "FuzzSupport.h"
#include "device/InputsDecoder.h"

#include <fuzzer/FuzzedDataProvider.h>

namespace {

constexpr int RecordLength = 38;

QStringList shown(const InputsDisplay& d) {
    QStringList s{d.Edit1, d.Edit2, d.Edit3};
    for (const QString& cell : d.inputs2)
        s << cell;
    for (const QString& cell : d.inputs3)
        s << cell;
    return s;
}

bool inRange(const QString& text, int lowest, int highest) {
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok && value >= lowest && value <= highest;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const std::string tailBytes = in.ConsumeRandomLengthString(20);
    const std::string bytes = in.ConsumeRemainingBytesAsString();
    const QByteArray record(bytes.data(), qsizetype(bytes.size()));
    InputsDisplay a, b;
    ZobrazVstupy(record, a);
    if (record.size() >= RecordLength) {
        ZobrazVstupy(record.left(RecordLength) +
                         QByteArray(tailBytes.data(), qsizetype(tailBytes.size())),
                     b);
        FUZZ_CHECK(shown(a) == shown(b), << record << shown(a) << shown(b));
    }
    FUZZ_CHECK(inRange(a.Edit1, 0, 0xFFFF) && inRange(a.Edit2, 0, 0xFFFF), << a.Edit1 << a.Edit2);
    FUZZ_CHECK(inRange(a.Edit3, -128, 127), << a.Edit3);
    for (const QString& cell : shown(a).mid(3))
        FUZZ_CHECK(cell.isEmpty() || cell == QLatin1String("X"), << cell);
    return 0;
}

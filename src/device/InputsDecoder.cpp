#include "device/InputsDecoder.h"

#include "wire/Frame.h"

namespace {

// A field of the record by its 1-based first character and its length.
qint32 field(QByteArrayView record, int first, int length) {
    const qsizetype from = first - 1;
    if (from >= record.size()) return 0;
    return HexToInt(record.sliced(from, std::min<qsizetype>(length, record.size() - from)));
}

void showBits(qint32 bits, std::array<QString, 8>& cells) {
    for (int b = 0; b < 8; ++b)
        cells[b] = bits & (1 << b) ? QStringLiteral("X") : QString();
}

} // namespace

void ZobrazVstupy(QByteArrayView record, InputsDisplay& display) {
    display.Edit1 = QString::number(field(record, 9, 4));
    display.Edit2 = QString::number(field(record, 13, 4));
    display.Edit3 = QString::number(qint8(field(record, 33, 2)));
    showBits(field(record, 35, 2), display.inputs2);
    showBits(field(record, 37, 2), display.inputs3);
}

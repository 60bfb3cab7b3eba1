#include "device/InputsDecoder.h"

#include "params/SheetGrid.h"
#include "wire/Frame.h"

namespace {

void showBits(qint32 bits, std::array<QString, 8>& cells) {
    for (int b = 0; b < 8; ++b)
        cells[b] = SheetGrid::mark(bits & (1 << b));
}

} // namespace

void ZobrazVstupy(QByteArrayView record, InputsDisplay& display) {
    display.Edit1 = QString::number(recordField(record, 9, 4));
    display.Edit2 = QString::number(recordField(record, 13, 4));
    display.Edit3 = QString::number(qint8(recordField(record, 33, 2)));
    showBits(recordField(record, 35, 2), display.inputs2);
    showBits(recordField(record, 37, 2), display.inputs3);
}

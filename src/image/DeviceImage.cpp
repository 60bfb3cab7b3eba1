#include "image/DeviceImage.h"

void DeviceImage::InicParam() {
    ParB_Act.fill(false);
    ParW_Act.fill(false);
    ParDW_Act.fill(false);
    ParB_Err.fill(false);
    ParW_Err.fill(false);
    ParDW_Err.fill(false);
}

namespace {

bool inImage(int kind, int sada, int index) {
    const int counts[] = {DeviceImage::CountB, DeviceImage::CountW, DeviceImage::CountDW};
    return kind >= 0 && kind < 3 && sada >= 0 && sada < DeviceImage::Sets && index >= 0 &&
           index < counts[kind];
}

} // namespace

quint32 DeviceImage::value(int kind, int sada, int index) const {
    if (!inImage(kind, sada, index)) return 0;
    if (kind == 0) return ParB[sada][index];
    if (kind == 1) return ParW[sada][index];
    return ParDW[sada][index];
}

void DeviceImage::setValue(int kind, int sada, int index, quint32 value) {
    if (!inImage(kind, sada, index)) return;
    if (kind == 0)
        ParB[sada][index] = quint8(value);
    else if (kind == 1)
        ParW[sada][index] = quint16(value);
    else
        ParDW[sada][index] = value;
}

bool DeviceImage::isActive(int kind, int index) const {
    if (!inImage(kind, 0, index)) return false;
    return kind == 0 ? ParB_Act[index] : kind == 1 ? ParW_Act[index] : ParDW_Act[index];
}

bool DeviceImage::isFaulty(int kind, int index) const {
    if (!inImage(kind, 0, index)) return false;
    return kind == 0 ? ParB_Err[index] : kind == 1 ? ParW_Err[index] : ParDW_Err[index];
}

void DeviceImage::restoreTargetSet() {
    ParB[2] = ParB[1];
    ParW[2] = ParW[1];
    ParDW[2] = ParDW[1];
}

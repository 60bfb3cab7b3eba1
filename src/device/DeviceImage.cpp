#include "device/DeviceImage.h"

void DeviceImage::InicParam() {
    ParB_Act.fill(false);
    ParW_Act.fill(false);
    ParDW_Act.fill(false);
    ParB_Err.fill(false);
    ParW_Err.fill(false);
    ParDW_Err.fill(false);
}

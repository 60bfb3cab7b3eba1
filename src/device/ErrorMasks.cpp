#include "device/ErrorMasks.h"

#include "image/DeviceImage.h"

namespace ErrorMasks {

namespace {

// Bit n % 8 of error group n / 8, as the monitor record reports the conditions.
constexpr const char* ConditionNameKeys[Conditions] = {
    "napisChybySafe",          "napisChybyRidiciSignal", "napisChybyMomentNast",
    "napisChybyMoment",        "napisChybyZdvih",        "napisChybySmerOtaceni",
    "napisChybyEEPROM",        "napisChybyNastRezim",    "napisChybyRAM",
    "napisChybyParametry",     "napisChybySnimacMoment", "napisChybySnimac1",
    "napisChybySnimac2",       "napisChybySnimac3",      "napisChybySnimac4",
    "napisChybyAutokalibrace", "napisChybyOtaceni",      "napisChybyTeplota<",
    "napisChybyTeplota>",      "napisChybyLCDinterni",   "napisChybyLCDexterni",
    "napisChybyFieldbus",      "napisChybyCAN",          "napisChybyTP",
    "napisChybyFieldbusAkt",   "napisChybyFaze",         "napisChybyRele",
    "napisChybyReset",         "napisChybyROM",          "napisChybyCANverze",
    "napisChybyChybnyPovel",   "napisChybyChybnaPoloha"};

Checks read(const DeviceImage& image, int firstByte) {
    Checks checks{};
    for (int n = 0; n < Conditions; ++n)
        checks[n] = image.ParB[2][firstByte + n / 8] & (1 << (n % 8));
    return checks;
}

void write(DeviceImage& image, int firstByte, const Checks& checks) {
    for (int n = 0; n < Conditions; ++n) {
        quint8& byte = image.ParB[2][firstByte + n / 8];
        const quint8 bit = quint8(1 << (n % 8));
        byte = checks[n] ? byte | bit : byte & ~bit;
    }
}

} // namespace

QString conditionNameKey(int n) {
    return n >= 0 && n < Conditions ? QString::fromLatin1(ConditionNameKeys[n]) : QString();
}

Checks warnings(const DeviceImage& image) {
    return read(image, FirstWarningByte);
}

Checks errors(const DeviceImage& image) {
    return read(image, FirstErrorByte);
}

void store(DeviceImage& image, const Checks& errors, const Checks& warnings) {
    write(image, FirstErrorByte, errors);
    write(image, FirstWarningByte, warnings);
}

void exclusiveClick(const Checks& clicked, Checks& other, int n) {
    if (n < 0 || n >= Conditions) return;
    if (clicked[n] && other[n]) other[n] = false;
}

} // namespace ErrorMasks

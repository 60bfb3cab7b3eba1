#include "UnitDefaults.h"

namespace UnitDefaults {

namespace {
constexpr Parameter plain(quint32 value, Fit fit = Fit::Always) {
    return {value, false, fit};
}
constexpr Parameter sign(qint8 value) {
    return {static_cast<quint8>(value), true, Fit::Always};
}
} // namespace

// clang-format off
const std::array<Parameter, ParameterCount> parameters = {
    // B 0..3 sensor offsets, B 4 raw control signal at 20 mA minus 768 (raw 1000 = 20 mA)
    sign(3), sign(-2), sign(0), sign(5), plain(232, Fit::AnalogControl),
    // B 5 torque correction, B 6 variant (set by the constructor), B 7 autocalibration done,
    // B 8 CAN configuration (internal LCD), B 9 local control
    sign(0), plain(2), plain(0), plain(0x01), plain(0),
    // B 10 working torque Z, B 11 multi-turn, B 12 rotation, B 13 cycle run, B 14 no brake
    plain(100), plain(0), plain(0), plain(10, Fit::CycleMode), plain(0),
    // B 15 4-20 mA, B 16 torque switch-off, B 17 SAFE stops, B 18 I1 active at 230 V, B 19 CPT 4-20
    plain(0, Fit::AnalogControl), plain(0), plain(2, Fit::AnalogControl), plain(1, Fit::InputI1),
    plain(0, Fit::PositionOutput),
    // B 20..24 thermal fuse, language, LCD contrast
    plain(0), plain(0), plain(0), plain(0), plain(50),
    // B 25 blocking position Z, B 26 torque measured, B 27 working torque O,
    // B 28 blocking position O, B 29 blocking time 3 s
    plain(5), plain(1), plain(100), plain(5), plain(30),
    // B 30..33 inertia, stop time, dead zone 2 %, internal dead zone
    plain(15), plain(5), plain(2), plain(5),
    // B 34..37 warning masks, B 38..41 error masks
    plain(0x06), plain(0x00), plain(0x20), plain(0x00), plain(0xFF), plain(0x7F), plain(0xFF),
    plain(0x01),
    // B 42 step time, B 43 ready relay, B 44 torque direction, B 45..48 relay functions
    plain(50), plain(3), plain(0), plain(1), plain(2), plain(10), plain(11),
    // B 49 tolerance, B 50..52 thermostat, minimum and maximum temperature
    plain(2), sign(5), sign(-25), sign(70),
    // B 53 cycle pause, B 54 sensor zone, B 55 address, B 56 cycle mode off, B 57, B 58
    plain(10, Fit::CycleMode), plain(3), plain(1, Fit::Fieldbus), plain(0, Fit::CycleMode),
    plain(0), plain(20),
    // B 59 9600 bit/s, B 60 even, B 61 no redundancy, B 62 link check time, B 63 I1 SAFE,
    // B 64 raw control signal at 0 mA
    plain(5, Fit::Fieldbus), plain(0, Fit::Fieldbus), plain(0, Fit::Fieldbus),
    plain(50, Fit::Fieldbus), plain(0, Fit::InputI1), plain(12, Fit::AnalogControl),

    // W 0..3 torque calibration (O 100 %, O min, Z 100 %, Z min), W 4 nominal torque in Nm
    plain(100), plain(300), plain(900), plain(700), plain(400),
    // W 5 minimal torque, W 6/7 CPT output at 4 and 20 mA
    plain(40), plain(205, Fit::PositionOutput), plain(1010, Fit::PositionOutput),
    // W 8..11 relay positions, W 12 SAFE position (0.01 %)
    plain(1000), plain(9000), plain(500), plain(9500), plain(5000, Fit::AnalogControl),
    // W 13 rotation time, W 14 relay lifetime, W 15..18 cycle positions
    plain(2400), plain(1000), plain(2000, Fit::CycleMode), plain(4000, Fit::CycleMode),
    plain(8000, Fit::CycleMode), plain(6000, Fit::CycleMode),

    // DW 0 end position O, DW 1 end position Z (sensor counts)
    plain(52000), plain(12000),
};
// clang-format on

const std::array<QByteArrayView, TextCount> texts = {
    "S2.14",    // sensor firmware
    "150326",   // date of change
    "SERVIS01", // last change
    "E123456",  // electronics serial number
    "120125",   // electronics date
    "P0042317", // actuator serial number
    "030225",   // actuator date
    "G7781",    // gearbox serial number
    "281124",   // gearbox date
    "D1.07",    // internal display firmware
    "DX1.02",   // external display firmware
    "ED0.95",   // ED display firmware
    "MB2.01",   // fieldbus firmware
};

bool fits(Fit fit, int variant) {
    // Rows: Fit; columns: variants 0 KOVR.ED .. 4 KOVR FIELDBUS.
    static constexpr bool table[][VariantCount] = {
        {true, true, true, true, true},     // Always
        {false, true, true, true, true},    // AnalogControl
        {true, true, true, true, false},    // PositionOutput
        {false, false, true, true, true},   // InputI1
        {false, true, false, true, false},  // CycleMode
        {false, false, false, false, true}, // Fieldbus
    };
    if (fit == Fit::Always) return true;
    if (variant < 0 || variant >= VariantCount) return false;
    return table[static_cast<int>(fit)][variant];
}

} // namespace UnitDefaults

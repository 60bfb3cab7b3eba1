#pragma once

#include <QByteArrayView>
#include <QString>
#include <array>

struct DeviceImage;

// What the torque dialog ("Moment") shows of the unit's torque record.
struct TorqueDisplay {
    QString rawTorque; // Edit3, decimal of Moment_Abs
    QString status;    // Edit2, text of the calibration status code
    QString bench;     // Edit4, bench signal the unit measures, mA with two decimals
    // StringGrid2's result cells by [column - 1] (0 O, 1 Z) and [row - 1] (0 "Moment 100%",
    // 1 "Moment min."); they stay between records until a calibration of that side restarts.
    std::array<std::array<QString, 2>, 2> results;
};

// Text of a torque calibration status code in the current language. Codes past the table's
// end name themselves as unknown codes instead of reading beyond it.
QString torqueStatusText(int code);

// Decoder of the torque record (reply "81" to "0100", data field from its first character):
// the raw torque into Moment_Abs and the display, the status text, the bench signal and, when
// a side finished, its two raw results.
void ZobrazMoment(QByteArrayView s, DeviceImage& image, TorqueDisplay& display);

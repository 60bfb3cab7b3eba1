#pragma once

#include <QByteArrayView>
#include <QString>
#include <QtGlobal>
#include <array>

// What the sensor dialog ("Snímače") shows of the unit's sensor record, and the offsets row
// the user types into.
struct SensorDisplay {
    static constexpr int Sensors = 4;
    static constexpr int SensorRows = 10; // StringGrid1 rows 0..9 (row 10 stays empty)

    int gauge = 0;    // Gauge1, 0.01 % of the stroke
    QString absolute; // Edit1, signed
    // StringGrid2 row 1: the offsets of the four sensors. The user's texts while the grid is
    // editable; the unit's offsets while it calibrates (then the grid is disabled).
    bool offsetsEditable = true;
    std::array<QString, Sensors> offsets;
    // StringGrid1 by [sensor - 1][row]: position, pre-position, position, absolute, then the
    // flag rows "OCF", "COF", "LIN", "MagINC", "MagDEC", "Parita".
    std::array<std::array<QString, SensorRows>, Sensors> sensors;
    QString status;  // Edit2
    QString speed;   // Edit3
    QString counter; // Edit4
};

// Text of a gearbox calibration status code in the current language.
QString sensorStatusText(int code);

// Decoder of the sensor record (reply "F3" to the "730A" poll, data field from its first
// character).
void ZobrazSnimac(QByteArrayView s, SensorDisplay& display);

// An offset as typed: its integer value (0 for anything that is not a number), low 8 bits.
quint8 offsetFromText(const QString& text);

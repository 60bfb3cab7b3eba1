#pragma once

#include <QByteArrayView>
#include <QString>
#include <array>

// What the outputs-test dialog shows of the unit's inputs record.
struct InputsDisplay {
    QString Edit1; // raw control signal
    QString Edit2; // raw torque
    QString Edit3; // temperature in °C, signed
    // Column 1 of StringGrid2 and StringGrid3, rows 0..7: "X" for a set input bit.
    std::array<QString, 8> inputs2;
    std::array<QString, 8> inputs3;
};

// Decodes the inputs record (the reply data of the outputs poll) into the display. Fields
// missing from a short record read as 0, as HexToInt reads an empty text.
void ZobrazVstupy(QByteArrayView record, InputsDisplay& display);

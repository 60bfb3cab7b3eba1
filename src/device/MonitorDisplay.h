#pragma once

#include "params/SheetGrid.h"

#include <QString>
#include <array>

// What the monitoring panel and the live edits of the parameter panel and dialogs show, as
// the monitor decoder leaves it. Fields the decoder does not touch keep their last value.
struct MonitorDisplay {
    struct Gauge {
        int value = 0;
        bool showsText = false; // the percentage text is drawn
        bool red = false;       // bar colour: red for a tripped torque side, else black
        bool operator==(const Gauge&) const = default;
    };

    Gauge Gauge1;                     // position 0..10000
    Gauge Gauge2;                     // control signal 0..10000
    Gauge Gauge3;                     // torque Z side 0..100
    Gauge Gauge4;                     // torque O side 0..100
    QString Edit1;                    // absolute position
    QString Edit2;                    // control signal in mA
    QString Edit3, Edit7, Edit9;      // motion texts: motor, sensor, requested
    int motorMotion = -1;             // what Edit3 shows: 0 stop, 1 opening, 2 closing; -1 none yet
    QString Edit4;                    // raw torque
    QString Edit5;                    // temperature
    QString Edit6;                    // running time h:mm
    QString Edit8;                    // autocalibration state
    QString Edit12;                   // torque in Nm
    QString Edit14, Edit15;           // relay counters Z (Rele_C), O (Rele_O)
    std::array<QString, 4> Edit16_19; // relay positions in %
    QString Edit20;                   // SAFE position in %
    QString Edit11, Edit13;           // end positions O, Z
    // Check boxes: status bits (CheckBox1 blocking, CheckBox5, CheckBox6) and mode bits.
    bool CheckBox1 = false, CheckBox5 = false, CheckBox6 = false;
    bool CheckBox20 = false, CheckBox21 = false, CheckBox4 = false, CheckBox2 = false,
         CheckBox3 = false;

    // Error grid StringGrid1: 3 columns x 34 rows (name, "X", counter); the fixed cells turn
    // red while any error group is active.
    SheetGrid errorGrid{3, 34};
    bool errorGridRed = false;
    // Input/output grids StringGrid2..4: 2 columns x 9 rows (name, "X").
    std::array<SheetGrid, 3> ioGrids{SheetGrid{2, 9}, SheetGrid{2, 9}, SheetGrid{2, 9}};
    // Autocalibration group GroupBox14 red on the autocalibration error.
    bool autocalibrationRed = false;
    // Working-torque selectors O (ComboBox14, B 27) and Z (ComboBox8, B 10) red when faulty.
    bool workingTorqueRedO = false;
    bool workingTorqueRedZ = false;
    // Status-bar panel 8: the unit's variant.
    QString variantText;

    // Position, sensor and motor dialogs: absolute position and end positions "PO" / "PC";
    // control-signal dialog: raw control signal.
    QString dialogPosition;
    QString dialogEndO;
    QString dialogEndZ;
    QString controlSignalRaw;
    // Parameters dialog, fieldbus variant only: baud rate and parity selectors, redundancy.
    int parametersVariantItem = -1; // item its variant selector shows (set by that dialog)
    bool fieldbusSelectorsEnabled = false;
    bool redundancyEnabled = false;
};

#pragma once

#include <QString>
#include <array>

// Values the dialogs supply for the requests of their live polls. All zero until the
// dialogs that own them fill them in.
struct PollInputs {
    // Sensor dialog: TrackBar1 position 0..9 (SensorPoll).
    int sensorSpeed = 0;
    // Torque dialog (TorquePoint): the calibration point, the bench signal's sense (ComboBox1,
    // "0/4-20 mA" or "20-4/0 mA"), the bench pairs MomentStolice and the calibration method
    // (ComboBox3, "staticky" or "dynamicky").
    int torquePoint = 0; // calibration point 0..2
    int torqueBenchSense = 0;
    std::array<std::array<int, 2>, 3> momentStolice{};
    int torqueMethod = 0;
    // Outputs test dialog (OutputsPoll): relay, CPT and LED radio-group items.
    int relayItem = 0;
    int cptItem = 0;
    int ledItem = 0;
    // CPT dialog (CptPoll): page shown and the two value edits.
    int cptPage = 0;
    QString cptEdit1;
    QString cptEdit2;
};

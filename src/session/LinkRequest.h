#pragma once

// What a window asks the link for. Session::ask starts the command sequence that carries it
// out; like every sequence it is honoured only while the link is polling (the monitor, or the
// live poll of the dialog that asks), and the caller is not told when it is not.
enum class LinkRequest {
    Autocalibration,   // the parameter panel's start button
    MotorDialogOpened, // position and motor dialogs shown: the motor stops
    MotorStop,
    MotorOpen,
    MotorClose,
    SensorMotorStop, // the sensor dialog's motor buttons: its poll goes on afterwards
    SensorMotorOpen,
    SensorMotorClose,
    SensorCalibrationStart,
    SensorCalibrationStop,
    CptPollStart,  // CPT dialog shown
    CptPollEnd,    // CPT dialog hidden: its poll ends, even while it is still opening
    ZeroMilliamp,  // control-signal dialog: the unit takes the present signal as 0 mA
    DialogClosed,  // a dialog hidden: the sequence that ends its poll
    BackToMonitor, // the service window leaves write-from-file mode
};

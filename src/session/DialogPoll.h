#pragma once

class CommandScheduler;

// The live poll of a dialog (the sensor, torque and outputs test dialogs): asked for when the
// dialog becomes active and left through the closing request when it stops being active.
//
// KomPovel is honoured only in the polling states, so either request can be refused while a
// sequence is under way: closing the dialog while its poll is still opening would leave the
// poll running under the main window, and opening it while the previous close is still
// answered would leave the dialog without records. The records themselves tell which case it
// is: a dialog record for an inactive dialog, or a monitor record for an active one, and the
// request is then made again.
class DialogPoll {
public:
    enum class Kind { Sensor, Torque, Outputs };

    DialogPoll(CommandScheduler& scheduler, Kind kind);

    bool isActive() const { return m_active; }
    void activate();
    void deactivate();

    // A record of this dialog's poll arrived; false when the dialog is not active (the poll
    // is then asked to end again).
    bool dialogRecord();
    // A monitor record arrived.
    void monitorRecord();

private:
    CommandScheduler& m_scheduler;
    int m_openState;
    bool m_active = false;
};

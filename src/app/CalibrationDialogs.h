#pragma once

#include "device/SensorDecoder.h"
#include "device/TorqueDecoder.h"
#include "session/DialogPoll.h"
#include "session/TorqueBench.h"

#include <QObject>
#include <memory>

class Prompter;
class QWidget;
class Session;
class TMomentForm;
class TServiceForm;
class TSnimacForm;
struct TSetup;

// The torque and sensor dialogs with their core halves (bench, displays, polls), joined to the
// session's records and to the service window whose rows open them and take their results.
class CalibrationDialogs : public QObject {
    Q_OBJECT
public:
    CalibrationDialogs(Session& session, TSetup& setup, Prompter& prompter, QWidget* parent);
    ~CalibrationDialogs() override;

    // The windows are made in the program's order of creation, torque dialog first.
    void createTorqueDialog();
    void createSensorDialog();
    // The service window's editors for W 0..3 and B 0..3, and the records to the dialogs.
    void wire(TServiceForm& service);

    TMomentForm& momentForm() { return *m_momentForm; }
    TSnimacForm& snimacForm() { return *m_snimacForm; }

private:
    Session& m_session;
    TSetup& m_setup;
    QWidget* m_parent;
    TorqueBench m_bench;
    TorqueDisplay m_torqueDisplay;
    SensorDisplay m_sensorDisplay;
    DialogPoll m_torquePoll;
    DialogPoll m_sensorPoll;
    std::unique_ptr<TMomentForm> m_momentForm;
    std::unique_ptr<TSnimacForm> m_snimacForm;
};

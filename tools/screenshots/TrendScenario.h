#pragma once

#include <QtGlobal>

class Session;
class SimulatedUnit;

// A few minutes in the life of a positioner, played on the simulated unit and fed through the
// session's monitor decoding without waiting for them: the control signal steps through a
// profile, the actuator runs towards the position it asks for at the motor's speed, the torque of
// the side in motion grows towards the closed end, and the motor warms up while it runs. The
// session's trend recorder and the unit share one made-up clock, starting at `startMs`.
class TrendScenario {
public:
    static constexpr int LengthMs = 5 * 60 * 1000;
    static constexpr int PollMs = 124; // one poll cycle at the line rate
    static constexpr int WarmUpMs = 30 * 1000;

    TrendScenario(Session& session, SimulatedUnit& unit, qint64 startMs);
    // Every poll of the scenario, from its start to its end.
    void play();

private:
    void steer(qint64 sinceStartMs);
    void poll(int record);

    Session& m_session;
    SimulatedUnit& m_unit;
    qint64 m_startMs;
    qint64 m_nowMs;
    double m_temperature = 24.0;
};

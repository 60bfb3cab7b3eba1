#pragma once

#include <QByteArrayView>
#include <QtGlobal>
#include <array>

// The two calibrations the unit runs on its own once the tool asks for them. Both are worked
// out from the millisecond clock when a record is asked for, like the unit's motion.

// Torque calibration against the bench (request "75"): the status codes of the chosen
// direction step by, the bench signal the unit measures moves to the point being calibrated,
// and at the end the two raw torque values of that direction are the results.
class TorqueCalibrationRun {
public:
    static constexpr int Interrupted = 11, WrongCommand = 13, BenchSignalFault = 14;

    // The "750E" data: point (0 stop, 1 O, 2 Z), bench sense, the bench signals at the minimum
    // and at the 100 % point in 0.002 mA, calibration method.
    void command(QByteArrayView data, qint64 now);
    // Status code now (0 idle; 1, 3, 4, 5 then 6 for O; 2, 7, 8, 9 then 10 for Z; errors).
    int code(qint64 now);
    // Bench signal the unit measures, 0.002 mA.
    int benchSignal(qint64 now);
    // Raw torque while a calibration runs; -1 otherwise.
    int rawTorque(qint64 now);
    quint16 resultMinimum() const { return m_resultMinimum; }
    quint16 resultFull() const { return m_resultFull; }
    void setResults(quint16 minimum, quint16 full);
    void setStepMs(int ms) { m_stepMs = ms; }

private:
    int rawOf(int signal) const;
    bool benchPlausible() const;
    void settle(qint64 now);

    int m_stepMs = 700;
    int m_point = 0;
    int m_sense = 0;
    int m_minimum = 0;
    int m_full = 0;
    qint64 m_since = -1; // start of the running calibration; -1 none
    int m_stage = 0;     // 0..3 while running
    qint64 m_stageAt = 0;
    int m_code = 0;
    quint16 m_resultMinimum = 0;
    quint16 m_resultFull = 0;
};

// Gearbox (sensor) calibration (request "74"): codes 1..19 step by, then 255 with the offsets
// found; stopped from the tool it ends with the interrupt code 100.
class GearboxCalibrationRun {
public:
    static constexpr int Finished = 255, Interrupted = 100;

    // Start ("01", from the offsets in use) or stop ("00").
    void command(bool start, const std::array<quint8, 4>& offsets, qint64 now);
    int code(qint64 now);
    // True while the unit works with its own offsets (running, and once finished).
    bool holdsOffsets(qint64 now);
    const std::array<quint8, 4>& offsets() const { return m_offsets; }
    void setStepMs(int ms) { m_stepMs = ms; }

private:
    int m_stepMs = 300;
    qint64 m_since = -1;
    int m_code = 0;
    std::array<quint8, 4> m_offsets{};
};

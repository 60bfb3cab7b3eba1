#include "SimCalibrations.h"

#include "wire/Frame.h"

#include <algorithm>

namespace {

constexpr int FullSignal = 10000; // 20 mA in 0.002 mA
constexpr int Stages = 4;
// Codes of the four stages and the end, by direction (index 1 O, 2 Z).
constexpr int StageCodes[3][Stages + 1] = {{0, 0, 0, 0, 0}, {1, 3, 4, 5, 6}, {2, 7, 8, 9, 10}};
// The offsets the gearbox calibration finds on this unit.
constexpr std::array<quint8, 4> FoundOffsets = {0x1C, 0x5A, 0x93, 0xE4};

// A little noise on a measured value, from the clock.
int ripple(qint64 now) {
    return int(now / 40 % 5) - 2;
}

} // namespace

void TorqueCalibrationRun::command(QByteArrayView data, qint64 now) {
    const int point = requestField(data, 0, 2);
    if (point == 0) {
        m_code = m_since >= 0 ? Interrupted : 0;
        m_since = -1;
        return;
    }
    if (point > 2) {
        m_since = -1;
        m_code = WrongCommand;
        return;
    }
    m_point = point;
    m_sense = requestField(data, 2, 2);
    m_minimum = requestField(data, 4, 4);
    m_full = requestField(data, 8, 4);
    m_since = now;
    m_stage = 0;
    m_stageAt = now;
    m_code = StageCodes[m_point][0];
}

void TorqueCalibrationRun::setResults(quint16 minimum, quint16 full) {
    m_resultMinimum = minimum;
    m_resultFull = full;
}

bool TorqueCalibrationRun::benchPlausible() const {
    // The bench's signal must grow with the torque in its sense and never be missing.
    if (m_minimum <= 0 || m_full <= 0) return false;
    return m_sense == 0 ? m_full > m_minimum : m_full < m_minimum;
}

int TorqueCalibrationRun::rawOf(int signal) const {
    const int torqueSignal = m_sense == 0 ? signal : FullSignal - signal;
    return std::max(0, torqueSignal * 3 / 5 + (m_point == 2 ? 37 : 0));
}

void TorqueCalibrationRun::settle(qint64 now) {
    while (m_since >= 0 && now - m_stageAt >= m_stepMs) {
        m_stageAt += m_stepMs;
        if (m_stage == 1 && !benchPlausible()) {
            // Holding the minimum point, the unit sees no usable bench signal.
            m_since = -1;
            m_code = BenchSignalFault;
            return;
        }
        if (++m_stage == Stages) {
            m_since = -1;
            m_code = StageCodes[m_point][Stages];
            m_resultMinimum = quint16(rawOf(m_minimum));
            m_resultFull = quint16(rawOf(m_full));
            return;
        }
        m_code = StageCodes[m_point][m_stage];
    }
}

int TorqueCalibrationRun::code(qint64 now) {
    settle(now);
    return m_code;
}

int TorqueCalibrationRun::benchSignal(qint64 now) {
    settle(now);
    if (m_since < 0) return m_code == StageCodes[m_point][Stages] ? m_full : 0;
    const double f = double(now - m_stageAt) / m_stepMs;
    int signal = 0;
    switch (m_stage) {
    case 0: signal = int(m_minimum * f); break; // rising to the minimum point
    case 1: signal = m_minimum; break;
    case 2: signal = m_minimum + int((m_full - m_minimum) * f); break;
    default: signal = m_full; break;
    }
    return std::clamp(signal + ripple(now), 0, 0xFFFF);
}

int TorqueCalibrationRun::rawTorque(qint64 now) {
    settle(now);
    return m_since < 0 ? -1 : rawOf(benchSignal(now));
}

void GearboxCalibrationRun::command(bool start, const std::array<quint8, 4>& offsets, qint64 now) {
    if (start) {
        m_since = now;
        m_code = 1;
        m_offsets = offsets;
        return;
    }
    m_code = m_since >= 0 ? Interrupted : 0;
    m_since = -1;
}

int GearboxCalibrationRun::code(qint64 now) {
    if (m_since >= 0) {
        const qint64 step = 1 + (now - m_since) / m_stepMs;
        if (step > 19) {
            m_since = -1;
            m_code = Finished;
            m_offsets = FoundOffsets;
        } else {
            m_code = int(step);
        }
    }
    return m_code;
}

bool GearboxCalibrationRun::holdsOffsets(qint64 now) {
    const int c = code(now);
    return (c >= 1 && c <= 99) || c == Finished;
}

#include "TrendScenario.h"

#include "SimulatedUnit.h"
#include "session/Session.h"
#include "wire/Frame.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// The control signal the plant's controller asks for, from the time given on.
struct Step {
    int atSeconds;
    double mA;
};

constexpr Step profile[] = {
    {0, 4.0},    {8, 12.0},   {50, 20.0}, {95, 7.0},   {140, 16.0},
    {185, 10.0}, {215, 14.0}, {240, 5.0}, {270, 18.5},
};

constexpr int FullStroke = 10000; // hundredths of a per cent

} // namespace

TrendScenario::TrendScenario(Session& session, SimulatedUnit& unit, qint64 startMs)
    : m_session(session)
    , m_unit(unit)
    , m_startMs(startMs)
    , m_nowMs(startMs) {
    m_unit.setClock([this] { return m_nowMs; });
    m_session.trend().setClock([this] { return m_nowMs; });
    m_unit.setSweep(false);
    m_unit.setMotor(SimulatedUnit::MotorStop);
    m_unit.setPosition(0);
}

void TrendScenario::play() {
    // The tool has been polling a while before: the parameters the decoding needs (the
    // control signal's full scale, the torque points) have come round in the monitor records.
    const int warmUp = WarmUpMs / PollMs;
    for (int record = -warmUp; record * PollMs < LengthMs; ++record) {
        m_nowMs = m_startMs + qint64(record) * PollMs;
        steer(std::max<qint64>(0, m_nowMs - m_startMs));
        poll(record + warmUp);
        if (record == -1) m_session.trend().clear();
    }
}

void TrendScenario::steer(qint64 sinceStartMs) {
    double mA = profile[0].mA;
    for (const Step& step : profile)
        if (sinceStartMs >= step.atSeconds * 1000) mA = step.mA;
    const int raw20 = int(m_unit.parameter(SimulatedUnit::KindB, 4)) + 768;
    m_unit.setControlSignal(int(std::lround(mA * raw20 / 20.0)));

    const int position = m_unit.position();
    const int wanted = int(std::lround((mA - 4.0) / 16.0 * FullStroke));
    SimulatedUnit::Motor motor = SimulatedUnit::MotorStop;
    // The positioner's dead band: wider than the stroke of one poll, or it would hunt.
    if (std::abs(wanted - position) > SimulatedUnit::MotorSpeed * PollMs / 1000)
        motor = wanted > position ? SimulatedUnit::MotorOpen : SimulatedUnit::MotorClose;
    if (motor != m_unit.motor()) m_unit.setMotor(motor);

    // Torque points of the unit: O side 100 % and minimum, Z side 100 % and minimum.
    const auto w = [this](int index) {
        return double(m_unit.parameter(SimulatedUnit::KindW, index));
    };
    const double towardsClosed = 1.0 - double(position) / FullStroke;
    if (motor == SimulatedUnit::MotorOpen) {
        const double percent = 58 + 22 * towardsClosed; // breaking away from the seat
        m_unit.setTorque(int(std::lround(w(1) - (percent - 50) / 50 * (w(1) - w(0)))));
    } else if (motor == SimulatedUnit::MotorClose) {
        const double percent = 55 + 35 * towardsClosed; // seating
        m_unit.setTorque(int(std::lround(w(3) + (percent - 50) / 50 * (w(2) - w(3)))));
    } else {
        m_unit.setTorque(int(std::lround((w(1) + w(3)) / 2))); // at rest: the dead zone
    }

    // The motor warms by a degree in 4 s of running and cools by one in 40 s at rest.
    m_temperature += motor == SimulatedUnit::MotorStop ? -PollMs / 40000.0 : PollMs / 4000.0;
    m_temperature = std::max(m_temperature, 24.0);
    m_unit.setTemperature(int(m_temperature));
}

void TrendScenario::poll(int record) {
    // The cursors as the link steps them; the parameter cursors the decoding moves itself.
    const DeviceImage& image = m_session.image();
    QByteArray request("0010");
    for (int cursor : {image.MonParIndex, image.MonParTyp, record % 4, record % 3, record % 18,
                       record % 32, image.MonTextZnak, image.MonTextCislo})
        request += IntToHex(std::min(cursor, 255), 2);
    const QByteArray reply = m_unit.answer(frameRequest(request));
    m_session.ZobrazMonitor(reply.mid(7, reply.size() - Frame::Overhead));
}

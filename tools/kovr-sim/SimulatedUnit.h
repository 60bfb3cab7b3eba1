#pragma once

#include "SimCalibrations.h"
#include "UnitDefaults.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QElapsedTimer>
#include <QObject>

#include <array>
#include <functional>

// The KOVR control unit as the service tool sees it over the line: takes request frames,
// answers each valid one with one reply frame, and holds the unit's state (parameters,
// production texts, errors, counters, position and motor).
//
// Framing: a request is ESC + header + code + length L + L data characters + checksum.
// Bytes before ESC are skipped; a frame whose checksum does not match is ignored without a
// reply, as a real unit does. Header "02" requests are answered; the probe (header "00",
// "42040000") is answered "02" + "C2" + "00" as a sign of life; any other header is
// another protocol generation and gets no reply.
//
// Presence of parameters follows the variant (B 6): every unit has the common parameters;
// control-signal and SAFE parameters need a variant other than 0, the CPT output is absent
// on the fieldbus variant 4, input I1 needs variant 2, 3 or 4, cycle mode the CONTROL
// variants 1 and 3, and the Modbus settings (B 55, B 59..62) variant 4 only. Writing B 6
// changes the variant and with it the presence flags.
//
// Time: position, motor and autocalibration are worked out from a millisecond clock when a
// request arrives, so an idle unit runs no timers.
class SimulatedUnit : public QObject {
    Q_OBJECT
public:
    enum Kind { KindB = 0, KindW = 1, KindDW = 2 };
    enum Motor { MotorStop = 0, MotorOpen = 1, MotorClose = 2 };
    static constexpr int ErrorGroupCount = 4;
    static constexpr int IoGroupCount = 3;
    static constexpr int ErrorCounterCount = 32;
    static constexpr int LastCodeCount = 3;
    // Position change of a running motor, 0.01 % per second (10 % per second).
    static constexpr int MotorSpeed = 1000;
    // Duration of one autocalibration stage.
    static constexpr int AutocalibrationStageMs = 1000;

    using Clock = std::function<qint64()>;

    explicit SimulatedUnit(int variant = 2, QObject* parent = nullptr);

    // Bytes as they came down the line; emits reply() for every complete valid request.
    void feed(QByteArrayView bytes);
    // The reply to one complete request frame, or empty when the unit stays silent (bad
    // checksum, foreign header, a fault option).
    QByteArray answer(QByteArrayView requestFrame);

    // Milliseconds since some fixed point; tests drive time by hand.
    void setClock(Clock msClock);

    // Fault options: they apply to every reply in this order: silence, drop, then header,
    // code and checksum changes. "Every n-th" counts all replies for a drop, and the replies
    // that go out for a spoilt checksum, so drops and corruption never hide each other.
    void setSilent(bool on) { m_silent = on; }
    void setDropEvery(int n) { m_dropEvery = n; } // every n-th reply is dropped; 0 = never
    void dropNext(int count) { m_dropNext = count; }
    void setCorruptEvery(int n) { m_corruptEvery = n; }        // every n-th checksum is off by one
    void setForeignHeader(bool on) { m_foreignHeader = on; }   // "00", checksum still right
    void setWrongCode(bool on) { m_wrongCode = on; }           // the request code, bit 7 clear
    void wrongCodeNext(int count) { m_wrongCodeNext = count; } // the next replies that go out
    // After `items` parameter writes the unit takes no more: it answers every further one
    // with index FF, which moves the tool's walk to the end of the segment. -1 never.
    void cutWritesAfter(int items) { m_writesLeft = items; }

    int variant() const;
    void setVariant(int variant);

    quint32 parameter(Kind kind, int index) const;
    void setParameter(Kind kind, int index, quint32 value);
    bool isPresent(Kind kind, int index) const;
    void setPresent(Kind kind, int index, bool present);
    bool isFaulty(Kind kind, int index) const;
    void setFaulty(Kind kind, int index, bool faulty);
    bool isSigned(Kind kind, int index) const;
    void setSigned(Kind kind, int index, bool isSigned);

    // The parameter as the last "create backup" (function 3) copied it.
    quint32 backup(Kind kind, int index) const;

    QByteArray text(int number) const;
    void setText(int number, QByteArrayView text);

    // Position in 0.01 % of the stroke (0 closed, 10000 open).
    int position();
    void setPosition(int hundredths);
    Motor motor();
    void setMotor(Motor motor);
    // The position sweeps between 0 and 100 % on its own, and the raw torque follows the
    // travel: between the O side's minimum and 100 % calibration points (W 1, W 0) while
    // opening and the Z side's (W 3, W 2) while closing, highest at the closed end where the
    // valve seats. Without the sweep the torque stays at setTorque().
    void setSweep(bool on);

    quint8 activeErrors(int group) const;
    void setActiveErrors(int group, quint8 bits);
    quint8 errorCounter(int index) const;
    void setErrorCounter(int index, quint8 value);
    quint8 ioBits(int group) const;
    void setIoBits(int group, quint8 bits);
    int runningHours() const { return m_hours; }
    int runningMinutes() const { return m_minutes; }
    void setRunningTime(int hours, int minutes);
    int temperature() const { return m_temperature; }
    void setTemperature(int celsius) { m_temperature = celsius; }
    quint8 lastError(int slot) const;
    void setLastError(int slot, quint8 code);
    quint8 lastReset(int slot) const;
    void setLastReset(int slot, quint8 code);
    // Relay operations of the O (0) and Z (1) side, held as the unit's four counter bytes.
    quint32 relayCount(int side) const;
    void setRelayCount(int side, quint32 count);
    void setTorque(int raw) { m_torque = raw; }
    // The raw torque the unit reports now.
    int torque();
    void setControlSignal(int raw) { m_controlSignal = raw; }
    void setModeByte(quint8 bits) { m_mode = bits; }
    void setStatusByte(quint8 bits) { m_status = bits; }
    int autocalibrationCode();
    void setAutocalibrationCode(int code);
    // Torque calibration (request "75") and gearbox calibration (request "74"), with the
    // duration of one of their status codes.
    TorqueCalibrationRun& torqueCalibration() { return m_torqueCalibration; }
    GearboxCalibrationRun& gearboxCalibration() { return m_gearbox; }

signals:
    // Every request whose checksum matched, before faults decide about the reply.
    void requestAccepted(const QByteArray& frame);
    void reply(const QByteArray& frame);

private:
    struct Cell {
        quint32 value = 0;
        bool present = false;
        bool faulty = false;
        bool isSigned = false;
    };

    static int slot(Kind kind, int index);
    static int count(int kind);
    QByteArray dispatch(int code, QByteArrayView data);
    QByteArray monitorRecord(QByteArrayView cursors);
    QByteArray parameterSlot(int index, int kind) const;
    QByteArray textSlot(int character, int number) const;
    quint8 infoItem(int item) const;
    QByteArray sensorRecord(QByteArrayView data);
    QByteArray torqueRecord();
    QByteArray inputsRecord(QByteArrayView data) const;
    QByteArray writeItem(QByteArrayView data);
    QByteArray writeText(QByteArrayView data);
    QByteArray resetCounter(QByteArrayView data);
    QByteArray unitFunction(QByteArrayView data);
    qint64 now() const;
    void loadDefaults();
    void updatePresence();
    void settleMotion();
    int controlSignalPercent() const;
    int reportedTorque() const;
    quint32 absolutePosition() const;
    quint8 motionByte();
    QByteArray applyFaults(int code, QByteArrayView data);

    Clock m_clock;
    QElapsedTimer m_uptime;
    QByteArray m_input;

    std::array<Cell, UnitDefaults::ParameterCount> m_cells{};
    std::array<quint32, UnitDefaults::ParameterCount> m_backup{};
    std::array<QByteArray, UnitDefaults::TextCount> m_texts;

    int m_position = 0;
    Motor m_motor = MotorStop;
    bool m_sweep = false;
    qint64 m_motionSince = 0;
    int m_motionFrom = 0;

    std::array<quint8, ErrorGroupCount> m_errors{};
    std::array<quint8, IoGroupCount> m_io{};
    std::array<quint8, ErrorCounterCount> m_errorCounters{};
    std::array<quint8, LastCodeCount> m_lastErrors{};
    std::array<quint8, LastCodeCount> m_lastResets{};
    std::array<quint8, 8> m_relayBytes{};
    int m_hours = 0;
    int m_minutes = 0;
    int m_temperature = 0;
    int m_torque = 500;
    int m_controlSignal = 600;
    quint8 m_mode = 0;
    quint8 m_status = 0;
    int m_autocalCode = 0;
    qint64 m_autocalSince = -1;
    GearboxCalibrationRun m_gearbox;
    TorqueCalibrationRun m_torqueCalibration;
    std::array<quint8, 4> m_sensorOffsets{};
    quint8 m_sensorPolls = 0;
    quint16 m_cptValue = 0;

    bool m_silent = false;
    int m_dropEvery = 0;
    int m_dropNext = 0;
    int m_corruptEvery = 0;
    bool m_foreignHeader = false;
    bool m_wrongCode = false;
    int m_wrongCodeNext = 0;
    int m_writesLeft = -1;
    quint64 m_replyNumber = 0;
    quint64 m_sentNumber = 0;
};

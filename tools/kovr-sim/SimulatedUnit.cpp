#include "SimulatedUnit.h"

#include "wire/Frame.h"
#include "wire/WireFlags.h"

#include <algorithm>

namespace {

constexpr int FullStroke = 10000;
constexpr int KindCounts[] = {UnitDefaults::ByteCount, UnitDefaults::WordCount,
                              UnitDefaults::DoubleWordCount};
constexpr int KindOffsets[] = {0, UnitDefaults::ByteCount,
                               UnitDefaults::ByteCount + UnitDefaults::WordCount};
constexpr quint32 KindMasks[] = {0xFF, 0xFFFF, 0xFFFFFFFF};
constexpr int VariantIndex = 6;           // B 6
constexpr int AutocalibrationIndex = 7;   // B 7: 0 performed, 1 not performed
constexpr int ControlSignal20mAIndex = 4; // B 4
constexpr int ControlSignal0mAIndex = 64; // B 64
constexpr int EndPositionO = KindOffsets[SimulatedUnit::KindDW] + 0;
constexpr int EndPositionZ = KindOffsets[SimulatedUnit::KindDW] + 1;
constexpr int AutocalibrationDone = 6;
// W 0..3: raw torque at the O side's 100 % and minimum points, then the Z side's.
constexpr int TorqueO100 = KindOffsets[SimulatedUnit::KindW] + 0;
constexpr int TorqueOMin = KindOffsets[SimulatedUnit::KindW] + 1;
constexpr int TorqueZ100 = KindOffsets[SimulatedUnit::KindW] + 2;
constexpr int TorqueZMin = KindOffsets[SimulatedUnit::KindW] + 3;

// Item write flags: low nibble kind, then "keep the unit's value" and "last item".
constexpr int KeepValue = WireFlags::NotWritable;
using WireFlags::TypeFaulty;
using WireFlags::TypePresent;
using WireFlags::TypeSigned;

QByteArray h2(qint64 value) {
    return IntToHex(value & 0xFF, 2);
}
QByteArray h4(qint64 value) {
    return IntToHex(value & 0xFFFF, 4);
}
QByteArray h8(qint64 value) {
    return IntToHex(value & 0xFFFFFFFF, 8);
}

bool isHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

} // namespace

SimulatedUnit::SimulatedUnit(int variant, QObject* parent)
    : QObject(parent) {
    m_uptime.start();
    for (int i = 0; i < UnitDefaults::TextCount; ++i)
        m_texts[i] = UnitDefaults::texts[i].toByteArray();
    loadDefaults();
    setVariant(variant);
    // Until a torque calibration runs, its results are those the unit holds (W 1, W 0).
    m_torqueCalibration.setResults(quint16(m_cells[TorqueOMin].value),
                                   quint16(m_cells[TorqueO100].value));
    for (int i = 0; i < UnitDefaults::ParameterCount; ++i)
        m_backup[i] = m_cells[i].value;
    m_position = 3500;
    m_hours = 1234;
    m_minutes = 56;
    m_temperature = 23;
    m_lastErrors = {2, 21, 0};
    m_lastResets = {0x1E, 0x17, 0x1F};
    m_errorCounters[1] = 3;
    m_errorCounters[20] = 1;
    m_io = {0x05, 0x10, 0x00};
    setRelayCount(0, 15321);
    setRelayCount(1, 15307);
}

void SimulatedUnit::setClock(Clock msClock) {
    m_clock = std::move(msClock);
}

qint64 SimulatedUnit::now() const {
    return m_clock ? m_clock() : m_uptime.elapsed();
}

// ---- framing -------------------------------------------------------------------------

void SimulatedUnit::feed(QByteArrayView bytes) {
    m_input.append(bytes);
    for (;;) {
        const qsizetype esc = m_input.indexOf(Frame::Esc);
        if (esc < 0) {
            m_input.clear();
            return;
        }
        m_input.remove(0, esc);
        if (m_input.size() < Frame::MinimumReplyLength) return;
        // A length field that is not hexadecimal cannot start a frame: look for the next ESC.
        if (!isHexDigit(m_input[5]) || !isHexDigit(m_input[6])) {
            m_input.remove(0, 1);
            continue;
        }
        const int length = HexToInt(QByteArrayView(m_input).sliced(5, 2));
        if (m_input.size() < length + Frame::Overhead) return;
        const QByteArray frame = m_input.left(length + Frame::Overhead);
        if (!checksumMatches(frame)) {
            // Garbled: resynchronise on the next ESC rather than losing a frame inside it.
            m_input.remove(0, 1);
            continue;
        }
        m_input.remove(0, frame.size());
        const QByteArray frameReply = answer(frame);
        if (!frameReply.isEmpty()) emit reply(frameReply);
    }
}

QByteArray SimulatedUnit::answer(QByteArrayView request) {
    if (request.size() < Frame::Overhead || request[0] != Frame::Esc) return {};
    const int length = HexToInt(request.sliced(5, 2));
    if (request.size() != length + Frame::Overhead || !checksumMatches(request)) return {};
    emit requestAccepted(request.toByteArray());

    const QByteArrayView header = request.sliced(1, 2);
    const int code = HexToInt(request.sliced(3, 2));
    const QByteArrayView data = request.sliced(7, length);
    if (header == "00") {
        // The probe only asks whether anybody is there.
        if (code != 0x42) return {};
        return applyFaults(code | 0x80, {});
    }
    if (header != Frame::Header) return {};
    settleMotion();
    return applyFaults(code | 0x80, dispatch(code, data));
}

QByteArray SimulatedUnit::applyFaults(int code, QByteArrayView data) {
    ++m_replyNumber;
    if (m_silent) return {};
    if (m_dropNext > 0) {
        --m_dropNext;
        return {};
    }
    if (m_dropEvery > 0 && m_replyNumber % m_dropEvery == 0) return {};
    ++m_sentNumber;

    bool wrongCode = m_wrongCode;
    if (m_wrongCodeNext > 0) {
        --m_wrongCodeNext;
        wrongCode = true;
    }
    QByteArray frame(1, Frame::Esc);
    frame.append(m_foreignHeader ? QByteArrayView("00") : Frame::Header);
    frame.append(h2(wrongCode ? code & 0x7F : code));
    frame.append(h2(data.size()));
    frame.append(data);
    int sum = HexToInt(CRC(frame));
    if (m_corruptEvery > 0 && m_sentNumber % m_corruptEvery == 0) sum = (sum + 1) & 0xFF;
    frame.append(h2(sum));
    return frame;
}

QByteArray SimulatedUnit::dispatch(int code, QByteArrayView data) {
    switch (code) {
    case 0x00: return monitorRecord(data);
    case 0x01: return torqueRecord();
    case 0x32: return writeItem(data);
    case 0x33: return resetCounter(data);
    case 0x34: return writeText(data);
    case 0x3F: return unitFunction(data);
    case 0x50:
        m_autocalSince = now();
        m_autocalCode = 1;
        return {};
    case 0x51: setMotor(static_cast<Motor>(std::clamp(requestField(data, 0, 2), 0, 2))); return {};
    case 0x70: return inputsRecord(data);
    case 0x71: m_cptValue = static_cast<quint16>(requestField(data, 0, 4)); return {};
    case 0x73: return sensorRecord(data);
    case 0x74: m_gearbox.command(requestField(data, 0, 2) == 1, m_sensorOffsets, now()); return {};
    case 0x75: m_torqueCalibration.command(data, now()); return {};
    case 0x76:
        // The 0 mA point (B 64) becomes the present raw reading, as far as a byte holds it.
        m_cells[slot(KindB, ControlSignal0mAIndex)].value = quint32(m_controlSignal) & 0xFF;
        return {};
    default:
        // Opening and closing a sequence ("40", "41") and anything unknown are acknowledged
        // without data.
        return {};
    }
}

// ---- records -------------------------------------------------------------------------

QByteArray SimulatedUnit::monitorRecord(QByteArrayView cursors) {
    int c[8];
    for (int i = 0; i < 8; ++i)
        c[i] = requestField(cursors, 2 * i, 2);
    const int errorGroup = c[2], ioGroup = c[3], info = c[4], counter = c[5];

    QByteArray r;
    r.reserve(66);
    r += h4(m_position);
    r += h4(controlSignalPercent());
    r += h8(absolutePosition());
    r += h4(m_controlSignal);
    r += h4(reportedTorque());
    r += h2(m_mode);
    r += h2(motionByte());
    r += h2(m_status);
    r += parameterSlot(c[0], c[1]);
    r += h2(errorGroup) + h2(errorGroup < ErrorGroupCount ? m_errors[errorGroup] : 0);
    r += h2(ioGroup) + h2(ioGroup < IoGroupCount ? m_io[ioGroup] : 0);
    r += h2(autocalibrationCode());
    r += h2(counter) + h2(counter < ErrorCounterCount ? m_errorCounters[counter] : 0);
    r += h2(info) + h2(infoItem(info));
    r += textSlot(c[6], c[7]);
    return r;
}

QByteArray SimulatedUnit::parameterSlot(int index, int kind) const {
    // Kinds beyond DW wrap to the byte parameters; an index past the kind's end answers
    // index 0, which tells the tool where the kind ends.
    if (kind > KindDW) {
        kind = KindB;
        index = 0;
    }
    if (index >= count(kind)) index = 0;
    const Cell& cell = m_cells[slot(static_cast<Kind>(kind), index)];
    int type = kind;
    if (cell.faulty) type |= TypeFaulty;
    if (cell.present) type |= TypePresent;
    if (kind == KindB && cell.isSigned) type |= TypeSigned;
    return h2(index) + h2(type) + h8(cell.value);
}

QByteArray SimulatedUnit::textSlot(int character, int number) const {
    if (number >= UnitDefaults::TextCount) {
        number = 0;
        character = 0;
    }
    const QByteArray& text = m_texts[number];
    if (character >= text.size()) character = 0;
    const int byte = text.isEmpty() ? 0 : static_cast<quint8>(text[character]);
    return h2(character) + h2(number) + h2(byte);
}

quint8 SimulatedUnit::infoItem(int item) const {
    switch (item) {
    case 0: return quint8(m_hours >> 8);
    case 1: return quint8(m_hours);
    case 2: return quint8(m_minutes);
    case 3: return quint8(m_temperature);
    case 4:
    case 5:
    case 6: return m_lastErrors[item - 4];
    case 7:
    case 8:
    case 9: return m_lastResets[item - 7];
    default:
        if (item >= 10 && item < 18) return m_relayBytes[item - 10];
        return 0;
    }
}

QByteArray SimulatedUnit::sensorRecord(QByteArrayView data) {
    // The offsets and the speed in the request are the ones the unit works with while the
    // dialog is open, unless its gearbox calibration holds offsets of its own.
    for (int i = 0; i < 4; ++i)
        m_sensorOffsets[i] = quint8(requestField(data, 2 * i, 2));
    const int speed = requestField(data, 8, 2);
    const qint64 t = now();
    const int code = m_gearbox.code(t);
    const std::array<quint8, 4>& offsets =
        m_gearbox.holdsOffsets(t) ? m_gearbox.offsets() : m_sensorOffsets;
    const quint32 absolute = absolutePosition();
    QByteArray r;
    r.reserve(60);
    for (quint8 offset : offsets)
        r += h2(offset);
    r += h4(m_position);
    r += h8(absolute);
    // Each sensor turns a stage slower than the one before; the offset shifts its reading.
    // Flags: offset compensation finished (OCF); the magnet of sensor 4 reads weak while the
    // calibration turns it.
    for (int i = 0; i < 4; ++i) {
        const bool turning = i == 3 && code >= 2 && code <= 4;
        r += h2((absolute >> (4 * i)) + offsets[i]) + h2(0x20 | (turning ? 0x04 : 0));
    }
    for (int i = 0; i < 4; ++i)
        r += h2(((absolute >> (4 * i + 4)) & 0x0F) << 4 | ((absolute >> (4 * i)) & 0x0F));
    for (int i = 0; i < 4; ++i)
        r += h2(absolute >> (2 * i + 6));
    const bool moving = m_motor != MotorStop || (code >= 1 && code <= 99);
    r += h2(code) + h2(0);
    r += h2(moving ? speed : 0) + h2(++m_sensorPolls);
    return r;
}

QByteArray SimulatedUnit::torqueRecord() {
    // Raw torque (the calibration's while one runs), the last results at the minimum and at
    // the 100 % point, the bench signal the unit measures, the calibration status.
    const qint64 t = now();
    const int code = m_torqueCalibration.code(t);
    const int calibrating = m_torqueCalibration.rawTorque(t);
    const int raw = calibrating >= 0 ? calibrating : reportedTorque() + int(t / 100 % 3);
    return h4(raw) + h4(m_torqueCalibration.resultMinimum()) +
           h4(m_torqueCalibration.resultFull()) + h4(m_torqueCalibration.benchSignal(t)) +
           QByteArray(10, '0') + h2(code);
}

QByteArray SimulatedUnit::inputsRecord(QByteArrayView data) const {
    // Echo of the relay and CPT words, the raw control signal and torque, temperature and the
    // two input groups. The thermal switch input "TP" (bit 3 of the second group) toggles
    // every second, so a technician sees the inputs live.
    QByteArray r = h4(requestField(data, 0, 4)) + h4(requestField(data, 4, 4));
    r += h4(m_controlSignal) + h4(reportedTorque());
    r += QByteArray(16, '0');
    const quint8 blink = (now() / 1000) % 2 ? 0x08 : 0x00;
    r += h2(quint8(m_temperature)) + h2(m_io[0]) + h2(m_io[1] ^ blink);
    return r;
}

// ---- writes --------------------------------------------------------------------------

QByteArray SimulatedUnit::writeItem(QByteArrayView data) {
    if (m_writesLeft == 0) return h2(0xFF);
    if (m_writesLeft > 0) --m_writesLeft;
    const int index = requestField(data, 0, 2);
    const int flags = requestField(data, 2, 2);
    const int kind = flags & 0x0F;
    if (data.size() >= 12 && !(flags & KeepValue) && kind <= KindDW && index < count(kind)) {
        m_cells[slot(static_cast<Kind>(kind), index)].value =
            static_cast<quint32>(requestField(data, 4, 8)) & KindMasks[kind];
        if (kind == KindB && index == VariantIndex) updatePresence();
    }
    return h2(index);
}

QByteArray SimulatedUnit::writeText(QByteArrayView data) {
    // "340C" + item + ten characters, or "3408" + "01" + ddmmyy for the date stamp.
    const int byte = requestField(data, 0, 2);
    const int item = byte & ~KeepValue;
    if (!(byte & KeepValue) && item < UnitDefaults::TextCount)
        setText(item, data.size() > 2 ? data.sliced(2) : QByteArrayView());
    return h2(item);
}

QByteArray SimulatedUnit::resetCounter(QByteArrayView data) {
    const int what = requestField(data, 0, 2);
    switch (what) {
    case 0: setRunningTime(0, 0); break;
    case 1: m_errorCounters.fill(0); break;
    case 2: m_relayBytes.fill(0); break;
    case 3: m_lastErrors.fill(0); break;
    case 4: m_lastResets.fill(0); break;
    default: break;
    }
    return h2(what);
}

QByteArray SimulatedUnit::unitFunction(QByteArrayView data) {
    const int what = requestField(data, 0, 2);
    switch (what) {
    case 0: loadDefaults(); break;
    case 1:
        for (int i = 0; i < UnitDefaults::ParameterCount; ++i)
            m_cells[i].value = m_backup[i];
        updatePresence();
        break;
    case 2:
        // Initialisation clears the unit's fault memory.
        for (Cell& cell : m_cells)
            cell.faulty = false;
        m_errors.fill(0);
        break;
    case 3:
        for (int i = 0; i < UnitDefaults::ParameterCount; ++i)
            m_backup[i] = m_cells[i].value;
        break;
    default: break;
    }
    return h2(what);
}

void SimulatedUnit::loadDefaults() {
    // The variant belongs to the hardware: factory defaults keep it.
    const quint32 variantValue = m_cells[VariantIndex].value;
    for (int i = 0; i < UnitDefaults::ParameterCount; ++i) {
        m_cells[i].value = UnitDefaults::parameters[i].value;
        m_cells[i].isSigned = UnitDefaults::parameters[i].isSigned;
        m_cells[i].faulty = false;
    }
    m_cells[VariantIndex].value = variantValue;
    updatePresence();
}

void SimulatedUnit::updatePresence() {
    const int v = variant();
    for (int i = 0; i < UnitDefaults::ParameterCount; ++i)
        m_cells[i].present = UnitDefaults::fits(UnitDefaults::parameters[i].fit, v);
}

// ---- state ---------------------------------------------------------------------------

int SimulatedUnit::count(int kind) {
    return KindCounts[kind];
}

int SimulatedUnit::slot(Kind kind, int index) {
    Q_ASSERT(index >= 0 && index < KindCounts[kind]);
    return KindOffsets[kind] + index;
}

int SimulatedUnit::variant() const {
    return int(m_cells[VariantIndex].value);
}

void SimulatedUnit::setVariant(int variant) {
    m_cells[VariantIndex].value = quint32(variant) & 0xFF;
    updatePresence();
}

quint32 SimulatedUnit::backup(Kind kind, int index) const {
    return m_backup[slot(kind, index)];
}

quint32 SimulatedUnit::parameter(Kind kind, int index) const {
    return m_cells[slot(kind, index)].value;
}

void SimulatedUnit::setParameter(Kind kind, int index, quint32 value) {
    m_cells[slot(kind, index)].value = value & KindMasks[kind];
    if (kind == KindB && index == VariantIndex) updatePresence();
}

bool SimulatedUnit::isPresent(Kind kind, int index) const {
    return m_cells[slot(kind, index)].present;
}

void SimulatedUnit::setPresent(Kind kind, int index, bool present) {
    m_cells[slot(kind, index)].present = present;
}

bool SimulatedUnit::isFaulty(Kind kind, int index) const {
    return m_cells[slot(kind, index)].faulty;
}

void SimulatedUnit::setFaulty(Kind kind, int index, bool faulty) {
    m_cells[slot(kind, index)].faulty = faulty;
}

bool SimulatedUnit::isSigned(Kind kind, int index) const {
    return m_cells[slot(kind, index)].isSigned;
}

void SimulatedUnit::setSigned(Kind kind, int index, bool isSigned) {
    m_cells[slot(kind, index)].isSigned = isSigned;
}

QByteArray SimulatedUnit::text(int number) const {
    return m_texts.at(number);
}

void SimulatedUnit::setText(int number, QByteArrayView text) {
    QByteArray stored =
        text.first(std::min<qsizetype>(text.size(), UnitDefaults::TextCapacity)).toByteArray();
    while (stored.endsWith(' '))
        stored.chop(1);
    m_texts.at(number) = stored;
}

int SimulatedUnit::position() {
    settleMotion();
    return m_position;
}

void SimulatedUnit::setPosition(int hundredths) {
    settleMotion();
    m_position = std::clamp(hundredths, 0, FullStroke);
    m_motionFrom = m_position;
    m_motionSince = now();
}

SimulatedUnit::Motor SimulatedUnit::motor() {
    settleMotion();
    return m_motor;
}

void SimulatedUnit::setMotor(Motor motor) {
    settleMotion();
    m_motor = motor;
    m_motionFrom = m_position;
    m_motionSince = now();
}

void SimulatedUnit::setSweep(bool on) {
    m_sweep = on;
    if (on && motor() == MotorStop) setMotor(m_position >= FullStroke ? MotorClose : MotorOpen);
}

void SimulatedUnit::settleMotion() {
    if (m_motor == MotorStop) return;
    const qint64 t = now();
    const qint64 travel = (t - m_motionSince) * MotorSpeed / 1000;
    if (travel <= 0) return;
    const qint64 from = m_motionFrom;
    if (m_sweep) {
        // Unfold the back-and-forth path into one line of length two strokes.
        qint64 s = (m_motor == MotorOpen ? from : 2 * FullStroke - from) + travel;
        s %= 2 * FullStroke;
        if (s <= FullStroke) {
            m_position = int(s);
            m_motor = s == FullStroke ? MotorClose : MotorOpen;
        } else {
            m_position = int(2 * FullStroke - s);
            m_motor = MotorClose;
        }
    } else {
        const qint64 to = m_motor == MotorOpen ? from + travel : from - travel;
        m_position = int(std::clamp<qint64>(to, 0, FullStroke));
        if (m_position == 0 || m_position == FullStroke) m_motor = MotorStop;
    }
    m_motionFrom = m_position;
    m_motionSince += travel * 1000 / MotorSpeed;
}

int SimulatedUnit::torque() {
    settleMotion();
    return reportedTorque();
}

int SimulatedUnit::reportedTorque() const {
    if (!m_sweep || m_motor == MotorStop) return m_torque;
    // The load grows towards the closed end, where the valve seats: the minimum calibration
    // point of the side in motion at the open end, its 100 % point at the closed end. So the
    // tool reads 50 % at the open end and 100 % at the closed end, never the dead zone.
    const qint64 load = FullStroke - m_position;
    const auto between = [&](int minimum, int full) {
        const qint64 from = m_cells[minimum].value;
        const qint64 to = m_cells[full].value;
        return int(from + (to - from) * load / FullStroke);
    };
    return m_motor == MotorOpen ? between(TorqueOMin, TorqueO100) : between(TorqueZMin, TorqueZ100);
}

quint8 SimulatedUnit::motionByte() {
    // Sensor, requested and motor direction all follow the motor.
    const int d = m_motor;
    return quint8(d | d << 2 | d << 4);
}

int SimulatedUnit::controlSignalPercent() const {
    // 4..20 mA over the range, raw full scale from B 4.
    const int raw20 = int(m_cells[ControlSignal20mAIndex].value) + 768;
    const int raw4 = raw20 / 5;
    if (raw20 <= raw4) return 0;
    return std::clamp((m_controlSignal - raw4) * FullStroke / (raw20 - raw4), 0, FullStroke);
}

quint32 SimulatedUnit::absolutePosition() const {
    const qint64 o = m_cells[EndPositionO].value;
    const qint64 z = m_cells[EndPositionZ].value;
    return quint32(z + (o - z) * m_position / FullStroke);
}

quint8 SimulatedUnit::activeErrors(int group) const {
    return m_errors.at(group);
}
void SimulatedUnit::setActiveErrors(int group, quint8 bits) {
    m_errors.at(group) = bits;
}
quint8 SimulatedUnit::errorCounter(int index) const {
    return m_errorCounters.at(index);
}
void SimulatedUnit::setErrorCounter(int index, quint8 value) {
    m_errorCounters.at(index) = value;
}
quint8 SimulatedUnit::ioBits(int group) const {
    return m_io.at(group);
}
void SimulatedUnit::setIoBits(int group, quint8 bits) {
    m_io.at(group) = bits;
}

void SimulatedUnit::setRunningTime(int hours, int minutes) {
    m_hours = hours & 0xFFFF;
    m_minutes = minutes & 0xFF;
}

quint8 SimulatedUnit::lastError(int slot) const {
    return m_lastErrors.at(slot);
}
void SimulatedUnit::setLastError(int slot, quint8 code) {
    m_lastErrors.at(slot) = code;
}
quint8 SimulatedUnit::lastReset(int slot) const {
    return m_lastResets.at(slot);
}
void SimulatedUnit::setLastReset(int slot, quint8 code) {
    m_lastResets.at(slot) = code;
}

quint32 SimulatedUnit::relayCount(int side) const {
    const quint8* b = m_relayBytes.data() + 4 * side;
    return (b[0] * 256u + b[1]) * 1000u + b[2] * 10u + b[3];
}

void SimulatedUnit::setRelayCount(int side, quint32 count) {
    // Thousands as a 16-bit number, then tens and units in two bytes.
    quint8* b = m_relayBytes.data() + 4 * side;
    const quint32 thousands = std::min<quint32>(count / 1000, 0xFFFF);
    b[0] = quint8(thousands >> 8);
    b[1] = quint8(thousands);
    b[2] = quint8(count % 1000 / 10);
    b[3] = quint8(count % 10);
}

int SimulatedUnit::autocalibrationCode() {
    if (m_autocalSince >= 0) {
        const qint64 stage = 1 + (now() - m_autocalSince) / AutocalibrationStageMs;
        m_autocalCode = int(std::min<qint64>(stage, AutocalibrationDone));
        if (m_autocalCode == AutocalibrationDone) {
            m_autocalSince = -1;
            m_cells[AutocalibrationIndex].value = 0;
        }
    }
    return m_autocalCode;
}

void SimulatedUnit::setAutocalibrationCode(int code) {
    m_autocalSince = -1;
    m_autocalCode = code & 0xFF;
}

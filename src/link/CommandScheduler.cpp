#include "link/CommandScheduler.h"

#include "device/CptValues.h"
#include "device/OutputsTest.h"
#include "image/DeviceImage.h"
#include "lang/Lang.h"
#include "link/LinkClock.h"
#include "link/LinkNotices.h"
#include "link/PollInputs.h"
#include "link/Port.h"
#include "link/ProgressSink.h"
#include "link/Prompter.h"
#include "link/ReplyConsumers.h"
#include "link/TransferSteps.h"
#include "wire/Frame.h"
#include "wire/RequestCode.h"

#include <algorithm>

namespace {

constexpr int MonitorRecordLength = 66;

// A field written wider than its digits would make the frame disagree with its length.
QByteArray hexField(qint64 value, int digits) {
    const qint64 max = (qint64(1) << (4 * digits)) - 1;
    return IntToHex(std::clamp<qint64>(value, 0, max), digits);
}

void stepCursor(qint32& cursor, int maximum) {
    cursor = cursor >= maximum ? 0 : cursor + 1;
}

constexpr int maxErrorCounter = 31;
constexpr int maxErrorGroup = 3;
constexpr int maxInfoItem = 17;
constexpr int maxIoGroup = 2;

} // namespace

// One row of the state table: the request (a command with fixed data, or built by `build`),
// the reply code that is accepted (null: any reply, or the transfer decides), the next state,
// the shortest data field the accepted reply may have, and what the reply does.
struct CommandScheduler::StateRow {
    int state;
    int command;
    const char* data;
    QByteArray (CommandScheduler::*build)(const StateRow&);
    const char* accepted;
    int next;
    int minimumData;
    bool (CommandScheduler::*consume)(const StateRow&, QByteArrayView, const QByteArray&);
};

const CommandScheduler::StateRow* CommandScheduler::findRow(int state) {
    using C = CommandScheduler;
    namespace R = RequestCode;
    static constexpr StateRow table[] = {
        {MonitorPoll, R::Monitor, nullptr, &C::monitorRequest, "80", MonitorPoll,
         MonitorRecordLength, &C::monitorReply},
        {AutocalibrationOpen, R::OpenSequence, "", &C::fixedRequest, "C0", AutocalibrationStart, 0,
         &C::moveOn},
        {AutocalibrationStart, R::Autocalibration, "", &C::fixedRequest, "D0", MonitorPoll, 0,
         &C::moveOn},
        {MotorOpen, R::OpenSequence, "", &C::fixedRequest, "C0", MotorStop, 0, &C::moveOn},
        {MotorStop, R::Motor, "00", &C::fixedRequest, "D1", MonitorPoll, 0, &C::moveOn},
        {MotorOpening, R::Motor, "01", &C::fixedRequest, "D1", MonitorPoll, 0, &C::moveOn},
        {MotorClosing, R::Motor, "02", &C::fixedRequest, "D1", MonitorPoll, 0, &C::moveOn},
        {SensorOpen, R::OpenSequence, "", &C::fixedRequest, "C0", SensorMotorStop, 0, &C::moveOn},
        {SensorMotorStop, R::Motor, "00", &C::fixedRequest, "D1", SensorPoll, 0, &C::moveOn},
        {SensorMotorOpening, R::Motor, "01", &C::fixedRequest, "D1", SensorPoll, 0, &C::moveOn},
        {SensorMotorClosing, R::Motor, "02", &C::fixedRequest, "D1", SensorPoll, 0, &C::moveOn},
        {SensorPoll, R::SensorTest, nullptr, &C::sensorRequest, "F3", SensorPoll, 0,
         &C::sensorReply},
        {SensorCalibrationStart, R::SensorCalibration, "01", &C::fixedRequest, "F4", SensorPoll, 0,
         &C::moveOn},
        {SensorCalibrationStop, R::SensorCalibration, "00", &C::fixedRequest, "F4", SensorPoll, 0,
         &C::moveOn},
        {TorqueOpen, R::OpenSequence, "", &C::fixedRequest, "C0", TorquePoll, 0, &C::moveOn},
        {TorquePoll, R::TorqueRecord, "", &C::fixedRequest, "81", TorquePoll, 0, &C::torqueReply},
        {TorquePoint, R::TorqueCalibration, nullptr, &C::torqueRequest, "F5", TorquePoll, 0,
         &C::moveOn},
        {OutputsOpen, R::OpenSequence, "", &C::fixedRequest, "C0", OutputsPoll, 0, &C::moveOn},
        {OutputsPoll, R::OutputsTest, nullptr, &C::outputsRequest, "F0", OutputsPoll, 0,
         &C::outputsReply},
        {CptOpen, R::OpenSequence, "", &C::fixedRequest, "C0", CptPoll, 0, &C::cptPollOpened},
        // Any reply repeats the CPT request.
        {CptPoll, R::CptTest, nullptr, &C::cptRequest, nullptr, CptPoll, 0, &C::stay},
        {DateStamp, R::WriteText, nullptr, &C::dateStampRequest, "B4", TransferClose, 0,
         &C::moveOn},
        {TransferClose, R::CloseSequence, "", &C::fixedRequest, "C1", MonitorPoll, 0,
         &C::transferClosed},
        {DialogClose, R::CloseSequence, "", &C::fixedRequest, "C1", MonitorPoll, 0, &C::moveOn},
        {TransferOpen, R::OpenSequence, "", &C::transferOpenRequest, "C0", TransferItem, 0,
         &C::moveOn},
        // The transfer judges the reply to each item by the item's kind.
        {TransferItem, -1, nullptr, &C::transferItemRequest, nullptr, TransferItem, 0,
         &C::transferReply},
        {ZeroMilliampOpen, R::OpenSequence, "", &C::fixedRequest, "C0", ZeroMilliamp, 0,
         &C::moveOn},
        {ZeroMilliamp, R::ZeroMilliamp, "", &C::fixedRequest, "F6", ZeroMilliampClose, 0,
         &C::moveOn},
        {ZeroMilliampClose, R::CloseSequence, "", &C::fixedRequest, "C1", MonitorPoll, 0,
         &C::moveOn},
    };
    for (const StateRow& row : table)
        if (row.state == state) return &row;
    return nullptr;
}

CommandScheduler::CommandScheduler(const Links& links, QObject* parent)
    : QObject(parent)
    , m_links(links) {
    connect(&m_links.clock, &LinkClock::timeout, this, &CommandScheduler::Timer1Timer);
    connect(&m_links.port, &Port::rxChar, this, &CommandScheduler::VaComm1RxChar);
    connect(&m_links.port, &Port::lineError, this, &CommandScheduler::VaComm1Error);
    // The link goes on sending into the silence, so the retry ladder still asks its question;
    // the question then says what happened.
    connect(&m_links.port, &Port::deviceLost, this,
            [this] { m_lostDevice = m_links.port.deviceName(m_links.port.portNum()); });
    m_links.clock.setInterval(m_timing.startInterval);
    m_links.clock.setEnabled(true);
}

void CommandScheduler::setTiming(const LinkTiming& timing) {
    m_timing = timing;
    if (!KomBezi) m_links.clock.setInterval(m_timing.startInterval);
}

bool CommandScheduler::isKnownState(int state) {
    return findRow(state) != nullptr;
}

bool CommandScheduler::acceptsKomPovel(int state) {
    // A polling state answers its own request for ever: the next state is itself.
    const StateRow* row = findRow(state);
    return row && row->accepted && row->next == state;
}

void CommandScheduler::KomPovel(int povel) {
    // A state without a request would send a frame built from nothing.
    if (!acceptsKomPovel(KomStav) || !isKnownState(povel)) return;
    KomStav = povel;
    if (povel == TransferOpen) m_segmentLoaded = false;
}

void CommandScheduler::abandonTransfer() {
    if (m_transfer && (KomStav == TransferOpen || KomStav == TransferItem)) m_transfer->abandon();
}

void CommandScheduler::KomunikaceStart() {
    Port& port = m_links.port;
    if (port.isOpen()) port.close();
    bool numeric = false;
    const int number = m_portSetting.trimmed().toInt(&numeric);
    port.setPortNum(numeric ? number : 1);
    emit statusText(1, QStringLiteral("COM") + m_portSetting);
    port.close();
    QString error;
    if (!port.open(&error)) {
        // Nothing can progress on a port that is not open: the always-on-top progress window
        // of a refresh or transfer cut short would otherwise stay until the next restart.
        if (m_links.progress.isActive()) m_links.progress.resetAndClose();
        m_links.prompter.message(portUnavailableText(port.openProblem()), Prompter::Icon::Error);
        return;
    }
    m_lostDevice.clear();
    abandonTransfer();
    KomStav = MonitorPoll;
    m_unansweredRun = 0;
    m_awaitingReply = false;
    m_links.image.InicParam();
    KomBezi = true;
    RefresParAll();
    m_links.clock.setEnabled(true);
    emit statusText(0, LangText(QStringLiteral("RUN")));
}

void CommandScheduler::KomunikaceStop() {
    KomBezi = false;
    emit statusText(0, LangText(QStringLiteral("STOP")));
    if (m_links.progress.isEnabled()) m_links.progress.resetAndClose();
}

void CommandScheduler::RefresPar(const RefreshStart& start) {
    DeviceImage& image = m_links.image;
    image.MonParIndex = start.parameterIndex;
    image.MonParTyp = start.parameterKind;
    image.MonTextZnak = start.textCharacter;
    image.MonTextCislo = start.textField;
    image.MonChybaIndex = start.errorIndex;
    image.MonInfoIndex = start.infoIndex;
    ObnovaBezi = true;
    if (KomBezi) {
        m_links.progress.prepare(start.records);
        m_links.progress.show();
    }
}

void CommandScheduler::RefresParSelect() {
    const QList<TUsek> segments = m_transfer ? m_transfer->lastRequest() : QList<TUsek>{};
    if (segments.size() != 1) {
        RefresParAll();
        return;
    }
    const TUsek& usek = segments.front();
    const int count = usek.Stop - usek.Start + 1;
    switch (usek.Typ & 0x0F) {
    case 0:
    case 1:
    case 2:
        RefresPar({.parameterIndex = usek.Start, .parameterKind = usek.Typ, .records = count});
        break;
    case 13:
        // A new backup changes nothing the tool shows.
        if (usek.Start != 3) RefresParAll();
        break;
    case 14: RefresPar({.infoIndex = usek.Start, .records = count}); break;
    // A text of ten characters takes ten monitor records.
    case 15: RefresPar({.textField = usek.Start, .records = count * 10}); break;
    default: break;
    }
}

QByteArray CommandScheduler::fixedRequest(const StateRow& row) {
    return commandPayload(row.command, row.data);
}

QByteArray CommandScheduler::monitorRequest(const StateRow& row) {
    const DeviceImage& im = m_links.image;
    QByteArray cursors;
    for (qint32 cursor : {im.MonParIndex, im.MonParTyp, im.MonChybySkup, im.MonIoSkup,
                          im.MonInfoIndex, im.MonChybaIndex, im.MonTextZnak, im.MonTextCislo})
        cursors += hexField(cursor, 2);
    return commandPayload(row.command, cursors);
}

QByteArray CommandScheduler::sensorRequest(const StateRow& row) {
    // The sensor's first four parameters as the dialog is setting them, and the motor speed.
    const DeviceImage& im = m_links.image;
    QByteArray data;
    for (int index = 0; index < 4; ++index)
        data += hexField(im.ParB[2][index], 2);
    return commandPayload(row.command, data + hexField(m_links.inputs.sensorSpeed, 2));
}

QByteArray CommandScheduler::torqueRequest(const StateRow& row) {
    const PollInputs& in = m_links.inputs;
    const int point = std::clamp(in.torquePoint, 0, int(in.momentStolice.size()) - 1);
    return commandPayload(
        row.command, hexField(in.torquePoint, 2) + hexField(in.torqueBenchSense, 2) +
                         hexField(in.momentStolice[point][0], 4) +
                         hexField(in.momentStolice[point][1], 4) + hexField(in.torqueMethod, 2));
}

QByteArray CommandScheduler::outputsRequest(const StateRow& row) {
    const PollInputs& in = m_links.inputs;
    return commandPayload(row.command, OutputsTest::pollData(in.relayItem, in.cptItem, in.ledItem));
}

QByteArray CommandScheduler::cptRequest(const StateRow& row) {
    const PollInputs& in = m_links.inputs;
    return commandPayload(row.command, CptValues::pollData(in.cptPage, in.cptEdit1, in.cptEdit2));
}

QByteArray CommandScheduler::dateStampRequest(const StateRow& row) {
    constexpr char DateItem[] = "01"; // production-data item 1 holds the date of the last write
    return commandPayload(row.command,
                          DateItem + m_today().toString(QStringLiteral("ddMMyy")).toLatin1());
}

QByteArray CommandScheduler::transferOpenRequest(const StateRow& row) {
    // Once per entry: the opening request sent again (no reply, a probe's answer, a wrong code)
    // must not load the next segment over the one loaded, which would be lost.
    if (m_transfer && !m_segmentLoaded) m_transfer->begin();
    m_segmentLoaded = true;
    UkazPrubeh = true;
    return fixedRequest(row);
}

QByteArray CommandScheduler::transferItemRequest(const StateRow&) {
    return m_transfer ? m_transfer->itemPayload() : QByteArray();
}

QByteArray CommandScheduler::requestPayload(int state) {
    const StateRow* row = findRow(state);
    return row ? (this->*row->build)(*row) : QByteArray();
}

void CommandScheduler::Timer1Timer() {
    if (!KomBezi) return;
    if (m_awaitingReply) {
        // A tick that finds the request unanswered is its reply timeout.
        m_awaitingReply = false;
        if (m_trace)
            m_trace->record(TraceEntry::Direction::In, KomStavVyslany,
                            m_replyTraced ? QByteArrayView() : QByteArrayView(m_assembler.buffer()),
                            TraceEntry::Outcome::Timeout);
    }
    if (!isKnownState(KomStav)) KomStav = MonitorPoll;
    if (KomStav != KomStavVyslany) m_unansweredRun = 0; // another request
    KomStavVyslany = KomStav;
    OutBuff = requestPayload(KomStavVyslany);
    if (OutBuff.isEmpty()) {
        // An item without a transfer queue: nothing to write, close the sequence.
        KomStav = KomStavVyslany = TransferClose;
        OutBuff = requestPayload(KomStav);
    }
    ProgressSink& progress = m_links.progress;
    if (UkazPrubeh) {
        UkazPrubeh = false;
        progress.prepare(m_transfer ? m_transfer->total() : 0);
        progress.show();
    }
    if (progress.isActive() && m_transfer) {
        const int command = HexToInt(midView(OutBuff, 0, 2));
        if (command == RequestCode::WriteParameter)
            progress.setPosition(m_transfer->progress());
        else if (command == RequestCode::WriteText)
            progress.setPosition(m_transfer->itemIndex());
    }
    VysliOutBuff();
}

void CommandScheduler::VysliOutBuff() {
    Port& port = m_links.port;
    LinkClock& clock = m_links.clock;
    if (!port.isOpen()) return;
    OutBuff = frameRequest(OutBuff);
    m_assembler.reset();
    port.purgeReadWrite();
    ++PocetPokusu;
    clock.setEnabled(false);

    const int lastRepeat = m_timing.repeats;
    const int lastProbe = lastRepeat + m_timing.probes;
    if (PocetPokusu <= lastRepeat) {
        const bool unitFunction = HexToInt(midView(OutBuff, 3, 2)) == RequestCode::UnitFunction;
        clock.setInterval(unitFunction ? m_timing.longReplyTimeout : m_timing.replyTimeout);
        clock.setEnabled(true);
        port.writeText(OutBuff);
        emit frameWritten(OutBuff);
        traceSent();
    } else if (PocetPokusu <= lastProbe) {
        OutBuff = probeFrame();
        clock.setInterval(m_timing.replyTimeout);
        clock.setEnabled(true);
        port.writeText(OutBuff);
        emit frameWritten(OutBuff);
        traceSent();
    } else if (PocetPokusu == lastProbe + 1) {
        const Port& port = m_links.port;
        const QString tried = QStringLiteral("COM") + m_portSetting.trimmed();
        if (m_links.prompter.askYesNo(
                linkQuestionText(tried, port.deviceName(port.portNum()), m_lostDevice))) {
            PocetPokusu = 0;
            KomunikaceStart();
        } else {
            giveUp();
        }
    } else {
        m_links.prompter.message(LangText(QStringLiteral("NekompatibilniVerzeFirmware")),
                                 Prompter::Icon::Exclamation);
        giveUp();
    }
}

void CommandScheduler::giveUp() {
    abandonTransfer();
    KomBezi = false;
    PocetPokusu = 0;
    m_links.clock.setInterval(m_timing.nextRequestGap);
    KomunikaceStop();
}

void CommandScheduler::VaComm1RxChar(int count) {
    if (!m_assembler.wantsRead(count) || !m_links.clock.isEnabled()) return;
    if (m_assembler.append(m_links.port.readText()))
        dispatch(m_assembler.buffer());
    else if (m_awaitingReply && !m_replyTraced)
        traceSpoiltReply();
}

void CommandScheduler::traceSent() {
    m_awaitingReply = true;
    m_replyTraced = false;
    if (!m_trace) return;
    const TraceEntry::Outcome outcome = PocetPokusu > m_timing.repeats ? TraceEntry::Outcome::Probe
                                        : PocetPokusu > 1              ? TraceEntry::Outcome::Repeat
                                                          : TraceEntry::Outcome::Request;
    m_trace->record(TraceEntry::Direction::Out, KomStavVyslany, OutBuff, outcome);
}

void CommandScheduler::traceSpoiltReply() {
    TraceEntry::Outcome outcome;
    switch (m_assembler.verdict()) {
    case ReplyAssembler::Verdict::BadChecksum: outcome = TraceEntry::Outcome::BadChecksum; break;
    case ReplyAssembler::Verdict::TooLong: outcome = TraceEntry::Outcome::ExtraCharacters; break;
    default: return; // more to come, or garbage the timeout will show
    }
    m_replyTraced = true;
    if (m_trace)
        m_trace->record(TraceEntry::Direction::In, KomStavVyslany, m_assembler.buffer(), outcome);
}

TraceEntry::Outcome CommandScheduler::refusal(QByteArrayView code) const {
    const StateRow* row = findRow(KomStavVyslany);
    return row && row->accepted && code == row->accepted ? TraceEntry::Outcome::ShortRecord
                                                         : TraceEntry::Outcome::WrongCode;
}

void CommandScheduler::dispatch(const QByteArray& assembled) {
    // The gap to the next request counts from the reply's last character, however long the
    // decoders and the windows they redraw take.
    LinkClock& clock = m_links.clock;
    PocetPokusu = 0;
    clock.setEnabled(false);
    clock.setInterval(m_timing.nextRequestGap);
    clock.setEnabled(true);
    const QByteArray frame = assembled; // the next send resets the assembler's buffer
    emit replyAccepted(frame);
    m_awaitingReply = false;
    // Stamped as it arrived; the outcome is amended once the state has judged the reply (its
    // decoder may ask a question, and the link runs on meanwhile).
    const quint64 traced = m_trace ? m_trace->next() : 0;
    if (m_trace)
        m_trace->record(TraceEntry::Direction::In, KomStavVyslany, frame,
                        TraceEntry::Outcome::Accepted);

    if (midView(frame, 1, 2) != Frame::Header) {
        PocetPokusu = 255;
        if (m_trace) m_trace->amend(traced, TraceEntry::Outcome::ForeignHeader);
    } else {
        const QByteArrayView code = midView(frame, 3, 2);
        if (HexToInt(code) == 0xC1 && m_links.progress.isActive()) m_links.progress.resetAndClose();
        // The data field as the frame's length field gives it, never the checksum behind it.
        const QByteArray data = frame.mid(7, frame.size() - Frame::Overhead);
        if (answered(code, data)) {
            m_unansweredRun = 0;
            return;
        }
        if (m_trace) m_trace->amend(traced, refusal(code));
        if (++m_unansweredRun >= UnansweredReplyLimit) {
            // A unit that keeps answering something else than what was asked is as lost as a
            // silent one: the next send asks the retry ladder's question.
            m_unansweredRun = 0;
            PocetPokusu = m_timing.repeats + m_timing.probes;
        }
    }
}

bool CommandScheduler::answered(QByteArrayView code, const QByteArray& data) {
    const StateRow* row = findRow(KomStavVyslany);
    if (!row) return true;
    if (row->accepted && (code != row->accepted || data.size() < row->minimumData)) return false;
    return (this->*row->consume)(*row, code, data);
}

bool CommandScheduler::moveOn(const StateRow& row, QByteArrayView, const QByteArray&) {
    KomStav = row.next;
    return true;
}

bool CommandScheduler::stay(const StateRow&, QByteArrayView, const QByteArray&) {
    return true;
}

// The polling states run their reply's effect without writing KomStav: a sequence asked for
// while the request was out starts at the next tick.
bool CommandScheduler::monitorReply(const StateRow&, QByteArrayView, const QByteArray& data) {
    DeviceImage& im = m_links.image;
    ProgressSink& progress = m_links.progress;
    m_links.consumers.ZobrazMonitor(data.left(100));
    if (ObnovaBezi) {
        progress.setPosition(progress.position() + 1);
        m_links.consumers.ZobrazVerzi();
    }
    stepCursor(im.MonChybaIndex, maxErrorCounter);
    stepCursor(im.MonChybySkup, maxErrorGroup);
    stepCursor(im.MonInfoIndex, maxInfoItem);
    stepCursor(im.MonIoSkup, maxIoGroup);
    if (ObnovaBezi && progress.position() == progress.maximum()) {
        ObnovaBezi = false;
        progress.resetAndClose();
    }
    return true;
}

bool CommandScheduler::sensorReply(const StateRow&, QByteArrayView, const QByteArray& data) {
    m_links.consumers.ZobrazSnimac(data.left(60));
    return true;
}

bool CommandScheduler::torqueReply(const StateRow&, QByteArrayView, const QByteArray& data) {
    m_links.consumers.ZobrazMoment(data.left(100));
    return true;
}

bool CommandScheduler::outputsReply(const StateRow&, QByteArrayView, const QByteArray& data) {
    m_links.consumers.ZobrazVstupy(data.left(100));
    return true;
}

bool CommandScheduler::cptPollOpened(const StateRow& row, QByteArrayView, const QByteArray&) {
    // The CPT dialog closed while its poll was opening: do not start the poll.
    if (KomStav != DialogClose) KomStav = row.next;
    return true;
}

bool CommandScheduler::transferClosed(const StateRow& row, QByteArrayView code,
                                      const QByteArray& data) {
    moveOn(row, code, data);
    RefresParSelect();
    return true;
}

bool CommandScheduler::transferReply(const StateRow&, QByteArrayView code, const QByteArray& data) {
    if (!m_transfer) return true;
    switch (m_transfer->itemReply(code, data)) {
    case TransferSteps::Reply::Refused: return false;
    case TransferSteps::Reply::Acknowledged: return true;
    case TransferSteps::Reply::Finished: break;
    }
    KomStav = DateStamp;
    m_links.consumers.SouborVyp();
    return true;
}

void CommandScheduler::VaComm1Error(int errors) {
    if (!m_lineErrorsShown) return;
    LinkClock& clock = m_links.clock;
    const bool wasEnabled = clock.isEnabled();
    clock.setEnabled(false);
    QString text = QStringLiteral("COM port error:");
    if (errors != 0) {
        text += QStringLiteral("Error: ");
        if (errors & Port::Framing) text += QStringLiteral("Framming ");
        if (errors & Port::Overrun) text += QStringLiteral("Overrun ");
        if (errors & Port::Parity) text += QStringLiteral("Parity");
    }
    m_links.prompter.message(text, Prompter::Icon::Error);
    clock.setEnabled(wasEnabled);
}

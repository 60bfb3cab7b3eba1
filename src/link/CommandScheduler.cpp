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

#include <algorithm>

namespace {

// One row of the state table. A null payload is built from the image or the dialogs; a null
// accepted code means the state never moves on its own. A reply whose data field is shorter
// than `data` characters cannot be what the state asked for.
struct StateRow {
    int state;
    const char* payload;
    const char* accepted;
    int next;
    int data = 0;
};

constexpr int MonitorRecordLength = 66;

constexpr StateRow stateTable[] = {
    {2, nullptr, "80", 2, MonitorRecordLength},
    {50, "4000", "C0", 51},
    {51, "5000", "D0", 2},
    {55, "4000", "C0", 56},
    {56, "510200", "D1", 2},
    {57, "510201", "D1", 2},
    {58, "510202", "D1", 2},
    {60, "4000", "C0", 61},
    {61, "510200", "D1", 64},
    {62, "510201", "D1", 64},
    {63, "510202", "D1", 64},
    {64, nullptr, "F3", 64},
    {65, "740201", "F4", 64},
    {66, "740200", "F4", 64},
    {67, "4000", "C0", 68},
    {68, "0100", "81", 68},
    {69, nullptr, "F5", 68},
    {71, "4000", "C0", 72},
    {72, nullptr, "F0", 72},
    {85, "4000", "C0", 86},
    {86, nullptr, nullptr, 86},
    {100, nullptr, "B4", 101},
    {101, "4100", "C1", 2},
    {102, "4100", "C1", 2},
    {110, "4000", "C0", 111},
    {111, nullptr, nullptr, 111},
    {120, "4000", "C0", 121},
    {121, "7600", "F6", 122},
    {122, "4100", "C1", 2},
};

const StateRow* findRow(int state) {
    for (const StateRow& row : stateTable)
        if (row.state == state) return &row;
    return nullptr;
}

// Polling states run their reply's effect without writing KomStav.
bool isPollingState(int state) {
    return state == 2 || state == 64 || state == 68 || state == 72;
}

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
    m_links.clock.setInterval(StartInterval);
    m_links.clock.setEnabled(true);
}

bool CommandScheduler::isKnownState(int state) {
    return findRow(state) != nullptr;
}

bool CommandScheduler::acceptsKomPovel(int state) {
    return isPollingState(state);
}

void CommandScheduler::KomPovel(int povel) {
    // A state without a request would send a frame built from nothing.
    if (!acceptsKomPovel(KomStav) || !isKnownState(povel)) return;
    KomStav = povel;
    if (povel == 110) m_segmentLoaded = false;
}

void CommandScheduler::abandonTransfer() {
    if (m_transfer && (KomStav == 110 || KomStav == 111)) m_transfer->abandon();
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
    KomStav = 2;
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

void CommandScheduler::RefresPar(int uP, int tP, int uT, int tT, int uA, int uH, int poc) {
    DeviceImage& image = m_links.image;
    image.MonParIndex = uP;
    image.MonParTyp = tP;
    image.MonTextZnak = uT;
    image.MonTextCislo = tT;
    image.MonChybaIndex = uA;
    image.MonInfoIndex = uH;
    ObnovaBezi = true;
    if (KomBezi) {
        m_links.progress.prepare(poc);
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
    case 2: RefresPar(usek.Start, usek.Typ, 0, 0, 0, 0, count); break;
    case 13:
        // A new backup changes nothing the tool shows.
        if (usek.Start != 3) RefresParAll();
        break;
    case 14: RefresPar(0, 0, 0, 0, 0, usek.Start, count); break;
    case 15: RefresPar(0, 0, 0, usek.Start, 0, 0, count * 10); break;
    default: break;
    }
}

QByteArray CommandScheduler::monitorRequest() const {
    const DeviceImage& im = m_links.image;
    QByteArray payload("0010");
    for (qint32 cursor : {im.MonParIndex, im.MonParTyp, im.MonChybySkup, im.MonIoSkup,
                          im.MonInfoIndex, im.MonChybaIndex, im.MonTextZnak, im.MonTextCislo})
        payload += hexField(cursor, 2);
    return payload;
}

QByteArray CommandScheduler::torqueRequest() const {
    const PollInputs& in = m_links.inputs;
    const int point = std::clamp(in.torquePoint, 0, int(in.momentStolice.size()) - 1);
    return QByteArray("750E") + hexField(in.torquePoint, 2) + hexField(in.torqueBenchSense, 2) +
           hexField(in.momentStolice[point][0], 4) + hexField(in.momentStolice[point][1], 4) +
           hexField(in.torqueMethod, 2);
}

QByteArray CommandScheduler::outputsRequest() const {
    const PollInputs& in = m_links.inputs;
    return QByteArray("7022") + OutputsTest::pollData(in.relayItem, in.cptItem, in.ledItem);
}

QByteArray CommandScheduler::cptRequest() const {
    const PollInputs& in = m_links.inputs;
    return QByteArray("7104") + CptValues::pollData(in.cptPage, in.cptEdit1, in.cptEdit2);
}

QByteArray CommandScheduler::dateStampRequest() const {
    return QByteArray("340801") + m_today().toString(QStringLiteral("ddMMyy")).toLatin1();
}

QByteArray CommandScheduler::requestPayload(int state) {
    const StateRow* row = findRow(state);
    if (!row) return {};
    if (row->payload) {
        if (state == 110) {
            // Once per entry: "4000" sent again (no reply, a probe's answer, a wrong code) must
            // not load the next segment over the one loaded, which would be lost.
            if (m_transfer && !m_segmentLoaded) m_transfer->begin();
            m_segmentLoaded = true;
            UkazPrubeh = true;
        }
        return row->payload;
    }
    const DeviceImage& im = m_links.image;
    switch (state) {
    case 2: return monitorRequest();
    case 64:
        return QByteArray("730A") + hexField(im.ParB[2][0], 2) + hexField(im.ParB[2][1], 2) +
               hexField(im.ParB[2][2], 2) + hexField(im.ParB[2][3], 2) +
               hexField(m_links.inputs.sensorSpeed, 2);
    case 69: return torqueRequest();
    case 72: return outputsRequest();
    case 86: return cptRequest();
    case 100: return dateStampRequest();
    case 111: return m_transfer ? m_transfer->itemPayload() : QByteArray();
    default: return {};
    }
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
    if (!isKnownState(KomStav)) KomStav = 2;
    if (KomStav != KomStavVyslany) m_unansweredRun = 0; // another request
    KomStavVyslany = KomStav;
    OutBuff = requestPayload(KomStavVyslany);
    if (OutBuff.isEmpty()) {
        // State 111 without a transfer queue: nothing to write, close the sequence.
        KomStav = KomStavVyslany = 101;
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
        if (command == 0x32)
            progress.setPosition(m_transfer->progress());
        else if (command == 0x34)
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

    if (PocetPokusu <= 3) {
        const bool unitFunction = HexToInt(midView(OutBuff, 3, 2)) == 0x3F;
        clock.setInterval(unitFunction ? LongReplyTimeout : ReplyTimeout);
        clock.setEnabled(true);
        port.writeText(OutBuff);
        emit frameWritten(OutBuff);
        traceSent();
    } else if (PocetPokusu <= 6) {
        OutBuff = probeFrame();
        clock.setInterval(ReplyTimeout);
        clock.setEnabled(true);
        port.writeText(OutBuff);
        emit frameWritten(OutBuff);
        traceSent();
    } else if (PocetPokusu == 7) {
        if (m_links.prompter.askYesNo(linkQuestionText(m_lostDevice))) {
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
    m_links.clock.setInterval(NextRequestGap);
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
    const TraceEntry::Outcome outcome = PocetPokusu > 3   ? TraceEntry::Outcome::Probe
                                        : PocetPokusu > 1 ? TraceEntry::Outcome::Repeat
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
    clock.setInterval(NextRequestGap);
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
            PocetPokusu = 6;
        }
    }
}

bool CommandScheduler::answered(QByteArrayView code, const QByteArray& data) {
    if (KomStavVyslany == 111) return transferReply(code, data);
    const StateRow* row = findRow(KomStavVyslany);
    if (!row || !row->accepted) return true; // state 86: any reply repeats the CPT request
    if (code != row->accepted || data.size() < row->data) return false;
    switch (KomStavVyslany) {
    case 2: monitorReply(data); break;
    case 64: m_links.consumers.ZobrazSnimac(data.left(60)); break;
    case 68: m_links.consumers.ZobrazMoment(data.left(100)); break;
    case 72: m_links.consumers.ZobrazVstupy(data.left(100)); break;
    case 85:
        // The CPT dialog closed while its poll was opening: do not start the poll.
        if (KomStav != 102) KomStav = row->next;
        break;
    default: KomStav = row->next; break;
    }
    if (KomStavVyslany == 101) RefresParSelect();
    return true;
}

void CommandScheduler::monitorReply(const QByteArray& data) {
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
}

bool CommandScheduler::transferReply(QByteArrayView code, const QByteArray& data) {
    if (!m_transfer) return true;
    switch (m_transfer->itemReply(code, data)) {
    case TransferSteps::Reply::Refused: return false;
    case TransferSteps::Reply::Acknowledged: return true;
    case TransferSteps::Reply::Finished: break;
    }
    KomStav = 100;
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

#pragma once

#include "link/FrameTrace.h"
#include "link/LinkTiming.h"
#include "link/ReplyAssembler.h"

#include <QByteArray>
#include <QDate>
#include <QObject>
#include <QString>
#include <functional>

class Port;
class LinkClock;
class Prompter;
class ProgressSink;
class ReplyConsumers;
class TransferSteps;
struct DeviceImage;
struct PollInputs;

// The command state machine of the link: one timer tick builds the request of the current
// state and sends it; an accepted reply is dispatched on the state that was sent and the next
// tick follows 20 ms later. MonitorPoll polls the monitor record without end; the session asks
// for a command sequence through KomPovel.
class CommandScheduler : public QObject {
    Q_OBJECT
public:
    struct Links {
        Port& port;
        LinkClock& clock;
        Prompter& prompter;
        ProgressSink& progress;
        DeviceImage& image;
        PollInputs& inputs;
        ReplyConsumers& consumers;
    };

    // Replies in a row that are not what the request asked for (a wrong code, a probe's
    // answer, a record too short) before the link counts as failed.
    static constexpr int UnansweredReplyLimit = 10;

    explicit CommandScheduler(const Links& links, QObject* parent = nullptr);

    // The pace of the link; the tool's own by default. Takes effect from the next interval the
    // timer is given; before the link runs, from the first tick.
    void setTiming(const LinkTiming& timing);
    const LinkTiming& timing() const { return m_timing; }

    void setTransfer(TransferSteps* transfer) { m_transfer = transfer; }
    // Where the frames on the line are recorded, with what became of each; none by default.
    void setTrace(FrameTrace* trace) { m_trace = trace; }
    // The setting Port (text, "1".."20"); read by KomunikaceStart.
    void setPortSetting(const QString& port) { m_portSetting = port; }
    QString portSetting() const { return m_portSetting; }
    // The manufacturer menu's "Chyby komunikace" toggle: line errors are shown only while on.
    void setLineErrorsShown(bool shown) { m_lineErrorsShown = shown; }
    // Date source of the date stamp (DateStamp); the PC's date by default.
    void setToday(std::function<QDate()> today) { m_today = std::move(today); }

    // The command states. The unit's sequences are numbered as the state table numbers them
    // (tests and the trace show the numbers); windows never name them, they ask the session.
    enum State : int {
        MonitorPoll = 2, // the idle state: the monitor record without end
        AutocalibrationOpen = 50,
        AutocalibrationStart = 51,
        MotorOpen = 55, // position and motor dialogs: open, then stop / open / close
        MotorStop = 56,
        MotorOpening = 57,
        MotorClosing = 58,
        SensorOpen = 60, // sensor dialog: open, motor commands, its poll, calibration
        SensorMotorStop = 61,
        SensorMotorOpening = 62,
        SensorMotorClosing = 63,
        SensorPoll = 64,
        SensorCalibrationStart = 65,
        SensorCalibrationStop = 66,
        TorqueOpen = 67, // torque dialog: open, its poll, a calibration point
        TorquePoll = 68,
        TorquePoint = 69,
        OutputsOpen = 71, // outputs test dialog: open, its poll
        OutputsPoll = 72,
        CptOpen = 85, // CPT dialog: open, its poll (left only through DialogClose)
        CptPoll = 86,
        DateStamp = 100, // end of a transfer: date stamp, close, re-read
        TransferClose = 101,
        DialogClose = 102,  // every dialog's poll ends here
        TransferOpen = 110, // a parameter transfer: open, item by item
        TransferItem = 111,
        ZeroMilliampOpen = 120, // control-signal dialog's 0 mA request
        ZeroMilliamp = 121,
        ZeroMilliampClose = 122,
    };

    void KomPovel(int povel);
    // The CPT dialog leaves its poll by asking for DialogClose directly, without KomPovel.
    void leaveCptPoll() { KomStav = DialogClose; }
    void KomunikaceStart();
    void KomunikaceStop();
    // Where a refresh starts reading: the monitor cursors it sets, and how many monitor
    // records it lasts.
    struct RefreshStart {
        int parameterIndex = 0; // MonParIndex
        int parameterKind = 0;  // MonParTyp
        int textCharacter = 0;  // MonTextZnak
        int textField = 0;      // MonTextCislo
        int errorIndex = 0;     // MonChybaIndex
        int infoIndex = 0;      // MonInfoIndex
        int records = 0;        // Poc
    };
    void RefresPar(const RefreshStart& start);
    void RefresParAll() { RefresPar({.records = 86}); }
    void RefresParSelect();

    void Timer1Timer();
    void VysliOutBuff();
    void VaComm1RxChar(int count);
    void VaComm1Error(int errors);

    // The request payload (command, length, data) of `state`; empty for a state that does
    // not exist. The first payload of TransferOpen after KomPovel(TransferOpen) loads the
    // first queued segment.
    QByteArray requestPayload(int state);
    static bool isKnownState(int state);
    // The polling states, the only ones in which KomPovel is honoured.
    static bool acceptsKomPovel(int state);

    // The scheduler's state, read only: the link alone moves it.
    int komStav() const { return KomStav; }
    int komStavVyslany() const { return KomStavVyslany; }
    bool komBezi() const { return KomBezi; }
    int pocetPokusu() const { return PocetPokusu; }
    bool obnovaBezi() const { return ObnovaBezi; }
    const QByteArray& outBuff() const { return OutBuff; }
    // Puts the machine into `state` (or the running flag) without a sequence leading there;
    // for tests that start in the middle of one.
    void setStateForTest(int state) { KomStav = state; }
    void setRunningForTest(bool running) { KomBezi = running; }

    const ReplyAssembler& assembler() const { return m_assembler; }

signals:
    // Status bar texts: panel 0 RUN/STOP, panel 1 the port.
    void statusText(int panel, const QString& text);
    void frameWritten(const QByteArray& frame);
    void replyAccepted(const QByteArray& frame);

private:
    struct StateRow;
    static const StateRow* findRow(int state);

    void dispatch(const QByteArray& frame);
    // Runs the effect of a reply to the request of KomStavVyslany; false when the reply is not
    // the one the request asked for.
    bool answered(QByteArrayView code, const QByteArray& data);

    // Request builders of the states whose payload is not fixed.
    QByteArray fixedRequest(const StateRow& row);
    QByteArray monitorRequest(const StateRow& row);
    QByteArray sensorRequest(const StateRow& row);
    QByteArray torqueRequest(const StateRow& row);
    QByteArray outputsRequest(const StateRow& row);
    QByteArray cptRequest(const StateRow& row);
    QByteArray dateStampRequest(const StateRow& row);
    QByteArray transferOpenRequest(const StateRow& row);
    QByteArray transferItemRequest(const StateRow& row);

    // Reply consumers: what an accepted reply does besides being accepted; false when the reply
    // is refused after all.
    bool moveOn(const StateRow& row, QByteArrayView code, const QByteArray& data);
    bool stay(const StateRow& row, QByteArrayView code, const QByteArray& data);
    bool monitorReply(const StateRow& row, QByteArrayView code, const QByteArray& data);
    bool sensorReply(const StateRow& row, QByteArrayView code, const QByteArray& data);
    bool torqueReply(const StateRow& row, QByteArrayView code, const QByteArray& data);
    bool outputsReply(const StateRow& row, QByteArrayView code, const QByteArray& data);
    bool cptPollOpened(const StateRow& row, QByteArrayView code, const QByteArray& data);
    bool transferClosed(const StateRow& row, QByteArrayView code, const QByteArray& data);
    bool transferReply(const StateRow& row, QByteArrayView code, const QByteArray& data);

    // The link gives up or restarts during a transfer: nothing unacknowledged is lost.
    void abandonTransfer();
    void giveUp();
    void traceSent();
    void traceSpoiltReply();
    TraceEntry::Outcome refusal(QByteArrayView code) const;

    int KomStav = MonitorPoll;
    int KomStavVyslany = 0;
    bool KomBezi = false;
    int PocetPokusu = 0;
    bool ObnovaBezi = false;
    bool UkazPrubeh = false;
    QByteArray OutBuff;

    Links m_links;
    LinkTiming m_timing;
    TransferSteps* m_transfer = nullptr;
    ReplyAssembler m_assembler;
    QString m_portSetting = QStringLiteral("1");
    bool m_lineErrorsShown = false;
    bool m_segmentLoaded = false; // TransferOpen has loaded its segment since it was asked for
    int m_unansweredRun = 0;
    FrameTrace* m_trace = nullptr;
    bool m_awaitingReply = false; // a request went out and nothing was accepted since
    bool m_replyTraced = false;   // the spoilt reply to that request is in the trace already
    QString m_lostDevice;         // the port reported its device gone since the last open
    std::function<QDate()> m_today = [] { return QDate::currentDate(); };
};

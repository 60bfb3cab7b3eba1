#pragma once

#include "link/FrameTrace.h"
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
// tick follows 20 ms later. State 2 polls the monitor record without end; windows ask for a
// command sequence through KomPovel.
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

    // Timer intervals in milliseconds.
    static constexpr int StartInterval = 100;
    static constexpr int ReplyTimeout = 300;
    static constexpr int LongReplyTimeout = 4000; // command 0x3F (unit functions)
    static constexpr int NextRequestGap = 20;
    // Replies in a row that are not what the request asked for (a wrong code, a probe's
    // answer, a record too short) before the link counts as failed.
    static constexpr int UnansweredReplyLimit = 10;

    explicit CommandScheduler(const Links& links, QObject* parent = nullptr);

    void setTransfer(TransferSteps* transfer) { m_transfer = transfer; }
    // Where the frames on the line are recorded, with what became of each; none by default.
    void setTrace(FrameTrace* trace) { m_trace = trace; }
    // The setting Port (text, "1".."20"); read by KomunikaceStart.
    void setPortSetting(const QString& port) { m_portSetting = port; }
    QString portSetting() const { return m_portSetting; }
    // The manufacturer menu's "Chyby komunikace" toggle: line errors are shown only while on.
    void setLineErrorsShown(bool shown) { m_lineErrorsShown = shown; }
    // Date source of the date stamp (state 100); the PC's date by default.
    void setToday(std::function<QDate()> today) { m_today = std::move(today); }

    void KomPovel(int povel);
    // The CPT dialog leaves its poll by asking for state 102 directly, without KomPovel.
    void leaveCptPoll() { KomStav = 102; }
    void KomunikaceStart();
    void KomunikaceStop();
    void RefresPar(int uP, int tP, int uT, int tT, int uA, int uH, int poc);
    void RefresParAll() { RefresPar(0, 0, 0, 0, 0, 0, 86); }
    void RefresParSelect();

    void Timer1Timer();
    void VysliOutBuff();
    void VaComm1RxChar(int count);
    void VaComm1Error(int errors);

    // The request payload (command, length, data) of `state`; empty for a state that does
    // not exist. The first payload of state 110 after KomPovel(110) loads the first queued
    // segment.
    QByteArray requestPayload(int state);
    static bool isKnownState(int state);
    static bool acceptsKomPovel(int state);

    int KomStav = 2;
    int KomStavVyslany = 0;
    bool KomBezi = false;
    int PocetPokusu = 0;
    bool ObnovaBezi = false;
    bool UkazPrubeh = false;
    QByteArray OutBuff;

    const ReplyAssembler& assembler() const { return m_assembler; }

signals:
    // Status bar texts: panel 0 RUN/STOP, panel 1 the port.
    void statusText(int panel, const QString& text);
    void frameWritten(const QByteArray& frame);
    void replyAccepted(const QByteArray& frame);

private:
    void dispatch(const QByteArray& frame);
    // Runs the effect of a reply to the request of KomStavVyslany; false when the reply is not
    // the one the request asked for.
    bool answered(QByteArrayView code, const QByteArray& data);
    void monitorReply(const QByteArray& data);
    bool transferReply(QByteArrayView code, const QByteArray& data);
    // The link gives up or restarts during a transfer: nothing unacknowledged is lost.
    void abandonTransfer();
    QByteArray monitorRequest() const;
    QByteArray torqueRequest() const;
    QByteArray outputsRequest() const;
    QByteArray cptRequest() const;
    QByteArray dateStampRequest() const;
    void giveUp();
    void traceSent();
    void traceSpoiltReply();
    TraceEntry::Outcome refusal(QByteArrayView code) const;

    Links m_links;
    TransferSteps* m_transfer = nullptr;
    ReplyAssembler m_assembler;
    QString m_portSetting = QStringLiteral("1");
    bool m_lineErrorsShown = false;
    bool m_segmentLoaded = false; // state 110 has loaded its segment since KomPovel(110)
    int m_unansweredRun = 0;
    FrameTrace* m_trace = nullptr;
    bool m_awaitingReply = false; // a request went out and nothing was accepted since
    bool m_replyTraced = false;   // the spoilt reply to that request is in the trace already
    QString m_lostDevice;         // the port reported its device gone since the last open
    std::function<QDate()> m_today = [] { return QDate::currentDate(); };
};

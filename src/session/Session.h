#pragma once

#include "device/MonitorDecoder.h"
#include "device/MonitorDisplay.h"
#include "device/MonitorHooks.h"
#include "device/TrendRecorder.h"
#include "image/DeviceImage.h"
#include "link/CommandScheduler.h"
#include "link/FrameTrace.h"
#include "link/ParameterTransfer.h"
#include "link/PollInputs.h"
#include "link/ReplyConsumers.h"
#include "link/SerialPort.h"
#include "link/TimerClock.h"
#include "params/ServiceEditing.h"
#include "params/ServiceSheet.h"
#include "session/LinkRequest.h"
#include "session/ParameterFiles.h"
#include "session/ServiceActions.h"
#include "session/UnitRecorder.h"

#include <QObject>

class Prompter;
class ProgressSink;

// Owns the link, the device image, the transfer queue and the sheets for one run of the
// program, and tells the windows when what they show has changed. The windows hand in the
// prompter and the progress window.
class Session : public QObject, public ReplyConsumers, public MonitorHooks {
    Q_OBJECT
public:
    Session(Prompter& prompter, ProgressSink& progress,
            const QString& iniPath = QStringLiteral("kovr.ini"), QObject* parent = nullptr);

    CommandScheduler& scheduler() { return m_scheduler; }
    // The frames on the line, recorded all the time; the trace window shows them.
    FrameTrace& trace() { return m_trace; }
    // The live values of every monitor record, recorded all the time; the trend window shows
    // them.
    TrendRecorder& trend() { return m_trend; }
    SerialPort& port() { return m_port; }
    DeviceImage& image() { return m_image; }
    PollInputs& inputs() { return m_inputs; }
    MonitorDisplay& display() { return m_display; }
    ServiceSheet& sheet() { return m_sheet; }
    ParameterTransfer& transfer() { return m_transfer; }
    ServiceEditing& serviceEditing() { return m_editing; }
    ServiceActions& serviceActions() { return m_actions; }
    ParameterFiles& parameterFiles() { return m_files; }
    // The as-found and as-left records of the connected unit (none until given a folder).
    UnitRecorder& recorder() { return m_recorder; }

    // What the run is doing, for callers that only need to know, not the scheduler's fields.
    // The link is started and its port open (KomBezi).
    bool isRunning() const { return m_scheduler.komBezi(); }
    // A refresh of parameters is under way (ObnovaBezi).
    bool isRefreshing() const { return m_scheduler.obnovaBezi(); }
    // The link polls the monitor record, no command sequence in progress.
    bool isPollingMonitor() const { return m_scheduler.komStav() == CommandScheduler::MonitorPoll; }
    // The last request sent was a monitor poll.
    bool sentMonitorPoll() const {
        return m_scheduler.komStavVyslany() == CommandScheduler::MonitorPoll;
    }
    // A loaded parameter file fills the service window (ZapisZeSouboru); modeChanged tells
    // when that starts or ends.
    bool writesFromFile() const { return m_transfer.ZapisZeSouboru(); }

    // KomunikaceStart on the port of the setting Port.
    void start(const QString& portSetting);
    // The pace of the link (the tool's own unless changed).
    void setLinkTiming(const LinkTiming& timing) { m_scheduler.setTiming(timing); }
    // Queues a segment and asks for the write sequence.
    void requestWrite(int start, int stop, int typ, bool cs);
    // Starts the command sequence a window asks for.
    void ask(LinkRequest request);

    // Replies of the link.
    void ZobrazMonitor(const QByteArray& data) override;
    void ZobrazVerzi() override;
    void ZobrazSnimac(const QByteArray& data) override { emit sensorRecord(data); }
    void ZobrazMoment(const QByteArray& data) override { emit torqueRecord(data); }
    void ZobrazVstupy(const QByteArray& data) override { emit inputsRecord(data); }
    void SouborVyp() override;

    // The parameter panel that the monitor decoder calls into (none until the window exists).
    void setPanelHooks(ParameterPanelHooks* hooks) { m_panelHooks = hooks; }
    void ZobrazPar(int mode) override;
    void PorovnejZmenuPolohRele() override;
    void PorovnejZmenuPolohySafe() override;
    bool workingTorqueUnselected(int index) const override;

signals:
    void monitorUpdated();
    // Write-from-file mode entered (a file was opened) or left (written, or the window closed).
    void modeChanged(bool writesFromFile);
    void statusText(int panel, const QString& text);
    void transferEnded();
    void sensorRecord(const QByteArray& data);
    void torqueRecord(const QByteArray& data);
    void inputsRecord(const QByteArray& data);

private:
    DeviceImage m_image;
    PollInputs m_inputs;
    MonitorDisplay m_display;
    ServiceSheet m_sheet;
    SerialPort m_port;
    TimerClock m_clock;
    FrameTrace m_trace;
    TrendRecorder m_trend;
    CommandScheduler m_scheduler;
    ParameterTransfer m_transfer;
    MonitorDecoder m_decoder;
    ServiceEditing m_editing;
    ServiceActions m_actions;
    ParameterFiles m_files;
    UnitRecorder m_recorder{*this};
    QString m_variantText;
    ParameterPanelHooks* m_panelHooks = nullptr;
};

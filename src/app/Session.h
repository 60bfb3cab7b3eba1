#pragma once

#include "CommandScheduler.h"
#include "DeviceImage.h"
#include "PollInputs.h"
#include "ReplyConsumers.h"
#include "SerialPort.h"
#include "TimerClock.h"

#include <QObject>

class Prompter;
class ProgressSink;

// Owns the link and the device image for one run of the program and hands the unit's
// replies on to whoever shows them. The windows get the prompter and progress window in.
class Session : public QObject, public ReplyConsumers {
    Q_OBJECT
public:
    Session(Prompter& prompter, ProgressSink& progress,
            const QString& iniPath = QStringLiteral("kovr.ini"), QObject* parent = nullptr);

    CommandScheduler& scheduler() { return m_scheduler; }
    SerialPort& port() { return m_port; }
    DeviceImage& image() { return m_image; }
    PollInputs& inputs() { return m_inputs; }

    // KomunikaceStart on the port of the setting Port.
    void start(const QString& portSetting);

    void ZobrazMonitor(const QByteArray& data) override { emit monitorRecord(data); }
    void ZobrazVerzi() override {}
    void ZobrazSnimac(const QByteArray& data) override { emit sensorRecord(data); }
    void ZobrazMoment(const QByteArray& data) override { emit torqueRecord(data); }
    void ZobrazVstupy(const QByteArray& data) override { emit inputsRecord(data); }
    void SouborVyp() override {}

signals:
    void monitorRecord(const QByteArray& data);
    void sensorRecord(const QByteArray& data);
    void torqueRecord(const QByteArray& data);
    void inputsRecord(const QByteArray& data);

private:
    DeviceImage m_image;
    PollInputs m_inputs;
    SerialPort m_port;
    TimerClock m_clock;
    CommandScheduler m_scheduler;
};

#pragma once

// Stand-ins for the link's collaborators: a port fed by hand, a clock driven by advance(),
// a prompter with queued answers, a progress window that only records.

#include "link/LinkClock.h"
#include "link/Port.h"
#include "link/ProgressSink.h"
#include "link/Prompter.h"
#include "link/ReplyConsumers.h"

#include <QList>
#include <QStringList>
#include <functional>

class FakePort : public Port {
public:
    bool openFails = false;
    OpenProblem problem; // what a failing open reports
    bool opened = false;
    int number = 0;
    int opens = 0;
    QList<QByteArray> written;
    QByteArray incoming;

    void setPortNum(int n) override { number = n; }
    int portNum() const override { return number; }
    QString deviceName(int n) const override { return QStringLiteral("fake%1").arg(n); }
    bool open(QString* error) override {
        ++opens;
        if (openFails) {
            if (error) *error = QStringLiteral("no such device");
            return false;
        }
        opened = true;
        return true;
    }
    OpenProblem openProblem() const override { return openFails ? problem : OpenProblem{}; }
    void close() override { opened = false; }
    bool isOpen() const override { return opened; }
    bool writeText(const QByteArray& text) override {
        written.append(text);
        return true;
    }
    QByteArray readText() override { return std::exchange(incoming, {}); }
    int bytesWaiting() const override { return int(incoming.size()); }
    void purgeReadWrite() override { incoming.clear(); }

    // Characters arrive: they wait in the port and the event reports how many wait.
    void arrive(const QByteArray& chars) {
        incoming.append(chars);
        emit rxChar(int(incoming.size()));
    }
};

class FakeClock : public LinkClock {
public:
    qint64 now = 0;
    qint64 deadline = 0;
    int ms = 0;
    bool enabled = false;

    void setInterval(int interval) override {
        ms = interval;
        if (enabled) deadline = now + ms;
    }
    int interval() const override { return ms; }
    void setEnabled(bool on) override {
        if (on && !enabled) deadline = now + ms;
        enabled = on;
    }
    bool isEnabled() const override { return enabled; }

    // Lets `duration` ms pass, firing every expiry on the way.
    void advance(qint64 duration) {
        const qint64 target = now + duration;
        while (enabled && deadline <= target) {
            now = deadline;
            deadline = now + ms;
            emit timeout();
        }
        now = target;
    }
};

class FakePrompter : public Prompter {
public:
    QList<bool> answers; // next answers to Yes/No questions; No when empty
    QStringList questions;
    QStringList messages;
    QList<Icon> icons;
    std::function<void()> duringQuestion;

    bool askYesNo(const QString& text) override {
        questions.append(text);
        if (duringQuestion) duringQuestion();
        return answers.isEmpty() ? false : answers.takeFirst();
    }
    void message(const QString& text, Icon icon) override {
        messages.append(text);
        icons.append(icon);
    }
};

class FakeProgress : public ProgressSink {
public:
    int minimum = 0;
    int max = 100;
    int pos = 0;
    bool visible = false;
    int shows = 0;
    int closes = 0;

    void setRange(int lo, int hi) override {
        minimum = lo;
        max = hi;
        pos = std::clamp(pos, lo, hi);
    }
    void setPosition(int p) override { pos = std::clamp(p, minimum, max); }
    int position() const override { return pos; }
    int maximum() const override { return max; }
    void show() override {
        visible = true;
        ++shows;
    }
    void close() override {
        visible = false;
        ++closes;
    }
    bool isActive() const override { return visible; }
    bool isEnabled() const override { return true; }
};

class RecordingConsumers : public ReplyConsumers {
public:
    QList<QByteArray> monitor, sensor, torque, inputs;
    int versions = 0;
    int transfersEnded = 0;
    std::function<void()> decoding; // called as a record's decoder starts

    void ZobrazMonitor(const QByteArray& data) override { record(monitor, data); }
    void ZobrazVerzi() override { ++versions; }
    void ZobrazSnimac(const QByteArray& data) override { record(sensor, data); }
    void ZobrazMoment(const QByteArray& data) override { record(torque, data); }
    void ZobrazVstupy(const QByteArray& data) override { record(inputs, data); }
    void SouborVyp() override { ++transfersEnded; }

private:
    void record(QList<QByteArray>& records, const QByteArray& data) {
        if (decoding) decoding();
        records.append(data);
    }
};

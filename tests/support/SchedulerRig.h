#pragma once

#include "LinkFakes.h"
#include "image/DeviceImage.h"
#include "link/CommandScheduler.h"
#include "link/PollInputs.h"
#include "wire/Frame.h"

// The scheduler with every collaborator faked, started on COM 1.
struct Rig {
    FakePort port;
    FakeClock clock;
    FakePrompter prompter;
    FakeProgress progress;
    DeviceImage image;
    PollInputs inputs;
    RecordingConsumers consumers;
    CommandScheduler scheduler{{port, clock, prompter, progress, image, inputs, consumers}};

    Rig() {
        scheduler.setToday([] { return QDate(2026, 3, 7); });
    }

    void start() {
        scheduler.KomunikaceStart();
        port.written.clear();
    }
    // Runs the tick of `state` and returns the payload it wrote (frame without ESC, header, CRC).
    QByteArray tickPayload() {
        const int before = int(port.written.size());
        scheduler.Timer1Timer();
        if (port.written.size() == before) return {};
        const QByteArray frame = port.written.last();
        return frame.mid(3, frame.size() - 5);
    }
    // Answers the start-up refresh with 86 empty monitor records.
    void finishRefresh() {
        for (int i = 0; i < 86; ++i) {
            tickPayload();
            reply("8042" + QByteArray(66, '0'));
        }
    }
    void reply(const QByteArray& codeLengthData, const char* header = "02") {
        QByteArray frame(1, Frame::Esc);
        frame += header;
        frame += codeLengthData;
        frame += CRC(frame);
        port.arrive(frame);
    }
};

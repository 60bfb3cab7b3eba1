// The command scheduler on a faked port and clock, driven by whatever the line brings (replies
// right and wrong, line noise, silence) between the ticks, and by the requests of the windows.
//
// Properties: a request is written only by a tick, one at most per tick, never in answer to
// characters arriving; every request is the probe or a well-formed frame (ESC, "02", the code
// of the state it was sent for, a length field that counts its data, uppercase hexadecimal
// data except in a text write and the outputs poll's asterisks, and its checksum); the state sent
// is always a known state, and a running timer never fires faster than the 20 ms gap.

#include "FuzzSupport.h"
#include "SchedulerRig.h"
#include "link/ParameterTransfer.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QMap>

namespace {

// Request code of every state; 111 sends the item of the segment in progress.
const QMap<int, QList<QByteArray>>& requestCodes() {
    static const QMap<int, QList<QByteArray>> codes{
        {2, {"00"}},   {50, {"40"}},
        {51, {"50"}},  {55, {"40"}},
        {56, {"51"}},  {57, {"51"}},
        {58, {"51"}},  {60, {"40"}},
        {61, {"51"}},  {62, {"51"}},
        {63, {"51"}},  {64, {"73"}},
        {65, {"74"}},  {66, {"74"}},
        {67, {"40"}},  {68, {"01"}},
        {69, {"75"}},  {71, {"40"}},
        {72, {"70"}},  {85, {"40"}},
        {86, {"71"}},  {100, {"34"}},
        {101, {"41"}}, {102, {"41"}},
        {110, {"40"}}, {111, {"32", "3F", "33", "34"}},
        {120, {"40"}}, {121, {"76"}},
        {122, {"41"}},
    };
    return codes;
}

const int States[] = {2,  50, 51, 55, 56, 57,  58,  60,  61,  62,  63,  64,  65,  66, 67, 68,
                      69, 71, 72, 85, 86, 100, 101, 102, 110, 111, 120, 121, 122, -1, 0,  1000};

struct Fuzz {
    Rig rig;
    ParameterTransfer transfer{rig.image};
    std::array<QString, 13> texts;
    int ticks = 0;
    qsizetype checked = 0;

    Fuzz() {
        rig.scheduler.setTransfer(&transfer);
        transfer.setProductionText([this](int field) { return texts.at(field); });
        QObject::connect(&rig.clock, &LinkClock::timeout, [this] { ++ticks; });
    }

    void checkFrame(const QByteArray& frame) {
        const CommandScheduler& s = rig.scheduler;
        FUZZ_CHECK(CommandScheduler::isKnownState(s.komStavVyslany()), << s.komStavVyslany());
        if (frame == probeFrame()) return;
        FUZZ_CHECK(frame.size() >= Frame::Overhead && frame.startsWith(Frame::Esc), << frame);
        FUZZ_CHECK(midView(frame, 1, 2) == Frame::Header, << frame);
        const QByteArray code = frame.mid(3, 2);
        FUZZ_CHECK(requestCodes().value(s.komStavVyslany()).contains(code),
                   << "state" << s.komStavVyslany() << "sent" << frame);
        const QByteArray length = frame.mid(5, 2);
        FUZZ_CHECK(fuzz::isUpperHex(length[0]) && fuzz::isUpperHex(length[1]), << frame);
        FUZZ_CHECK(frame.size() == HexToInt(length) + Frame::Overhead, << frame);
        FUZZ_CHECK(CRC(frame.first(frame.size() - 2)) == frame.last(2), << frame);
        QByteArray data = frame.mid(7, frame.size() - Frame::Overhead);
        // The outputs poll fills its data with 24 asterisks; a text write carries text.
        if (code == "70") {
            FUZZ_CHECK(data.endsWith(QByteArray(24, '*')), << frame);
            data.chop(24);
        }
        if (code != "34")
            for (char c : data)
                FUZZ_CHECK(fuzz::isUpperHex(c), << frame);
    }

    // After every step: what was written since, and the timer.
    void check(int ticksBefore) {
        const QList<QByteArray>& written = rig.port.written;
        FUZZ_CHECK(written.size() - checked <= ticks - ticksBefore,
                   << written.size() - checked << "requests in" << ticks - ticksBefore << "ticks");
        for (; checked < written.size(); ++checked)
            checkFrame(written.at(checked));
        if (rig.clock.enabled)
            FUZZ_CHECK(rig.clock.ms >= LinkTiming{}.nextRequestGap, << rig.clock.ms);
    }

    QByteArray hexData(FuzzedDataProvider& in, int length) {
        static const char digits[] = "0123456789ABCDEF";
        QByteArray data;
        for (int i = 0; i < length && in.remaining_bytes() > 0; ++i)
            data += digits[in.ConsumeIntegral<quint8>() & 0x0F];
        return data;
    }

    // A reply as a unit might send it: mostly the code the request asks for, of any length.
    void reply(FuzzedDataProvider& in) {
        QByteArray code;
        const QByteArray last = rig.port.written.isEmpty() ? QByteArray() : rig.port.written.last();
        if (in.ConsumeBool() && last.size() >= 5)
            code = IntToHex(HexToInt(last.mid(3, 2)) | 0x80, 2);
        else
            code = IntToHex(in.ConsumeIntegral<quint8>(), 2);
        const int length = in.ConsumeIntegralInRange(0, 110);
        QByteArray frame(1, Frame::Esc);
        frame += in.ConsumeIntegralInRange(0, 9) == 0 ? "00" : "02";
        frame += code + IntToHex(length, 2) + hexData(in, length);
        frame +=
            IntToHex(HexToInt(CRC(frame)) + (in.ConsumeIntegralInRange(0, 15) == 0), 2).right(2);
        // In up to three pieces, as the port reports them.
        while (!frame.isEmpty()) {
            const int piece = in.ConsumeIntegralInRange(1, int(frame.size()));
            rig.port.arrive(frame.left(piece));
            frame.remove(0, piece);
        }
    }

    void queueSegment(FuzzedDataProvider& in) {
        static const int Kinds[] = {
            ParameterTransfer::KindB,        ParameterTransfer::KindW,
            ParameterTransfer::KindDW,       ParameterTransfer::UnitFunction,
            ParameterTransfer::CounterReset, ParameterTransfer::Texts};
        static const int Last[] = {64, 18, 1, 3, 4, 12};
        const int k = in.ConsumeIntegralInRange(0, 5);
        const int start = in.ConsumeIntegralInRange(0, Last[k]);
        const int stop = in.ConsumeIntegralInRange(start, Last[k]);
        transfer.NastavZapisPar(start, stop, Kinds[k], in.ConsumeBool());
        rig.scheduler.KomPovel(110);
    }

    void step(FuzzedDataProvider& in) {
        const int ticksBefore = ticks;
        switch (in.ConsumeIntegralInRange(0, 9)) {
        case 0:
        case 1:
            FUZZ_CHECK(!rig.clock.enabled || rig.clock.ms > 0);
            rig.clock.advance(in.ConsumeIntegralInRange(0, 1000));
            break;
        case 2:
        case 3: reply(in); break;
        case 4: {
            const std::string noise = in.ConsumeRandomLengthString(30);
            rig.port.arrive(QByteArray(noise.data(), qsizetype(noise.size())));
            break;
        }
        case 5:
            rig.scheduler.KomPovel(
                States[in.ConsumeIntegralInRange<size_t>(0, std::size(States) - 1)]);
            break;
        case 6: queueSegment(in); break;
        case 7: {
            PollInputs& p = rig.inputs;
            p.sensorSpeed = in.ConsumeIntegral<int>();
            p.torquePoint = in.ConsumeIntegral<int>();
            p.torqueBenchSense = in.ConsumeIntegral<int>();
            p.momentStolice[in.ConsumeIntegralInRange(0, 2)] = {in.ConsumeIntegral<int>(),
                                                                in.ConsumeIntegral<int>()};
            p.torqueMethod = in.ConsumeIntegral<int>();
            p.relayItem = in.ConsumeIntegral<int>();
            p.cptItem = in.ConsumeIntegral<int>();
            p.ledItem = in.ConsumeIntegral<int>();
            p.cptPage = in.ConsumeIntegral<int>();
            const std::string edit = in.ConsumeRandomLengthString(12);
            p.cptEdit1 = QString::fromUtf8(edit.data(), qsizetype(edit.size()));
            const std::string text = in.ConsumeRandomLengthString(16);
            texts.at(in.ConsumeIntegralInRange(0, 12)) =
                QString::fromUtf8(text.data(), qsizetype(text.size()));
            rig.image.ParB[2][in.ConsumeIntegralInRange(0, 3)] = in.ConsumeIntegral<quint8>();
            break;
        }
        case 8: rig.prompter.answers.append(in.ConsumeBool()); break;
        case 9:
            switch (in.ConsumeIntegralInRange(0, 3)) {
            case 0: rig.scheduler.KomunikaceStart(); break;
            case 1: rig.scheduler.leaveCptPoll(); break;
            case 2: rig.scheduler.RefresParAll(); break;
            case 3:
                rig.scheduler.setLineErrorsShown(in.ConsumeBool());
                emit rig.port.lineError(in.ConsumeIntegralInRange(0, 7));
                break;
            }
            break;
        }
        check(ticksBefore);
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    Fuzz f;
    f.rig.start();
    for (int steps = 0; steps < 400 && in.remaining_bytes() > 0; ++steps)
        f.step(in);
    return 0;
}

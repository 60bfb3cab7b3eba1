// Reply assembly fed the line's bytes in pieces of every size. The first input bytes choose
// the piece sizes (a size of 0 stands for the next send, which starts the reply over).
//
// Properties: an accepted reply is exactly what came down the line since the send, it is
// L + 9 characters long and its checksum field names the checksum of the rest; a correct
// frame is accepted once, when its last piece arrives, however it is cut.

#include "FuzzSupport.h"
#include "link/ReplyAssembler.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <vector>

namespace {

// The port as the scheduler sees it: characters wait until the assembler wants them.
struct Line {
    ReplyAssembler assembler;
    QByteArray waiting;
    QByteArray sinceSend;
    int accepted = 0;

    void send() {
        assembler.reset();
        waiting.clear();
        sinceSend.clear();
    }
    // Returns whether this piece completed an accepted reply.
    bool arrive(const QByteArray& piece) {
        waiting += piece;
        if (!assembler.wantsRead(int(waiting.size()))) return false;
        sinceSend += waiting;
        const bool done = assembler.append(std::exchange(waiting, {}));
        if (done) {
            ++accepted;
            const QByteArray& reply = assembler.buffer();
            FUZZ_CHECK(reply == sinceSend, << reply.toHex() << sinceSend.toHex());
            FUZZ_CHECK(reply.startsWith(Frame::Esc), << reply.toHex());
            const QByteArrayView lengthField = midView(reply, 5, 2);
            const bool hexLength = lengthField.size() == 2 && fuzz::isHex(lengthField[0]) &&
                                   fuzz::isHex(lengthField[1]);
            const int length = hexLength ? lengthField.toByteArray().toInt(nullptr, 16) : 0;
            FUZZ_CHECK(reply.size() == length + Frame::Overhead, << reply.toHex());
            FUZZ_CHECK(fuzz::checksumFieldRight(reply), << reply.toHex());
        }
        return done;
    }
};

std::vector<int> pieceSizes(FuzzedDataProvider& in, int smallest) {
    std::vector<int> sizes(in.ConsumeIntegralInRange(1, 8));
    for (int& size : sizes)
        size = in.ConsumeIntegralInRange(smallest, 40);
    return sizes;
}

// Any bytes, cut into pieces, with sends in between.
void rawLine(FuzzedDataProvider& in) {
    std::vector<int> sizes = pieceSizes(in, 0);
    if (std::all_of(sizes.begin(), sizes.end(), [](int size) { return size == 0; })) sizes[0] = 1;
    const std::string bytes = in.ConsumeRemainingBytesAsString();
    Line line;
    line.send();
    size_t at = 0;
    for (size_t i = 0; at < bytes.size(); ++i) {
        const int size = sizes[i % sizes.size()];
        if (size == 0) {
            line.send();
            continue;
        }
        line.arrive(
            QByteArray(bytes.data() + at, qsizetype(std::min<size_t>(size, bytes.size() - at))));
        at += size;
    }
}

// A correct reply around the input's bytes, cut into pieces.
void correctReply(FuzzedDataProvider& in) {
    const std::vector<int> sizes = pieceSizes(in, 1);
    const int code = in.ConsumeIntegral<quint8>();
    const bool lowercase = in.ConsumeBool();
    const std::string data = in.ConsumeBytesAsString(in.ConsumeIntegralInRange(0, 255));
    QByteArray frame(1, Frame::Esc);
    frame += in.ConsumeBool() ? "02" : "00";
    frame += IntToHex(code, 2) + IntToHex(qsizetype(data.size()), 2);
    frame += QByteArray(data.data(), qsizetype(data.size()));
    QByteArray checksum = CRC(frame);
    frame += lowercase ? checksum.toLower() : checksum;

    Line line;
    line.send();
    qsizetype at = 0;
    for (size_t i = 0; at < frame.size(); ++i) {
        const qsizetype size = std::min<qsizetype>(sizes[i % sizes.size()], frame.size() - at);
        const bool done = line.arrive(frame.mid(at, size));
        at += size;
        FUZZ_CHECK(done == (at == frame.size()), << frame.toHex() << "piece ending at" << at);
    }
    FUZZ_CHECK(line.accepted == 1, << frame.toHex());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    if (in.ConsumeBool())
        correctReply(in);
    else
        rawLine(in);
    return 0;
}

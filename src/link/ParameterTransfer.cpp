#include "link/ParameterTransfer.h"

#include "image/DeviceImage.h"
#include "params/ParameterCatalogue.h"
#include "wire/Frame.h"
#include "wire/RequestCode.h"
#include "wire/UnitBytes.h"
#include "wire/WireFlags.h"

namespace {

using WireFlags::EndOfTransfer;
using WireFlags::NotWritable;

} // namespace

ParameterTransfer::ParameterTransfer(DeviceImage& image)
    : m_image(image) {}

void ParameterTransfer::setZapisZeSouboru(bool on) {
    if (on == m_zapisZeSouboru) return;
    m_zapisZeSouboru = on;
    if (m_modeObserver) m_modeObserver(on);
}

void ParameterTransfer::NastavZapisPar(int start, int stop, int typ, bool prCS) {
    const TUsek usek{start, stop, typ, prCS};
    ParZapis.Usek.append(usek);
    ParZapis.Pocet += stop - start + 1;
    ParZapisKopie.Usek.resize(ParZapis.Usek.size());
    ParZapisKopie.Usek.last() = usek;
}

void ParameterTransfer::NactiZapPar() {
    if (ParZapis.Usek.isEmpty()) {
        ZapStart = -1;
        ZapStop = -1;
        ParZapis.Pocet = 0;
        return;
    }
    const TUsek usek = ParZapis.Usek.takeFirst();
    ZapStart = usek.Start;
    ZapStop = usek.Stop;
    ZapTyp = usek.Typ;
    ZapCS = usek.CS;
    ZapIndex = usek.Start;
}

void ParameterTransfer::begin() {
    NactiZapPar();
    ParZapis.Prubeh = 0;
}

QByteArrayView ParameterTransfer::acceptedCode() const {
    switch (ZapTyp & 0x0F) {
    case KindB:
    case KindW:
    case KindDW: return "B2";
    case UnitFunction: return "BF";
    case CounterReset: return "B3";
    case Texts: return "B4";
    default: return {};
    }
}

bool ParameterTransfer::parameterWritable(int kind) const {
    if (!m_zapisZeSouboru) return true;
    const int i = ZapIndex;
    const bool active = kind == KindB   ? m_image.ParB_Act[i]
                        : kind == KindW ? m_image.ParW_Act[i]
                                        : m_image.ParDW_Act[i];
    return active && ParameterCatalogue::fromFile(kind, i, writeFromFileSelection);
}

QByteArray ParameterTransfer::parameterPayload(int kind) const {
    // An index the unit echoed beyond the kind's parameters is sent as "do not change".
    const bool inRange = ZapIndex >= 0 && ZapIndex < ParameterCatalogue::count(kind);
    quint32 value = 0;
    int flags = ZapTyp & 0x0F;
    if (inRange) {
        value = kind == KindB   ? m_image.ParB[2][ZapIndex]
                : kind == KindW ? m_image.ParW[2][ZapIndex]
                                : m_image.ParDW[2][ZapIndex];
    }
    if (!inRange || !parameterWritable(kind)) flags |= NotWritable;
    if (ZapIndex == ZapStop && ZapCS) flags |= EndOfTransfer;
    return commandPayload(RequestCode::WriteParameter, IntToHex(ZapIndex & 0xFF, 2) +
                                                           IntToHex(flags, 2) +
                                                           IntToHex(qint64(value), 8));
}

QByteArray ParameterTransfer::textPayload() const {
    const bool known = ZapIndex >= 0 && ZapIndex < ParameterCatalogue::ProductionFields;
    QString text = known && m_productionText ? m_productionText(ZapIndex) : QString();
    const qsizetype nul = text.indexOf(QChar(0));
    if (nul >= 0) text.remove(nul, 1);
    // The length field counts ten characters: a longer text is cut so the frame never lies.
    QByteArray bytes = unitBytes(text.left(TextWidth));
    bytes = bytes.leftJustified(TextWidth, ' ');
    const bool writable = known && ParameterCatalogue::productionField(ZapIndex).writable;
    return commandPayload(RequestCode::WriteText,
                          IntToHex((ZapIndex & 0x3F) | (writable ? 0 : NotWritable), 2) + bytes);
}

QByteArray ParameterTransfer::itemPayload() const {
    if (ZapStart < 0) return {};
    const int kind = ZapTyp & 0x0F;
    switch (kind) {
    case KindB:
    case KindW:
    case KindDW: return parameterPayload(kind);
    case UnitFunction:
        return commandPayload(RequestCode::UnitFunction, IntToHex(ZapIndex & 0xFF, 2));
    case CounterReset:
        return commandPayload(RequestCode::ResetCounter, IntToHex(ZapIndex & 0xFF, 2));
    case Texts: return textPayload();
    default: return {};
    }
}

TransferSteps::Reply ParameterTransfer::itemReply(QByteArrayView code, QByteArrayView data) {
    // Only an acknowledgement carries the index the unit wrote. Any other reply (a probe's
    // answer, a wrong code, no data byte) says nothing about the walk: reading an index from it
    // would make the unit execute an item nobody asked for.
    if (code != acceptedCode() || data.size() < 2) return Reply::Refused;
    const int kind = ZapTyp & 0x0F;
    // The unit steers the walk: the tool continues after the index it echoes.
    ZapIndex = HexToInt(data.first(2));
    if (kind == UnitFunction || kind == CounterReset || kind == Texts) ZapIndex &= 0x0F;
    Reply reply = Reply::Acknowledged;
    if (ZapIndex < ZapStop) {
        ++ZapIndex;
    } else {
        NactiZapPar();
        if (ZapStart < 0)
            reply = Reply::Finished;
        else
            ZapIndex = ZapStart;
    }
    ++ParZapis.Prubeh;
    if (reply == Reply::Acknowledged && m_stopRequested) {
        m_stopRequested = false;
        abandon();
        reply = Reply::Finished;
    }
    return reply;
}

void ParameterTransfer::abandon() {
    if (ZapStart < 0) return;
    // The rest of the segment in flight goes out first with the next transfer.
    const bool inSegment = ZapIndex >= ZapStart && ZapIndex <= ZapStop;
    ParZapis.Usek.prepend(TUsek{inSegment ? ZapIndex : ZapStart, ZapStop, ZapTyp, ZapCS});
    ParZapis.Pocet = 0;
    for (const TUsek& usek : std::as_const(ParZapis.Usek))
        ParZapis.Pocet += usek.Stop - usek.Start + 1;
    ZapStart = -1;
    ZapStop = -1;
}

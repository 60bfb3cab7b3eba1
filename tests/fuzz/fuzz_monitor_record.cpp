// The monitor decoder on any sequence of records, from any image, display and service window.
//
// Properties: a record shorter than 66 characters changes nothing; the decoder reads the first
// 66 characters only (the reply hands it up to 100, the checksum included), so any tail gives
// the same image, display and sheet; gauges stay within their scales, the parameter and text
// cursors either step by one or start over at 0, and no text is learned longer than its store.

#include "FuzzSupport.h"
#include "device/MonitorDecoder.h"
#include "device/MonitorDisplay.h"
#include "device/MonitorHooks.h"
#include "image/DeviceImage.h"
#include "params/ServiceSheet.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QLoggingCategory>

namespace {

class Hooks : public MonitorHooks {
public:
    bool unselected = false;
    QStringList calls;
    void ZobrazPar(int sada) override { calls.append(QStringLiteral("ZobrazPar %1").arg(sada)); }
    void PorovnejZmenuPolohRele() override { calls.append(QStringLiteral("PolohRele")); }
    void PorovnejZmenuPolohySafe() override { calls.append(QStringLiteral("PolohySafe")); }
    bool workingTorqueUnselected(int) const override { return unselected; }
    void ZobrazVerzi() override { calls.append(QStringLiteral("ZobrazVerzi")); }
};

struct Rig {
    DeviceImage image;
    MonitorDisplay display;
    ServiceSheet sheet;
    Hooks hooks;
    bool zapisZeSouboru = false;
    MonitorDecoder decoder{image, display, sheet, hooks, zapisZeSouboru};

    void preset(FuzzedDataProvider& in) {
        zapisZeSouboru = in.ConsumeBool();
        hooks.unselected = in.ConsumeBool();
        display.parametersVariantItem = in.ConsumeIntegralInRange(-1, 5);
        image.ParB[0][4] = in.ConsumeIntegral<quint8>();
        image.ParB[0][26] = in.ConsumeIntegralInRange(0, 2);
        image.Chyby_Akt[0] = in.ConsumeIntegral<quint8>();
        for (int w = 0; w < 5; ++w)
            image.ParW[0][w] = in.ConsumeIntegral<quint16>();
        image.MonParIndex = in.ConsumeIntegralInRange(0, 70);
        image.MonParTyp = in.ConsumeIntegralInRange(0, 4);
        image.MonTextZnak = in.ConsumeIntegralInRange(0, 20);
        image.MonTextCislo = in.ConsumeIntegralInRange(0, 20);
    }
};

template <typename T, size_t N>
void put(QStringList& out, const char* name, const std::array<T, N>& a) {
    QStringList items;
    for (const T& v : a)
        items.append(QString::number(qint64(v)));
    out.append(QLatin1String(name) + QLatin1Char('=') + items.join(QLatin1Char(',')));
}

// Everything the decoder may write, as comparable text.
QStringList stateOf(const Rig& r) {
    QStringList s;
    const DeviceImage& im = r.image;
    for (int set = 0; set < DeviceImage::Sets; ++set) {
        put(s, "ParB", im.ParB[set]);
        put(s, "ParW", im.ParW[set]);
        put(s, "ParDW", im.ParDW[set]);
    }
    put(s, "ParB_Act", im.ParB_Act), put(s, "ParW_Act", im.ParW_Act),
        put(s, "ParDW_Act", im.ParDW_Act);
    put(s, "ParB_Err", im.ParB_Err), put(s, "ParW_Err", im.ParW_Err),
        put(s, "ParDW_Err", im.ParDW_Err);
    put(s, "ParB_Sign", im.ParB_Sign), put(s, "ParB_Reported", im.ParB_Reported);
    put(s, "ParW_Reported", im.ParW_Reported), put(s, "ParDW_Reported", im.ParDW_Reported);
    put(s, "ReleBajty", im.ReleBajty), put(s, "Chyby_Akt", im.Chyby_Akt);
    put(s, "ChybySkupAktivni", im.ChybySkupAktivni);
    s.append(QStringLiteral("live %1 %2 %3 %4 %5 %6 %7")
                 .arg(im.Poloha_Proc)
                 .arg(im.Poloha_Abs)
                 .arg(im.Ridici_Signal_Abs)
                 .arg(im.Moment_Abs)
                 .arg(im.Cas_Chodu_Hodiny)
                 .arg(im.Cas_Chodu_Minuty)
                 .arg(im.Teplota));
    for (const auto& text : im.VyrobniUdaje) {
        QString line = QStringLiteral("text %1 %2:").arg(text.learnedLength).arg(text.shownLength);
        for (const auto& c : text.cells)
            line += QStringLiteral(" %1/%2").arg(c.received).arg(c.shown);
        s.append(line);
    }
    s.append(QStringLiteral("cursors %1 %2 %3 %4 %5 %6 %7 %8")
                 .arg(im.MonParIndex)
                 .arg(im.MonParTyp)
                 .arg(im.MonChybySkup)
                 .arg(im.MonIoSkup)
                 .arg(im.MonInfoIndex)
                 .arg(im.MonChybaIndex)
                 .arg(im.MonTextZnak)
                 .arg(im.MonTextCislo));
    const MonitorDisplay& d = r.display;
    for (const MonitorDisplay::Gauge& g : {d.Gauge1, d.Gauge2, d.Gauge3, d.Gauge4})
        s.append(QStringLiteral("gauge %1 %2 %3").arg(g.value).arg(g.showsText).arg(g.red));
    s << d.Edit1 << d.Edit2 << d.Edit3 << d.Edit4 << d.Edit5 << d.Edit6 << d.Edit7 << d.Edit8
      << d.Edit9 << d.Edit11 << d.Edit12 << d.Edit13 << d.Edit14 << d.Edit15 << d.Edit20
      << d.variantText << d.dialogPosition << d.dialogEndO << d.dialogEndZ << d.controlSignalRaw;
    for (const QString& e : d.Edit16_19)
        s << e;
    s.append(QStringLiteral("flags %1%2%3%4%5%6%7%8 %9")
                 .arg(d.CheckBox1)
                 .arg(d.CheckBox5)
                 .arg(d.CheckBox6)
                 .arg(d.CheckBox20)
                 .arg(d.CheckBox21)
                 .arg(d.CheckBox4)
                 .arg(d.CheckBox2)
                 .arg(d.CheckBox3)
                 .arg(QStringLiteral("%1%2%3%4%5%6")
                          .arg(d.errorGridRed)
                          .arg(d.autocalibrationRed)
                          .arg(d.workingTorqueRedO)
                          .arg(d.workingTorqueRedZ)
                          .arg(d.fieldbusSelectorsEnabled)
                          .arg(d.redundancyEnabled)));
    const auto grid = [&s](const SheetGrid& g) {
        for (int row = 0; row < g.rowCount(); ++row)
            for (int col = 0; col < g.columnCount(); ++col)
                s << g.cell(col, row);
    };
    grid(d.errorGrid);
    for (const SheetGrid& g : d.ioGrids)
        grid(g);
    for (int id = 0; id < ServiceSheet::GridCount; ++id)
        grid(r.sheet.grid(id));
    s << r.hooks.calls;
    return s;
}

void checkRanges(const DeviceImage& was, const Rig& r) {
    const MonitorDisplay& d = r.display;
    FUZZ_CHECK(d.Gauge1.value >= 0 && d.Gauge1.value <= 10000, << d.Gauge1.value);
    FUZZ_CHECK(d.Gauge2.value >= 0 && d.Gauge2.value <= 10000, << d.Gauge2.value);
    FUZZ_CHECK(d.Gauge3.value >= 0 && d.Gauge3.value <= 100, << d.Gauge3.value);
    FUZZ_CHECK(d.Gauge4.value >= 0 && d.Gauge4.value <= 100, << d.Gauge4.value);
    const DeviceImage& im = r.image;
    FUZZ_CHECK(im.MonParIndex == 0 || im.MonParIndex == was.MonParIndex + 1, << im.MonParIndex);
    FUZZ_CHECK(im.MonTextZnak == 0 || im.MonTextZnak == was.MonTextZnak + 1, << im.MonTextZnak);
    FUZZ_CHECK(im.MonParTyp >= 0 && im.MonTextCislo >= 0, << im.MonParTyp << im.MonTextCislo);
    for (const auto& text : im.VyrobniUdaje) {
        FUZZ_CHECK(text.learnedLength >= 0 && text.learnedLength <= DeviceImage::TextCells);
        FUZZ_CHECK(text.shownLength >= 0 && text.shownLength <= DeviceImage::TextCells);
    }
}

std::string record(FuzzedDataProvider& in) {
    return in.ConsumeRandomLengthString(110);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // A short record is reported on the log; thousands of them would drown the fuzzer's output.
    QLoggingCategory::setFilterRules(QStringLiteral("kovr.monitor.warning=false"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    Rig a, b;
    a.preset(in);
    b.zapisZeSouboru = a.zapisZeSouboru;
    b.hooks.unselected = a.hooks.unselected;
    b.display.parametersVariantItem = a.display.parametersVariantItem;
    b.image = a.image;
    const std::string tail = in.ConsumeRandomLengthString(40);
    const QByteArray otherTail(tail.data(), qsizetype(tail.size()));
    while (in.remaining_bytes() > 0) {
        const std::string bytes = record(in);
        const QByteArray rec(bytes.data(), qsizetype(bytes.size()));
        if (rec.size() < MonitorDecoder::RecordLength) {
            const QStringList was = stateOf(a);
            a.decoder.ZobrazMonitor(rec);
            FUZZ_CHECK(stateOf(a) == was, << "a short record changed something:" << rec);
            continue;
        }
        const DeviceImage before = a.image;
        a.decoder.ZobrazMonitor(rec);
        checkRanges(before, a);
        b.decoder.ZobrazMonitor(rec.left(MonitorDecoder::RecordLength) + otherTail);
        const QStringList sa = stateOf(a), sb = stateOf(b);
        for (qsizetype i = 0; i < sa.size() && i < sb.size(); ++i)
            FUZZ_CHECK(sa.at(i) == sb.at(i),
                       << rec << "tail" << otherTail << ":" << sa.at(i) << "vs" << sb.at(i));
        FUZZ_CHECK(sa.size() == sb.size());
    }
    return 0;
}

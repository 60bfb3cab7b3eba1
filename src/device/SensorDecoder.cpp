#include "device/SensorDecoder.h"

#include "lang/Lang.h"
#include "params/SheetGrid.h"
#include "wire/Frame.h"

namespace {

// Codes 0..19: the calibration's steps.
constexpr const char* StepKeys[] = {
    "kalibrSnimac0",
    "kalibrSnimacStartKalibrace",
    "kalibrSnimacOtaceniSnimace4",
    "kalibrSnimacKlidovyStavSnimace4",
    "kalibrSnimacKOnecOtaceniSnimace4",
    "kalibrSnimacOtaceniSnimace2",
    "kalibrSnimacKlidovyStavSnimace2",
    "kalibrSnimacOffsetySnimacu234",
    "kalibrSnimacPripravaPredpolohySnimace2",
    "kalibrSnimacZmenaPredpolohySnimace2",
    "kalibrSnimacPripravaPredpolohySnimace3",
    "kalibrSnimacZmenaPredpolohySnimace3",
    "kalibrSnimacPripravaPredpolohySnimace4",
    "kalibrSnimacZmenaPredpolohySnimace4",
    "kalibrSnimacKontrolaKalibrace",
    "kalibrSnimacKontrolaKalibraceO",
    "kalibrSnimacKontrolaKalibraceO",
    "kalibrSnimacKontrolaKalibrace",
    "kalibrSnimacKontrolaKalibraceZ",
    "kalibrSnimacKontrolaKalibraceZ",
};
// Codes 100..116: how a calibration failed.
constexpr int FirstErrorCode = 100;
constexpr const char* ErrorKeys[] = {
    "kalSnimacErrChybaPreruseniZPC",
    "kalSnimacErrVolne1",
    "kalSnimacErrVolne2",
    "kalSnimacErrChybaZacinaSChybou",
    "kalSnimacErrChybaOpacnySmyslOtaceni",
    "kalSnimacErrChybaPreskakujeStupen2O",
    "kalSnimacErrChybaPreskakujeStupen3O",
    "kalSnimacErrChybaPreskakujeStupen4O",
    "kalSnimacErrChybaPreskakujeStupen2Z",
    "kalSnimacErrChybaPreskakujeStupen3Z",
    "kalSnimacErrChybaPreskakujeStupen4Z",
    "kalSnimacErrChybasnimac1",
    "kalSnimacErrChybaSnimac2",
    "kalSnimacErrChybaSnimac3",
    "kalSnimacErrChybaSnimac4",
    "kalSnimacErrChybaElektronikaSnimace",
    "kalSnimacErrChybaNeznama",
};
constexpr int FinishedCode = 255;

// Flag rows 4..9 by their bit.
constexpr int FlagBits[] = {0x20, 0x10, 0x08, 0x04, 0x02, 0x01};
constexpr int FirstFlagRow = 4;

// The unit works with its own offsets while it calibrates and when it has finished.
bool unitHoldsOffsets(int code) {
    return (code >= 1 && code <= 99) || code == FinishedCode;
}

} // namespace

QString sensorStatusText(int code) {
    if (code >= 0 && code < int(std::size(StepKeys)))
        return LangText(QString::fromLatin1(StepKeys[code]));
    if (code >= FirstErrorCode && code < FirstErrorCode + int(std::size(ErrorKeys)))
        return LangText(QString::fromLatin1(ErrorKeys[code - FirstErrorCode]));
    if (code == FinishedCode) return LangText(QStringLiteral("kalSnimacOk"));
    return LangText(QStringLiteral("kalSnimacNeznamy")) + QString::number(code);
}

void ZobrazSnimac(QByteArrayView s, SensorDisplay& display) {
    display.gauge = recordField(s, 9, 4);
    display.absolute = QString::number(recordField(s, 13, 8)); // eight digits: two's complement
    const int code = recordField(s, 53, 2);
    display.offsetsEditable = !unitHoldsOffsets(code);
    for (int i = 0; i < SensorDisplay::Sensors; ++i) {
        if (!display.offsetsEditable)
            display.offsets[i] = QString::number(recordField(s, 2 * i + 1, 2));
        auto& rows = display.sensors[i];
        rows[0] = QString::number(recordField(s, 4 * i + 21, 2));
        const int v = recordField(s, 2 * i + 37, 2);
        rows[1] = QString::number(v >> 4);
        rows[2] = QString::number(v & 0x0F);
        rows[3] = QString::number(recordField(s, 2 * i + 45, 2));
        const int flags = recordField(s, 4 * i + 23, 2);
        for (int f = 0; f < int(std::size(FlagBits)); ++f)
            rows[FirstFlagRow + f] = SheetGrid::mark(flags & FlagBits[f]);
    }
    display.status = sensorStatusText(code);
    display.speed = QString::number(recordField(s, 57, 2));
    display.counter = QString::number(recordField(s, 59, 2));
}

quint8 offsetFromText(const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? quint8(value & 0xFF) : 0;
}

#include "device/TorqueDecoder.h"

#include "image/DeviceImage.h"
#include "lang/Lang.h"
#include "wire/Frame.h"

namespace {

// Status code → text key; codes 1, 3, 4, 5 run side O, 2, 7, 8, 9 side Z, 6 and 10 end them.
constexpr const char* StatusKeys[] = {
    "kalMoment0",
    "kalMomentO50",
    "kalMomentZ50",
    "kalMomentO50",
    "kalMomentO100",
    "kalMomentO100",
    "kalMomentUkoncenoOK",
    "kalMomentZ50",
    "kalMomentZ100",
    "kalMomentZ100",
    "kalMomentUkoncenoOK",
    "kalMomentChybaPreruseniZPC",
    "kalMomentChybaZacinaSChybou",
    "kalMomentChybaChybnyPovel",
    "kalMomentChybaSignalStolice",
};

enum Side { None = -1, SideO = 0, SideZ = 1 };

Side runningSide(int code) {
    switch (code) {
    case 1:
    case 3:
    case 4:
    case 5: return SideO;
    case 2:
    case 7:
    case 8:
    case 9: return SideZ;
    default: return None;
    }
}

} // namespace

QString torqueStatusText(int code) {
    if (code >= 0 && code < int(std::size(StatusKeys)))
        return LangText(QString::fromLatin1(StatusKeys[code]));
    return LangText(QStringLiteral("kalSnimacNeznamy")) + QString::number(code);
}

void ZobrazMoment(QByteArrayView s, DeviceImage& image, TorqueDisplay& display) {
    image.Moment_Abs = recordField(s, 1, 4);
    display.rawTorque = QString::number(image.Moment_Abs);
    const int code = recordField(s, 27, 2);
    display.status = torqueStatusText(code);
    // The unit counts the bench signal in 0.002 mA.
    const float b = float(recordField(s, 13, 4)) * 20.0f / 10000.0f;
    const QString bench = QString::number(b, 'f', 2);

    auto& results = display.results;
    if (const Side side = runningSide(code); side != None) {
        results[side] = {};
        display.bench = bench;
    } else if (code == 6 || code == 10) {
        // Field 5–8 is the minimum point's result (row 2), field 9–12 the 100 % point's.
        const Side finished = code == 6 ? SideO : SideZ;
        results[finished][1] = QString::number(recordField(s, 5, 4));
        results[finished][0] = QString::number(recordField(s, 9, 4));
        display.bench = bench;
    } else {
        display.bench.clear();
    }
}

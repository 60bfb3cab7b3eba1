#include "device/MonitorDecoder.h"

#include "device/MonitorDisplay.h"
#include "device/MonitorHooks.h"
#include "image/DeviceImage.h"
#include "lang/Lang.h"
#include "params/ParameterCatalogue.h"
#include "params/ServiceSheet.h"
#include "params/SheetGrid.h"
#include "wire/Frame.h"
#include "wire/WireFlags.h"

#include <QLoggingCategory>
#include <algorithm>
#include <cmath>

Q_LOGGING_CATEGORY(lcMonitor, "kovr.monitor")

namespace {

const char* const autocalibrationKeys[] = {
    "autoCal0",
    "autoCalOdjetiOdKraje",
    "autoCalSetrvacnostO",
    "autoCalSetrvacnostZ",
    "autoCalCasDojezduO",
    "autoCalCasDojezduZ",
    "autoCalUkoncenoOK",
    "autoCalChybnaSetrvacnost",
    "autoCalChybnyCasDobehu",
    "autoCalChybaZastavujiciMotor",
    "autoCalChybaVyvolanMoment",
};

// Error names by error code; the last-errors list and the autocalibration text share them.
const char* const errorNameKeys[] = {
    "napisChyby0",
    "napisChybySafe",
    "napisChybyRidiciSignal",
    "napisChyby3",
    "napisChybyMoment",
    "napisChyby5",
    "napisChybyTP",
    "napisChybySmerOtaceni",
    "napisChybyEEPROM",
    "napisChybyRAM",
    "napisChybyParametry",
    "napisChybyNastRezim",
    "napisChybySnimacMoment",
    "napisChybySnimac1",
    "napisChybySnimac2",
    "napisChybySnimac3",
    "napisChybySnimac4",
    "napisChybyAutokalibrace",
    "napisChybyMomentNast",
    "napisChybyZdvih",
    "napisChybyOtaceni",
    "napisChybyTeplota<",
    "napisChybyTeplota>",
    "napisChybyLCDinterni",
    "napisChybyLCDexterni",
    "napisChybyFieldbus",
    "napisChybyCAN",
    "napisChybyFieldbusAkt",
    "napisChybyFaze",
    "napisChybyRele",
    "napisChybyReset",
    "napisChybyROM",
    "napisChybyCANverze",
    "napisChybyChybnyPovel",
    "napisChyby34",
    "napisChyby35",
    "napisChyby36",
    "napisChyby37",
    "napisChyby38",
    "napisChyby39",
    "napisChyby40",
    "napisChybyChybnaPoloha",
};

constexpr int LastListedError = 40;
using namespace WireFlags;
constexpr int ColumnName = ServiceSheet::NameColumn;
constexpr int ColumnChanged = ServiceSheet::ChangedColumn;
constexpr int ColumnError = ServiceSheet::ErrorColumn;
constexpr int ColumnValue = ServiceSheet::ValueColumn;
using ParameterCatalogue::CycleMode;
using ParameterCatalogue::Variant;
using ParameterCatalogue::WorkingTorqueO;
using ParameterCatalogue::WorkingTorqueZ;

QString motionText(int bits) {
    static const char* const keys[] = {"Stop", "Otevirat", "Zavirat"};
    return LangText(QString::fromLatin1(keys[bits]));
}

MonitorDisplay::Gauge gauge(double value, int maximum, bool showsText, bool red) {
    return {std::clamp(int(std::lround(value)), 0, maximum), showsText, red};
}

// Whether a received value is to be shown: it differs from set 1, or it is the parameter's
// first report (set 1 starts at zero, and a zero the unit reports must show all the same).
bool toBeShown(bool changed, bool& reported) {
    const bool first = !reported;
    reported = true;
    return changed || first;
}

} // namespace

MonitorDecoder::MonitorDecoder(DeviceImage& image, MonitorDisplay& display, ServiceSheet& sheet,
                               MonitorHooks& hooks, const bool& zapisZeSouboru)
    : m_image(image)
    , m_display(display)
    , m_sheet(sheet)
    , m_hooks(hooks)
    , m_zapisZeSouboru(zapisZeSouboru) {}

QString MonitorDecoder::NapisReset(int code) {
    switch (code) {
    case 0: return {};
    case 0x17: return QStringLiteral("17-WATCHDOG");
    case 0x1E: return QStringLiteral("1E-POWER");
    case 0x1F: return QStringLiteral("1F-RESET");
    default: return QString::fromLatin1(IntToHex(code, 2));
    }
}

QString MonitorDecoder::errorNameKey(int code) {
    if (code < 0 || code >= int(std::size(errorNameKeys))) return {};
    return QString::fromLatin1(errorNameKeys[code]);
}

QString MonitorDecoder::autocalibrationText(int code) {
    if (code >= 0 && code < int(std::size(autocalibrationKeys)))
        return LangText(QString::fromLatin1(autocalibrationKeys[code]));
    if (code >= 21 && code <= 52)
        return LangText(QStringLiteral("Chyba-")) + LangText(errorNameKey(code - 20));
    return LangText(QStringLiteral("Neznámý kód: ")) + QString::number(code);
}

QString MonitorDecoder::variantText(int variant) {
    const QStringList items = ParameterCatalogue::valueListTexts(Variant);
    if (variant >= 0 && variant < items.size()) return items.at(variant);
    // A variant newer than this program: the number, as the selectors show it.
    return QString::number(variant) + QStringLiteral(" (aktualizujte SW)");
}

int MonitorDecoder::field(int position, int digits) const {
    return HexToInt(midView(m_record, position - 1, digits));
}

void MonitorDecoder::ZobrazMonitor(const QByteArray& data) {
    if (data.size() < RecordLength) {
        qCWarning(lcMonitor) << "monitor record of" << data.size() << "characters not decoded";
        return;
    }
    m_record = data;
    position();
    controlSignal();
    const int status = field(29, 2);
    torque(status);
    checkBoxes(status);
    motion();
    errorSlot();
    ioSlot();
    m_display.Edit8 = autocalibrationText(field(51, 2));
    parameterSlot();
    counterSlot();
    informationSlot();
    textSlot();
}

void MonitorDecoder::position() {
    m_image.Poloha_Proc = field(1, 4);
    m_display.Gauge1 = gauge(m_image.Poloha_Proc, 10000, true, false);
    m_image.Poloha_Abs = quint32(field(9, 8));
    m_display.Edit1 = QString::number(m_image.Poloha_Abs);
    m_display.dialogPosition = m_display.Edit1;
}

void MonitorDecoder::controlSignal() {
    m_display.Gauge2 = gauge(field(5, 4), 10000, m_display.Gauge2.showsText, false);
    m_image.Ridici_Signal_Abs = field(17, 4);
    m_display.controlSignalRaw = QString::number(m_image.Ridici_Signal_Abs);
    // Single precision, one decimal, ties to the even digit.
    const float mA = float(m_image.Ridici_Signal_Abs * 20) / float(m_image.ParB[0][4] + 768);
    const float tenths = std::nearbyint(mA * 10.0f);
    m_display.Edit2 = QString::number(double(tenths) / 10.0, 'f', 1);
}

void MonitorDecoder::torque(int status) {
    const int m = field(21, 4);
    m_image.Moment_Abs = m;
    m_display.Edit4 = QString::number(m);
    const TorqueGauges gauges{m_display.Gauge4, m_display.Gauge3, bool(status & 0x04),
                              bool(status & 0x08)};
    // B 26 "Vypínání momentu": 1 (50-100 %) when the unit measures the torque against its
    // calibration (W 0..3), 0 when it only has the torque switches.
    constexpr int TorqueMeasured = 1;
    if (m_image.ParB[0][26] == TorqueMeasured)
        measuredTorque(m, gauges);
    else
        switchedTorque(m, gauges);
    gauges.o.red = gauges.flagO;
    gauges.z.red = gauges.flagZ;
}

void MonitorDecoder::showTorqueSide(const TorqueGauges& g, bool sideO, double percent,
                                    bool withNm) {
    // The side that has the torque shows its percentage; the other shows 40 without a text
    // while its switch is on.
    MonitorDisplay::Gauge& shown = sideO ? g.o : g.z;
    MonitorDisplay::Gauge& other = sideO ? g.z : g.o;
    shown = gauge(percent, 100, true, false);
    other = gauge((sideO ? g.flagZ : g.flagO) ? 40 : 0, 100, false, false);
    m_display.Edit12 =
        withNm ? QString::number(std::lround(m_image.ParW[0][4] * percent / 100.0)) : QString();
}

void MonitorDecoder::showTorqueDeadZone(const TorqueGauges& g) {
    g.o = gauge(g.flagO ? 40 : 0, 100, false, false);
    g.z = gauge(!g.flagO && g.flagZ ? 40 : 0, 100, false, false);
    m_display.Edit12.clear();
}

void MonitorDecoder::measuredTorque(int m, const TorqueGauges& g) {
    // Bit 2 of the first error group, a torque-setting error: no torque is shown.
    if (m_image.Chyby_Akt[0] & 0x04) {
        g.o = gauge(0, 100, false, false);
        g.z = gauge(0, 100, false, false);
        m_display.Edit12.clear();
        return;
    }
    // Lower readings are torque on the O side: W 0 is its 100 % point and W 1 its 50 % point, so
    // one per cent is (W 1 - W 0) / 50 and 40 % lies (W 1 - W 0) / 5 beyond W 1. Higher readings
    // are the Z side, W 2 its 100 % and W 3 its 50 % point. Below 40 % of both is the dead zone.
    const auto& w = m_image.ParW[0];
    const int w0 = w[0], w1 = w[1], w2 = w[2], w3 = w[3];
    const int fortyO = w1 + (w1 - w0) / 5;
    const int fortyZ = w3 - (w2 - w3) / 5;
    if (m <= fortyO)
        showTorqueSide(g, true, w1 == w0 ? 100.0 : 50.0 + 50.0 * (w1 - m) / (w1 - w0), true);
    else if (m >= fortyZ)
        showTorqueSide(g, false, w2 == w3 ? 100.0 : 50.0 + 50.0 * (m - w3) / (w2 - w3), true);
    else
        showTorqueDeadZone(g);
}

void MonitorDecoder::switchedTorque(int m, const TorqueGauges& g) {
    // Only the switches: a side is at 100 % beyond its 100 % point, else the dead zone.
    const auto& w = m_image.ParW[0];
    if (m <= w[0])
        showTorqueSide(g, true, 100, false);
    else if (m >= w[2])
        showTorqueSide(g, false, 100, false);
    else
        showTorqueDeadZone(g);
}

void MonitorDecoder::checkBoxes(int status) {
    m_display.CheckBox1 = status & 0x10;
    m_display.CheckBox5 = status & 0x20;
    m_display.CheckBox6 = status & 0x40;
    const int mode = field(25, 2);
    m_display.CheckBox20 = mode & 0x01;
    m_display.CheckBox21 = mode & 0x02;
    m_display.CheckBox4 = mode & 0x08;
    m_display.CheckBox2 = mode & 0x20;
    m_display.CheckBox3 = mode & 0x40;
}

void MonitorDecoder::motion() {
    const int bits = field(27, 2);
    if ((bits & 3) != 3) m_display.Edit7 = motionText(bits & 3);
    const int requested = (bits >> 2) & 3;
    m_display.Edit9 = requested == 3 ? QStringLiteral("ERR") : motionText(requested);
    if (((bits >> 4) & 3) != 3) {
        m_display.motorMotion = (bits >> 4) & 3;
        m_display.Edit3 = motionText(m_display.motorMotion);
    }
    if (m_display.parametersVariantItem == 4) {
        m_display.fieldbusSelectorsEnabled = bits & 0x40;
        m_display.redundancyEnabled = (bits & 0x40) && (bits & 0x80);
    }
}

void MonitorDecoder::errorSlot() {
    const int group = field(43, 2);
    const int bits = field(45, 2);
    if (group >= 0 && group <= 3) {
        m_image.Chyby_Akt[group] = quint8(bits);
        m_image.ChybySkupAktivni[group] = bits != 0;
        for (int k = 0; k < 8; ++k)
            m_display.errorGrid.setCell(1, 8 * group + k + 1, SheetGrid::mark(bits & (1 << k)));
        if (group == 1) m_display.autocalibrationRed = bits & 0x80;
    }
    const auto& active = m_image.ChybySkupAktivni;
    m_display.errorGridRed = std::any_of(active.begin(), active.end(), [](bool a) { return a; });
}

void MonitorDecoder::ioSlot() {
    const int group = field(47, 2);
    const int bits = field(49, 2);
    if (group < 0 || group > 2) return;
    for (int k = 0; k < 8; ++k)
        m_display.ioGrids[group].setCell(1, k, SheetGrid::mark(bits & (1 << k)));
}

void MonitorDecoder::writeFlagCells(int kind, int index, bool present, bool faulty) {
    const GridPlace place = ParameterCatalogue::place(kind, index);
    if (present)
        m_sheet.ServiceStringGridWriteNapis(place.grid, ColumnName, place.row);
    else
        m_sheet.ServiceStringGridWrite(place.grid, ColumnName, place.row, QString());
    m_sheet.ServiceStringGridWrite(place.grid, ColumnError, place.row, SheetGrid::mark(faulty));
}

void MonitorDecoder::writeValueCells(int kind, int index, const QString& text, bool changed) {
    const GridPlace place = ParameterCatalogue::place(kind, index);
    m_sheet.ServiceStringGridWrite(place.grid, ColumnValue, place.row, text);
    // A first report equal to set 1 leaves a pending edit, and so its mark, alone.
    if (changed) m_sheet.ServiceStringGridWrite(place.grid, ColumnChanged, place.row, QString());
}

void MonitorDecoder::storeByte(int i, int type, quint32 value) {
    DeviceImage& im = m_image;
    im.ParB[0][i] = quint8(value);
    im.ParB_Err[i] = type & TypeFaulty;
    const bool present = type & TypePresent;
    if (i == CycleMode && im.ParB_Act[i] != present) {
        im.ParB_Act[i] = present;
        m_hooks.ZobrazPar(1);
    }
    im.ParB_Act[i] = present;
    im.ParB_Sign[i] = type & TypeSigned;
    writeFlagCells(0, i, present, im.ParB_Err[i]);
    if (i == WorkingTorqueO || i == WorkingTorqueZ) {
        bool& red = i == WorkingTorqueO ? m_display.workingTorqueRedO : m_display.workingTorqueRedZ;
        red = im.ParB_Err[i];
        if (!red && m_hooks.workingTorqueUnselected(i)) m_hooks.ZobrazPar(1);
    }
    const bool changed = im.ParB[0][i] != im.ParB[1][i];
    if (!toBeShown(changed, im.ParB_Reported[i])) return;
    if (changed) im.ParB[1][i] = im.ParB[2][i] = im.ParB[0][i];
    m_hooks.ZobrazPar(1);
    if (i == Variant) m_display.variantText = variantText(im.ParB[1][Variant]);
    // The stored byte, not the whole 32-bit field: bits above it are not the parameter's.
    writeValueCells(0, i, ParameterCatalogue::valueText(0, im.ParB[0][i], im.ParB_Sign[i]),
                    changed);
}

void MonitorDecoder::storeWord(int i, int type, quint32 value) {
    DeviceImage& im = m_image;
    im.ParW[0][i] = quint16(value);
    im.ParW_Err[i] = type & TypeFaulty;
    im.ParW_Act[i] = type & TypePresent;
    writeFlagCells(1, i, im.ParW_Act[i], im.ParW_Err[i]);
    const quint16 word = im.ParW[0][i];
    const bool changed = word != im.ParW[1][i];
    if (!toBeShown(changed, im.ParW_Reported[i])) return;
    if (changed) im.ParW[1][i] = im.ParW[2][i] = word;
    writeValueCells(1, i, QString::number(word), changed);
    if (i >= 8 && i <= 11) {
        m_display.Edit16_19[i - 8] = QString::number(word / 100);
        m_hooks.PorovnejZmenuPolohRele();
    } else if (i == 12) {
        m_display.Edit20 = QString::number(word / 100);
        m_hooks.PorovnejZmenuPolohySafe();
    }
}

void MonitorDecoder::storeDoubleWord(int i, int type, quint32 value) {
    DeviceImage& im = m_image;
    im.ParDW[0][i] = value;
    im.ParDW_Err[i] = type & TypeFaulty;
    im.ParDW_Act[i] = type & TypePresent;
    writeFlagCells(2, i, im.ParDW_Act[i], im.ParDW_Err[i]);
    const bool changed = value != im.ParDW[1][i];
    if (!toBeShown(changed, im.ParDW_Reported[i])) return;
    if (changed) im.ParDW[1][i] = im.ParDW[2][i] = value;
    const QString text = QString::number(value);
    writeValueCells(2, i, text, changed);
    if (i == 0) {
        m_display.Edit11 = text;
        m_display.dialogEndO = text;
    } else {
        m_display.Edit13 = text;
        m_display.dialogEndZ = text;
    }
}

void MonitorDecoder::parameterSlot() {
    const int index = field(31, 2);
    const int type = field(33, 2);
    const quint32 value = quint32(field(35, 8));
    const int kind = type & 0x0F;
    // Indexes beyond the image are dropped; the cursor still moves on.
    if (!m_zapisZeSouboru && index < ParameterCatalogue::count(kind)) {
        if (kind == 0)
            storeByte(index, type, value);
        else if (kind == 1)
            storeWord(index, type, value);
        else
            storeDoubleWord(index, type, value);
    }
    advanceParameterCursor(index, kind);
}

void MonitorDecoder::advanceParameterCursor(int index, int kind) {
    DeviceImage& im = m_image;
    if (im.MonParTyp > 0 && kind == 0) im.MonParTyp = 0;
    if (im.MonParIndex > 0 && index == 0) {
        // The kind has nothing at the requested index: the rest of it is absent.
        for (int j = im.MonParIndex; j < ParameterCatalogue::count(kind); ++j) {
            const GridPlace place = ParameterCatalogue::place(kind, j);
            m_sheet.ServiceStringGridWrite(place.grid, ColumnName, place.row, QString());
        }
        im.MonParIndex = 0;
        ++im.MonParTyp;
    } else {
        ++im.MonParIndex;
    }
}

void MonitorDecoder::counterSlot() {
    const int number = field(53, 2);
    if (number < 32) m_display.errorGrid.setCell(2, number + 1, QString::number(field(55, 2)));
}

void MonitorDecoder::informationSlot() {
    DeviceImage& im = m_image;
    const int item = field(57, 2);
    const int v = field(59, 2);
    switch (item) {
    case 0: im.Cas_Chodu_Hodiny = (v << 8) | (im.Cas_Chodu_Hodiny & 0xFF); break;
    case 1: im.Cas_Chodu_Hodiny = (im.Cas_Chodu_Hodiny & 0xFF00) | v; break;
    case 2:
        im.Cas_Chodu_Minuty = v;
        m_display.Edit6 = QString::number(im.Cas_Chodu_Hodiny) + QLatin1Char(':') +
                          QString::number(v).rightJustified(2, QLatin1Char('0'));
        break;
    case 3:
        im.Teplota = qint8(v);
        m_display.Edit5 = QString::number(im.Teplota);
        break;
    case 4:
    case 5:
    case 6:
        if (v <= LastListedError)
            m_sheet.setCell(ServiceSheet::LastErrorsGrid, 0, item - 4, LangText(errorNameKey(v)));
        break;
    case 7:
    case 8:
    case 9: m_sheet.setCell(ServiceSheet::LastResetsGrid, 0, item - 7, NapisReset(v)); break;
    case 13:
        im.ReleBajty[3] = quint8(v);
        m_display.Edit15 = QString::number(im.Rele_O());
        break;
    case 17:
        im.ReleBajty[7] = quint8(v);
        m_display.Edit14 = QString::number(im.Rele_C());
        break;
    default:
        if (item >= 10 && item <= 16) im.ReleBajty[item - 10] = quint8(v);
        break;
    }
}

void MonitorDecoder::textSlot() {
    DeviceImage& im = m_image;
    const int z = field(61, 2);
    const int n = field(63, 2);
    const int x = field(65, 2);
    if (im.MonTextCislo > 0 && n == 0) im.MonTextCislo = 0;
    const bool inStore = n < DeviceImage::TextCount && z < DeviceImage::TextCells;
    if (im.MonTextZnak > 0 && z == 0) {
        if (n < DeviceImage::TextCount)
            im.VyrobniUdaje[n].learnedLength =
                std::min<int>(im.MonTextZnak, DeviceImage::TextCells);
        im.MonTextZnak = 0;
        ++im.MonTextCislo;
    } else {
        ++im.MonTextZnak;
    }
    if (!inStore) return;
    DeviceImage::ProductionText& text = im.VyrobniUdaje[n];
    DeviceImage::TextCell& cell = text.cells[z];
    cell.received = quint8(x);
    if ((cell.received != cell.shown || text.learnedLength != text.shownLength) &&
        !m_zapisZeSouboru) {
        cell.shown = cell.received;
        text.shownLength = text.learnedLength;
        m_hooks.ZobrazVerzi();
    }
}

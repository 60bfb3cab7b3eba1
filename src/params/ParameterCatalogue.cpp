#include "params/ParameterCatalogue.h"

#include "lang/Lang.h"

#include <QStringView>
#include <array>
#include <span>

namespace ParameterCatalogue {
namespace {

constexpr int B = KindB, W = KindW, DW = KindDW;
constexpr int CountB = 65, CountW = 19, CountDW = 2;
constexpr int ParameterCount = CountB + CountW + CountDW;
constexpr bool Y = true, N = false;
using enum Editor;

// One row of a parameter grid. `file0`/`file1`: written when a parameter file is written with
// selection 0 ("Omezení") or 1 ("Výměna snímače").
struct Row {
    int kind;
    int index;
    QStringView key;
    Editor editor;
    bool file0;
    bool file1;
};

// Every parameter in grid order: left rows 1..42, then right rows 1..44. The place tables and
// the row lookups are both derived from this one table, so they cannot disagree.
constexpr std::array<Row, ParameterCount> Rows{{
    // StringGrid1
    {DW, 0, u"PolohaO", Position, Y, Y},
    {DW, 1, u"PolohaZ", Position, Y, Y},
    {B, 0, u"OffsetSnimac1", Sensor, N, Y},
    {B, 1, u"OffsetSnimac2", Sensor, N, Y},
    {B, 2, u"OffsetSnimac3", Sensor, N, Y},
    {B, 3, u"OffsetSnimac4", Sensor, N, Y},
    {B, 54, u"PasmoSnimac", None, N, Y},
    {B, 12, u"SmerOtaceni", Parameters, Y, Y},
    {W, 5, u"MomentMin", None, N, Y},
    {W, 0, u"MomentO100", Torque, N, Y},
    {W, 1, u"MomentOMin", Torque, N, Y},
    {W, 3, u"MomentZMin", Torque, N, Y},
    {W, 2, u"MomentZ100", Torque, N, Y},
    {W, 4, u"MomentJmenovity", None, N, Y},
    {B, 5, u"KorekceMoment", None, N, Y},
    {B, 27, u"MomentPracovniO", None, Y, Y},
    {B, 10, u"MomentPracovniZ", None, Y, Y},
    {B, 26, u"VypinaniMomentu", Parameters, Y, Y},
    {B, 44, u"MomentSmysl", Parameters, Y, Y},
    {B, 29, u"CasBlokKraj", None, Y, Y},
    {B, 28, u"PolohaBlokKrajO", None, Y, Y},
    {B, 25, u"PolohaBlokKrajZ", None, Y, Y},
    {B, 6, u"Provedeni", Parameters, N, Y},
    {B, 11, u"TypPohonu", Parameters, Y, Y},
    {B, 23, u"Jazyk", Parameters, Y, Y},
    {B, 14, u"Brzda", Parameters, Y, Y},
    {B, 8, u"KonfiguraceCAN", Parameters, Y, Y},
    {B, 9, u"MistniOvladani", Parameters, Y, Y},
    {B, 19, u"CPT", Parameters, Y, Y},
    {W, 6, u"CPT4", Cpt, N, Y},
    {W, 7, u"CPT20", Cpt, N, Y},
    {B, 20, u"AktivniTP", Parameters, Y, Y},
    {B, 21, u"TPSafe", Parameters, Y, Y},
    {B, 22, u"TPNulovani", Parameters, Y, Y},
    {B, 63, u"FunkceI1", Parameters, Y, Y},
    {B, 18, u"AktivniI1", Parameters, Y, Y},
    {B, 17, u"ReakceSafe", Parameters, Y, Y},
    {W, 12, u"PolohaSafe", Position, Y, Y},
    {B, 7, u"Autokalibrace", Parameters, N, N},
    {B, 15, u"RidiciSignal", Parameters, Y, Y},
    {B, 64, u"RidiciSignal0mA", ControlSignal, N, N},
    {B, 4, u"RidiciSignal20mA", ControlSignal, N, N},
    // StringGrid3
    {B, 30, u"Setrvacnost", None, Y, Y},
    {B, 31, u"SetrvacnostDobeh", None, Y, Y},
    {B, 32, u"Necitlivost [%]", None, Y, Y},
    {B, 33, u"NecitlivostVnitrni", None, Y, Y},
    {B, 42, u"Krok", None, Y, Y},
    {B, 49, u"ToleranceOZ", None, Y, Y},
    {B, 16, u"VypinaniKraje", Parameters, Y, Y},
    {B, 43, u"ReleReady", Parameters, Y, Y},
    {B, 45, u"Rele1", Parameters, Y, Y},
    {B, 46, u"Rele2", Parameters, Y, Y},
    {B, 47, u"Rele3", Parameters, Y, Y},
    {B, 48, u"Rele4", Parameters, Y, Y},
    {W, 8, u"PolohaRele1", Position, Y, Y},
    {W, 9, u"PolohaRele2", Position, Y, Y},
    {W, 10, u"PolohaRele3", Position, Y, Y},
    {W, 11, u"PolohaRele4", Position, Y, Y},
    {B, 34, u"Varovani1", ErrorMasks, Y, Y},
    {B, 35, u"Varovani2", ErrorMasks, Y, Y},
    {B, 36, u"Varovani3", ErrorMasks, Y, Y},
    {B, 37, u"Varovani4", ErrorMasks, Y, Y},
    {B, 38, u"Chyby1", ErrorMasks, Y, Y},
    {B, 39, u"Chyby2", ErrorMasks, Y, Y},
    {B, 40, u"Chyby3", ErrorMasks, Y, Y},
    {B, 41, u"Chyby4", ErrorMasks, Y, Y},
    {B, 50, u"TeplotaTermostat", None, Y, Y},
    {B, 51, u"TeplotaMin", None, Y, Y},
    {B, 52, u"TeplotaMax", None, Y, Y},
    {B, 24, u"LCDKontrast", None, Y, Y},
    {B, 56, u"TaktMod", Parameters, Y, Y},
    {B, 13, u"TaktBeh", None, Y, Y},
    {B, 53, u"TaktPausa", None, Y, Y},
    {W, 15, u"TaktPolohaO1", Position, Y, Y},
    {W, 16, u"TaktPolohaO2", Position, Y, Y},
    {W, 17, u"TaktPolohaZ1", Position, Y, Y},
    {W, 18, u"TaktPolohaZ2", Position, Y, Y},
    {W, 14, u"ReleZivotnost", None, Y, Y},
    {W, 13, u"RychlostOtaceni", None, Y, Y},
    {B, 57, u"MomentVypnuti", None, N, Y},
    {B, 58, u"CasBlokRozbeh", None, N, Y},
    {B, 55, u"Adresa", None, Y, Y},
    {B, 59, u"PrenosovaRychlost", Parameters, Y, Y},
    {B, 60, u"Parita", Parameters, Y, Y},
    {B, 61, u"Redundance", Parameters, Y, Y},
    {B, 62, u"CasKontrolySpojeni", None, Y, Y},
}};

constexpr int kindCount(int kind) {
    return kind == B ? CountB : kind == W ? CountW : kind == DW ? CountDW : 0;
}

// Place tables: per kind, index -> position in Rows (-1 until filled).
struct PlaceTables {
    std::array<int, CountB> b{};
    std::array<int, CountW> w{};
    std::array<int, CountDW> dw{};
};

constexpr PlaceTables buildPlaces() {
    PlaceTables t;
    t.b.fill(-1);
    t.w.fill(-1);
    t.dw.fill(-1);
    for (int pos = 0; pos < ParameterCount; ++pos) {
        const Row& r = Rows[pos];
        int& slot = r.kind == B ? t.b[r.index] : r.kind == W ? t.w[r.index] : t.dw[r.index];
        slot = slot == -1 ? pos : -2; // -2: the parameter sits on two rows
    }
    return t;
}

constexpr PlaceTables Places = buildPlaces();

constexpr bool everyParameterOnOneRow() {
    for (int pos : Places.b)
        if (pos < 0) return false;
    for (int pos : Places.w)
        if (pos < 0) return false;
    for (int pos : Places.dw)
        if (pos < 0) return false;
    return true;
}
static_assert(everyParameterOnOneRow(), "each parameter needs exactly one grid row");

// Position in Rows of a parameter, -1 outside.
int positionOf(int kind, int index) {
    if (index < 0 || index >= kindCount(kind)) return -1;
    if (kind == B) return Places.b[index];
    if (kind == W) return Places.w[index];
    return Places.dw[index];
}

// Position in Rows of a grid row, -1 outside.
int positionAt(int grid, int row) {
    if (grid == 0 && row >= 1 && row <= LeftRows) return row - 1;
    if (grid == 1 && row >= 1 && row <= RightRows) return LeftRows + row - 1;
    return -1;
}

GridPlace placeOfPosition(int pos) {
    return pos < LeftRows ? GridPlace{0, pos + 1} : GridPlace{1, pos - LeftRows + 1};
}

// Item texts of the drop-down lists. Dictionary keys unless the list says otherwise.
constexpr QStringView VariantItems[] = {u"KOVR.ED", u"KOVR.ED CONTROL", u"KOVR", u"KOVR CONTROL",
                                        u"KOVR FIELDBUS"};
constexpr QStringView AutocalibrationItems[] = {u"provedena", u"neprovedena"};
constexpr QStringView LocalControlItems[] = {u"LCD interní", u"LCD externí", u"trvale dálkové"};
constexpr QStringView WorkingTorqueItems[] = {u"50  %", u"60  %", u"70  %",
                                              u"80  %", u"90  %", u"100 %"};
constexpr QStringView ActuatorTypeItems[] = {u"víceotáčkový", u"jednootáčkový"};
constexpr QStringView DirectionItems[] = {u"pozitivní", u"negativní"};
constexpr QStringView BrakeItems[] = {u"nenamontována", u"namontována"};
constexpr QStringView ControlSignalItems[] = {u"4-20 mA", u"20-4 mA", u"0-20 mA", u"20-0 mA"};
constexpr QStringView EndLimitItems[] = {u"moment", u"moment+poloha O", u"moment+poloha Z",
                                         u"moment+poloha O+Z"};
constexpr QStringView SafeResponseItems[] = {u"otevírat", u"zavírat", u"zastavit", u"na polohu"};
constexpr QStringView InputI1Items[] = {u"0 V", u"230 V"};
constexpr QStringView CptItems[] = {u"4-20 mA", u"20-4 mA"};
constexpr QStringView ThermofuseItems[] = {u"spínací", u"rozpínací"};
constexpr QStringView ThermofuseSafeItems[] = {u"TP blokuje SAFE", u"SAFE točí motorem"};
constexpr QStringView ThermofuseResetItems[] = {u"automaticky", u"místním ovládáním"};
constexpr QStringView LanguageItems[] = {u"Česky", u"English", u"Polski"};
constexpr QStringView TorqueOffItems[] = {u"100%", u"50-100%"};
constexpr QStringView ReadyRelayItems[] = {u"vypnuto",
                                           u"varování",
                                           u"chyby",
                                           u"varování nebo chyby",
                                           u"chyby nebo není dálkové",
                                           u"chyby nebo var. nebo není dálk.",
                                           u"moment O nebo Z"};
constexpr QStringView RelayItems[] = {u"vypnuto",
                                      u"poloha O",
                                      u"poloha Z",
                                      u"moment O",
                                      u"moment Z",
                                      u"moment a poloha O",
                                      u"moment a poloha Z",
                                      u"otevírání",
                                      u"zavírání",
                                      u"pohyb",
                                      u"poloha",
                                      u"poloha negovaná",
                                      u"ovládání-místní",
                                      u"ovládání-dálkové",
                                      u"ovládání-vypnuto",
                                      u"moment O nebo Z",
                                      u"pohyb-blikač",
                                      u"moment O negovaný",
                                      u"moment Z negovaný",
                                      u"moment O nebo Z negovaný"};
constexpr QStringView CycleModeItems[] = {u"vypnuto", u"směr O", u"směr Z", u"směr O a Z"};
constexpr QStringView BaudRateItems[] = {
    u"300 bit/s",  u"600 bit/s",   u"1200 bit/s",  u"2400 bit/s",  u"4800 bit/s",
    u"9600 bit/s", u"19200 bit/s", u"38400 bit/s", u"57600 bit/s", u"115200 bit/s"};
constexpr QStringView ParityItems[] = {u"sudá", u"lichá", u"žádná"};
constexpr QStringView RedundancyItems[] = {u"vypnutá", u"kabelová", u"komponentní", u"opakovač"};
constexpr QStringView I1FunctionItems[] = {u"SAFE", u"2P SAFE", u"2P"};

// A list: either `items` (dictionary keys when `translated`, else shown as they are) or, when
// `items` is empty, the numbers first..last each followed by the fixed `suffix`.
struct ValueList {
    int b;
    int koef;
    int offset;
    std::span<const QStringView> items;
    bool translated = true;
    int first = 0;
    int last = -1;
    QStringView suffix = {};
};

constexpr ValueList numbered(int b, int koef, int offset, int first, int last, QStringView suffix) {
    return {b, koef, offset, {}, false, first, last, suffix};
}

constexpr ValueList ValueLists[] = {
    {6, 1, 0, VariantItems},
    {7, 1, 0, AutocalibrationItems},
    {9, 1, 0, LocalControlItems},
    {10, 10, -50, WorkingTorqueItems},
    {11, 1, 0, ActuatorTypeItems},
    {12, 1, 0, DirectionItems},
    {14, 1, 0, BrakeItems},
    {15, 1, 0, ControlSignalItems},
    {16, 1, 0, EndLimitItems},
    {17, 1, 0, SafeResponseItems},
    {18, 1, 0, InputI1Items},
    {19, 1, 0, CptItems},
    {20, 1, 0, ThermofuseItems},
    {21, 1, 0, ThermofuseSafeItems},
    {22, 1, 0, ThermofuseResetItems},
    {23, 1, 0, LanguageItems},
    numbered(25, 1, 0, 0, 50, u" %"),
    {26, 1, 0, TorqueOffItems},
    {27, 10, -50, WorkingTorqueItems},
    numbered(28, 1, 0, 0, 50, u" %"),
    numbered(29, 10, 0, 0, 20, u" s"), // stored in 0.1 s, chosen in whole seconds
    numbered(32, 1, -1, 1, 10, u" %"), // dead zone 1..10 % stored as is: item 0 is 1 %
    {43, 1, 0, ReadyRelayItems},
    {44, 1, 0, DirectionItems},
    {45, 1, 0, RelayItems},
    {46, 1, 0, RelayItems},
    {47, 1, 0, RelayItems},
    {48, 1, 0, RelayItems},
    {56, 1, 0, CycleModeItems},
    {59, 1, 0, BaudRateItems, false},
    {60, 1, 0, ParityItems},
    {61, 1, 0, RedundancyItems},
    {63, 1, 0, I1FunctionItems},
};

// B index -> position in ValueLists, -1 without a list.
constexpr std::array<int, CountB> buildListIndex() {
    std::array<int, CountB> t{};
    t.fill(-1);
    for (int i = 0; i < int(std::size(ValueLists)); ++i)
        t[ValueLists[i].b] = i;
    return t;
}

constexpr std::array<int, CountB> ListIndex = buildListIndex();

const ValueList* valueList(int bIndex) {
    if (bIndex < 0 || bIndex >= CountB || ListIndex[bIndex] < 0) return nullptr;
    return &ValueLists[ListIndex[bIndex]];
}

// B8 (KonfiguraceCAN) check boxes, bit 0 first; bits 3..6 have no text.
constexpr QStringView B8BitKeys[] = {
    u"LCD interní", u"LCD externí", u"Fieldbus", u"", u"", u"", u"", u"Vývoj"};

struct ProductionRow {
    int row;
    QStringView labelKey;
    bool writable;
    int statusPanel;
};

// Production-data fields 0..12 in field order.
constexpr ProductionRow ProductionRows[ProductionFields] = {
    {1, u"FW snímač", N, 2},
    {6, u"Datum změny", Y, -1},
    {7, u"Poslední změna", N, -1},
    {8, u"Výrobní číslo elektroniky", Y, 5},
    {9, u"Datum výroby elektroniky", Y, 6},
    {10, u"Výrobní číslo pohonu", Y, 3},
    {11, u"Datum montáže na pohon", Y, 4},
    {12, u"Výrobní číslo převodovky", Y, -1},
    {13, u"Datum výroby převodovky", Y, -1},
    {2, u"FW displej int.", N, -1},
    {3, u"FW displej ext.", N, -1},
    {4, u"FW displej ED", N, -1},
    {5, u"FW fieldbus", N, -1},
};

// StringGrid2 row 1..13 -> field (index 0 unused).
constexpr std::array<int, ProductionFields + 1> buildFieldAtRow() {
    std::array<int, ProductionFields + 1> t{};
    t.fill(-1);
    for (int f = 0; f < ProductionFields; ++f)
        t[ProductionRows[f].row] = f;
    return t;
}

constexpr std::array<int, ProductionFields + 1> FieldAtRow = buildFieldAtRow();

constexpr bool everyProductionRowUsed() {
    for (int r = 1; r <= ProductionFields; ++r)
        if (FieldAtRow[r] < 0) return false;
    return true;
}
static_assert(everyProductionRowUsed(), "each production-data row needs exactly one field");

quint32 truncateToKind(int kind, quint32 value) {
    if (kind == B) return value & 0xFFu;
    if (kind == W) return value & 0xFFFFu;
    return value;
}

} // namespace

int count(int kind) {
    return kindCount(kind);
}

GridPlace place(int kind, int index) {
    const int pos = positionOf(kind, index);
    return pos < 0 ? GridPlace{-1, -1} : placeOfPosition(pos);
}

ParamRef entry(int grid, int row) {
    const int pos = positionAt(grid, row);
    return pos < 0 ? ParamRef{-1, -1} : ParamRef{Rows[pos].kind, Rows[pos].index};
}

QString nameKey(int grid, int row) {
    const int pos = positionAt(grid, row);
    return pos < 0 ? QString() : Rows[pos].key.toString();
}

QString nameKeyOf(int kind, int index) {
    const int pos = positionOf(kind, index);
    return pos < 0 ? QString() : Rows[pos].key.toString();
}

bool fromFile(int kind, int index, int selection) {
    const int pos = positionOf(kind, index);
    if (pos < 0) return false;
    if (selection == 0) return Rows[pos].file0;
    if (selection == 1) return Rows[pos].file1;
    return false;
}

Editor editor(int kind, int index) {
    const int pos = positionOf(kind, index);
    return pos < 0 ? None : Rows[pos].editor;
}

bool hasValueList(int bIndex) {
    return valueList(bIndex) != nullptr;
}

QStringList valueListTexts(int bIndex) {
    const ValueList* list = valueList(bIndex);
    if (!list) return {};
    QStringList texts;
    if (list->items.empty()) {
        for (int n = list->first; n <= list->last; ++n)
            texts.append(QString::number(n).append(list->suffix));
        return texts;
    }
    for (QStringView item : list->items)
        texts.append(list->translated ? LangText(item.toString()) : item.toString());
    return texts;
}

QStringList valueListKeys(int bIndex) {
    const ValueList* list = valueList(bIndex);
    if (!list || list->items.empty()) return valueListTexts(bIndex);
    QStringList keys;
    for (QStringView item : list->items)
        keys.append(item.toString());
    return keys;
}

int koef(int bIndex) {
    const ValueList* list = valueList(bIndex);
    return list ? list->koef : 1;
}

int offset(int bIndex) {
    const ValueList* list = valueList(bIndex);
    return list ? list->offset : 0;
}

int itemForValue(int bIndex, qint64 value) {
    // C++ division truncates toward zero, as the unit's lists expect: B27 = 45 gives item 0.
    return int((value + offset(bIndex)) / koef(bIndex));
}

qint64 valueForItem(int bIndex, int item) {
    return qint64(item) * koef(bIndex) - offset(bIndex);
}

QStringList b8BitTexts() {
    QStringList texts;
    for (QStringView key : B8BitKeys)
        texts.append(key.isEmpty() ? QString() : LangText(key.toString()));
    return texts;
}

ProductionField productionField(int field) {
    if (field < 0 || field >= ProductionFields) return {-1, QString(), false, -1};
    const ProductionRow& p = ProductionRows[field];
    return {p.row, p.labelKey.toString(), p.writable, p.statusPanel};
}

int productionFieldAtRow(int row) {
    return row >= 1 && row <= ProductionFields ? FieldAtRow[row] : -1;
}

QString valueText(int kind, quint32 value, bool isSigned) {
    const quint32 v = truncateToKind(kind, value);
    if (kind == B && isSigned) return QString::number(qint8(quint8(v)));
    return QString::number(v);
}

quint32 parseValue(int kind, const QString& text) {
    bool ok = false;
    const int signedValue = text.toInt(&ok, 10);
    if (ok) return truncateToKind(kind, quint32(signedValue));
    // A DW is shown unsigned; accepting 2147483648..4294967295 as well lets every DW text read
    // back as its own value, so such a row is not flagged as changed and never parses to 0.
    if (kind == DW) {
        const uint unsignedValue = text.toUInt(&ok, 10);
        if (ok) return unsignedValue;
    }
    return 0;
}

ValueRange valueRange(int kind) {
    if (kind == B) return {-128, 255};
    if (kind == W) return {-32768, 65535};
    return {-2147483648LL, 4294967295LL};
}

bool holdsValue(int kind, const QString& text) {
    bool ok = false;
    const qint64 value = text.toLongLong(&ok, 10);
    const ValueRange range = valueRange(kind);
    return ok && value >= range.lowest && value <= range.highest;
}

} // namespace ParameterCatalogue

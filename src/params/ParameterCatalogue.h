#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

// A parameter of the unit: kind (0 B, 1 W, 2 DW) and zero-based index within the kind.
struct ParamRef {
    int kind;
    int index;
    friend bool operator==(const ParamRef&, const ParamRef&) = default;
};

// A row of the service window's parameter grids: grid 0 left (StringGrid1), 1 right
// (StringGrid3); data rows count from 1, row 0 is the header.
struct GridPlace {
    int grid;
    int row;
    friend bool operator==(const GridPlace&, const GridPlace&) = default;
};

// The dialog that edits a parameter from its service-grid row; None: edited in the value cell.
enum class Editor { None, Sensor, ControlSignal, Parameters, ErrorMasks, Torque, Cpt, Position };

// A production-data text: its row in StringGrid2, its label key, whether the unit accepts it
// and the status-bar panel that repeats it (-1 none).
struct ProductionField {
    int row;
    QString labelKey;
    bool writable;
    int statusPanel;
};

// The constant tables of the unit's 86 parameters and 13 production-data fields: where each
// one sits in the service window, its label key, its editor, whether a parameter file writes
// it, and how list-edited byte parameters map list items to stored values.
namespace ParameterCatalogue {

inline constexpr int KindB = 0;
inline constexpr int KindW = 1;
inline constexpr int KindDW = 2;

inline constexpr int LeftRows = 42, RightRows = 44, ProductionFields = 13;

// Byte parameters the windows and the decoder look at by number: the variant (which relays,
// positions and dialogs the unit has), the working torques of the Z and O sides, whether the
// unit measures torque (1) and the cycle mode.
inline constexpr int Variant = 6, WorkingTorqueZ = 10, TorqueMeasured = 26, WorkingTorqueO = 27,
                     CycleMode = 56;

// Number of parameters of a kind: 65, 19, 2; 0 for any other kind.
int count(int kind);

// Grid and row of a parameter; {-1, -1} outside the catalogue.
GridPlace place(int kind, int index);

// Parameter of a grid row; {-1, -1} for the header row and outside the grids.
ParamRef entry(int grid, int row);

// Dictionary key of a grid row's label (empty outside); the label is LangText of it.
QString nameKey(int grid, int row);
QString nameKeyOf(int kind, int index);

// Whether writing a loaded parameter file sends the parameter as writable, for the service
// window's selection 0 ("Omezení") or 1 ("Výměna snímače"); false outside.
bool fromFile(int kind, int index, int selection);

Editor editor(int kind, int index);

// Drop-down lists of the list-edited B parameters. The item shown for a stored value v is
// (v + Offset) div Koef; choosing item k stores k * Koef - Offset. Parameters without a list
// have Koef 1 and Offset 0 and no texts.
bool hasValueList(int bIndex);
QStringList valueListTexts(int bIndex); // in the current language
// The same items as written in the catalogue, the same in every language (for scripts).
QStringList valueListKeys(int bIndex);
int koef(int bIndex);
int offset(int bIndex);
int itemForValue(int bIndex, qint64 value); // truncating toward zero: -1 shows no selection
qint64 valueForItem(int bIndex, int item);

// Texts of the eight check boxes of B8 (KonfiguraceCAN), bit 0 first, in the current language.
QStringList b8BitTexts();

// Production-data field 0..12 ({-1, "", false, -1} outside) and the field of a StringGrid2
// row (-1 outside).
ProductionField productionField(int field);
// The production-data field of the electronics serial number, a unit's name on files.
inline constexpr int ElectronicsSerialField = 3;
int productionFieldAtRow(int row);

// Decimal text of a value, truncated to the kind's width; a B flagged signed shows -128..127.
QString valueText(int kind, quint32 value, bool isSigned);

// Value of a grid cell or file entry: a signed 32-bit decimal, 0 when the text is no number,
// stored without range check in the kind's width ("-1" in B gives 255, "300" gives 44).
quint32 parseValue(int kind, const QString& text);

// The values a kind's width holds in either reading, signed or unsigned: B -128..255,
// W -32768..65535, DW -2147483648..4294967295 (older tools stored signed values unsigned).
struct ValueRange {
    qint64 lowest;
    qint64 highest;
};
ValueRange valueRange(int kind);
// True when `text` is a decimal integer within valueRange(kind): then parseValue gives exactly
// the value it means. Anything else would reach the unit as a different number.
bool holdsValue(int kind, const QString& text);

} // namespace ParameterCatalogue

#pragma once

#include "params/ParameterCatalogue.h"

#include <QString>
#include <QtGlobal>

struct DeviceImage;
class ServiceEditing;
class ServiceSheet;

// What a dialog hands to the service window: a calibration result goes unchanged into
// the value cell of a parameter row, which is then taken as edited (set 2 and change marks).
// Returns the row, which the window makes its grid's current row.
GridPlace takeOverIntoRow(ServiceSheet& sheet, ServiceEditing& editing, GridPlace place,
                          const QString& text);
// The same for a parameter, at its place in the grids; {-1, -1} outside the catalogue.
GridPlace takeOverParameter(ServiceSheet& sheet, ServiceEditing& editing, ParamRef parameter,
                            const QString& text);

// Taking a live reading over into the parameter of the service-grid row that opened a dialog.
namespace TakeOver {

// Position dialog OK on the row `row` of grid `grid` (0 left, 1 right): the relay, SAFE and
// cycle positions (W 8..12, W 15..18) take the position in 0.01 % (`gauge`, 0..10000), the end
// positions (DW 0, DW 1) the absolute position; any other row is left alone. The grid then
// takes its value cell as a new value (StringGridNovaHodnota).
void position(ServiceSheet& sheet, ServiceEditing& editing, int grid, int row, int gauge,
              quint32 absolute);

enum class ControlSignal {
    Stored20mA, // B 4 := the reading's low 8 bits, shown in its value cell
    Request0mA, // the unit is to take its present reading as 0 mA (ZeroMilliampOpen)
    NoReading,  // B 4's row but no reading yet: nothing stored
    NotItsRow,  // a row of another parameter: nothing to take over
};

// Control-signal dialog OK on the left grid's row `row`, with the dialog's reading `reading`
// (the decimal text of the raw control signal, empty before the first monitor reply). The
// change marks are refreshed in every case but NoReading, which leaves the grid untouched.
ControlSignal controlSignal(DeviceImage& image, ServiceSheet& sheet, ServiceEditing& editing,
                            int row, const QString& reading);

} // namespace TakeOver

#pragma once

#include "params/ParameterCatalogue.h"

#include <QString>

class ServiceEditing;
class ServiceSheet;

// A calibration dialog's result handed to the service window: the text goes unchanged into
// the value cell of a parameter row, which is then taken as edited (set 2 and change marks).
// Returns the row, which the window makes its grid's current row.
GridPlace takeOverIntoRow(ServiceSheet& sheet, ServiceEditing& editing, GridPlace place,
                          const QString& text);
// The same for a parameter, at its place in the grids; {-1, -1} outside the catalogue.
GridPlace takeOverParameter(ServiceSheet& sheet, ServiceEditing& editing, ParamRef parameter,
                            const QString& text);

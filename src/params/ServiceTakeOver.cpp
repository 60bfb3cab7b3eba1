#include "params/ServiceTakeOver.h"

#include "params/ServiceEditing.h"
#include "params/ServiceSheet.h"

GridPlace takeOverIntoRow(ServiceSheet& sheet, ServiceEditing& editing, GridPlace place,
                          const QString& text) {
    const bool parameterGrid =
        place.grid == ServiceSheet::LeftGrid || place.grid == ServiceSheet::RightGrid;
    if (!parameterGrid || place.row < 1) return {-1, -1};
    sheet.ServiceStringGridWrite(place.grid, ServiceSheet::ValueColumn, place.row, text);
    editing.StringGridNovaHodnota(place.grid, place.row);
    return place;
}

GridPlace takeOverParameter(ServiceSheet& sheet, ServiceEditing& editing, ParamRef parameter,
                            const QString& text) {
    return takeOverIntoRow(sheet, editing,
                           ParameterCatalogue::place(parameter.kind, parameter.index), text);
}

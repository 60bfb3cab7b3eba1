#include "params/ServiceTakeOver.h"

#include "image/DeviceImage.h"
#include "params/ServiceEditing.h"
#include "params/ServiceSheet.h"

#include <algorithm>

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

namespace TakeOver {

namespace {

constexpr int ControlSignal20mA = 4;
constexpr int ControlSignal0mA = 64;

bool takesPercent(ParamRef ref) {
    return ref.kind == ParameterCatalogue::KindW &&
           ((ref.index >= 8 && ref.index <= 12) || (ref.index >= 15 && ref.index <= 18));
}

bool takesAbsolute(ParamRef ref) {
    return ref.kind == ParameterCatalogue::KindDW && (ref.index == 0 || ref.index == 1);
}

} // namespace

void position(ServiceSheet& sheet, ServiceEditing& editing, int grid, int row, int gauge,
              quint32 absolute) {
    const ParamRef ref = ParameterCatalogue::entry(grid, row);
    if (takesPercent(ref))
        takeOverIntoRow(sheet, editing, {grid, row}, QString::number(std::clamp(gauge, 0, 10000)));
    else if (takesAbsolute(ref))
        takeOverIntoRow(sheet, editing, {grid, row}, QString::number(absolute));
    else
        editing.StringGridNovaHodnota(grid, row);
}

ControlSignal controlSignal(DeviceImage& image, ServiceSheet& sheet, ServiceEditing& editing,
                            int row, const QString& reading) {
    const ParamRef ref = ParameterCatalogue::entry(ServiceSheet::LeftGrid, row);
    ControlSignal outcome = ControlSignal::NotItsRow;
    if (ref == ParamRef{ParameterCatalogue::KindB, ControlSignal20mA}) {
        bool ok = false;
        const int r = reading.toInt(&ok);
        if (!ok) return ControlSignal::NoReading;
        image.ParB[2][ControlSignal20mA] = quint8(r & 0xFF);
        const GridPlace place = ParameterCatalogue::place(ref.kind, ref.index);
        sheet.setCell(place.grid, ServiceSheet::ValueColumn, place.row, QString::number(r & 0xFF));
        outcome = ControlSignal::Stored20mA;
    } else if (ref == ParamRef{ParameterCatalogue::KindB, ControlSignal0mA}) {
        outcome = ControlSignal::Request0mA;
    }
    editing.PorovnejZmenuStringGrid();
    return outcome;
}

} // namespace TakeOver

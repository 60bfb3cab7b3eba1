#include "params/ProductionTexts.h"

#include "image/DeviceImage.h"
#include "params/ParameterCatalogue.h"
#include "params/ServiceSheet.h"

QString productionText(const DeviceImage& image, int field) {
    if (field < 0 || field >= DeviceImage::TextCount) return {};
    const DeviceImage::ProductionText& text = image.VyrobniUdaje[field];
    QString result;
    for (int i = 0; i < text.shownLength && i < DeviceImage::TextCells; ++i)
        result += QChar(char16_t(text.cells[i].received)); // one byte, one character (Latin-1)
    return result;
}

void ZobrazVerzi(const DeviceImage& image, ServiceSheet& sheet) {
    for (int field = 0; field < ParameterCatalogue::ProductionFields; ++field)
        sheet.setCell(ServiceSheet::ProductionGrid, ServiceSheet::TextColumn,
                      ParameterCatalogue::productionField(field).row, productionText(image, field));
}

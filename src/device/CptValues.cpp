#include "device/CptValues.h"

#include "image/DeviceImage.h"
#include "lang/Lang.h"
#include "params/ParameterCatalogue.h"
#include "params/ServiceSheet.h"
#include "wire/Frame.h"

#include <algorithm>

namespace CptValues {

EditCheck check(const QString& text) {
    if (text.isEmpty()) return {QStringLiteral("0"), QString()};
    bool ok = false;
    const int typed = text.toInt(&ok);
    if (!ok) return {QStringLiteral("0"), LangText(QStringLiteral("ZadavejtePouzeCisla09"))};
    if (typed < Minimum)
        return {QString::number(Minimum),
                LangText(QStringLiteral("MinimalniHodnota")) + u' ' + QString::number(Minimum)};
    if (typed > Maximum)
        return {QString::number(Maximum),
                LangText(QStringLiteral("MaximalniHodnota")) + u' ' + QString::number(Maximum)};
    return {text, QString()};
}

int value(const QString& text) {
    // The edit check keeps the edits within 0..1023; the field width is the last guard.
    return std::clamp(text.toInt(), 0, 0xFFFF);
}

QByteArray pollData(int page, const QString& edit1, const QString& edit2) {
    return IntToHex(value(page == 0 ? edit1 : edit2), 4);
}

void store(DeviceImage& image, const QString& edit1, const QString& edit2) {
    image.ParW[2][Cpt4Index] = quint16(value(edit1));
    image.ParW[2][Cpt20Index] = quint16(value(edit2));
}

void showInSheet(const DeviceImage& image, ServiceSheet& sheet) {
    for (int index : {Cpt4Index, Cpt20Index}) {
        const GridPlace place = ParameterCatalogue::place(ParameterCatalogue::KindW, index);
        sheet.setCell(place.grid, ServiceSheet::ValueColumn, place.row,
                      QString::number(image.ParW[2][index]));
    }
}

} // namespace CptValues

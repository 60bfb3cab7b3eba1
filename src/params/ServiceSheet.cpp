#include "params/ServiceSheet.h"

#include "lang/Lang.h"
#include "params/ParameterCatalogue.h"

namespace {

const QString Empty;

} // namespace

ServiceSheet::ServiceSheet(QObject* parent)
    : QObject(parent)
    , m_grids{SheetGrid(5, ParameterCatalogue::LeftRows + 1),
              SheetGrid(5, ParameterCatalogue::RightRows + 1),
              SheetGrid(3, ParameterCatalogue::ProductionFields + 1), SheetGrid(1, 4),
              SheetGrid(1, 4)} {}

const SheetGrid& ServiceSheet::grid(int id) const {
    static const SheetGrid none(0, 0);
    return id >= 0 && id < GridCount ? m_grids[id] : none;
}

QString ServiceSheet::cell(int grid, int col, int row) const {
    return this->grid(grid).cell(col, row);
}

void ServiceSheet::setCell(int grid, int col, int row, const QString& text) {
    if (grid < 0 || grid >= GridCount) return;
    if (m_grids[grid].setCell(col, row, text)) emit cellChanged(grid, col, row);
}

void ServiceSheet::ServiceStringGridWrite(int grid, int col, int row, const QString& text) {
    if (grid != LeftGrid && grid != RightGrid) return;
    setCell(grid, col, row, text);
}

void ServiceSheet::ServiceStringGridWriteNapis(int grid, int col, int row) {
    const QString key = ParameterCatalogue::nameKey(grid, row);
    if (key.isEmpty()) return; // header row or outside: there is no parameter to name
    ServiceStringGridWrite(grid, col, row, LangText(key));
}

void ServiceSheet::applyHeaders() {
    const QString headers[] = {LangText(QStringLiteral("Parametr")),
                               LangText(QStringLiteral("Změna")), LangText(QStringLiteral("Chyba")),
                               LangText(QStringLiteral("Přístup")), Empty};
    for (int col = 0; col < 5; ++col) {
        setCell(LeftGrid, col, 0, headers[col]);
        setCell(RightGrid, col, 0, headers[col]);
    }

    setCell(ProductionGrid, LabelColumn, 0, LangText(QStringLiteral("Text")));
    setCell(ProductionGrid, ProductionAccessColumn, 0, headers[AccessColumn]);
    setCell(ProductionGrid, TextColumn, 0, Empty);
    const QString notWritable = LangText(QStringLiteral("NE"));
    for (int field = 0; field < ParameterCatalogue::ProductionFields; ++field) {
        const ProductionField f = ParameterCatalogue::productionField(field);
        setCell(ProductionGrid, LabelColumn, f.row, LangText(f.labelKey));
        setCell(ProductionGrid, ProductionAccessColumn, f.row, f.writable ? Empty : notWritable);
    }
}

void ServiceSheet::resetParameterRows() {
    const int rows[] = {ParameterCatalogue::LeftRows, ParameterCatalogue::RightRows};
    for (int g : {LeftGrid, RightGrid}) {
        for (int row = 1; row <= rows[g]; ++row) {
            setCell(g, ValueColumn, row, QStringLiteral("0"));
            ServiceStringGridWriteNapis(g, NameColumn, row);
        }
    }
}

void ServiceSheet::setCaption(const QString& caption) {
    if (caption == m_caption) return;
    m_caption = caption;
    emit captionChanged(caption);
}

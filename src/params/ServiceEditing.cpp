#include "params/ServiceEditing.h"

#include "image/DeviceImage.h"
#include "lang/Lang.h"
#include "params/ServiceSheet.h"
#include "params/SheetGrid.h"

namespace {

constexpr int ParameterGrids[] = {ServiceSheet::LeftGrid, ServiceSheet::RightGrid};

int rowCount(int grid) {
    return grid == ServiceSheet::LeftGrid ? ParameterCatalogue::LeftRows
                                          : ParameterCatalogue::RightRows;
}

} // namespace

ServiceEditing::ServiceEditing(DeviceImage& image, ServiceSheet& sheet, const int& selection)
    : m_image(image)
    , m_sheet(sheet)
    , m_selection(selection) {}

void ServiceEditing::forEachRow(
    const std::function<void(int grid, int row, ParamRef)>& visit) const {
    for (int grid : ParameterGrids)
        for (int row = 1; row <= rowCount(grid); ++row)
            visit(grid, row, ParameterCatalogue::entry(grid, row));
}

void ServiceEditing::NactiService(int sada, bool pr) {
    const QString notWritten = LangText(QStringLiteral("NE"));
    if (pr) {
        m_sheet.setCaption(LangText(QStringLiteral("ParametrySoubor")) + NazevSouboru +
                           QLatin1Char('"'));
        forEachRow([&](int grid, int row, ParamRef p) {
            const bool written = ParameterCatalogue::fromFile(p.kind, p.index, m_selection);
            m_sheet.setCell(grid, ServiceSheet::AccessColumn, row,
                            written ? QString() : notWritten);
        });
    } else {
        m_sheet.setCaption(LangText(QStringLiteral("Parametry")));
        forEachRow([&](int grid, int row, ParamRef p) {
            m_sheet.setCell(grid, ServiceSheet::ErrorColumn, row,
                            SheetGrid::mark(m_image.isFaulty(p.kind, p.index)));
            m_sheet.setCell(grid, ServiceSheet::AccessColumn, row, QString());
            const bool isSigned = p.kind == ParameterCatalogue::KindB && m_image.ParB_Sign[p.index];
            m_sheet.setCell(grid, ServiceSheet::ValueColumn, row,
                            ParameterCatalogue::valueText(
                                p.kind, m_image.value(p.kind, sada, p.index), isSigned));
            m_sheet.setCell(grid, ServiceSheet::ChangedColumn, row, QString());
        });
    }
    for (int field = 0; field < ParameterCatalogue::ProductionFields; ++field) {
        const ProductionField f = ParameterCatalogue::productionField(field);
        m_sheet.setCell(ServiceSheet::ProductionGrid, ServiceSheet::ProductionAccessColumn, f.row,
                        f.writable ? QString() : notWritten);
    }
}

void ServiceEditing::PorovnejZmenuStringGrid() {
    forEachRow([&](int grid, int row, ParamRef p) {
        // Both sides in the parameter's width: the mark says whether a write would change it.
        const quint32 cell = ParameterCatalogue::parseValue(
            p.kind, m_sheet.cell(grid, ServiceSheet::ValueColumn, row));
        m_sheet.setCell(grid, ServiceSheet::ChangedColumn, row,
                        SheetGrid::mark(cell != m_image.value(p.kind, 1, p.index)));
    });
}

void ServiceEditing::StringGridToPar(int grid, int row) {
    const ParamRef p = ParameterCatalogue::entry(grid, row);
    if (p.kind < 0) return;
    m_image.setValue(
        p.kind, 2, p.index,
        ParameterCatalogue::parseValue(p.kind, m_sheet.cell(grid, ServiceSheet::ValueColumn, row)));
}

void ServiceEditing::StringGridToParAll() {
    forEachRow([&](int grid, int row, ParamRef) { StringGridToPar(grid, row); });
}

void ServiceEditing::StringGridNovaHodnota(int grid, int row) {
    StringGridToPar(grid, row);
    PorovnejZmenuStringGrid();
}

bool ServiceEditing::hasPendingEdit() const {
    bool pending = false;
    forEachRow([&](int grid, int row, ParamRef) {
        pending = pending || (!m_sheet.cell(grid, ServiceSheet::ChangedColumn, row).isEmpty() &&
                              m_sheet.cell(grid, ServiceSheet::AccessColumn, row).isEmpty());
    });
    return pending;
}

QList<InvalidValue> ServiceEditing::invalidValues(bool fromFile) const {
    return ::invalidValues(m_image, m_sheet, fromFile, m_selection);
}

Editor ServiceEditing::editorAt(int grid, int row) const {
    const ParamRef p = ParameterCatalogue::entry(grid, row);
    if (p.kind < 0 || !m_image.isActive(p.kind, p.index)) return Editor::None;
    return ParameterCatalogue::editor(p.kind, p.index);
}

std::optional<int> ServiceEditing::checkProductionLength(int row) {
    const int field = ParameterCatalogue::productionFieldAtRow(row);
    if (field < 0) return std::nullopt;
    const int maximum = m_image.VyrobniUdaje[field].shownLength;
    const QString text = m_sheet.cell(ServiceSheet::ProductionGrid, ServiceSheet::TextColumn, row);
    if (text.size() <= maximum) return std::nullopt;
    m_sheet.setCell(ServiceSheet::ProductionGrid, ServiceSheet::TextColumn, row,
                    text.left(maximum));
    return maximum;
}

void ServiceEditing::showTargetValues(const QList<int>& bIndexes) {
    for (int b : bIndexes) {
        const GridPlace place = ParameterCatalogue::place(ParameterCatalogue::KindB, b);
        m_sheet.setCell(place.grid, ServiceSheet::ValueColumn, place.row,
                        ParameterCatalogue::valueText(ParameterCatalogue::KindB, m_image.ParB[2][b],
                                                      m_image.ParB_Sign[b]));
    }
}

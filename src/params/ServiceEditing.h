#pragma once

#include "params/ParameterCatalogue.h"
#include "params/ValueCheck.h"

#include <QList>
#include <QString>
#include <functional>
#include <optional>

struct DeviceImage;
class ServiceSheet;

// What the service window does with its grids, apart from drawing them: the two presentations
// (the unit's values, or a loaded file's values with the "NE" marks of the chosen selection),
// the change marks, the edits parsed into set 2, pending edits, the production-data length rule
// and which editor a row opens.
class ServiceEditing {
public:
    // `selection`: the radio group "Zápis ze souboru" (0 "Omezení", 1 "Výměna snímače").
    ServiceEditing(DeviceImage& image, ServiceSheet& sheet, const int& selection);

    // Name (without folder) of the last parameter file loaded.
    QString NazevSouboru;

    // Fills the grids: set `sada` with the unit's error marks, or, in the write-from-file
    // presentation, only the "NE" marks of the radio group's selection.
    void NactiService(int sada, bool pr);
    // Change marks of every row: "X" where the value cell differs from set 1.
    void PorovnejZmenuStringGrid();
    // The value cell of a row parsed into set 2 (truncated to the parameter's width).
    void StringGridToPar(int grid, int row);
    void StringGridToParAll();
    // A key released in a parameter grid.
    void StringGridNovaHodnota(int grid, int row);

    // A row whose value differs from the unit's and that a write would send.
    bool hasPendingEdit() const;
    // The value cells a write of all parameters would send that hold no value of their width.
    QList<InvalidValue> invalidValues(bool fromFile) const;

    // The editor a row opens: none while the unit reports the parameter absent.
    Editor editorAt(int grid, int row) const;

    // Cuts the text of a production-data row to the length the unit reported for its field;
    // returns that length when the text was longer (the window then says so).
    std::optional<int> checkProductionLength(int row);

    // Writes set-2 values into the value cells of the given byte parameters, for choices made
    // in a dialog while a loaded file fills the grids.
    void showTargetValues(const QList<int>& bIndexes);

private:
    void forEachRow(const std::function<void(int grid, int row, ParamRef)>& visit) const;

    DeviceImage& m_image;
    ServiceSheet& m_sheet;
    const int& m_selection;
};

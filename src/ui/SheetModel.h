#pragma once

#include <QAbstractTableModel>
#include <functional>

class ServiceSheet;

// One grid of the service sheet as a table: the sheet holds the cells, the view only shows
// them. With `headerRow` the sheet's row 0 is the horizontal header, so it stays in view while
// the rows scroll, as a grid's fixed row does. Fixed columns and rows are drawn in the button
// face colour and cannot be edited.
class SheetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using CellTest = std::function<bool(int col, int sheetRow)>;

    SheetModel(ServiceSheet& sheet, int grid, bool headerRow, CellTest editable, CellTest fixed,
               QObject* parent = nullptr);

    int grid() const { return m_grid; }
    // Row of the sheet shown in a row of the model.
    int sheetRow(int modelRow) const { return modelRow + (m_headerRow ? 1 : 0); }
    int modelRow(int sheetRow) const { return sheetRow - (m_headerRow ? 1 : 0); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

signals:
    // The user changed a cell (every key stroke while the cell is edited).
    void edited(int col, int sheetRow);

private:
    void sheetCellChanged(int grid, int col, int row);

    ServiceSheet& m_sheet;
    int m_grid;
    bool m_headerRow;
    CellTest m_editable;
    CellTest m_fixed;
};

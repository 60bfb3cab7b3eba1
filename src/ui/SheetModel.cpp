#include "ui/SheetModel.h"

#include "params/ServiceSheet.h"

#include <QApplication>
#include <QPalette>

SheetModel::SheetModel(ServiceSheet& sheet, int grid, bool headerRow, CellTest editable,
                       CellTest fixed, QObject* parent)
    : QAbstractTableModel(parent)
    , m_sheet(sheet)
    , m_grid(grid)
    , m_headerRow(headerRow)
    , m_editable(std::move(editable))
    , m_fixed(std::move(fixed)) {
    connect(&m_sheet, &ServiceSheet::cellChanged, this, &SheetModel::sheetCellChanged);
}

int SheetModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid()) return 0;
    return m_sheet.grid(m_grid).rowCount() - (m_headerRow ? 1 : 0);
}

int SheetModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_sheet.grid(m_grid).columnCount();
}

QVariant SheetModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const int row = sheetRow(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole: return m_sheet.cell(m_grid, index.column(), row);
    case Qt::ToolTipRole:
        // The columns have fixed widths: a label longer than its column reads in full here.
        if (m_fixed(index.column(), row)) return m_sheet.cell(m_grid, index.column(), row);
        return {};
    case Qt::BackgroundRole:
        if (m_fixed(index.column(), row)) return QApplication::palette().button();
        return {};
    default: return {};
    }
}

QVariant SheetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (!m_headerRow || orientation != Qt::Horizontal) return {};
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
    return m_sheet.cell(m_grid, section, 0);
}

Qt::ItemFlags SheetModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (m_editable(index.column(), sheetRow(index.row()))) f |= Qt::ItemIsEditable;
    return f;
}

bool SheetModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable)) return false;
    const int row = sheetRow(index.row());
    m_sheet.setCell(m_grid, index.column(), row, value.toString());
    emit edited(index.column(), row);
    return true;
}

void SheetModel::sheetCellChanged(int grid, int col, int row) {
    if (grid != m_grid) return;
    if (m_headerRow && row == 0) {
        emit headerDataChanged(Qt::Horizontal, col, col);
        return;
    }
    const QModelIndex i = index(modelRow(row), col);
    emit dataChanged(i, i);
}

#include "params/SheetGrid.h"

#include <algorithm>

SheetGrid::SheetGrid(int columns, int rows)
    : m_columns(std::max(columns, 0))
    , m_rows(std::max(rows, 0))
    , m_cells(m_columns * m_rows) {}

bool SheetGrid::contains(int col, int row) const {
    return col >= 0 && col < m_columns && row >= 0 && row < m_rows;
}

QString SheetGrid::cell(int col, int row) const {
    return contains(col, row) ? m_cells[row * m_columns + col] : QString();
}

bool SheetGrid::setCell(int col, int row, const QString& text) {
    if (!contains(col, row)) return false;
    QString& current = m_cells[row * m_columns + col];
    if (current == text) return false;
    current = text;
    return true;
}

#pragma once

#include <QList>
#include <QString>

// A grid of text cells (columns x rows) as the service window shows it. Reads outside the grid
// give an empty text and writes outside are ignored, so a row number taken from a unit record
// can never reach past the table.
class SheetGrid {
public:
    SheetGrid(int columns, int rows);

    int columnCount() const { return m_columns; }
    int rowCount() const { return m_rows; }
    bool contains(int col, int row) const;

    QString cell(int col, int row) const;
    // Returns true when the cell existed and its text changed.
    bool setCell(int col, int row, const QString& text);

    // The text of a cell that marks a set flag or a finding: "X", or empty.
    static QString mark(bool on) { return on ? QStringLiteral("X") : QString(); }

private:
    int m_columns;
    int m_rows;
    QList<QString> m_cells; // row by row
};

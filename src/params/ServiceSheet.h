#pragma once

#include "params/SheetGrid.h"

#include <QObject>
#include <QString>

// The cells of the service window ("Parametry"), held outside any widget so that the monitor
// decoder, parameter files and the report read and write them directly; the window renders
// them and writes the user's edits back through setCell.
class ServiceSheet : public QObject {
    Q_OBJECT
public:
    enum GridId {
        LeftGrid = 0,       // StringGrid1: 5 x 43, header + left parameter rows 1..42
        RightGrid = 1,      // StringGrid3: 5 x 45, header + right parameter rows 1..44
        ProductionGrid = 2, // StringGrid2: 3 x 14, header + production-data rows 1..13
        LastErrorsGrid = 3, // StringGrid4: 1 x 4, rows 0..2 the last three errors
        LastResetsGrid = 4, // StringGrid7: 1 x 4, rows 0..2 the last three reset causes
    };
    static constexpr int GridCount = 5;

    // Columns of both parameter grids.
    enum ParameterColumn {
        NameColumn = 0,    // label of the parameter, empty while the unit reports it absent
        ChangedColumn = 1, // "X" while the value cell differs from the unit's value (set 1)
        ErrorColumn = 2,   // "X" while the unit reports the value faulty
        AccessColumn = 3,  // "NE" for a parameter that a file write sends not writable
        ValueColumn = 4,   // value as decimal text, the only editable column
    };
    // Columns of the production-data grid.
    enum ProductionColumn {
        LabelColumn = 0,
        ProductionAccessColumn = 1, // "NE" for fields the unit does not accept
        TextColumn = 2,
    };

    explicit ServiceSheet(QObject* parent = nullptr);

    const SheetGrid& left() const { return m_grids[LeftGrid]; }
    const SheetGrid& right() const { return m_grids[RightGrid]; }
    const SheetGrid& production() const { return m_grids[ProductionGrid]; }
    const SheetGrid& lastErrors() const { return m_grids[LastErrorsGrid]; }
    const SheetGrid& lastResets() const { return m_grids[LastResetsGrid]; }
    // Any grid by id; an unknown id gives an empty grid.
    const SheetGrid& grid(int id) const;

    // Cell of any grid; empty outside.
    QString cell(int grid, int col, int row) const;
    // Writes a cell of any grid; ignored outside; cellChanged only when the text changes.
    void setCell(int grid, int col, int row, const QString& text);

    // Writes a cell of a parameter grid (0 left, 1 right); any other grid is left alone.
    void ServiceStringGridWrite(int grid, int col, int row, const QString& text);
    // Writes the translated label of the parameter on that row into the cell.
    void ServiceStringGridWriteNapis(int grid, int col, int row);

    // Header rows, production-data labels and their "NE" marks, in the current language.
    void applyHeaders();
    // Every parameter row's label and the value "0", as the captions do on a language change.
    void resetParameterRows();

    // The window's caption: "Parametry", or the loaded file's name in write-from-file mode.
    QString caption() const { return m_caption; }
    void setCaption(const QString& caption);

signals:
    void cellChanged(int grid, int col, int row);
    void captionChanged(const QString& caption);

private:
    SheetGrid m_grids[GridCount];
    QString m_caption;
};

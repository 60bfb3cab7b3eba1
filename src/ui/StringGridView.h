#pragma once

#include <QList>
#include <QString>
#include <QStringView>
#include <QTableWidget>

// A small fixed grid of text cells addressed as (column, row), as the calibration dialogs
// draw them: the first fixed columns and rows hold captions in the button colour and are
// never edited; the other cells are edited in place, every key stroke reported at once.
class StringGridView : public QTableWidget {
    Q_OBJECT
public:
    static constexpr int RowHeight = 18;

    StringGridView(QWidget* parent, QStringView name, const QList<int>& columnWidths, int rows,
                   int fixedCols, int fixedRows);

    QString cell(int col, int row) const;
    // Writes a cell without reporting it as edited.
    void setCell(int col, int row, const QString& text);
    // Whether the cells that are not fixed can be edited.
    void setCellsEditable(bool editable);
    // Width and height that show every column and row without scroll bars.
    QSize fittingSize() const;
    void setFixedPlace(int left, int top);

signals:
    void cellEdited(int col, int row);

private:
    bool isFixed(int col, int row) const;

    int m_fixedCols;
    int m_fixedRows;
    bool m_editable = true;
    bool m_writing = false;
};

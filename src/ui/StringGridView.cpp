#include "ui/StringGridView.h"

#include "ui/LiveEditDelegate.h"

#include <QApplication>
#include <QHeaderView>

StringGridView::StringGridView(QWidget* parent, QStringView name, const QList<int>& columnWidths,
                               int rows, int fixedCols, int fixedRows)
    : QTableWidget(rows, int(columnWidths.size()), parent)
    , m_fixedCols(fixedCols)
    , m_fixedRows(fixedRows) {
    setObjectName(name.toString());
    setItemDelegate(new LiveEditDelegate(this));
    horizontalHeader()->hide();
    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(RowHeight);
    verticalHeader()->setDefaultSectionSize(RowHeight);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setMinimumSectionSize(10);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    for (int col = 0; col < columnWidths.size(); ++col)
        setColumnWidth(col, columnWidths[col]);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setWordWrap(false);
    setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::DoubleClicked);
    for (int row = 0; row < rows; ++row) {
        for (int col = 0; col < columnCount(); ++col) {
            auto* item = new QTableWidgetItem;
            if (isFixed(col, row)) {
                item->setFlags(Qt::ItemIsEnabled);
                item->setBackground(QApplication::palette().button());
            }
            setItem(row, col, item);
        }
    }
    connect(this, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (!m_writing) emit cellEdited(item->column(), item->row());
    });
    resize(fittingSize());
}

bool StringGridView::isFixed(int col, int row) const {
    return col < m_fixedCols || row < m_fixedRows;
}

QString StringGridView::cell(int col, int row) const {
    const QTableWidgetItem* it = item(row, col);
    return it ? it->text() : QString();
}

void StringGridView::setCell(int col, int row, const QString& text) {
    QTableWidgetItem* it = item(row, col);
    if (!it || it->text() == text) return;
    m_writing = true;
    it->setText(text);
    m_writing = false;
}

void StringGridView::setCellsEditable(bool editable) {
    if (editable == m_editable) return;
    m_editable = editable;
    for (int row = 0; row < rowCount(); ++row) {
        for (int col = 0; col < columnCount(); ++col) {
            if (isFixed(col, row)) continue;
            QTableWidgetItem* it = item(row, col);
            const Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
            it->setFlags(editable ? flags | Qt::ItemIsEditable : flags);
        }
    }
}

QSize StringGridView::fittingSize() const {
    int width = 2 * frameWidth();
    for (int col = 0; col < columnCount(); ++col)
        width += columnWidth(col);
    return {width, 2 * frameWidth() + rowCount() * RowHeight};
}

void StringGridView::setFixedPlace(int left, int top) {
    setGeometry(QRect(QPoint(left, top), fittingSize()));
}

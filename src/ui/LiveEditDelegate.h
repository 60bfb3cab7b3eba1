#pragma once

#include <QStyledItemDelegate>

// Edits a grid cell in a line edit and hands every key stroke to the model at once, as the
// service window's grids take the text over on every key release. Whatever the model then
// makes of the text (a production-data text cut to its length) shows in the edit at once.
class LiveEditDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
};

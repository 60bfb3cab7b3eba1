#include "ui/LiveEditDelegate.h"

#include <QLineEdit>
#include <QPersistentModelIndex>

QWidget* LiveEditDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                        const QModelIndex& index) const {
    auto* edit = new QLineEdit(parent);
    edit->setFrame(false);
    const QPersistentModelIndex cell(index);
    connect(edit, &QLineEdit::textEdited, this, [this, edit, cell] {
        emit const_cast<LiveEditDelegate*>(this)->commitData(edit);
        const QString now = cell.data(Qt::EditRole).toString();
        if (edit->text() != now) edit->setText(now);
    });
    return edit;
}

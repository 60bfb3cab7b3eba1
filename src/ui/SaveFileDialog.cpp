#include "ui/SaveFileDialog.h"

#include <QFileDialog>

QString chooseSaveFile(QWidget* parent, const QString& filter, const QString& suffix,
                       const QString& proposed) {
    QFileDialog dialog(parent, QString(), proposed, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().first();
}

#include "ui/SaveFileDialog.h"

#include <QFileDialog>

QString chooseSaveFile(QWidget* parent, const QString& filter, const QString& suffix) {
    QFileDialog dialog(parent, QString(), QString(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().first();
}

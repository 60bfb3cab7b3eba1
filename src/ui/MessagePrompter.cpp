#include "ui/MessagePrompter.h"

#include <QMessageBox>

bool MessagePrompter::askYesNo(const QString& text) {
    return QMessageBox::warning(m_parent, QStringLiteral("KOVR"), text,
                                QMessageBox::Yes | QMessageBox::No,
                                QMessageBox::Yes) == QMessageBox::Yes;
}

void MessagePrompter::message(const QString& text, Icon icon) {
    if (icon == Icon::Error)
        QMessageBox::critical(m_parent, QStringLiteral("KOVR"), text);
    else
        QMessageBox::warning(m_parent, QStringLiteral("KOVR"), text);
}

#include "ui/MessagePrompter.h"

#include <QMessageBox>

std::unique_ptr<QMessageBox> MessagePrompter::questionBox(const QString& text) const {
    auto box = std::make_unique<QMessageBox>(QMessageBox::Warning, QStringLiteral("KOVR"), text,
                                             QMessageBox::Yes | QMessageBox::No, m_parent);
    box->setDefaultButton(QMessageBox::Yes);
    return box;
}

bool MessagePrompter::askYesNo(const QString& text) {
    return questionBox(text)->exec() == QMessageBox::Yes;
}

void MessagePrompter::message(const QString& text, Icon icon) {
    switch (icon) {
    case Icon::Error: QMessageBox::critical(m_parent, QStringLiteral("KOVR"), text); break;
    case Icon::Information: QMessageBox::information(m_parent, QStringLiteral("KOVR"), text); break;
    case Icon::Exclamation: QMessageBox::warning(m_parent, QStringLiteral("KOVR"), text); break;
    }
}

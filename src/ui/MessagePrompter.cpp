#include "ui/MessagePrompter.h"

#include <QMessageBox>

namespace {

// Above every window of the program, the always-on-top progress window included (the owner
// keeps it there): a question hidden under it could not be answered.
std::unique_ptr<QMessageBox> box(QMessageBox::Icon icon, const QString& text,
                                 QMessageBox::StandardButtons buttons, QWidget* parent) {
    auto box = std::make_unique<QMessageBox>(icon, QStringLiteral("KOVR"), text, buttons, parent);
    box->setWindowFlag(Qt::WindowStaysOnTopHint);
    return box;
}

} // namespace

QWidget* MessagePrompter::owner() const {
    return m_keepAbove && m_keepAbove->isVisible() ? m_keepAbove : m_parent;
}

std::unique_ptr<QMessageBox> MessagePrompter::questionBox(const QString& text) const {
    auto question = box(QMessageBox::Warning, text, QMessageBox::Yes | QMessageBox::No, owner());
    question->setDefaultButton(QMessageBox::Yes);
    return question;
}

bool MessagePrompter::askYesNo(const QString& text) {
    return questionBox(text)->exec() == QMessageBox::Yes;
}

void MessagePrompter::message(const QString& text, Icon icon) {
    QMessageBox::Icon shown = QMessageBox::Warning;
    switch (icon) {
    case Icon::Error: shown = QMessageBox::Critical; break;
    case Icon::Information: shown = QMessageBox::Information; break;
    case Icon::Exclamation: shown = QMessageBox::Warning; break;
    }
    box(shown, text, QMessageBox::Ok, owner())->exec();
}

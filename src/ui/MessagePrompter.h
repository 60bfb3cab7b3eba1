#pragma once

#include "link/Prompter.h"

#include <memory>

class QMessageBox;
class QWidget;

// Modal message boxes with caption "KOVR". Their buttons speak the language of Qt's own
// translation that the program has installed.
class MessagePrompter : public Prompter {
public:
    explicit MessagePrompter(QWidget* parent = nullptr)
        : m_parent(parent) {}
    // The window the boxes are modal to.
    void setParentWidget(QWidget* parent) { m_parent = parent; }
    // A window that stays on top of the others (the progress window): while it is shown the
    // boxes belong to it, and the window manager keeps a window's boxes above it.
    void setKeepAbove(QWidget* onTop) { m_keepAbove = onTop; }
    bool askYesNo(const QString& text) override;
    void message(const QString& text, Icon icon) override;

    // The box askYesNo shows: exclamation icon, Yes and No, Yes the default.
    std::unique_ptr<QMessageBox> questionBox(const QString& text) const;

private:
    QWidget* owner() const;

    QWidget* m_parent;
    QWidget* m_keepAbove = nullptr;
};

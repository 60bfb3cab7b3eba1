#pragma once

#include "link/Prompter.h"

class QWidget;

// Modal message boxes with caption "KOVR".
class MessagePrompter : public Prompter {
public:
    explicit MessagePrompter(QWidget* parent = nullptr)
        : m_parent(parent) {}
    // The window the boxes are modal to.
    void setParentWidget(QWidget* parent) { m_parent = parent; }
    bool askYesNo(const QString& text) override;
    void message(const QString& text, Icon icon) override;

private:
    QWidget* m_parent;
};

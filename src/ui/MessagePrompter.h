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
    bool askYesNo(const QString& text) override;
    void message(const QString& text, Icon icon) override;

    // The box askYesNo shows: exclamation icon, Yes and No, Yes the default.
    std::unique_ptr<QMessageBox> questionBox(const QString& text) const;

private:
    QWidget* m_parent;
};

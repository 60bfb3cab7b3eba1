#include "ui/PanelLook.h"

#include "lang/Lang.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

void applyGroupBoxLook(QWidget* panel) {
    // The caption starts 2 px down so that the accents of "Č" and "Ř" are not cut off.
    panel->setStyleSheet(QStringLiteral(
        "QGroupBox { border: 1px solid palette(mid); margin-top: 8px; }"
        "QGroupBox::title { subcontrol-origin: margin; left: 5px; padding: 2px 2px 0 2px; }"));
}

void makeDisplayEdit(QLineEdit* edit) {
    edit->setReadOnly(true);
    QObject::connect(edit, &QLineEdit::textChanged, edit, [edit] { edit->setCursorPosition(0); });
}

QLineEdit* placeDisplayEdit(QWidget* parent, QStringView name, int left, int top, int width) {
    auto* edit = place<QLineEdit>(parent, name, left, top, width, 21);
    makeDisplayEdit(edit);
    return edit;
}

QLabel* placeLabel(QWidget* parent, QStringView name, const char* text, int left, int top,
                   int width) {
    auto* label = place<QLabel>(parent, name, left, top, width, 17);
    label->setText(QString::fromUtf8(text));
    return label;
}

void applyCaptionKeys(std::initializer_list<CaptionKey> captions) {
    for (const CaptionKey& c : captions)
        setCaption(c.widget, LangText(QString::fromUtf16(c.key)));
}

void setCaption(QWidget* widget, const QString& text) {
    if (auto* group = qobject_cast<QGroupBox*>(widget))
        group->setTitle(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(widget))
        button->setText(text);
    else if (auto* label = qobject_cast<QLabel*>(widget))
        label->setText(text);
}

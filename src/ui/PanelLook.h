#pragma once

#include <QString>
#include <QStringView>
#include <QWidget>
#include <initializer_list>

class QLabel;
class QLineEdit;

// The look the two halves of the main window share.

// Every group box in `panel` (the panel itself included) draws its caption in its top frame
// line, and its frame starts at the caption's middle: the panels' fixed layouts place their
// contents just below that line. A style that puts the caption above the frame would move the
// frame down onto the contents.
void applyGroupBoxLook(QWidget* panel);

// A read-only edit that shows a value: whatever sets its text, the text shows from its first
// character. (QLineEdit keeps the cursor at the end of a new text, so a text wider than the
// edit would scroll and lose its start.)
void makeDisplayEdit(QLineEdit* edit);

// A child of a fixed layout: its object name and its place in the parent.
template <typename W>
W* place(QWidget* parent, QStringView name, int left, int top, int width, int height) {
    auto* widget = new W(parent);
    widget->setObjectName(name.toString());
    widget->setGeometry(left, top, width, height);
    return widget;
}

// A display edit (makeDisplayEdit) of a fixed layout, 21 px high.
QLineEdit* placeDisplayEdit(QWidget* parent, QStringView name, int left, int top, int width);
// A label of a fixed layout, 17 px high, with its Czech caption until the dictionary's is given.
QLabel* placeLabel(QWidget* parent, QStringView name, const char* text, int left, int top,
                   int width);

// The visible text of a group box (its title), a button or check box, or a label.
void setCaption(QWidget* widget, const QString& text);

// A widget and the dictionary key of its caption: a window's captions are a table of these.
struct CaptionKey {
    QWidget* widget;
    const char16_t* key;
};
// Gives every widget of the table LangText of its key.
void applyCaptionKeys(std::initializer_list<CaptionKey> captions);

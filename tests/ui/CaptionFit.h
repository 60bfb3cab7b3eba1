#pragma once

// Whether a caption has room in its control, measured where the control's style draws it.

#include <QGroupBox>
#include <QStyle>
#include <QStyleOptionGroupBox>

// The caption's text as the group's style places it.
inline QRect captionRect(const QGroupBox* group) {
    QStyleOptionGroupBox option;
    option.initFrom(group);
    option.text = group->title();
    option.textAlignment = group->alignment();
    option.lineWidth = 1;
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    return group->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel,
                                          group);
}

// Right of the caption there is still its padding and a piece of the top frame line before
// the corner: a caption that reaches the corner looks as if it ran over the frame.
inline bool captionFits(const QGroupBox* group) {
    constexpr int padding = 2, line = 6, border = 1;
    return captionRect(group).right() + padding + line + border < group->width();
}

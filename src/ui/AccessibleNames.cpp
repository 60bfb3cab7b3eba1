#include "ui/AccessibleNames.h"

#include "ui/GaugeWidget.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHash>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>
#include <limits>

namespace {

// Marks a group named after its window, to be renamed with it on a language change.
constexpr char FromWindow[] = "kovrNamedAfterWindow";

QString shown(QString text) {
    text.remove(u'&');
    text = text.simplified();
    if (text.endsWith(u':')) text.chop(1);
    return text;
}

// Inputs without a text of their own; check and radio buttons read their own text.
bool needsName(const QWidget* w) {
    return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QComboBox*>(w) ||
           qobject_cast<const QAbstractItemView*>(w) || qobject_cast<const QAbstractSpinBox*>(w) ||
           qobject_cast<const GaugeWidget*>(w);
}

bool isInput(const QWidget* w) {
    return needsName(w) || qobject_cast<const QCheckBox*>(w) ||
           qobject_cast<const QRadioButton*>(w);
}

// A part of another input (a grid's header, a list's own edit) is named with it.
bool isPartOfInput(const QWidget* w, const QWidget* window) {
    if (qobject_cast<const QHeaderView*>(w)) return true;
    for (const QWidget* p = w->parentWidget(); p && p != window; p = p->parentWidget())
        if (needsName(p)) return true;
    return false;
}

// The sibling label nearest on the left on the same row, else nearest above or below that
// overlaps the control's columns.
QLabel* labelOf(const QWidget* control) {
    const QWidget* parent = control->parentWidget();
    if (!parent) return {};
    const QRect c = control->geometry();
    QLabel* best = nullptr;
    int bestDistance = std::numeric_limits<int>::max();
    for (QLabel* label : parent->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
        if (label->buddy() == control && !shown(label->text()).isEmpty()) return label;
        if (shown(label->text()).isEmpty()) continue;
        const QRect l = label->geometry();
        int distance = std::numeric_limits<int>::max();
        const bool sameRow = l.center().y() >= c.top() && l.center().y() <= c.bottom();
        const bool sameColumns = l.left() <= c.right() && l.right() >= c.left();
        if (sameRow && l.right() <= c.left() + 2)
            distance = c.left() - l.right();
        else if (sameColumns && l.bottom() <= c.top() + 2)
            distance = 1000 + c.top() - l.bottom();
        else if (sameColumns && l.top() >= c.bottom() - 2)
            distance = 2000 + l.top() - c.bottom();
        if (distance < bestDistance) {
            bestDistance = distance;
            best = label;
        }
    }
    return best;
}

// The caption of the push button right under an edit, for an edit that the button writes ("Z"
// under the first end position).
QString buttonBelow(const QWidget* control) {
    const QWidget* parent = control->parentWidget();
    if (!parent || !qobject_cast<const QLineEdit*>(control)) return {};
    const QRect c = control->geometry();
    const QPushButton* best = nullptr;
    for (const QPushButton* button :
         parent->findChildren<QPushButton*>(Qt::FindDirectChildrenOnly)) {
        const QRect b = button->geometry();
        const bool sameColumns = b.left() <= c.center().x() && b.right() >= c.center().x();
        if (sameColumns && b.top() >= c.bottom() - 2 && b.top() - c.bottom() < 12 &&
            (!best || b.top() < best->geometry().top()))
            best = button;
    }
    return best ? shown(best->text()) : QString();
}

QString groupTitleOf(const QWidget* control) {
    for (const QWidget* p = control->parentWidget(); p; p = p->parentWidget())
        if (const auto* group = qobject_cast<const QGroupBox*>(p))
            if (!shown(group->title()).isEmpty()) return shown(group->title());
    return {};
}

QPoint placeIn(const QWidget* window, const QWidget* w) {
    return w->mapTo(window, QPoint(0, 0));
}

} // namespace

void nameForAssistiveTech(QWidget* window) {
    // An untitled group keeps the name its window gave it, or else takes the window's title
    // (Qt would name it after an outer group, or not at all).
    for (QGroupBox* group : window->findChildren<QGroupBox*>()) {
        if (!shown(group->title()).isEmpty())
            group->setAccessibleName(shown(group->title()));
        else if (group->accessibleName().isEmpty() || group->property(FromWindow).toBool()) {
            group->setAccessibleName(shown(window->windowTitle()));
            group->setProperty(FromWindow, true);
        }
    }

    QList<QWidget*> inputs;
    for (QWidget* w : window->findChildren<QWidget*>())
        if (isInput(w) && w->window() == window && !isPartOfInput(w, window)) inputs.append(w);
    std::sort(inputs.begin(), inputs.end(), [window](const QWidget* a, const QWidget* b) {
        const QPoint pa = placeIn(window, a), pb = placeIn(window, b);
        return std::pair(pa.y(), pa.x()) < std::pair(pb.y(), pb.x());
    });

    QHash<QWidget*, QString> names;
    for (QWidget* w : std::as_const(inputs)) {
        QString name;
        if (const auto* button = qobject_cast<const QAbstractButton*>(w))
            name = shown(button->text());
        if (name.isEmpty()) {
            // The label becomes the control's buddy: screen readers on Linux read a list by its
            // value and find its label through that relation.
            if (QLabel* label = labelOf(w)) {
                name = shown(label->text());
                if (!label->buddy()) label->setBuddy(w);
            }
        }
        if (name.isEmpty()) {
            name = groupTitleOf(w);
            const QString below = buttonBelow(w);
            if (!below.isEmpty()) name = name.isEmpty() ? below : name + u' ' + below;
        }
        // Nothing around it to read: the name its window gives it.
        if (name.isEmpty()) name = w->accessibleName();
        names.insert(w, name);
    }
    // Alike names: first the group's title, then the place in reading order.
    const auto alike = [&] {
        QHash<QString, int> uses;
        for (const QString& name : std::as_const(names))
            ++uses[name];
        return uses;
    };
    QHash<QString, int> uses = alike();
    for (QWidget* w : std::as_const(inputs)) {
        const QString group = groupTitleOf(w);
        if (uses.value(names[w]) > 1 && !group.isEmpty() && group != names[w])
            names[w] = group + QStringLiteral(": ") + names[w];
    }
    uses = alike();
    QHash<QString, int> seen;
    for (QWidget* w : std::as_const(inputs)) {
        const QString name = names[w];
        if (uses.value(name) <= 1) continue;
        // A number that another control's label already reads ("Relé 1") is skipped.
        QString numbered;
        do
            numbered = name + u' ' + QString::number(++seen[name]);
        while (uses.contains(numbered));
        names[w] = numbered;
        ++uses[numbered];
    }
    for (QWidget* w : std::as_const(inputs))
        w->setAccessibleName(names[w]);
}

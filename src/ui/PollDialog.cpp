#include "ui/PollDialog.h"

#include <QEvent>

void PollDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormActivate();
}

void PollDialog::hideEvent(QHideEvent* event) {
    FormDeactivate();
    QDialog::hideEvent(event);
}

void PollDialog::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() != QEvent::ActivationChange || !isVisible()) return;
    if (isActiveWindow())
        FormActivate();
    else
        FormDeactivate();
}

#pragma once

#include <QDialog>

// A dialog with a live poll of its own (torque, sensors): it opens its poll when it is shown or
// becomes the active window, and leaves it when it is hidden or another window takes over.
class PollDialog : public QDialog {
    Q_OBJECT
public:
    using QDialog::QDialog;

    virtual void FormActivate() = 0;
    virtual void FormDeactivate() = 0;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;
};

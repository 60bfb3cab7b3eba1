#pragma once

#include "link/ProgressSink.h"

#include <QDialog>

class QProgressBar;

// TPrubehForm: the small always-on-top window with one progress bar that a refresh or a
// transfer shows. Not modal; it never takes input.
class TPrubehForm : public QDialog, public ProgressSink {
    Q_OBJECT
public:
    explicit TPrubehForm(QWidget* parent = nullptr);
    void applyCaptions();

    void setRange(int minimum, int maximum) override;
    void setPosition(int position) override;
    int position() const override;
    int maximum() const override;
    void show() override;
    void close() override { hide(); }
    // While shown the window counts as active: clicking another window must not freeze the bar.
    bool isActive() const override { return isVisible(); }
    bool isEnabled() const override { return QWidget::isEnabled(); }

    QProgressBar* ProgressBar1 = nullptr;
};

#pragma once

#include <QDialog>

class QLabel;

// TAboutBox: product name, version and icon.
class AboutBox : public QDialog {
    Q_OBJECT
public:
    explicit AboutBox(QWidget* parent = nullptr);
    void applyCaptions();
};

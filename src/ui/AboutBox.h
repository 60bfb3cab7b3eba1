#pragma once

#include <QDialog>

class QLabel;

// TAboutBox: product name, version and icon.
class AboutBox : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* Version = "Ver. 1.1.0.0";

    explicit AboutBox(QWidget* parent = nullptr);
    void applyCaptions();

    // The program icon, drawn rather than shipped as a file.
    static QPixmap programIcon(int size);
};

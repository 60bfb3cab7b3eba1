#include "ui/ComboParB.h"

#include "image/DeviceImage.h"

#include <QComboBox>
#include <QSignalBlocker>

void paintRed(QWidget* widget, bool red) {
    if (!red) {
        widget->setPalette(QPalette());
        widget->setAutoFillBackground(false);
        return;
    }
    QPalette palette = widget->palette();
    for (QPalette::ColorRole role : {QPalette::Window, QPalette::Base, QPalette::Button})
        palette.setColor(role, Qt::red);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void extendList(QComboBox* combo, int item) {
    while (combo->count() < item + 1)
        combo->addItem(QString::number(combo->count()) + QStringLiteral(" (aktualizujte SW)"));
}

void NastavComboParB(QComboBox* combo, const DeviceImage& image, int sada, int parIndex, int offset,
                     int koef) {
    const QSignalBlocker blocker(combo);
    if (image.ParB_Err[parIndex]) {
        combo->setCurrentIndex(-1);
        paintRed(combo, true);
        return;
    }
    // Truncating toward zero: B 27 = 45 shows "50  %", B 27 = 40 nothing.
    const int item = (int(image.ParB[sada][parIndex]) + offset) / koef;
    extendList(combo, item);
    combo->setCurrentIndex(item < 0 ? -1 : item);
    paintRed(combo, false);
}

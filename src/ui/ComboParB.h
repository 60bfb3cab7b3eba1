#pragma once

class QComboBox;
class QWidget;
struct DeviceImage;

// NastavComboParB: puts byte parameter `parIndex` of set `sada` into a list. A parameter the
// unit reports faulty shows no selection on red; a value beyond the list is shown as its item
// number followed by " (aktualizujte SW)". Setting the selection does not count as the user's
// choice.
void NastavComboParB(QComboBox* combo, const DeviceImage& image, int sada, int parIndex, int offset,
                     int koef);

// Appends numbered items until the list has item `item`.
void extendList(QComboBox* combo, int item);

// An error colours a control red; clear, it takes the colours of its parent again.
void paintRed(QWidget* widget, bool red);

#include "device/OutputsTest.h"

#include "wire/Frame.h"

#include <algorithm>

namespace OutputsTest {

QStringList relayItems() {
    return {QStringLiteral("VYPNUTO"), QStringLiteral("READY (MZ)"), QStringLiteral("O (SO)"),
            QStringLiteral("Z (SZ)"),  QStringLiteral("1 (READY)"),  QStringLiteral("2 (PO)"),
            QStringLiteral("3 (MO)"),  QStringLiteral("4 (PZ)"),     QStringLiteral("BRZDA"),
            QStringLiteral("TOPENÍ")};
}

QStringList cptItems() {
    return {QStringLiteral("0 %"), QStringLiteral("50 %"), QStringLiteral("100 %")};
}

QStringList ledItems() {
    return {QStringLiteral("Vypnuto"), QStringLiteral("Červená"), QStringLiteral("Žlutá")};
}

int relayWord(int item) {
    // Items outside the group switch every relay off rather than a relay nobody chose.
    if (item < 1 || item > 9) return 0;
    return 1 << (item - 1);
}

int cptWord(int item) {
    static constexpr int words[] = {0x0000, 0x01FF, 0x03FF};
    return words[std::clamp(item, 0, 2)];
}

QByteArray pollData(int relayItem, int cptItem, int ledItem) {
    return IntToHex(relayWord(relayItem), 4) + IntToHex(cptWord(cptItem), 4) +
           IntToHex(std::clamp(ledItem, 0, 0xFF), 2) + QByteArray(24, '*');
}

QStringList inputs2Captions() {
    return {QStringLiteral("Dálk."), QStringLiteral("Místní"), QStringLiteral("O"),
            QStringLiteral("Z"),     QStringLiteral("MENU"),   QStringLiteral("P"),
            QStringLiteral("O"),     QStringLiteral("C")};
}

QStringList inputs3Captions() {
    return {QStringLiteral("I1"),
            QStringLiteral("Otevřít"),
            QStringLiteral("Zavřít"),
            QStringLiteral("TP"),
            QString(),
            QStringLiteral("Stop"),
            QStringLiteral("V"),
            QStringLiteral("U")};
}

} // namespace OutputsTest

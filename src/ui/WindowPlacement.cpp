#include "ui/WindowPlacement.h"

#include <QFont>
#include <QFontMetrics>
#include <QScreen>
#include <QWidget>
#include <algorithm>

void placeOver(QWidget& window, const QWidget& anchor) {
    const QWidget* anchorWindow = anchor.window();
    const QScreen* screen = anchorWindow->screen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    // The decoration around the client: title bar on top, borders elsewhere.
    const QRect anchorFrame = anchorWindow->frameGeometry();
    const QRect anchorClient = anchorWindow->geometry();
    const QMargins decoration(
        anchorClient.left() - anchorFrame.left(), anchorClient.top() - anchorFrame.top(),
        anchorFrame.right() - anchorClient.right(), anchorFrame.bottom() - anchorClient.bottom());
    QRect frame(QPoint(0, 0), window.size().grownBy(decoration));
    frame.moveCenter(anchorFrame.center());
    frame.moveLeft(std::clamp(frame.left(), area.left(),
                              std::max(area.left(), area.right() + 1 - frame.width())));
    frame.moveTop(std::clamp(frame.top(), area.top(),
                             std::max(area.top(), area.bottom() + 1 - frame.height())));
    window.move(frame.topLeft());
}

int titleBarWidth(const QString& title) {
    // Icon, iconify, maximise and close, with the title's padding: what openbox's and most
    // themes' title bars take besides the text (measured on openbox's default theme).
    constexpr int Decoration = 116;
    // 8 points at the 96 dots per inch the window manager draws with, whatever Qt's own
    // resolution on the platform it runs on.
    QFont font(QStringLiteral("Sans"));
    font.setPixelSize(11);
    font.setBold(true);
    return QFontMetrics(font).horizontalAdvance(title) + Decoration;
}

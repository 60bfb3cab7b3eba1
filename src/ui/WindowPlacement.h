#pragma once

class QString;
class QWidget;

// Puts the top-level `window` over the middle of `anchor`'s window, moved as little as needed
// to lie wholly inside the available area of the anchor's screen (a window taller than that
// area keeps its title bar on the screen). The frame the window manager will add is taken to
// be as wide as the anchor's.
void placeOver(QWidget& window, const QWidget& anchor);

// The narrowest window whose title bar shows `title` whole under a usual window manager: the
// title in a bold 8-point sans, and room for the window's icon and three buttons.
int titleBarWidth(const QString& title);

#pragma once

#include <QIcon>
#include <QPixmap>

// The program's one picture: the SVG the package installs for the menus, drawn at any size for
// the windows' title bars, the task bar and the about box.
QPixmap programPixmap(int size);
QIcon programIcon();

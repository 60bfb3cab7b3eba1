#pragma once

#include <QString>

class QWidget;

// The save dialog of every "Uložit jako"/export: it opens on `proposed` (a folder and a file
// name), adds `suffix` to a name typed without one and asks before it replaces a file. The
// chosen path, or an empty text when cancelled.
QString chooseSaveFile(QWidget* parent, const QString& filter, const QString& suffix,
                       const QString& proposed = QString());

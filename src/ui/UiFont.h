#pragma once

#include <QFont>

// The font of the main window and its panels: Tahoma 8 pt. Where the system has no Tahoma the
// copy shipped with Wine's fonts is registered on first use; without it, DejaVu Sans 8 pt.
// Needs a QGuiApplication.
QFont kovrFont();

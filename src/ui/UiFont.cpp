#include "ui/UiFont.h"

#include <QFile>
#include <QFontDatabase>

namespace {

const QString tahoma = QStringLiteral("Tahoma");

QString fontFamily() {
    static const QString family = [] {
        if (QFontDatabase::families().contains(tahoma)) return tahoma;
        const QString wineTahoma = QStringLiteral("/usr/share/wine/fonts/tahoma.ttf");
        if (QFile::exists(wineTahoma) && QFontDatabase::addApplicationFont(wineTahoma) >= 0 &&
            QFontDatabase::families().contains(tahoma))
            return tahoma;
        return QStringLiteral("DejaVu Sans");
    }();
    return family;
}

} // namespace

QFont kovrFont() {
    return QFont(fontFamily(), 8);
}

#include "ui/ProgramIcon.h"

#include <QPainter>
#include <QSvgRenderer>

// The picture lives in a static library: its resource is registered on first use. (Outside any
// namespace: Q_INIT_RESOURCE declares the registration function where it is used.)
static void initResource() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(icon);
        return true;
    }();
    Q_UNUSED(registered);
}

QPixmap programPixmap(int size) {
    initResource();
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(QStringLiteral(":/icon/kovr.svg"));
    QPainter painter(&pixmap);
    renderer.render(&painter);
    return pixmap;
}

QIcon programIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(programPixmap(size));
    return icon;
}

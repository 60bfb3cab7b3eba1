#include "ui/AboutBox.h"

#include "lang/Lang.h"
#include "wire/ToolVersion.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>

AboutBox::AboutBox(QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("AboutBox"));
    setFixedSize(298, 160);
    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("ProgramIcon"));
    icon->setPixmap(programIcon(48));
    icon->setGeometry(16, 16, 48, 48);
    auto* product = new QLabel(QStringLiteral("KOVR"), this);
    product->setObjectName(QStringLiteral("ProductName"));
    QFont bold = product->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 4);
    product->setFont(bold);
    product->setGeometry(88, 16, 190, 24);
    auto* version = new QLabel(QStringLiteral("Ver. ") + QLatin1String(ToolVersion), this);
    version->setObjectName(QStringLiteral("Version"));
    version->setGeometry(88, 46, 190, 16);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setDefault(true);
    ok->setGeometry(111, 120, 75, 25);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    applyCaptions();
}

void AboutBox::applyCaptions() {
    setWindowTitle(LangText(QStringLiteral("O aplikaci")));
}

QPixmap AboutBox::programIcon(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    // A valve body with its actuator wheel.
    const qreal s = size / 48.0;
    painter.setPen(QPen(QColor(0x20, 0x30, 0x60), 2 * s));
    painter.setBrush(QColor(0x3C, 0x6E, 0xB4));
    painter.drawRect(QRectF(6 * s, 28 * s, 36 * s, 14 * s));
    painter.setBrush(QColor(0xE0, 0xE8, 0xF4));
    painter.drawEllipse(QRectF(14 * s, 4 * s, 20 * s, 20 * s));
    painter.drawLine(QPointF(24 * s, 24 * s), QPointF(24 * s, 28 * s));
    painter.drawLine(QPointF(18 * s, 14 * s), QPointF(30 * s, 14 * s));
    painter.drawLine(QPointF(24 * s, 8 * s), QPointF(24 * s, 20 * s));
    return pixmap;
}

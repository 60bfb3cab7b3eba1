#include "ui/AboutBox.h"

#include "lang/Lang.h"
#include "ui/ProgramIcon.h"
#include "wire/ToolVersion.h"

#include <QLabel>
#include <QPushButton>

AboutBox::AboutBox(QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("AboutBox"));
    setFixedSize(298, 160);
    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("ProgramIcon"));
    icon->setPixmap(programPixmap(48));
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

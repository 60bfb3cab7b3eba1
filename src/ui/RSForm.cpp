#include "ui/RSForm.h"

#include "device/MonitorDisplay.h"
#include "lang/Lang.h"
#include "ui/PanelLook.h"
#include "ui/UiFont.h"

#include <QLineEdit>
#include <QPushButton>

TRSForm::TRSForm(QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("RSForm"));
    setWindowTitle(QStringLiteral("Řídicí signál"));
    setFont(kovrFont());
    setFixedSize(182, 84);

    m_edit1 = place<QLineEdit>(this, u"Edit1", 8, 12, 166, 21);
    makeDisplayEdit(m_edit1);
    m_edit1->setAlignment(Qt::AlignRight);

    auto* ok = place<QPushButton>(this, u"OKBtn", 16, 51, 75, 25);
    ok->setText(QStringLiteral("OK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] {
        if (!m_onOk || m_onOk(reading())) accept();
    });
    m_cancel = place<QPushButton>(this, u"CancelBtn", 99, 51, 75, 25);
    m_cancel->setText(QStringLiteral("Storno"));
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    applyCaptions();
}

void TRSForm::applyCaptions() {
    setWindowTitle(LangText(QStringLiteral("Řídicí signál")));
    m_cancel->setText(LangText(QStringLiteral("Storno")));
}

void TRSForm::render(const MonitorDisplay& display) {
    m_edit1->setText(display.controlSignalRaw);
}

QString TRSForm::reading() const {
    return m_edit1->text();
}

#include "ui/RSForm.h"

#include "device/MonitorDisplay.h"
#include "lang/Lang.h"
#include "ui/PanelLook.h"
#include "ui/UiFont.h"
#include "ui/WindowPlacement.h"

#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

TRSForm::TRSForm(QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("RSForm"));
    setWindowTitle(QStringLiteral("Řídicí signál"));
    setFont(kovrFont());
    // The controls keep their places on a client of their own, centred in a window made wider
    // where a language's caption would not fit the title bar.
    m_content = new QWidget(this);
    m_content->setGeometry(0, 0, DesignWidth, DesignHeight);

    m_edit1 = place<QLineEdit>(m_content, u"Edit1", 8, 12, 166, 21);
    makeDisplayEdit(m_edit1);
    m_edit1->setAlignment(Qt::AlignRight);

    auto* ok = place<QPushButton>(m_content, u"OKBtn", 16, 51, 75, 25);
    ok->setText(QStringLiteral("OK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] {
        if (!m_onOk || m_onOk(reading())) accept();
    });
    m_cancel = place<QPushButton>(m_content, u"CancelBtn", 99, 51, 75, 25);
    m_cancel->setText(QStringLiteral("Storno"));
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    applyCaptions();
}

void TRSForm::applyCaptions() {
    setWindowTitle(LangText(QStringLiteral("Řídicí signál")));
    m_cancel->setText(LangText(QStringLiteral("Storno")));
    const int width = std::max(DesignWidth, titleBarWidth(windowTitle()));
    setFixedSize(width, DesignHeight);
    m_content->move((width - DesignWidth) / 2, 0);
}

void TRSForm::render(const MonitorDisplay& display) {
    m_edit1->setText(display.controlSignalRaw);
}

QString TRSForm::reading() const {
    return m_edit1->text();
}

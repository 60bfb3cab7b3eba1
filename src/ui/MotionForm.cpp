#include "ui/MotionForm.h"

#include "device/MonitorDisplay.h"
#include "image/DeviceImage.h"
#include "lang/Lang.h"
#include "ui/GaugeWidget.h"
#include "ui/PanelLook.h"
#include "ui/UiFont.h"

#include <QGroupBox>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <algorithm>

namespace {

struct KindLook {
    const char* objectName;
    const char* captionKey;
    bool hasOk;
};

constexpr KindLook kindLooks[] = {
    {"PolohaForm", "Poloha", true},
    {"MotorForm", "Motor", false},
};

const KindLook& look(TMotionForm::Kind kind) {
    return kindLooks[kind == TMotionForm::Kind::Position ? 0 : 1];
}

} // namespace

TMotionForm::TMotionForm(Kind kind, std::function<void(LinkRequest)> ask, QWidget* parent)
    : QDialog(parent)
    , m_kind(kind)
    , m_ask(std::move(ask)) {
    setObjectName(QString::fromLatin1(look(kind).objectName));
    setFont(kovrFont());
    applyGroupBoxLook(this);
    setFixedSize(345, 160);

    auto* group = place<QGroupBox>(this, u"GroupBox1", 8, 4, 329, 114);
    m_gauge = place<GaugeWidget>(group, u"Gauge1", 12, 18, 305, 20);
    m_gauge->setRange(0, 10000);
    m_gauge->setShowText(true);
    auto* pc = place<QLabel>(group, u"Label1", 12, 50, 20, 16);
    pc->setText(QStringLiteral("PC"));
    m_edit2 = place<QLineEdit>(group, u"Edit2", 32, 48, 80, 21);
    m_edit1 = place<QLineEdit>(group, u"Edit1", 124, 48, 80, 21);
    auto* po = place<QLabel>(group, u"Label2", 217, 50, 20, 16);
    po->setText(QStringLiteral("PO"));
    m_edit3 = place<QLineEdit>(group, u"Edit3", 237, 48, 80, 21);
    for (QLineEdit* edit : {m_edit1, m_edit2, m_edit3}) {
        makeDisplayEdit(edit);
        edit->setAlignment(Qt::AlignRight);
    }
    m_button1 = place<QPushButton>(group, u"Button1", 12, 80, 97, 25);
    m_button3 = place<QPushButton>(group, u"Button3", 116, 80, 97, 25);
    m_button2 = place<QPushButton>(group, u"Button2", 220, 80, 97, 25);
    for (auto [button, request] : {std::pair{m_button1, LinkRequest::MotorClose},
                                   std::pair{m_button2, LinkRequest::MotorOpen},
                                   std::pair{m_button3, LinkRequest::MotorStop}}) {
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, request] { m_ask(request); });
    }

    m_cancel = place<QPushButton>(this, u"CancelBtn", 262, 127, 75, 25);
    m_cancel->setText(QStringLiteral("Storno"));
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    if (look(kind).hasOk) {
        auto* ok = place<QPushButton>(this, u"OKBtn", 179, 127, 75, 25);
        ok->setText(QStringLiteral("OK"));
        ok->setDefault(true);
        connect(ok, &QPushButton::clicked, this, [this] {
            if (m_onOk) m_onOk();
            accept();
        });
    }
    m_button1->setText(QStringLiteral("Zavírat"));
    m_button2->setText(QStringLiteral("Otevírat"));
    m_button3->setText(QStringLiteral("Stop"));
    setWindowTitle(QString::fromLatin1(look(kind).captionKey));
    applyCaptions();
}

void TMotionForm::applyCaptions() {
    setWindowTitle(LangText(QString::fromLatin1(look(m_kind).captionKey)));
    m_button1->setText(LangText(QStringLiteral("Zavírat")));
    m_button2->setText(LangText(QStringLiteral("Otevírat")));
    m_button3->setText(LangText(QStringLiteral("Zastavit")));
    m_cancel->setText(LangText(QStringLiteral("Storno")));
}

void TMotionForm::render(const MonitorDisplay& display, const DeviceImage& image) {
    m_gauge->setValue(std::clamp(image.Poloha_Proc, 0, 10000));
    m_edit1->setText(display.dialogPosition);
    m_edit2->setText(display.dialogEndZ);
    m_edit3->setText(display.dialogEndO);
}

int TMotionForm::gaugeValue() const {
    return m_gauge->value();
}

void TMotionForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) m_ask(LinkRequest::MotorDialogOpened);
}

void TMotionForm::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    if (!event->spontaneous()) m_ask(LinkRequest::DialogClosed);
}

#include "ui/PwmForm.h"

#include "device/CptValues.h"
#include "image/DeviceImage.h"
#include "lang/Lang.h"
#include "link/PollInputs.h"
#include "link/Prompter.h"
#include "ui/PanelLook.h"
#include "ui/UiFont.h"

#include <QHideEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QToolButton>
#include <algorithm>

namespace {

struct PageLook {
    const char16_t* title;
    const char16_t* edit;
    const char16_t* upDown;
    int parameter;
};

constexpr PageLook pageLooks[2] = {
    {u"4 mA", u"Edit1", u"UpDown1", CptValues::Cpt4Index},
    {u"20 mA", u"Edit2", u"UpDown2", CptValues::Cpt20Index},
};

} // namespace

TPwmForm::TPwmForm(Links links, QWidget* parent)
    : QDialog(parent)
    , m_links(std::move(links)) {
    setObjectName(QStringLiteral("PwmForm"));
    setWindowTitle(QStringLiteral("CPT"));
    setFont(kovrFont());
    setFixedSize(220, 130);

    m_pages = place<QTabWidget>(this, u"PageControl1", 8, 8, 204, 80);
    for (int page = 0; page < 2; ++page) {
        const PageLook& look = pageLooks[page];
        auto* sheet = new QWidget(m_pages);
        m_pages->addTab(sheet, QString::fromUtf16(look.title));
        QLineEdit* edit = place<QLineEdit>(sheet, look.edit, 16, 14, 60, 21);
        edit->setMaxLength(CptValues::MaxDigits);
        edit->setAlignment(Qt::AlignRight);
        m_edits[page] = edit;
        // The up-down control: two arrow buttons beside the edit.
        auto* upDown = place<QWidget>(sheet, look.upDown, 77, 14, 16, 21);
        auto* up = place<QToolButton>(upDown, u"Up", 0, 0, 16, 11);
        auto* down = place<QToolButton>(upDown, u"Down", 0, 10, 16, 11);
        up->setArrowType(Qt::UpArrow);
        down->setArrowType(Qt::DownArrow);
        for (QToolButton* arrow : {up, down}) {
            arrow->setAutoRepeat(true);
            arrow->setFocusPolicy(Qt::NoFocus);
        }
        connect(up, &QToolButton::clicked, this, [this, page] { step(page, +1); });
        connect(down, &QToolButton::clicked, this, [this, page] { step(page, -1); });
        connect(edit, &QLineEdit::textChanged, this, [this, page] { edited(page); });
    }
    connect(m_pages, &QTabWidget::currentChanged, this,
            [this](int page) { m_links.inputs.cptPage = page; });

    auto* ok = place<QPushButton>(this, u"OKBtn", 54, 97, 75, 25);
    ok->setText(QStringLiteral("OK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] {
        CptValues::store(m_links.image, m_edits[0]->text(), m_edits[1]->text());
        accept();
    });
    m_cancel = place<QPushButton>(this, u"CancelBtn", 137, 97, 75, 25);
    m_cancel->setText(QStringLiteral("Storno"));
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    applyCaptions();
}

void TPwmForm::applyCaptions() {
    m_cancel->setText(LangText(QStringLiteral("Storno")));
}

void TPwmForm::step(int page, int delta) {
    const int now = CptValues::value(m_edits[page]->text());
    m_edits[page]->setText(
        QString::number(std::clamp(now + delta, CptValues::Minimum, CptValues::Maximum)));
}

void TPwmForm::edited(int page) {
    QLineEdit* edit = m_edits[page];
    const CptValues::EditCheck check = CptValues::check(edit->text());
    if (!check.notice.isEmpty())
        m_links.prompter.message(check.notice, Prompter::Icon::Exclamation);
    // Setting the checked text comes back here once, with nothing left to mend.
    if (check.text != edit->text()) {
        edit->setText(check.text);
        return;
    }
    (page == 0 ? m_links.inputs.cptEdit1 : m_links.inputs.cptEdit2) = edit->text();
}

void TPwmForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    for (int page = 0; page < 2; ++page) {
        m_edits[page]->setText(QString::number(m_links.image.ParW[2][pageLooks[page].parameter]));
        edited(page); // the poll's value even when the text was already the same
    }
    m_links.inputs.cptPage = m_pages->currentIndex();
    m_links.pollWanted(true);
}

void TPwmForm::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    if (event->spontaneous()) return;
    m_links.pollWanted(false);
    m_links.closed();
}

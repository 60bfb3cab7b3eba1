#include "ui/ChybyForm.h"

#include "lang/Lang.h"
#include "ui/PanelLook.h"
#include "ui/UiFont.h"

#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>

TChybyForm::TChybyForm(DeviceImage& image, std::function<void()> stored, QWidget* parent)
    : QDialog(parent)
    , m_image(image)
    , m_stored(std::move(stored)) {
    setObjectName(QStringLiteral("ChybyForm"));
    setWindowTitle(QStringLiteral("Masky chyb"));
    setFont(kovrFont());
    applyGroupBoxLook(this);
    setFixedSize(386, 448);

    m_group2 = place<QGroupBox>(this, u"GroupBox2", 8, 4, 181, 400);
    m_group2->setTitle(QStringLiteral("Varování"));
    m_warnings = place<QListWidget>(m_group2, u"CheckListBox2", 8, 20, 165, 372);
    m_group1 = place<QGroupBox>(this, u"GroupBox1", 197, 4, 181, 400);
    m_group1->setTitle(QStringLiteral("Chyby"));
    m_errors = place<QListWidget>(m_group1, u"CheckListBox1", 8, 20, 165, 372);
    for (QListWidget* list : {m_warnings, m_errors})
        connect(list, &QListWidget::itemChanged, this,
                [this, list](QListWidgetItem* item) { clicked(list, item); });

    auto* ok = place<QPushButton>(this, u"OKBtn", 220, 415, 75, 25);
    ok->setText(QStringLiteral("OK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] {
        NastavMaskyChyb();
        accept();
    });
    m_cancel = place<QPushButton>(this, u"CancelBtn", 303, 415, 75, 25);
    m_cancel->setText(QStringLiteral("Storno"));
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TChybyForm::applyCaptions(const QStringList& conditionNames) {
    setWindowTitle(LangText(QStringLiteral("Varování a chyby")));
    m_group2->setTitle(LangText(QStringLiteral("Varování")));
    m_group1->setTitle(LangText(QStringLiteral("Chyby")));
    m_cancel->setText(LangText(QStringLiteral("Storno")));
    // Refilling drops the check marks; showing the dialog sets them again.
    for (QListWidget* list : {m_errors, m_warnings}) {
        const QSignalBlocker quiet(list);
        list->clear();
        for (const QString& name : conditionNames) {
            auto* item = new QListWidgetItem(name, list);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
            item->setCheckState(Qt::Unchecked);
        }
    }
}

void TChybyForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) ZobrazMaskyChyb();
}

void TChybyForm::ZobrazMaskyChyb() {
    setChecks(m_errors, ErrorMasks::errors(m_image));
    setChecks(m_warnings, ErrorMasks::warnings(m_image));
}

void TChybyForm::NastavMaskyChyb() {
    ErrorMasks::store(m_image, checks(m_errors), checks(m_warnings));
    if (m_stored) m_stored();
}

void TChybyForm::clicked(QListWidget* list, QListWidgetItem* item) {
    QListWidget* otherList = list == m_errors ? m_warnings : m_errors;
    ErrorMasks::Checks other = checks(otherList);
    ErrorMasks::exclusiveClick(checks(list), other, list->row(item));
    setChecks(otherList, other);
}

ErrorMasks::Checks TChybyForm::checks(const QListWidget* list) {
    ErrorMasks::Checks result{};
    for (int n = 0; n < ErrorMasks::Conditions && n < list->count(); ++n)
        result[n] = list->item(n)->checkState() == Qt::Checked;
    return result;
}

void TChybyForm::setChecks(QListWidget* list, const ErrorMasks::Checks& checks) {
    const QSignalBlocker quiet(list);
    for (int n = 0; n < ErrorMasks::Conditions && n < list->count(); ++n)
        list->item(n)->setCheckState(checks[n] ? Qt::Checked : Qt::Unchecked);
}

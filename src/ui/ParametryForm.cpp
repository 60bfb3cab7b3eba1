#include "ui/ParametryForm.h"

#include "image/DeviceImage.h"
#include "lang/Lang.h"
#include "params/ParameterCatalogue.h"
#include "params/ServiceEditing.h"
#include "ui/ComboParB.h"
#include "ui/PanelLook.h"
#include "ui/ParameterPanelTables.h"
#include "ui/UiFont.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

using ParameterPanelTables::Shown;

namespace {

enum Group { Regulator, General, Relays, Modbus };

// A list of the dialog: the byte parameter it edits, its label (an empty key: a fixed text)
// and when the unit's variant lets it take input. In the order OK stores them.
struct ListRow {
    QStringView combo;
    QStringView label;
    QStringView labelKey;
    Group group;
    int b;
    Shown enabled;
};

constexpr ListRow Lists[] = {
    {u"ComboBox1", u"Label5", u"Řídicí signál", Regulator, 15, Shown::A},
    {u"ComboBox2", u"Label6", u"Reakce SAFE", Regulator, 17, Shown::S},
    {u"ComboBox3", u"Label7", u"Relé 1", Relays, 45, Shown::NotE},
    {u"ComboBox4", u"Label8", u"Relé Ready", Relays, 43, Shown::Always},
    {u"ComboBox5", u"Label9", u"Výstup CPT", General, 19, Shown::G},
    {u"ComboBox6", u"Label10", u"Aktivní I1", General, 18, Shown::D},
    {u"ComboBox19", u"Label15", u"Takt mód", Regulator, 56, Shown::S},
    {u"ComboBox7", u"Label21", u"TP Safe", General, 21, Shown::NotE},
    {u"ComboBox8", u"Label11", u"", General, 6, Shown::Always},
    {u"ComboBox9", u"Label22", u"TP nulování", General, 22, Shown::Always},
    {u"ComboBox10", u"Label3", u"Moment smysl", General, 44, Shown::Always},
    {u"ComboBox11", u"Label1", u"Autokalibrace", General, 7, Shown::Always},
    {u"ComboBox12", u"Label2", u"Vypínací moment", General, 26, Shown::Always},
    {u"ComboBox13", u"Label4", u"Relé 2", Relays, 46, Shown::NotE},
    {u"ComboBox14", u"Label23", u"Jazyk", General, 23, Shown::NotE},
    {u"ComboBox15", u"Label24", u"Brzda", General, 14, Shown::Always},
    {u"ComboBox16", u"Label12", u"Typ pohonu", General, 11, Shown::Always},
    {u"ComboBox17", u"Label13", u"Směr otáčení", General, 12, Shown::Always},
    {u"ComboBox18", u"Label14", u"Aktivní TP", General, 20, Shown::Always},
    {u"ComboBox20", u"Label16", u"Místní ovládání", General, 9, Shown::NotE},
    {u"ComboBox21", u"Label17", u"Relé 3 / SZ", Relays, 47, Shown::Always},
    {u"ComboBox22", u"Label18", u"Relé 4 / SO", Relays, 48, Shown::Always},
    {u"ComboBox23", u"Label19", u"Vypínání", General, 16, Shown::NotEOrS},
    {u"ComboBox24", u"Label20", u"PrenosovaRychlost", Modbus, 59, Shown::F},
    {u"ComboBox25", u"Label25", u"Redundance", Modbus, 61, Shown::F},
    {u"ComboBox26", u"Label26", u"Parita", Modbus, 60, Shown::F},
    {u"ComboBox27", u"Label27", u"FunkceI1", General, 63, Shown::D},
};

// Top to bottom within each group.
constexpr QStringView Order[] = {
    u"ComboBox1",  u"ComboBox2",  u"ComboBox19", // Regulátor
    u"ComboBox23", u"ComboBox5",  u"ComboBox18", u"ComboBox7",  u"ComboBox9",  u"ComboBox20",
    u"ComboBox14", u"ComboBox15", u"ComboBox11", u"ComboBox8",  u"ComboBox16", u"ComboBox12",
    u"ComboBox17", u"ComboBox10", u"ComboBox6",  u"ComboBox27",                // no caption
    u"ComboBox4",  u"ComboBox3",  u"ComboBox13", u"ComboBox21", u"ComboBox22", // Relé
    u"ComboBox24", u"ComboBox26", u"ComboBox25",                               // Modbus
};

constexpr int CanConfiguration = 8; // B 8: check box i is bit i
constexpr Shown CanEnabled = Shown::NotE;
// Room for the longest texts of any language: the labels of the left column ("Направление
// вращения") and its items ("термозащита блокирует SAFE"); the relays' items ("ошибки или
// предупр. или не дист.") take the right column's width below their labels.
constexpr int RowPitch = 24;
constexpr int LeftWidth = 329;
constexpr int RightLeft = 8 + LeftWidth + 6;
constexpr int RightWidth = 581 - 8 - RightLeft;
constexpr int LabelWidth = 122;
// The Modbus lists share the narrow right column: their labels ("Скорость передачи") need less
// than the left column's, and the lists take the rest for "компонентное" and "komponentowa".
constexpr int ModbusLabelWidth = 100;
constexpr int RelayPitch = 38; // a label above each relay list

int rowOf(QStringView combo) {
    for (int i = 0; i < int(std::size(Lists)); ++i)
        if (Lists[i].combo == combo) return i;
    Q_UNREACHABLE();
}

} // namespace

TParametryForm::TParametryForm(DeviceImage& image, ServiceEditing& editing,
                               const bool& zapisZeSouboru, QWidget* parent)
    : QDialog(parent)
    , m_image(image)
    , m_editing(editing)
    , m_zapisZeSouboru(zapisZeSouboru) {
    setObjectName(QStringLiteral("ParametryForm"));
    setModal(true);
    setFont(kovrFont());
    applyGroupBoxLook(this);
    setFixedSize(581, 518);

    m_regulator = place<QGroupBox>(this, u"GroupBox12", 8, 2, LeftWidth, 3 * RowPitch + 24);
    auto* general = place<QGroupBox>(this, u"GroupBox1", 8, 102, LeftWidth, 16 * RowPitch + 22);
    m_relays = place<QGroupBox>(this, u"GroupBox3", RightLeft, 2, RightWidth, 5 * RelayPitch + 20);
    m_can = place<QGroupBox>(this, u"GroupBox4", RightLeft, 216, RightWidth, 146);
    auto* modbus =
        place<QGroupBox>(this, u"GroupBox5", RightLeft, 366, RightWidth, 3 * RowPitch + 24);
    modbus->setTitle(QStringLiteral("Modbus")); // not translated
    QGroupBox* groups[] = {m_regulator, general, m_relays, modbus};
    int rows[std::size(groups)] = {};

    m_lists.resize(int(std::size(Lists)));
    m_labels.resize(int(std::size(Lists)));
    for (QStringView name : Order) {
        const int i = rowOf(name);
        const ListRow& row = Lists[i];
        QGroupBox* group = groups[row.group];
        const int inner = group->width() - 16;
        if (row.group == Relays) {
            const int top = 16 + RelayPitch * rows[row.group]++;
            m_labels[i] = place<QLabel>(group, row.label, 8, top, inner, 15);
            m_lists[i] = place<QComboBox>(group, row.combo, 8, top + 15, inner, 21);
        } else {
            const int top = 18 + RowPitch * rows[row.group]++;
            const int labelWidth = row.group == Modbus ? ModbusLabelWidth : LabelWidth;
            m_labels[i] = place<QLabel>(group, row.label, 8, top + 3, labelWidth, 16);
            m_lists[i] = place<QComboBox>(group, row.combo, 8 + labelWidth + 4, top,
                                          inner - labelWidth - 4, 21);
        }
        m_lists[i]->setEditable(false);
    }
    m_labels[rowOf(u"ComboBox8")]->setText(QStringLiteral("Provedení")); // not translated
    connect(list(ParameterCatalogue::Variant), &QComboBox::activated, this, [this](int item) {
        if (m_onVariantChosen) m_onVariantChosen(item);
    });

    m_checkList = place<QListWidget>(m_can, u"CheckListBox2", 8, 16, RightWidth - 16, 122);
    for (int bit = 0; bit < 8; ++bit) {
        auto* item = new QListWidgetItem(m_checkList);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }

    m_ok = place<QPushButton>(this, u"OKBtn", 392, 486, 85, 25);
    m_cancel = place<QPushButton>(this, u"CancelBtn", 485, 486, 85, 25);
    m_ok->setText(QStringLiteral("OK")); // not translated
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &TParametryForm::OKBtnClick);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    applyCaptions();
}

QComboBox* TParametryForm::list(int bIndex) const {
    for (int i = 0; i < int(std::size(Lists)); ++i)
        if (Lists[i].b == bIndex) return m_lists[i];
    return nullptr;
}

void TParametryForm::applyCaptions() {
    setWindowTitle(LangText(QStringLiteral("Parametry")));
    m_regulator->setTitle(LangText(QStringLiteral("Regulátor")));
    m_relays->setTitle(LangText(QStringLiteral("Relé")));
    m_can->setTitle(LangText(QStringLiteral("KonfiguraceCAN")));
    for (int i = 0; i < m_lists.size(); ++i) {
        const ListRow& row = Lists[i];
        if (!row.labelKey.isEmpty()) m_labels[i]->setText(LangText(row.labelKey.toString()));
        QComboBox* combo = m_lists[i];
        // The dialog sets its selections when it is shown; only "Funkce I1" keeps its own.
        const int kept = row.b == 63 ? combo->currentIndex() : -1;
        combo->clear();
        combo->addItems(ParameterCatalogue::valueListTexts(row.b));
        combo->setCurrentIndex(kept);
    }
    const QStringList bits = ParameterCatalogue::b8BitTexts();
    for (int bit = 0; bit < m_checkList->count(); ++bit)
        m_checkList->item(bit)->setText(bits.value(bit));
    m_cancel->setText(LangText(QStringLiteral("Storno")));
}

void TParametryForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_onActivate) m_onActivate();
}

void TParametryForm::showSet(int sada) {
    for (int i = 0; i < m_lists.size(); ++i)
        NastavComboParB(m_lists[i], m_image, sada, Lists[i].b, 0, 1);
    const int bits = m_image.ParB[sada][CanConfiguration];
    for (int bit = 0; bit < m_checkList->count(); ++bit)
        m_checkList->item(bit)->setCheckState(bits & (1 << bit) ? Qt::Checked : Qt::Unchecked);
}

void TParametryForm::OdblokujParReg(int provedeni) {
    const ParameterPanelTables::VariantSwitches v =
        ParameterPanelTables::variantSwitches(provedeni);
    for (int i = 0; i < m_lists.size(); ++i)
        m_lists[i]->setEnabled(ParameterPanelTables::isShown(Lists[i].enabled, v, true));
    m_checkList->setEnabled(ParameterPanelTables::isShown(CanEnabled, v, true));
}

void TParametryForm::OKBtnClick() {
    QList<int> stored;
    for (int i = 0; i < m_lists.size(); ++i) {
        const int item = m_lists[i]->currentIndex();
        if (item < 0) continue; // no selection: nothing stored
        m_image.ParB[2][Lists[i].b] = quint8(item);
        stored.append(Lists[i].b);
    }
    int bits = 0;
    for (int bit = 0; bit < m_checkList->count(); ++bit)
        if (m_checkList->item(bit)->checkState() == Qt::Checked) bits |= 1 << bit;
    m_image.ParB[2][CanConfiguration] = quint8(bits);
    stored.append(CanConfiguration);

    m_editing.NactiService(2, m_zapisZeSouboru);
    // With a loaded file the value cells are what "Zapsat" sends: the confirmed choices go into
    // them, or they would be thrown away without a word.
    if (m_zapisZeSouboru) m_editing.showTargetValues(stored);
    m_editing.PorovnejZmenuStringGrid();
    accept();
}

#include "ui/ParameterPanel.h"

#include "device/MonitorDisplay.h"
#include "image/DeviceImage.h"
#include "lang/Lang.h"
#include "link/Prompter.h"
#include "params/ParameterCatalogue.h"
#include "ui/ComboParB.h"
#include "ui/PanelLook.h"
#include "ui/ParameterPanelTables.h"

#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QValidator>

using namespace ParameterPanelTables;
using ParameterCatalogue::CycleMode;
using ParameterCatalogue::TorqueMeasured;
using ParameterCatalogue::Variant;
using ParameterCatalogue::WorkingTorqueO;
using ParameterCatalogue::WorkingTorqueZ;

namespace {

// Relay and SAFE positions are typed in whole percent of the stroke (0..100). Anything else
// is refused as it is typed: the keystroke that would make the text negative, not a number or
// more than 100 does not change the edit. Times 100 such a text would either not fit the
// 16-bit parameter (656 and more) or lie beyond the end position, and cut to 16 bits it would
// send a position the user never typed. An empty edit stands for 0 while the user retypes.
class PercentValidator : public QValidator {
public:
    using QValidator::QValidator;

    State validate(QString& input, int& /*pos*/) const override {
        if (input.isEmpty()) return Intermediate;
        for (QChar c : std::as_const(input))
            if (c < u'0' || c > u'9') return Invalid;
        return input.toInt() <= 100 ? Acceptable : Invalid;
    }
};

// Target value in 0.01 % of a position edit's text: 0 for an empty text.
quint16 positionFromText(const QString& text) {
    bool ok = false;
    const uint percent = text.toUInt(&ok);
    return ok && percent <= 100 ? quint16(percent * 100) : 0;
}

QString positionText(quint16 value) {
    return QString::number(value / 100);
}

void refreshEdit(QLineEdit* edit, const QString& decoded, QString& rendered) {
    if (decoded == rendered) return;
    rendered = decoded;
    edit->setText(decoded);
}

// Rows of a label and a control, laid out so that the longest caption of any language has room
// in the font of the window: the selectors' label column takes "Управляющий сигнал" and the
// 177-px lists end 5 px inside the group's right frame line; the relay-position labels take
// "Przekaźnik 4 / SO", and their edits end where the buttons above and below them end.
constexpr int SelectorLabelLeft = 4;
constexpr int SelectorLabelWidth = 108;
constexpr int SelectorLeft = 114;
constexpr int SelectorWidth = 177;
constexpr int RelayLabelLeft = 8;
constexpr int RelayLabelWidth = 87;
constexpr int RelayEditLeft = 97;
constexpr int PositionEditWidth = 29; // three digits

QLineEdit* positionEdit(QWidget* parent, QStringView name, int left, int top) {
    auto* edit = place<QLineEdit>(parent, name, left, top, PositionEditWidth, 21);
    edit->setMaxLength(3);
    edit->setValidator(new PercentValidator(edit));
    return edit;
}

const Selector& selectorRow(int b) {
    for (const Selector& s : Selectors)
        if (s.b == b) return s;
    Q_UNREACHABLE();
}

constexpr int FullTorque = 100; // shown while the unit does not measure torque

} // namespace

ParameterPanel::ParameterPanel(DeviceImage& image, const MonitorDisplay& display,
                               Prompter& prompter, const bool& zapisZeSouboru, QWidget* parent)
    : QGroupBox(parent)
    , m_image(image)
    , m_prompter(prompter)
    , m_zapisZeSouboru(zapisZeSouboru) {
    setObjectName(QStringLiteral("GroupBox2"));
    resize(450, 507);
    applyGroupBoxLook(this);

    m_group9 = place<QGroupBox>(this, u"GroupBox9", 8, 11, 134, 73);
    m_group17 = place<QGroupBox>(this, u"GroupBox17", 8, 84, 134, 209);
    m_group8 = place<QGroupBox>(this, u"GroupBox8", 144, 11, 297, 282);
    m_group14 = place<QGroupBox>(this, u"GroupBox14", 8, 292, 433, 40);
    m_group13 = place<QGroupBox>(this, u"GroupBox13", 8, 332, 129, 137);
    m_group12 = place<QGroupBox>(this, u"GroupBox12", 144, 332, 297, 137);
    m_group19 = place<QGroupBox>(this, u"GroupBox19", 8, 468, 433, 41);

    buildEndPositions();
    buildRelayPositions();
    buildSelectors(m_group8, m_group12);
    buildAutocalibration();
    buildSafePosition();
    buildBackup();
    orderTabs();

    // The decoder's texts so far; the edits take them from the first change on.
    m_rendered.Edit11 = display.Edit11;
    m_rendered.Edit13 = display.Edit13;
    m_rendered.Edit16_19 = display.Edit16_19;
    m_rendered.Edit20 = display.Edit20;

    applyCaptions();
}

void ParameterPanel::orderTabs() {
    // Reading order, group by group: the left column (end positions, relays, autocalibration,
    // safe position), then the selectors and the controller's, then the backup; within a
    // group from the top, left before right.
    const QGroupBox* groups[] = {m_group9, m_group17, m_group14, m_group13,
                                 m_group8, m_group12, m_group19};
    QWidget* previous = nullptr;
    for (const QGroupBox* group : groups) {
        QList<QWidget*> controls;
        for (QWidget* child : group->findChildren<QWidget*>())
            if (child->focusPolicy() & Qt::TabFocus) controls.append(child);
        std::sort(controls.begin(), controls.end(), [](const QWidget* a, const QWidget* b) {
            return std::pair(a->y(), a->x()) < std::pair(b->y(), b->x());
        });
        for (QWidget* control : std::as_const(controls)) {
            if (previous) setTabOrder(previous, control);
            previous = control;
        }
    }
}

QWidget* ParameterPanel::firstControl() const {
    return m_edit13;
}

void ParameterPanel::buildEndPositions() {
    m_edit13 = place<QLineEdit>(m_group9, u"Edit13", 8, 18, 57, 21);
    m_edit11 = place<QLineEdit>(m_group9, u"Edit11", 69, 18, 57, 21);
    for (QLineEdit* edit : {m_edit13, m_edit11}) {
        makeDisplayEdit(edit);
        edit->setText(QStringLiteral("0"));
    }
    m_button4 = place<QPushButton>(m_group9, u"Button4", 8, 43, 57, 23);
    m_button2 = place<QPushButton>(m_group9, u"Button2", 69, 43, 57, 23);
    connect(m_button2, &QPushButton::clicked, this, [this] { endPosition(0); });
    connect(m_button4, &QPushButton::clicked, this, [this] { endPosition(1); });
}

void ParameterPanel::buildRelayPositions() {
    m_button8 = place<QPushButton>(m_group17, u"Button8", 8, 18, 118, 25);
    m_button9 = place<QPushButton>(m_group17, u"Button9", 8, 176, 118, 25);
    m_button9->setEnabled(false);
    connect(m_button8, &QPushButton::clicked, this, &ParameterPanel::Button8Click);
    connect(m_button9, &QPushButton::clicked, this, &ParameterPanel::Button9Click);
    for (int row = 0; row < int(std::size(RelayRows)); ++row) {
        const int top = 52 + 30 * row;
        RelayWidgets widgets{place<QLabel>(m_group17, RelayRows[row].label, RelayLabelLeft, top + 3,
                                           RelayLabelWidth, 16),
                             positionEdit(m_group17, RelayRows[row].edit, RelayEditLeft, top)};
        widgets.label->hide();
        widgets.edit->hide();
        widgets.edit->installEventFilter(this);
        // Every change the user makes to the text (typing, deleting, pasting) is taken over;
        // changes made from code are not.
        connect(widgets.edit, &QLineEdit::textEdited, this,
                [this, row] { relayPositionEdited(row); });
        m_relayRows.append(widgets);
    }
}

void ParameterPanel::buildSelectors(QGroupBox* group8, QGroupBox* group12) {
    int row8 = 0, row12 = 0;
    for (const Selector& s : Selectors) {
        const bool inGroup8 = s.group == 8;
        QGroupBox* group = inGroup8 ? group8 : group12;
        const int top = inGroup8 ? 14 + 22 * row8++ : 18 + 23 * row12++;
        SelectorWidgets widgets{
            place<QComboBox>(group, s.combo, SelectorLeft, top, SelectorWidth, 21),
            place<QLabel>(group, s.label, SelectorLabelLeft, top + 3, SelectorLabelWidth, 16)};
        widgets.combo->setEditable(false);
        widgets.combo->setVisible(!s.hiddenAtStart);
        widgets.label->setVisible(!s.hiddenAtStart);
        // Only the user's choice is a change; selections set from the image are not.
        connect(widgets.combo, &QComboBox::activated, this,
                [this, b = s.b](int item) { ComboBox(b, item); });
        m_selectors.append(widgets);
    }
}

void ParameterPanel::buildAutocalibration() {
    m_button5 = place<QPushButton>(m_group14, u"Button5", 8, 13, 75, 23);
    m_edit8 = place<QLineEdit>(m_group14, u"Edit8", 92, 14, 333, 21);
    // A status display only: it takes neither focus nor input.
    makeDisplayEdit(m_edit8);
    m_edit8->setFocusPolicy(Qt::NoFocus);
    connect(m_button5, &QPushButton::clicked, this, &ParameterPanel::Button5Click);
}

void ParameterPanel::buildSafePosition() {
    m_button6 = place<QPushButton>(m_group13, u"Button6", 8, 18, 113, 25);
    m_edit20 = positionEdit(m_group13, u"Edit20", 8, 56);
    m_button7 = place<QPushButton>(m_group13, u"Button7", 8, 104, 113, 25);
    m_button7->setEnabled(false);
    for (QWidget* w : {static_cast<QWidget*>(m_button6), static_cast<QWidget*>(m_edit20),
                       static_cast<QWidget*>(m_button7)})
        w->hide();
    connect(m_button6, &QPushButton::clicked, this, &ParameterPanel::Button6Click);
    connect(m_button7, &QPushButton::clicked, this, &ParameterPanel::Button7Click);
    connect(m_edit20, &QLineEdit::textEdited, this, [this] {
        PolohaTestNovaHodnota();
        PorovnejZmenuPolohySafe();
    });
}

void ParameterPanel::buildBackup() {
    m_button11 = place<QPushButton>(m_group19, u"Button11", 8, 13, 200, 23);
    m_button12 = place<QPushButton>(m_group19, u"Button12", 216, 13, 200, 23);
    connect(m_button11, &QPushButton::clicked, this, &ParameterPanel::Button11Click);
    connect(m_button12, &QPushButton::clicked, this, &ParameterPanel::Button12Click);
}

void ParameterPanel::applyCaptions() {
    applyCaptionKeys({
        {this, u"Parametry"},
        {m_group9, u"Krajní polohy"},
        {m_button4, u"Z"},
        {m_button2, u"O"},
        {m_group17, u"Polohy relé"},
        {m_button8, u"Akt. poloha"},
        {m_button9, u"Zapsat"},
        {m_group14, u"Autokalibrace"},
        {m_button5, u"Start"},
        {m_group12, u"Regulátor"},
        {m_group13, u"Poloha Safe"},
        {m_button6, u"Akt.poloha"},
        {m_button7, u"Zapsat"},
        {m_group19, u"Záloha parametrů"},
        {m_button11, u"Vytvořit zálohu"},
        {m_button12, u"Obnovit ze zálohy"},
    });
    // The selectors' group has no title to show; a screen reader still needs its name.
    m_group8->setAccessibleName(LangAddedText(QStringLiteral("VolbyParametru")));

    for (int i = 0; i < m_selectors.size(); ++i) {
        const Selector& s = Selectors[i];
        QComboBox* combo = m_selectors[i].combo;
        m_selectors[i].label->setText(LangText(s.labelKey.toString()));
        // The list is rebuilt in the new language; the chosen item stays, numbered items of
        // values newer than the list included.
        const QSignalBlocker blocker(combo);
        const int kept = combo->currentIndex();
        combo->clear();
        combo->addItems(ParameterCatalogue::valueListTexts(s.itemsOf));
        extendList(combo, kept);
        combo->setCurrentIndex(kept);
    }
    for (int row = 0; row < m_relayRows.size(); ++row)
        m_relayRows[row].label->setText(LangText(RelayRows[row].captionKey.toString()));
}

void ParameterPanel::render(const MonitorDisplay& display) {
    if (m_edit8->text() != display.Edit8) m_edit8->setText(display.Edit8);
    refreshEdit(m_edit11, display.Edit11, m_rendered.Edit11);
    refreshEdit(m_edit13, display.Edit13, m_rendered.Edit13);
    for (int row = 0; row < m_relayRows.size(); ++row)
        refreshEdit(m_relayRows[row].edit, display.Edit16_19[row], m_rendered.Edit16_19[row]);
    refreshEdit(m_edit20, display.Edit20, m_rendered.Edit20);
    paintRed(selector(WorkingTorqueO), display.workingTorqueRedO);
    paintRed(selector(WorkingTorqueZ), display.workingTorqueRedZ);
    paintRed(m_group14, display.autocalibrationRed);
}

void ParameterPanel::ZobrazPar(int sada) {
    // While a parameter file is being written the selectors keep what the file put there.
    if (!m_zapisZeSouboru) {
        const bool torqueMeasured = m_image.ParB[sada][TorqueMeasured] == 1;
        for (int i = 0; i < m_selectors.size(); ++i) {
            const Selector& s = Selectors[i];
            QComboBox* combo = m_selectors[i].combo;
            if (s.b == WorkingTorqueO || s.b == WorkingTorqueZ) {
                combo->setEnabled(torqueMeasured);
                if (!torqueMeasured) {
                    combo->setCurrentIndex((FullTorque + s.offset) / s.koef);
                    continue;
                }
            }
            ::NastavComboParB(combo, m_image, sada, s.b, s.offset, s.koef);
        }
        // The motor dialog follows the unit's own variant, not a pending edit of it.
        emit motorEnabledChanged(m_image.ParB[1][Variant] != 0);
    }
    ZobrazPolohyRele(sada);
    OdblokujParReg(m_image.ParB[sada][Variant]);
}

void ParameterPanel::ZobrazPolohyRele(int sada) {
    // Variants 0 and 1 have no relays 1 and 2 of their own.
    const bool firstTwo = m_image.ParB[sada][Variant] > 1;
    for (int row = 0; row < m_relayRows.size(); ++row) {
        const bool shown = switchesOnPosition(m_image.ParB[sada][RelayRows[row].function]) &&
                           (row >= 2 || firstTwo);
        m_relayRows[row].label->setVisible(shown);
        m_relayRows[row].edit->setVisible(shown);
    }
}

void ParameterPanel::OdblokujParReg(int provedeni) {
    const VariantSwitches v = variantSwitches(provedeni);
    const bool cycle = m_image.ParB_Act[CycleMode];
    for (int i = 0; i < m_selectors.size(); ++i) {
        const bool shown = isShown(Selectors[i].shown, v, cycle);
        m_selectors[i].combo->setVisible(shown);
        m_selectors[i].label->setVisible(shown);
    }
    m_edit20->setVisible(v.S);
    m_button6->setVisible(v.S);
    m_button7->setVisible(v.S);
    emit controlSignalVisibleChanged(v.S);
}

bool ParameterPanel::workingTorqueUnselected(int index) const {
    const QComboBox* combo = selector(index);
    return combo && combo->currentIndex() < 0;
}

void ParameterPanel::ComboBox(int b, int item) {
    if (!NastavParPodleCombo(b, item)) return;
    if (ask("ZapsatZmenu?")) {
        emit writeRequested(b, b, 0, true);
        return;
    }
    m_image.ParB[2][b] = m_image.ParB[1][b];
    ZobrazPar(1);
}

bool ParameterPanel::NastavParPodleCombo(int b, int item) {
    if (item < 0) return false;
    const Selector& s = selectorRow(b);
    const int value = item * s.koef - s.offset;
    const bool changed = value != m_image.ParB[2][b];
    m_image.ParB[2][b] = quint8(value);
    return changed;
}

void ParameterPanel::endPosition(int dw) {
    m_image.ParDW[2][dw] = m_image.Poloha_Abs;
    if (ask("ZapsatZmenu?"))
        emit writeRequested(dw, dw, 2, true);
    else
        m_image.ParDW[2][dw] = m_image.ParDW[1][dw];
}

bool ParameterPanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        for (int row = 0; row < m_relayRows.size(); ++row)
            if (watched == m_relayRows[row].edit) m_image.VybranaPolohaRele = RelayRows[row].w;
    }
    return QGroupBox::eventFilter(watched, event);
}

void ParameterPanel::relayPositionEdited(int row) {
    m_image.ParW[2][RelayRows[row].w] = positionFromText(m_relayRows[row].edit->text());
    PorovnejZmenuPolohRele();
}

void ParameterPanel::Button8Click() {
    for (int row = 0; row < m_relayRows.size(); ++row) {
        const int w = RelayRows[row].w;
        if (w != m_image.VybranaPolohaRele) continue;
        m_image.ParW[2][w] = quint16(m_image.Poloha_Proc);
        m_relayRows[row].edit->setText(positionText(m_image.ParW[2][w]));
        PorovnejZmenuPolohRele();
    }
}

void ParameterPanel::PorovnejZmenuPolohRele() {
    bool differs = false;
    for (const RelayRow& row : RelayRows)
        differs |= m_image.ParW[2][row.w] != m_image.ParW[1][row.w];
    m_button9->setEnabled(differs);
}

void ParameterPanel::Button9Click() {
    if (ask("ZapsatZmenu?")) {
        emit writeRequested(RelayRows[0].w, RelayRows[3].w, 1, true);
        return;
    }
    for (const RelayRow& row : RelayRows)
        m_image.ParW[2][row.w] = m_image.ParW[1][row.w];
    // Nothing is pending any more; the edits keep their text until the next change.
    PorovnejZmenuPolohRele();
}

void ParameterPanel::Button6Click() {
    m_image.ParW[2][SafePosition] = quint16(m_image.Poloha_Proc);
    m_edit20->setText(positionText(m_image.ParW[2][SafePosition]));
    PorovnejZmenuPolohySafe();
}

void ParameterPanel::PolohaTestNovaHodnota() {
    m_image.ParW[2][SafePosition] = positionFromText(m_edit20->text());
}

void ParameterPanel::PorovnejZmenuPolohySafe() {
    m_button7->setEnabled(m_image.ParW[2][SafePosition] != m_image.ParW[1][SafePosition]);
}

void ParameterPanel::Button7Click() {
    if (ask("ZapsatZmenu?")) {
        emit writeRequested(SafePosition, SafePosition, 1, true);
        return;
    }
    m_image.ParW[2][SafePosition] = m_image.ParW[1][SafePosition];
    PorovnejZmenuPolohySafe();
}

void ParameterPanel::Button5Click() {
    if (ask("SpustitAutokalibraci?")) emit linkRequested(LinkRequest::Autocalibration);
}

void ParameterPanel::Button11Click() {
    if (ask("VytvoritZalohuParametru?")) emit writeRequested(3, 3, 13, false);
}

void ParameterPanel::Button12Click() {
    if (!ask("ObnovitParametryZeZalohy?")) return;
    emit writeRequested(1, 1, 13, false);
    emit serviceReloadRequested();
}

bool ParameterPanel::ask(const char* key) {
    return m_prompter.askYesNo(LangText(QString::fromLatin1(key)));
}

QComboBox* ParameterPanel::selector(int b) const {
    for (int i = 0; i < m_selectors.size(); ++i)
        if (Selectors[i].b == b) return m_selectors[i].combo;
    return nullptr;
}

#include "ui/MonitoringPanel.h"

#include "device/ErrorMasks.h"
#include "lang/Lang.h"
#include "link/ParameterTransfer.h"
#include "link/Prompter.h"
#include "ui/GaugeWidget.h"
#include "ui/PanelLook.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>

namespace {

constexpr int ErrorRows = 34;
constexpr int ErrorColumns = 3;
constexpr int ErrorRowHeight = 13;
constexpr int IoRows = 9;
constexpr int IoRowHeight = 15;

// Signal names of the input/output grids, rows 0..7 of groups 0, 1 and 2.
const char* const ioNameKeys[3][8] = {
    {"Dalkove", "Mistni", "O", "Z", "releMenu", "tlacitkoP", "tlacitkoO", "tlacitkoC"},
    {"I1", "Otevrit", "Zavrit", "TP", "ReO/MO", "ReZ/MZ", "Ready", "Brzda"},
    {"Re1/PZ", "Re2/PO", "Re3/SZ", "Re4/SO", "Topení", "Stop", "V", "U"}};

QString text(const char* key) {
    return LangText(QString::fromUtf8(key));
}

// Cells drawn as a string grid draws them: background, then the text 2 px from the left,
// clipped at the cell's edge instead of elided (the "X" column is only 11 px wide).
class GridCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const QVariant background = index.data(Qt::BackgroundRole);
        if (background.isValid()) painter->fillRect(option.rect, background.value<QBrush>());
        const QString cellText = index.data(Qt::DisplayRole).toString();
        if (cellText.isEmpty()) return;
        painter->save();
        painter->setClipRect(option.rect);
        painter->setFont(option.font);
        painter->setPen(option.palette.color(QPalette::Text));
        painter->drawText(option.rect.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                          cellText);
        painter->restore();
    }
};

// A grid that only shows: no headers, no selection, no editing, no focus; its current cell
// sits in column 0 of the last (empty) row.
QTableWidget* makeGrid(QWidget* parent, const QString& name, int columns, int rows, int rowHeight) {
    auto* grid = new QTableWidget(rows, columns, parent);
    grid->setObjectName(name);
    grid->horizontalHeader()->hide();
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->verticalHeader()->setMinimumSectionSize(1);
    grid->verticalHeader()->setDefaultSectionSize(rowHeight);
    grid->horizontalHeader()->setMinimumSectionSize(1);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionMode(QAbstractItemView::NoSelection);
    grid->setFocusPolicy(Qt::NoFocus);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setWordWrap(false);
    grid->setItemDelegate(new GridCellDelegate(grid));
    for (int row = 0; row < rows; ++row) {
        for (int col = 0; col < columns; ++col) {
            auto* item = new QTableWidgetItem;
            item->setFlags(Qt::ItemIsEnabled);
            grid->setItem(row, col, item);
        }
    }
    grid->setCurrentCell(rows - 1, 0);
    return grid;
}

void setCellText(QTableWidget* grid, int row, int col, const QString& text) {
    grid->item(row, col)->setText(text);
}

QGroupBox* makeGroup(QWidget* parent, const QString& name, const QRect& geometry) {
    auto* group = new QGroupBox(parent);
    group->setObjectName(name);
    group->setGeometry(geometry);
    return group;
}

QLineEdit* makeEdit(QWidget* parent, const QString& name, const QRect& geometry) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setGeometry(geometry);
    makeDisplayEdit(edit);
    edit->setFocusPolicy(Qt::NoFocus);
    edit->setAttribute(Qt::WA_TransparentForMouseEvents);
    return edit;
}

QLabel* makeLabel(QWidget* parent, const QString& name, const QString& caption, QPoint at) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name);
    label->move(at);
    label->adjustSize();
    return label;
}

GaugeWidget* makeGauge(QWidget* parent, const QString& name, const QRect& geometry, int maximum) {
    auto* gauge = new GaugeWidget(parent);
    gauge->setObjectName(name);
    gauge->setGeometry(geometry);
    gauge->setRange(0, maximum);
    return gauge;
}

// The unit sets these check boxes; no click or key may tick them.
class DisplayCheckBox : public QCheckBox {
public:
    using QCheckBox::QCheckBox;

protected:
    bool hitButton(const QPoint&) const override { return false; }
};

QCheckBox* makeCheckBox(QWidget* parent, const QString& name, const QRect& geometry) {
    auto* box = new DisplayCheckBox(parent);
    box->setObjectName(name);
    box->setGeometry(geometry);
    box->setFocusPolicy(Qt::NoFocus);
    box->setAttribute(Qt::WA_TransparentForMouseEvents);
    return box;
}

QPushButton* makeButton(QWidget* parent, const QString& name, const QRect& geometry) {
    auto* button = new QPushButton(parent);
    button->setObjectName(name);
    button->setGeometry(geometry);
    return button;
}

// A display group takes no input, yet its contents stay in their normal colours (a disabled
// widget would grey them out): mouse events pass it by and nothing in it takes the focus.
void makeDisplayOnly(QGroupBox* group) {
    group->setAttribute(Qt::WA_TransparentForMouseEvents);
    group->setFocusPolicy(Qt::NoFocus);
    const QList<QWidget*> children = group->findChildren<QWidget*>();
    for (QWidget* child : children)
        child->setFocusPolicy(Qt::NoFocus);
}

void showGauge(GaugeWidget* gauge, const MonitorDisplay::Gauge& state) {
    gauge->setValue(state.value);
    gauge->setShowText(state.showsText);
    gauge->setBarColor(state.red ? QColor(Qt::red) : QColor(Qt::black));
}

} // namespace

MonitoringPanel::MonitoringPanel(Prompter& prompter, QWidget* parent)
    : QGroupBox(parent)
    , m_prompter(prompter) {
    setObjectName(QStringLiteral("GroupBox1"));
    resize(Width, Height);
    applyGroupBoxLook(this);
    // Until the first record the position gauge already shows its "0%".
    m_shown.Gauge1.showsText = true;
    build();
    apply(m_shown, true);
    applyCaptions();
}

void MonitoringPanel::build() {
    m_poloha = makeGroup(this, QStringLiteral("GroupBox3"), {8, 13, 269, 37});
    m_gauge1 = makeGauge(m_poloha, QStringLiteral("Gauge1"), {8, 14, 162, 17}, 10000);
    m_edit1 = makeEdit(m_poloha, QStringLiteral("Edit1"), {176, 11, 85, 21});

    m_ridiciSignal = makeGroup(this, QStringLiteral("GroupBox4"), {8, 49, 269, 37});
    m_gauge2 = makeGauge(m_ridiciSignal, QStringLiteral("Gauge2"), {8, 14, 162, 17}, 10000);
    m_edit2 = makeEdit(m_ridiciSignal, QStringLiteral("Edit2"), {176, 11, 60, 21});
    m_mA = makeLabel(m_ridiciSignal, QStringLiteral("LabelmA"), QStringLiteral("mA"), {240, 15});
    setControlSignalVisible(false);

    m_moment = makeGroup(this, QStringLiteral("Moment"), {8, 85, 269, 65});
    m_gauge4 = makeGauge(m_moment, QStringLiteral("Gauge4"), {8, 16, 41, 17}, 100);
    m_gauge3 = makeGauge(m_moment, QStringLiteral("Gauge3"), {53, 16, 41, 17}, 100);
    m_checkBox1 = makeCheckBox(m_moment, QStringLiteral("CheckBox1"), {8, 41, 100, 17});
    m_edit4 = makeEdit(m_moment, QStringLiteral("Edit4"), {176, 13, 60, 21});
    makeLabel(m_moment, QStringLiteral("LabelAbs"), QStringLiteral("abs"), {240, 17});
    m_edit12 = makeEdit(m_moment, QStringLiteral("Edit12"), {176, 38, 60, 21});
    makeLabel(m_moment, QStringLiteral("LabelNm"), QStringLiteral("Nm"), {240, 42});

    // The three motion groups share the column's width evenly, so that the caption "Двигатель"
    // leaves some frame line beside it and "открывать" and "закрывать" fit their edits.
    m_pozad = makeGroup(this, QStringLiteral("GroupBox5"), {8, 149, 83, 41});
    m_edit9 = makeEdit(m_pozad, QStringLiteral("Edit9"), {6, 14, 71, 21});
    m_motor = makeGroup(this, QStringLiteral("GroupBox15"), {101, 149, 83, 41});
    m_edit3 = makeEdit(m_motor, QStringLiteral("Edit3"), {6, 14, 71, 21});
    m_snimac = makeGroup(this, QStringLiteral("GroupBox18"), {194, 149, 83, 41});
    m_edit7 = makeEdit(m_snimac, QStringLiteral("Edit7"), {6, 14, 71, 21});

    m_vstupy = makeGroup(this, QStringLiteral("GroupBox6"), {8, 189, 269, 155});
    for (int g = 0; g < 3; ++g) {
        QTableWidget* grid =
            makeGrid(m_vstupy, QStringLiteral("StringGrid%1").arg(g + 2), 2, IoRows, IoRowHeight);
        grid->setFrameShape(QFrame::NoFrame);
        grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        grid->setColumnWidth(0, 70);
        grid->setColumnWidth(1, 11);
        grid->setGeometry(6 + 88 * g, 16, 81, IoRows * IoRowHeight);
        m_ioGrids[g] = grid;
    }

    m_casChodu = makeGroup(this, QStringLiteral("GroupBox10"), {8, 343, 269, 42});
    m_edit6 = makeEdit(m_casChodu, QStringLiteral("Edit6"), {8, 14, 70, 21});
    makeLabel(m_casChodu, QStringLiteral("LabelHm"), QStringLiteral("h:m"), {82, 18});
    m_button3 = makeButton(m_casChodu, QStringLiteral("Button3"), {186, 12, 75, 25});

    m_rele = makeGroup(this, QStringLiteral("GroupBox16"), {8, 385, 269, 70});
    m_edit14 = makeEdit(m_rele, QStringLiteral("Edit14"), {8, 28, 80, 21});
    m_edit15 = makeEdit(m_rele, QStringLiteral("Edit15"), {94, 28, 80, 21});
    m_button10 = makeButton(m_rele, QStringLiteral("Button10"), {186, 26, 75, 25});

    // "Температура" needs a wider temperature group than the modes' check boxes need theirs:
    // the modes give up 10 px of the bottom row to it.
    m_rezimy = makeGroup(this, QStringLiteral("GroupBox11"), {6, 457, 181, 52});
    m_checkBox20 = makeCheckBox(m_rezimy, QStringLiteral("CheckBox20"), {8, 15, 64, 17});
    m_checkBox21 = makeCheckBox(m_rezimy, QStringLiteral("CheckBox21"), {8, 32, 64, 17});
    m_checkBox5 = makeCheckBox(m_rezimy, QStringLiteral("CheckBox5"), {78, 15, 96, 17});
    m_checkBox6 = makeCheckBox(m_rezimy, QStringLiteral("CheckBox6"), {78, 32, 96, 17});

    m_teplota = makeGroup(this, QStringLiteral("Teplota"), {193, 455, 84, 52});
    m_edit5 = makeEdit(m_teplota, QStringLiteral("Edit5"), {8, 18, 42, 21});
    makeLabel(m_teplota, QStringLiteral("LabelC"), QStringLiteral("C"), {54, 22});

    // Kept for the mode bits the unit reports; never shown.
    m_checkBox2 = makeCheckBox(this, QStringLiteral("CheckBox2"), {8, 0, 60, 17});
    m_checkBox2->setText(QStringLiteral("Setr"));
    m_checkBox3 = makeCheckBox(this, QStringLiteral("CheckBox3"), {8, 0, 60, 17});
    m_checkBox3->setText(QStringLiteral("SetrSt"));
    m_checkBox4 = makeCheckBox(this, QStringLiteral("CheckBox4"), {8, 0, 60, 17});
    m_checkBox4->setText(QStringLiteral("Necitl"));
    for (QCheckBox* hidden : {m_checkBox2, m_checkBox3, m_checkBox4})
        hidden->hide();

    m_chyby = makeGroup(this, QStringLiteral("GroupBox7"), {280, 6, 215, 499});
    m_errorGrid =
        makeGrid(m_chyby, QStringLiteral("StringGrid1"), ErrorColumns, ErrorRows, ErrorRowHeight);
    QFont small = m_errorGrid->font();
    small.setPixelSize(9);
    m_errorGrid->setFont(small);
    m_errorGrid->setColumnWidth(0, 116);
    m_errorGrid->setColumnWidth(1, 34);
    m_errorGrid->setColumnWidth(2, 74);
    // All 34 rows in view; the count column is cut at the group's edge but its numbers fit.
    m_errorGrid->setGeometry(6, 16, 203,
                             ErrorRows * ErrorRowHeight + 2 * m_errorGrid->frameWidth());
    m_button1 = makeButton(m_chyby, QStringLiteral("Button1"), {70, 468, 75, 25});

    for (QGroupBox* display : {m_poloha, m_ridiciSignal, m_moment, m_pozad, m_motor, m_snimac,
                               m_vstupy, m_rezimy, m_teplota})
        makeDisplayOnly(display);

    connect(m_button1, &QPushButton::clicked, this, [this] { askReset(1); });
    connect(m_button3, &QPushButton::clicked, this, [this] { askReset(0); });
    connect(m_button10, &QPushButton::clicked, this, [this] { askReset(2); });
}

void MonitoringPanel::render(const MonitorDisplay& display) {
    apply(display, false);
}

void MonitoringPanel::apply(const MonitorDisplay& d, bool all) {
    const MonitorDisplay& was = m_shown;
    const std::pair<GaugeWidget*, const MonitorDisplay::Gauge MonitorDisplay::*> gauges[] = {
        {m_gauge1, &MonitorDisplay::Gauge1},
        {m_gauge2, &MonitorDisplay::Gauge2},
        {m_gauge3, &MonitorDisplay::Gauge3},
        {m_gauge4, &MonitorDisplay::Gauge4}};
    for (const auto& [gauge, field] : gauges)
        if (all || d.*field != was.*field) showGauge(gauge, d.*field);

    const std::pair<QLineEdit*, const QString MonitorDisplay::*> edits[] = {
        {m_edit1, &MonitorDisplay::Edit1},   {m_edit2, &MonitorDisplay::Edit2},
        {m_edit3, &MonitorDisplay::Edit3},   {m_edit4, &MonitorDisplay::Edit4},
        {m_edit5, &MonitorDisplay::Edit5},   {m_edit6, &MonitorDisplay::Edit6},
        {m_edit7, &MonitorDisplay::Edit7},   {m_edit9, &MonitorDisplay::Edit9},
        {m_edit12, &MonitorDisplay::Edit12}, {m_edit14, &MonitorDisplay::Edit14},
        {m_edit15, &MonitorDisplay::Edit15}};
    for (const auto& [edit, field] : edits)
        if (all || d.*field != was.*field) edit->setText(d.*field);

    const std::pair<QCheckBox*, const bool MonitorDisplay::*> boxes[] = {
        {m_checkBox1, &MonitorDisplay::CheckBox1},   {m_checkBox2, &MonitorDisplay::CheckBox2},
        {m_checkBox3, &MonitorDisplay::CheckBox3},   {m_checkBox4, &MonitorDisplay::CheckBox4},
        {m_checkBox5, &MonitorDisplay::CheckBox5},   {m_checkBox6, &MonitorDisplay::CheckBox6},
        {m_checkBox20, &MonitorDisplay::CheckBox20}, {m_checkBox21, &MonitorDisplay::CheckBox21}};
    for (const auto& [box, field] : boxes)
        if (all || d.*field != was.*field) box->setChecked(d.*field);

    // Column 0 and row 0 of the error grid hold the captions; the unit fills the rest.
    for (int row = 1; row < ErrorRows; ++row) {
        for (int col = 1; col < ErrorColumns; ++col) {
            const QString cell = d.errorGrid.cell(col, row);
            if (all || cell != was.errorGrid.cell(col, row))
                setCellText(m_errorGrid, row, col, cell);
        }
    }
    if (all || d.errorGridRed != was.errorGridRed) {
        const QBrush fixed = d.errorGridRed ? QBrush(Qt::red) : palette().brush(QPalette::Button);
        for (int row = 0; row < ErrorRows; ++row)
            m_errorGrid->item(row, 0)->setBackground(fixed);
        for (int col = 1; col < ErrorColumns; ++col)
            m_errorGrid->item(0, col)->setBackground(fixed);
    }

    for (int g = 0; g < 3; ++g) {
        for (int row = 0; row < IoRows; ++row) {
            const QString cell = d.ioGrids[g].cell(1, row);
            if (all || cell != was.ioGrids[g].cell(1, row)) setCellText(m_ioGrids[g], row, 1, cell);
        }
    }

    m_shown = d;
}

void MonitoringPanel::applyCaptions() {
    applyCaptionKeys({
        {this, u"Monitorovani"},
        {m_poloha, u"Poloha"},
        {m_ridiciSignal, u"RidiciSignal"},
        {m_moment, u"Moment"},
        {m_checkBox1, u"Blokovani"},
        {m_pozad, u"Pozad"},
        {m_motor, u"Motor"},
        {m_snimac, u"Snimac"},
        {m_vstupy, u"VstupyAVystupy"},
        {m_casChodu, u"Čas chodu"},
        {m_button3, u"Nulování"},
        {m_rele, u"Relé"},
        {m_button10, u"Nulování"},
        {m_chyby, u"Varování a chyby"},
        {m_button1, u"Nulování"},
        {m_rezimy, u"Režimy"},
        {m_checkBox20, u"Menu"},
        {m_checkBox21, u"PC"},
        {m_checkBox5, u"Kal. přev."},
        {m_checkBox6, u"Kal. mom."},
        {m_teplota, u"Teplota"},
    });
    // The grids' fixed cells.
    for (int g = 0; g < 3; ++g)
        for (int row = 0; row < 8; ++row)
            setCellText(m_ioGrids[g], row, 0, text(ioNameKeys[g][row]));
    setCellText(m_errorGrid, 0, 1, text("Akt"));
    setCellText(m_errorGrid, 0, 2, text("Počet"));
    for (int row = 1; row <= ErrorMasks::Conditions; ++row)
        setCellText(m_errorGrid, row, 0, LangText(ErrorMasks::conditionNameKey(row - 1)));
}

void MonitoringPanel::setControlSignalVisible(bool visible) {
    m_gauge2->setVisible(visible);
    m_edit2->setVisible(visible);
    m_mA->setVisible(visible);
}

// The unit resets the counters; the panel shows the new values as the monitor brings them.
void MonitoringPanel::askReset(int item) {
    if (!m_prompter.askYesNo(LangText(QStringLiteral("Vynulovat?")))) return;
    emit writeRequested(item, item, ParameterTransfer::CounterReset, false);
}

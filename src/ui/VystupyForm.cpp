#include "ui/VystupyForm.h"

#include "device/InputsDecoder.h"
#include "device/OutputsTest.h"
#include "link/PollInputs.h"
#include "ui/PanelLook.h"
#include "ui/UiFont.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHeaderView>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QTableWidget>
#include <algorithm>

namespace {

constexpr int RadioItemHeight = 19;
// The style's margin left and right of a cell's text.
constexpr int CellMargin = 4;
constexpr int GridRows = 9; // eight inputs and an empty last row that holds the selection
constexpr int GridRowHeight = 18;

struct RadioLook {
    const char16_t* name;
    const char16_t* caption;
    QStringList (*items)();
    int left, top, width;
};

// In the order of the poll inputs: relays, CPT, LED.
const RadioLook radioLooks[3] = {
    {u"RadioGroup1", u"Relé (KOVR.ED)", &OutputsTest::relayItems, 8, 4, 129},
    {u"RadioGroup3", u"CPT", &OutputsTest::cptItems, 145, 4, 97},
    {u"RadioGroup2", u"LED", &OutputsTest::ledItems, 145, 90, 97},
};

struct EditLook {
    const char16_t* name;
    const char16_t* label;
    int top;
};

const EditLook editLooks[3] = {
    {u"Edit1", u"Řídící signál", 8},
    {u"Edit2", u"Moment", 52},
    {u"Edit3", u"Teplota", 96},
};

struct GridLook {
    const char16_t* name;
    QStringList (*captions)();
    int left, width, captionWidth;
};

const GridLook gridLooks[2] = {
    {u"StringGrid2", &OutputsTest::inputs2Captions, 352, 64, 35},
    {u"StringGrid3", &OutputsTest::inputs3Captions, 424, 74, 45},
};

} // namespace

TVystupyForm::TVystupyForm(PollInputs& inputs, std::function<void(bool)> pollWanted,
                           QWidget* parent)
    : QDialog(parent)
    , m_inputs(inputs)
    , m_pollWanted(std::move(pollWanted)) {
    setObjectName(QStringLiteral("VystupyForm"));
    setWindowTitle(QStringLiteral("Výstupy"));
    setFont(kovrFont());
    applyGroupBoxLook(this);
    setFixedSize(506, 236);

    for (int g = 0; g < 3; ++g) {
        const RadioLook& look = radioLooks[g];
        const QStringList items = look.items();
        auto* box = place<QGroupBox>(this, look.name, look.left, look.top, look.width,
                                     22 + int(items.size()) * RadioItemHeight);
        box->setTitle(QString::fromUtf16(look.caption));
        m_groups[g] = new QButtonGroup(box);
        for (int i = 0; i < items.size(); ++i) {
            auto* item = place<QRadioButton>(box, QStringLiteral("Item%1").arg(i), 8,
                                             18 + i * RadioItemHeight, look.width - 12, 18);
            item->setText(items.at(i));
            m_groups[g]->addButton(item, i);
        }
        m_groups[g]->button(0)->setChecked(true);
        connect(m_groups[g], &QButtonGroup::idToggled, this, [this](int, bool on) {
            if (on) selectionChanged();
        });
    }

    QLineEdit** edits[3] = {&m_edit1, &m_edit2, &m_edit3};
    for (int e = 0; e < 3; ++e) {
        auto* label = place<QLabel>(this, QStringLiteral("Label%1").arg(e + 1), 252,
                                    editLooks[e].top, 92, 16);
        label->setText(QString::fromUtf16(editLooks[e].label));
        *edits[e] = place<QLineEdit>(this, editLooks[e].name, 252, editLooks[e].top + 16, 92, 21);
        makeDisplayEdit(*edits[e]);
        (*edits[e])->setAlignment(Qt::AlignRight);
    }

    for (int g = 0; g < 2; ++g) {
        const GridLook& look = gridLooks[g];
        auto* grid = place<QTableWidget>(this, look.name, look.left, 8, look.width,
                                         GridRows * GridRowHeight + 2);
        grid->setRowCount(GridRows);
        grid->setColumnCount(2);
        grid->horizontalHeader()->hide();
        grid->verticalHeader()->hide();
        grid->verticalHeader()->setMinimumSectionSize(1);
        grid->verticalHeader()->setDefaultSectionSize(GridRowHeight);
        grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
        const QStringList captions = look.captions();
        // The caption column is as wide as its longest caption needs ("Místní" does not fit
        // into the grid's 35 px with the cell's margins); the value column, one character,
        // takes what is left.
        int captionWidth = look.captionWidth;
        for (const QString& caption : captions)
            captionWidth = std::max(captionWidth, grid->fontMetrics().horizontalAdvance(caption) +
                                                      2 * CellMargin);
        grid->setColumnWidth(0, captionWidth);
        grid->setColumnWidth(1, look.width - captionWidth - 2);
        for (int row = 0; row < GridRows; ++row)
            for (int col = 0; col < 2; ++col) {
                auto* item = new QTableWidgetItem(col == 0 ? captions.value(row) : QString());
                if (col == 1) item->setTextAlignment(Qt::AlignCenter);
                grid->setItem(row, col, item);
            }
        // Display only: no cell takes the focus or looks selected. The current cell rests on
        // the empty last row, out of the way of the inputs.
        grid->setFocusPolicy(Qt::NoFocus);
        grid->setSelectionMode(QAbstractItemView::NoSelection);
        grid->setCurrentCell(GridRows - 1, 0);
        m_grids[g] = grid;
    }

    auto* cancel = place<QPushButton>(this, u"CancelBtn", 423, 203, 75, 25);
    cancel->setText(QStringLiteral("Storno"));
    cancel->setDefault(true);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TVystupyForm::render(const InputsDisplay& display) {
    m_edit1->setText(display.Edit1);
    m_edit2->setText(display.Edit2);
    m_edit3->setText(display.Edit3);
    for (int row = 0; row < 8; ++row) {
        m_grids[0]->item(row, 1)->setText(display.inputs2[row]);
        m_grids[1]->item(row, 1)->setText(display.inputs3[row]);
    }
}

void TVystupyForm::selectionChanged() {
    m_inputs.relayItem = m_groups[0]->checkedId();
    m_inputs.cptItem = m_groups[1]->checkedId();
    m_inputs.ledItem = m_groups[2]->checkedId();
}

void TVystupyForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    // Every test starts with all relays off, the LED off and the CPT output at 0 %.
    for (QButtonGroup* group : m_groups)
        group->button(0)->setChecked(true);
    selectionChanged();
    m_pollWanted(true);
}

void TVystupyForm::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    if (!event->spontaneous()) m_pollWanted(false);
}

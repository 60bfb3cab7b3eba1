#include "ui/ServiceForm.h"

#include "lang/Lang.h"
#include "link/ParameterTransfer.h"
#include "link/Prompter.h"
#include "params/ServiceEditing.h"
#include "params/ServiceSheet.h"
#include "session/ServiceActions.h"
#include "ui/LiveEditDelegate.h"
#include "ui/PanelLook.h"
#include "ui/SheetModel.h"
#include "ui/UiFont.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {

constexpr int RowHeight = 15;

// Parameter grids: label, change, error, access, value.
const QList<int> ParameterWidths{175, 40, 40, 40, 65};
// Production data: label, access, text.
const QList<int> ProductionWidths{145, 40, 70};

// A grid's total width: its columns, its frame and, for a grid that scrolls, the scroll bar.
int gridWidth(const QTableView* view, const QList<int>& widths) {
    int width = 2 * view->frameWidth();
    for (int w : widths)
        width += w;
    if (view->verticalScrollBarPolicy() != Qt::ScrollBarAlwaysOff)
        width += view->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    return width;
}

} // namespace

TServiceForm::TServiceForm(const Parts& parts, QWidget* parent)
    : QDialog(parent)
    , m_parts(parts) {
    setObjectName(QStringLiteral("ServiceForm"));
    setModal(true);
    setFont(kovrFont());
    applyGroupBoxLook(this);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    // The menu bar sits on top of the fixed client area and takes the height its title needs
    // (an empty bar measured before the captions would be a few pixels high): the window
    // grows with it, the client keeps its size.
    auto* menuBar = new QMenuBar(this);
    menuBar->setObjectName(QStringLiteral("MainMenu1"));
    m_fileMenu = menuBar->addMenu(QString());
    m_fileMenu->setObjectName(QStringLiteral("Soubor1"));
    auto* content = new QWidget(this);
    content->setObjectName(QStringLiteral("content"));
    content->setFixedSize(ClientWidth, ClientHeight);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(menuBar);
    layout->addWidget(content);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->activate(); // the window has its size before it is first shown

    buildParameterGrids(content);
    buildProductionData(content);
    buildLists(content);
    buildCommands(content);

    setWindowTitle(m_parts.sheet.caption());
    connect(&m_parts.sheet, &ServiceSheet::captionChanged, this, &QWidget::setWindowTitle);
}

QTableView* TServiceForm::makeView(QWidget* parent, SheetModel* model, const QList<int>& widths,
                                   int firstCursorColumn) {
    auto* view = new QTableView(parent);
    view->setModel(model);
    // Tab leaves the grid for the next control; the arrows move within it.
    view->setTabKeyNavigation(false);
    // The label and mark columns are fixed: the cursor never rests on them, so an arrow or a
    // click there leaves it in the first column that can be edited.
    if (firstCursorColumn > 0)
        connect(view->selectionModel(), &QItemSelectionModel::currentChanged, view,
                [view, firstCursorColumn](const QModelIndex& current) {
                    if (current.isValid() && current.column() < firstCursorColumn)
                        view->setCurrentIndex(current.siblingAtColumn(firstCursorColumn));
                });
    view->setItemDelegate(new LiveEditDelegate(view));
    view->verticalHeader()->hide();
    view->verticalHeader()->setMinimumSectionSize(RowHeight);
    view->verticalHeader()->setDefaultSectionSize(RowHeight);
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    QHeaderView* header = view->horizontalHeader();
    header->setMinimumSectionSize(10);
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setHighlightSections(false);
    header->setFixedHeight(RowHeight + 2);
    // A header wider than its fixed column ends in "…"; its tooltip reads in full.
    header->setTextElideMode(Qt::ElideRight);
    for (int col = 0; col < widths.size(); ++col)
        view->setColumnWidth(col, widths[col]);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setSelectionBehavior(QAbstractItemView::SelectItems);
    view->setWordWrap(false);
    // Typing edits the value cell in place; a double click opens the parameter's dialog.
    view->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed);
    return view;
}

void TServiceForm::buildParameterGrids(QWidget* content) {
    m_group1 = place<QGroupBox>(content, u"GroupBox1", 2, 0, 762, ClientHeight - 2);
    const QStringView names[] = {u"StringGrid1", u"StringGrid3"};
    int left = 2;
    for (int grid : {ServiceSheet::LeftGrid, ServiceSheet::RightGrid}) {
        auto* model = new SheetModel(
            m_parts.sheet, grid, true,
            [](int col, int) { return col == ServiceSheet::ValueColumn; },
            [](int col, int) { return col != ServiceSheet::ValueColumn; }, this);
        QTableView* view = makeView(m_group1, model, ParameterWidths, ServiceSheet::ValueColumn);
        view->setObjectName(names[grid].toString());
        view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        view->setGeometry(left, 16, gridWidth(view, ParameterWidths), ClientHeight - 2 - 18);
        left += view->width() + 1;
        view->installEventFilter(this);
        connect(model, &SheetModel::edited, this,
                [this, grid](int, int row) { m_parts.editing.StringGridNovaHodnota(grid, row); });
        connect(view, &QAbstractItemView::doubleClicked, this,
                [this, grid](const QModelIndex&) { VyvolaniNastaveni(grid); });
        m_grids[grid] = view;
    }
}

void TServiceForm::buildProductionData(QWidget* content) {
    m_group2 = place<QGroupBox>(content, u"GroupBox2", 765, 0, 257, 256);
    constexpr int FirstEditableRow = 8;
    auto* model = new SheetModel(
        m_parts.sheet, ServiceSheet::ProductionGrid, true,
        [](int col, int row) { return col == ServiceSheet::TextColumn && row >= FirstEditableRow; },
        [](int col, int row) { return col != ServiceSheet::TextColumn || row < FirstEditableRow; },
        this);
    m_productionGrid = makeView(m_group2, model, ProductionWidths, ServiceSheet::TextColumn);
    m_productionGrid->setObjectName(QStringLiteral("StringGrid2"));
    // The group's frame is the grid's: the three columns take the group's whole width.
    m_productionGrid->setFrameShape(QFrame::NoFrame);
    m_productionGrid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_productionGrid->setGeometry(1, 16, gridWidth(m_productionGrid, ProductionWidths),
                                  RowHeight + 2 + ParameterCatalogue::ProductionFields * RowHeight);
    connect(model, &SheetModel::edited, this, &TServiceForm::productionEdited);
    m_button4 = place<QPushButton>(m_group2, u"Button4", 8, 231, 90, 22);
    connect(m_button4, &QPushButton::clicked, this,
            [this] { command(ServiceCommand::WriteProduction); });
}

void TServiceForm::buildLists(QWidget* content) {
    const struct {
        QGroupBox*& group;
        QTableView*& view;
        QPushButton*& button;
        QStringView groupName, gridName, buttonName;
        int grid;
        int left;
        ServiceCommand reset;
    } lists[] = {
        {m_group4, m_lastErrors, m_button7, u"GroupBox4", u"StringGrid4", u"Button7",
         ServiceSheet::LastErrorsGrid, 765, ServiceCommand::ResetLastErrors},
        {m_group3, m_lastResets, m_button5, u"GroupBox3", u"StringGrid7", u"Button5",
         ServiceSheet::LastResetsGrid, 895, ServiceCommand::ResetLastResets},
    };
    for (const auto& l : lists) {
        l.group = place<QGroupBox>(content, l.groupName, l.left, 258, 127, 98);
        auto* model = new SheetModel(
            m_parts.sheet, l.grid, false, [](int, int) { return false; },
            [](int, int) { return false; }, this);
        l.view = makeView(l.group, model, {111});
        l.view->setObjectName(l.gridName.toString());
        l.view->horizontalHeader()->hide();
        l.view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        l.view->setGeometry(8, 15, 111, 4 * RowHeight + 2);
        l.view->setColumnWidth(0, 111 - 2 * l.view->frameWidth());
        // Display only: the current cell stays on the empty fourth row.
        l.view->setFocusPolicy(Qt::NoFocus);
        l.view->setSelectionMode(QAbstractItemView::NoSelection);
        l.view->setCurrentIndex(model->index(3, 0));
        l.button = place<QPushButton>(l.group, l.buttonName, 8, 78, 111, 19);
        connect(l.button, &QPushButton::clicked, this, [this, c = l.reset] { command(c); });
    }
}

void TServiceForm::buildCommands(QWidget* content) {
    m_group5 = place<QGroupBox>(content, u"GroupBox5", 765, 358, 257, 44);
    // "Восстановить из копии" is the longest caption.
    m_button8 = place<QPushButton>(m_group5, u"Button8", 8, 16, 106, 23);
    m_button9 = place<QPushButton>(m_group5, u"Button9", 119, 16, 130, 23);
    m_group6 = place<QGroupBox>(content, u"GroupBox6", 765, 404, 257, 44);
    m_button1 = place<QPushButton>(m_group6, u"Button1", 8, 16, 106, 23);
    m_button6 = place<QPushButton>(m_group6, u"Button6", 119, 16, 130, 23);

    m_radioGroup = place<QGroupBox>(content, u"RadioGroup1", 765, 450, 150, 58);
    m_selection = new QButtonGroup(this);
    for (int item = 0; item < 2; ++item) {
        m_selectionItems[item] = place<QRadioButton>(m_radioGroup, u"", 8, 17 + 19 * item, 138, 18);
        m_selection->addButton(m_selectionItems[item], item);
    }
    m_selectionItems[0]->setChecked(true);
    connect(m_selection, &QButtonGroup::idClicked, this, &TServiceForm::selectionClicked);

    m_button2 = place<QPushButton>(content, u"Button2", 922, 457, 100, 23);
    m_button3 = place<QPushButton>(content, u"Button3", 922, 484, 100, 23);
    m_button2->setAutoDefault(false);
    m_button3->setAutoDefault(false);

    const struct {
        QPushButton* button;
        ServiceCommand command;
    } commands[] = {
        {m_button2, ServiceCommand::WriteAll},     {m_button6, ServiceCommand::Defaults},
        {m_button1, ServiceCommand::Initialise},   {m_button9, ServiceCommand::RestoreBackup},
        {m_button8, ServiceCommand::CreateBackup},
    };
    for (const auto& c : commands)
        connect(c.button, &QPushButton::clicked, this, [this, cmd = c.command] { command(cmd); });
    connect(m_button3, &QPushButton::clicked, this, &TServiceForm::reject);
    for (QPushButton* b : findChildren<QPushButton*>())
        b->setAutoDefault(false);
}

void TServiceForm::setFileActions(const QList<QAction*>& actions) {
    m_fileMenu->clear();
    m_fileMenu->addActions(actions);
}

void TServiceForm::setEditor(Editor editor, std::function<void()> open) {
    m_editors[editor] = std::move(open);
}

void TServiceForm::ServiceExecute() {
    m_parts.editing.NactiService(1, m_parts.transfer.ZapisZeSouboru());
    if (!isVisible()) exec();
}

QTableView* TServiceForm::gridView(int grid) const {
    switch (grid) {
    case ServiceSheet::LeftGrid:
    case ServiceSheet::RightGrid: return m_grids[grid];
    case ServiceSheet::ProductionGrid: return m_productionGrid;
    case ServiceSheet::LastErrorsGrid: return m_lastErrors;
    case ServiceSheet::LastResetsGrid: return m_lastResets;
    default: return nullptr;
    }
}

int TServiceForm::currentRow(int grid) const {
    const QTableView* view = gridView(grid);
    const auto* model = static_cast<const SheetModel*>(view->model());
    return model->sheetRow(view->currentIndex().row());
}

void TServiceForm::setCurrentRow(int grid, int row) {
    QTableView* view = gridView(grid);
    const auto* model = static_cast<const SheetModel*>(view->model());
    view->setCurrentIndex(model->index(model->modelRow(row), ServiceSheet::ValueColumn));
}

void TServiceForm::VyvolaniNastaveni(int grid) {
    m_aktivniGrid = grid;
    const Editor editor = m_parts.editing.editorAt(grid, currentRow(grid));
    const auto found = m_editors.find(editor);
    if (editor != Editor::None && found != m_editors.end() && found->second) found->second();
}

bool TServiceForm::eventFilter(QObject* watched, QEvent* event) {
    for (int grid : {ServiceSheet::LeftGrid, ServiceSheet::RightGrid}) {
        if (watched != m_grids[grid]) continue;
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
            // Space opens a dialog from the left grid only.
            const bool space = key->key() == Qt::Key_Space && grid == ServiceSheet::LeftGrid;
            if (enter || space) {
                VyvolaniNastaveni(grid);
                return true;
            }
        } else if (event->type() == QEvent::KeyRelease) {
            const int row = currentRow(grid);
            if (row > 0) m_parts.editing.StringGridNovaHodnota(grid, row);
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TServiceForm::command(ServiceCommand command) {
    m_parts.actions.run(command);
}

void TServiceForm::productionEdited(int, int row) {
    const std::optional<int> maximum = m_parts.editing.checkProductionLength(row);
    if (!maximum) return;
    m_parts.prompter.message(LangText(QStringLiteral("ZadejteMaximalne")) +
                                 QString::number(*maximum) + LangText(QStringLiteral("Znaku")),
                             Prompter::Icon::Information);
}

void TServiceForm::selectionClicked(int selection) {
    m_parts.transfer.writeFromFileSelection = selection;
    m_parts.editing.NactiService(1, m_parts.transfer.ZapisZeSouboru());
}

void TServiceForm::reject() {
    // A cell still being edited is taken over first, not after the edits were dropped.
    if (QWidget* focused = focusWidget()) focused->clearFocus();
    if (!m_parts.actions.FormCloseQuery()) return;
    m_parts.actions.FormClose();
    m_selectionItems[0]->setChecked(true);
    QDialog::reject();
}

void TServiceForm::applyCaptions() {
    const auto text = [](const char16_t* key) { return LangText(QString::fromUtf16(key)); };
    m_parts.sheet.setCaption(text(u"Parametry"));
    m_fileMenu->setTitle(text(u"menuSoubor"));
    m_parts.sheet.applyHeaders();
    m_parts.sheet.resetParameterRows();
    const struct {
        QWidget* widget;
        QString text;
    } captions[] = {
        {m_group1, text(u"Parametry")},
        {m_button2, text(u"Zapsat")},
        {m_group2, text(u"Výrobní údaje")},
        {m_group4, text(u"Poslední chyby")},
        {m_button7, text(u"Nulování")},
        {m_group3, text(u"Poslední reset")},
        {m_button5, text(u"Nulování")},
        {m_group5, text(u"Záloha parametrů")},
        {m_button8, text(u"Vytvořit zálohu")},
        {m_button9, text(u"Obnovit ze zálohy")},
        {m_group6, text(u"Inicializace parametrů")},
        {m_button1, text(u"Inic")},
        {m_button6, text(u"Default")},
        {m_button4, text(u"Zapsat")},
        {m_button3, text(u"Storno")},
        {m_radioGroup, text(u"Zápis ze souboru")},
        {m_selectionItems[0], text(u"Omezení")},
        {m_selectionItems[1], text(u"Výměna snímače")},
    };
    for (const auto& c : captions)
        setCaption(c.widget, c.text);
    m_selectionItems[0]->setChecked(true);
    m_parts.transfer.writeFromFileSelection = 0;
}

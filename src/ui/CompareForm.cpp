#include "ui/CompareForm.h"

#include "files/FileProblem.h"
#include "files/FileSaver.h"
#include "lang/Lang.h"
#include "link/Prompter.h"
#include "params/UnitRecords.h"
#include "session/Session.h"
#include "ui/ReportPrinter.h"
#include "ui/SaveFileDialog.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFont>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>

namespace {

// The list entry that asks for a file; every other entry's data is its path (empty: the unit).
const QString AskForFile = QStringLiteral("\\x01");

} // namespace

// The rows of a comparison, a column each for the mark, the label, its unit and both sides.
class CompareModel : public QAbstractTableModel {
public:
    enum Column { Mark, Label, Unit, LeftValue, RightValue, ColumnCount };

    using QAbstractTableModel::QAbstractTableModel;

    void setRows(const QList<ComparisonRow>& rows) {
        beginResetModel();
        m_rows = rows;
        endResetModel();
    }
    const ComparisonRow& row(int index) const { return m_rows.at(index); }
    void retranslate() { emit headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1); }

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : int(m_rows.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : ColumnCount;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid()) return {};
        const ComparisonRow& r = m_rows.at(index.row());
        if (role == Qt::FontRole && r.differs) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        if (role != Qt::DisplayRole) return {};
        switch (index.column()) {
        case Mark: return r.differs ? QStringLiteral("X") : QString();
        case Label: return r.label;
        case Unit: return r.unit;
        case LeftValue: return ComparisonRow::shown(r.left, r.leftChoice);
        case RightValue: return ComparisonRow::shown(r.right, r.rightChoice);
        default: return {};
        }
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
        switch (section) {
        case Mark: return QStringLiteral("X");
        case Label: return LangAddedText(QStringLiteral("SloupecParametr"));
        case Unit: return LangAddedText(QStringLiteral("SloupecJednotkaMiry"));
        case LeftValue: return LangAddedText(QStringLiteral("PorovnatVlevo"));
        case RightValue: return LangAddedText(QStringLiteral("PorovnatVpravo"));
        default: return {};
        }
    }

private:
    QList<ComparisonRow> m_rows;
};

// Hides the rows that do not differ while "Jen rozdíly" is on.
class DifferencesOnly : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;
    void setOn(bool on) {
        m_on = on;
        invalidateFilter();
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex&) const override {
        return !m_on || static_cast<const CompareModel*>(sourceModel())->row(row).differs;
    }

private:
    bool m_on = true;
};

CompareForm::CompareForm(Session& session, Prompter& prompter, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_session(session)
    , m_prompter(prompter) {
    setObjectName(QStringLiteral("CompareForm"));
    resize(900, 560);

    auto* sides = new QHBoxLayout;
    const char* names[] = {"CompareLeft", "CompareRight"};
    for (int side : {Left, Right}) {
        m_groups[side] = new QGroupBox(this);
        m_lists[side] = new QComboBox(m_groups[side]);
        m_lists[side]->setObjectName(QLatin1String(names[side]));
        m_lists[side]->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        auto* box = new QHBoxLayout(m_groups[side]);
        box->addWidget(m_lists[side], 1);
        sides->addWidget(m_groups[side], 1);
        connect(m_lists[side], &QComboBox::activated, this,
                [this, side](int item) { chosen(Side(side), item); });
    }

    m_onlyDifferences = new QCheckBox(this);
    m_onlyDifferences->setObjectName(QStringLiteral("CompareOnlyDifferences"));
    m_onlyDifferences->setChecked(true);

    m_model = new CompareModel(this);
    m_filter = new DifferencesOnly(this);
    m_filter->setSourceModel(m_model);
    m_table = new QTableView(this);
    m_table->setObjectName(QStringLiteral("CompareTable"));
    m_table->setModel(m_filter);
    m_table->setSortingEnabled(true);
    m_table->sortByColumn(-1, Qt::AscendingOrder); // the service window's order until asked
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setWordWrap(false);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->horizontalHeader()->resizeSection(CompareModel::Mark, 24);
    m_table->horizontalHeader()->resizeSection(CompareModel::Label, 300);
    m_table->horizontalHeader()->resizeSection(CompareModel::LeftValue, 220);

    const std::pair<QPushButton**, const char*> buttons[] = {
        {&m_copy, "CompareCopy"},   {&m_csv, "CompareCsv"},   {&m_pdf, "ComparePdf"},
        {&m_print, "ComparePrint"}, {&m_open, "CompareOpen"}, {&m_close, "CompareClose"}};
    auto* row = new QHBoxLayout;
    for (const auto& [button, name] : buttons) {
        *button = new QPushButton(this);
        (*button)->setObjectName(QLatin1String(name));
        if (*button == m_open) row->addStretch();
        row->addWidget(*button);
    }

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(sides);
    layout->addWidget(m_onlyDifferences);
    layout->addWidget(m_table, 1);
    layout->addLayout(row);

    connect(m_onlyDifferences, &QCheckBox::toggled, this, &CompareForm::setOnlyDifferences);
    connect(m_copy, &QPushButton::clicked, this, &CompareForm::copy);
    connect(m_csv, &QPushButton::clicked, this, [this] { chooseAndSave(false); });
    connect(m_pdf, &QPushButton::clicked, this, [this] { chooseAndSave(true); });
    connect(m_print, &QPushButton::clicked, this, &CompareForm::print);
    connect(m_open, &QPushButton::clicked, this, [this] {
        if (!writableFile().isEmpty()) emit openRequested(writableFile());
    });
    connect(m_close, &QPushButton::clicked, this, &QWidget::close);
    // Tab follows the order the controls were made in: the sides, the filter, the table, the
    // buttons.
    applyCaptions();
}

CompareForm::~CompareForm() = default;

void CompareForm::applyCaptions() {
    setWindowTitle(LangAddedText(QStringLiteral("PorovnatTitulek")));
    m_groups[Left]->setTitle(LangAddedText(QStringLiteral("PorovnatVlevo")));
    m_groups[Right]->setTitle(LangAddedText(QStringLiteral("PorovnatVpravo")));
    m_onlyDifferences->setText(LangAddedText(QStringLiteral("PorovnatJenRozdily")));
    m_copy->setText(LangAddedText(QStringLiteral("TraceKopirovat")));
    m_csv->setText(LangAddedText(QStringLiteral("TrendExport")));
    m_pdf->setText(LangAddedText(QStringLiteral("menuExportPdf")));
    m_print->setText(LangAddedText(QStringLiteral("PorovnatTisk")));
    m_open->setText(LangAddedText(QStringLiteral("PorovnatOtevrit")));
    m_close->setText(LangAddedText(QStringLiteral("PorovnatZavrit")));
    // The table has no label of its own: it is what the window is about.
    m_table->setAccessibleName(windowTitle());
    m_model->retranslate();
    refreshSources();
    // Labels and selector texts are in the chosen language.
    if (isVisible()) compare();
}

QString CompareForm::recordTitle(const UnitRecords::Record& record) {
    return record.time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) + QStringLiteral(" · ") +
           LangAddedText(record.kind == UnitRecords::Kind::Found
                             ? QStringLiteral("ZaznamNalezeno")
                             : QStringLiteral("ZaznamPonechano")) +
           QStringLiteral(" · ") + record.writer;
}

void CompareForm::refreshSources() {
    QList<Source> offered{{QString(), LangAddedText(QStringLiteral("PorovnatJednotka"))}};
    const QString folder = m_session.recorder().folder();
    if (!folder.isEmpty())
        for (const UnitRecords::Record& record :
             UnitRecords::list(UnitRecords::unitFolder(folder, m_session.image())))
            offered.append({record.path, recordTitle(record)});
    // A file chosen earlier stays on offer.
    for (const Source& source : m_sources)
        if (!source.path.isEmpty() &&
            std::none_of(offered.cbegin(), offered.cend(),
                         [&](const Source& s) { return s.path == source.path; }))
            offered.append(source);
    for (int side : {Left, Right}) {
        QComboBox* list = m_lists[side];
        const QSignalBlocker quiet(list);
        list->clear();
        for (const Source& source : std::as_const(offered))
            list->addItem(source.title, source.path);
        list->addItem(LangAddedText(QStringLiteral("PorovnatSoubor")), AskForFile);
        const int current = std::max(0, list->findData(m_sources[side].path));
        list->setCurrentIndex(current);
        // The title as the list shows it now, in the chosen language.
        m_sources[side].title = list->itemText(current);
    }
}

void CompareForm::chosen(Side side, int item) {
    const QString path = m_lists[side]->itemData(item).toString();
    if (path != AskForFile) {
        setSide(side, {path, m_lists[side]->itemText(item)});
        return;
    }
    const QString file = QFileDialog::getOpenFileName(
        this, QString(), QString(),
        QStringLiteral("(*.par);;") + LangAddedText(QStringLiteral("VsechnySoubory")) +
            QStringLiteral(" (*)"));
    if (file.isEmpty() || !setSide(side, {file, QFileInfo(file).fileName()})) refreshSources();
}

bool CompareForm::setSide(Side side, const Source& source) {
    ParameterSet set;
    QString error;
    if (!source.path.isEmpty() && !set.loadFile(source.path, &error)) {
        m_prompter.message(error, Prompter::Icon::Error);
        return false;
    }
    m_sources[side] = source;
    if (!source.path.isEmpty()) m_sets[side] = std::move(set);
    refreshSources();
    compare();
    return true;
}

void CompareForm::compare() {
    // The unit as it is at this moment.
    for (int side : {Left, Right})
        if (m_sources[side].path.isEmpty()) m_sets[side].takeUnit(m_session.image());
    m_rows = compareParameterSets(m_sets[Left], m_sets[Right]);
    m_model->setRows(m_rows);
    m_open->setEnabled(!writableFile().isEmpty());
}

QList<ComparisonRow> CompareForm::shownRows() const {
    QList<ComparisonRow> shown;
    for (int row = 0; row < m_filter->rowCount(); ++row)
        shown.append(m_model->row(m_filter->mapToSource(m_filter->index(row, 0)).row()));
    return shown;
}

void CompareForm::setOnlyDifferences(bool on) {
    m_onlyDifferences->setChecked(on);
    m_filter->setOn(on);
}

void CompareForm::copy() {
    QModelIndexList selected = m_table->selectionModel()->selectedRows();
    std::sort(selected.begin(), selected.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    QList<ComparisonRow> rows;
    for (const QModelIndex& index : std::as_const(selected))
        rows.append(m_model->row(m_filter->mapToSource(index).row()));
    if (rows.isEmpty()) rows = shownRows();
    QString text;
    for (const ComparisonRow& row : std::as_const(rows))
        text += row.label + u'\t' + row.unit + u'\t' +
                ComparisonRow::shown(row.left, row.leftChoice) + u'\t' +
                ComparisonRow::shown(row.right, row.rightChoice) + u'\n';
    QApplication::clipboard()->setText(text);
}

bool CompareForm::saveCsv(const QString& path) {
    QString error;
    if (FileSaver::save(path, comparisonCsv(shownRows()).toUtf8(), &error)) return true;
    m_prompter.message(FileProblem::writeFailed(path, error), Prompter::Icon::Error);
    return false;
}

bool CompareForm::savePdf(const QString& path) {
    QString error;
    const QByteArray pdf = reportPdf(
        comparisonReport(shownRows(), m_sources[Left].title, m_sources[Right].title), &error);
    if (!pdf.isEmpty() && FileSaver::save(path, pdf, &error)) return true;
    m_prompter.message(FileProblem::writeFailed(path, error), Prompter::Icon::Error);
    return false;
}

QString CompareForm::writableFile() const {
    if (m_sources[Left].path.isEmpty() != m_sources[Right].path.isEmpty())
        return m_sources[Left].path.isEmpty() ? m_sources[Right].path : m_sources[Left].path;
    return {};
}

void CompareForm::chooseAndSave(bool pdf) {
    const QString path =
        pdf ? chooseSaveFile(this, QStringLiteral("PDF (*.pdf)"), QStringLiteral("pdf"))
            : chooseSaveFile(this, LangAddedText(QStringLiteral("PorovnatSouborCsv")),
                             QStringLiteral("csv"));
    if (path.isEmpty()) return;
    if (pdf)
        savePdf(path);
    else
        saveCsv(path);
}

void CompareForm::print() {
    QPrinter printer;
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted) return;
    if (!printReport(printer,
                     comparisonReport(shownRows(), m_sources[Left].title, m_sources[Right].title)))
        m_prompter.message(LangText(QStringLiteral("menuTisk")) + QStringLiteral(": ") +
                               printer.printerName(),
                           Prompter::Icon::Error);
}

void CompareForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // What the unit has been recorded as since the window was last open, and its values now:
    // the newest record on the left, the unit on the right, when there is one.
    refreshSources();
    if (m_sources[Left].path.isEmpty() && m_sources[Right].path.isEmpty() &&
        m_lists[Left]->count() > 2) {
        setSide(Left, {m_lists[Left]->itemData(1).toString(), m_lists[Left]->itemText(1)});
        return;
    }
    compare();
}

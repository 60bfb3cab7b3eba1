#include "ui/TraceForm.h"

#include "files/FileProblem.h"
#include "lang/Lang.h"
#include "link/Prompter.h"
#include "ui/SaveFileDialog.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

// The rows the window has taken in; texts are made only for the rows on screen.
class TraceModel : public QAbstractTableModel {
public:
    enum Column { Time, Direction, State, Frame, Outcome, Columns };

    explicit TraceModel(int capacity, QObject* parent)
        : QAbstractTableModel(parent)
        , m_capacity(capacity) {}

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : int(m_rows.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : Columns;
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= m_rows.size()) return {};
        const TraceEntry& entry = m_rows.at(index.row());
        if (role == Qt::DisplayRole) {
            switch (index.column()) {
            case Time: return TraceText::time(entry.time);
            case Direction: return TraceText::direction(entry.direction);
            case State: return entry.state;
            case Frame: return TraceText::frame(entry.frame);
            case Outcome: return TraceText::outcome(entry.outcome);
            default: return {};
            }
        }
        if (role == Qt::FontRole && index.column() == Frame)
            return QFontDatabase::systemFont(QFontDatabase::FixedFont);
        if (role == Qt::ForegroundRole && index.column() == Outcome && isTrouble(entry.outcome))
            return QColor(Qt::darkRed);
        return {};
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
        const QStringList titles = TraceText::columnTitles();
        return section >= 0 && section < titles.size() ? QVariant(titles.at(section)) : QVariant();
    }

    void append(const QList<TraceEntry>& fresh) {
        if (fresh.isEmpty()) return;
        // The window holds no more than the recording does: the oldest rows make room.
        const qsizetype keep = std::min<qsizetype>(fresh.size(), m_capacity);
        const qsizetype drop = std::max<qsizetype>(0, m_rows.size() + keep - m_capacity);
        if (drop > 0) {
            beginRemoveRows({}, 0, int(drop - 1));
            m_rows.remove(0, drop);
            endRemoveRows();
        }
        beginInsertRows({}, int(m_rows.size()), int(m_rows.size() + keep - 1));
        m_rows.append(fresh.mid(fresh.size() - keep));
        endInsertRows();
    }

    void clear() {
        beginResetModel();
        m_rows.clear();
        endResetModel();
    }

    void retranslate() {
        emit headerDataChanged(Qt::Horizontal, 0, Columns - 1);
        if (!m_rows.isEmpty()) emit dataChanged(index(0, 0), index(rowCount() - 1, Columns - 1));
    }

    const QList<TraceEntry>& rows() const { return m_rows; }

private:
    static bool isTrouble(TraceEntry::Outcome outcome) {
        switch (outcome) {
        case TraceEntry::Outcome::Request:
        case TraceEntry::Outcome::Accepted: return false;
        default: return true;
        }
    }

    QList<TraceEntry> m_rows;
    int m_capacity;
};

TraceForm::TraceForm(FrameTrace& trace, Prompter& prompter, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_trace(trace)
    , m_prompter(prompter) {
    setObjectName(QStringLiteral("TraceForm"));
    resize(1060, 460);

    m_model = new TraceModel(trace.capacity(), this);
    m_table = new QTableView(this);
    m_table->setObjectName(QStringLiteral("TraceTable"));
    m_table->setModel(m_model);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setWordWrap(false);
    m_table->verticalHeader()->hide();
    // Rows of one height: thousands of them scroll without measuring each.
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_table->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    QHeaderView* columns = m_table->horizontalHeader();
    columns->setSectionResizeMode(QHeaderView::Interactive);
    columns->setStretchLastSection(true);
    // Wide enough for a monitor reply, the longest frame of the poll.
    const QFontMetrics fixed(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    columns->resizeSection(TraceModel::Frame,
                           fixed.horizontalAdvance(QString(81, QLatin1Char('0'))));

    m_pause = new QPushButton(this);
    m_pause->setObjectName(QStringLiteral("TracePause"));
    m_pause->setCheckable(true);
    m_clear = new QPushButton(this);
    m_clear->setObjectName(QStringLiteral("TraceClear"));
    m_copy = new QPushButton(this);
    m_copy->setObjectName(QStringLiteral("TraceCopy"));
    m_save = new QPushButton(this);
    m_save->setObjectName(QStringLiteral("TraceSave"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_pause);
    buttons->addWidget(m_clear);
    buttons->addStretch();
    buttons->addWidget(m_copy);
    buttons->addWidget(m_save);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_table);
    layout->addLayout(buttons);

    m_timer = new QTimer(this);
    m_timer->setInterval(RefreshMs);
    connect(m_timer, &QTimer::timeout, this, &TraceForm::refresh);
    connect(m_pause, &QPushButton::toggled, this, &TraceForm::setPaused);
    connect(m_clear, &QPushButton::clicked, this, &TraceForm::clear);
    connect(m_copy, &QPushButton::clicked, this, &TraceForm::copy);
    connect(m_save, &QPushButton::clicked, this, &TraceForm::chooseAndSave);
    applyCaptions();
}

TraceForm::~TraceForm() = default;

void TraceForm::applyCaptions() {
    setWindowTitle(LangAddedText(QStringLiteral("TraceTitulek")));
    m_pause->setText(LangAddedText(QStringLiteral("TracePozastavit")));
    m_clear->setText(LangAddedText(QStringLiteral("TraceVymazat")));
    m_copy->setText(LangAddedText(QStringLiteral("TraceKopirovat")));
    m_save->setText(LangAddedText(QStringLiteral("TraceUlozit")));
    m_model->retranslate();
    // The narrow columns as wide as their contents or their titles in this language.
    const int contents[] = {90, 40, 40};
    QHeaderView* columns = m_table->horizontalHeader();
    for (int column = 0; column < int(std::size(contents)); ++column) {
        const QString title =
            m_model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
        columns->resizeSection(
            column,
            std::max(contents[column], columns->fontMetrics().horizontalAdvance(title) + 16));
    }
}

void TraceForm::refresh() {
    if (isPaused()) return;
    const QList<TraceEntry> fresh = m_trace.since(m_seen);
    m_seen = m_trace.next();
    if (fresh.isEmpty()) return;
    // Follow the newest rows unless the user scrolled back to read.
    const QScrollBar* bar = m_table->verticalScrollBar();
    const bool following = bar->value() == bar->maximum();
    m_model->append(fresh);
    if (following) m_table->scrollToBottom();
}

bool TraceForm::isPaused() const {
    return m_pause->isChecked();
}

void TraceForm::setPaused(bool paused) {
    m_pause->setChecked(paused);
    // On resume the window catches up with what was recorded meanwhile.
    if (!paused) refresh();
}

void TraceForm::clear() {
    m_trace.clear();
    m_seen = m_trace.next();
    m_model->clear();
}

QList<TraceEntry> TraceForm::selectedOrAll() const {
    QModelIndexList selected = m_table->selectionModel()->selectedRows();
    if (selected.isEmpty()) return m_model->rows();
    std::sort(selected.begin(), selected.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    QList<TraceEntry> entries;
    entries.reserve(selected.size());
    for (const QModelIndex& index : std::as_const(selected))
        entries.append(m_model->rows().at(index.row()));
    return entries;
}

void TraceForm::copy() {
    QApplication::clipboard()->setText(TraceText::lines(selectedOrAll()));
}

bool TraceForm::saveTo(const QString& path) {
    QString error;
    if (TraceText::save(path, m_model->rows(), &error)) return true;
    m_prompter.message(FileProblem::writeFailed(path, error), Prompter::Icon::Error);
    return false;
}

void TraceForm::chooseAndSave() {
    const QString path = chooseSaveFile(this, LangAddedText(QStringLiteral("TraceSouborTextu")),
                                        QStringLiteral("txt"));
    if (!path.isEmpty()) saveTo(path);
}

void TraceForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    refresh();
    m_timer->start();
}

void TraceForm::hideEvent(QHideEvent* event) {
    m_timer->stop();
    QWidget::hideEvent(event);
}

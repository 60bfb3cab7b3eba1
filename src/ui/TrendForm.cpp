#include "ui/TrendForm.h"

#include "files/FileProblem.h"
#include "lang/Lang.h"
#include "link/Prompter.h"
#include "ui/SaveFileDialog.h"

#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

namespace {

using Quantity = TrendPlot::Quantity;

// The value axes: percent on the left, the others on the right.
enum Axis { Percent, Newton, Milliampere, Celsius, AxisCount };

struct AxisRow {
    const char* unit; // the unit as written in every language, or the key of its added text
    Qt::Alignment side;
    double fixedMin, fixedMax; // the range it always shows at least
};

constexpr AxisRow axisRows[AxisCount] = {
    {"%", Qt::AlignLeft, 0, 100},
    {"TrendOsaNm", Qt::AlignRight, 0, 1},
    {"TrendOsaMa", Qt::AlignRight, 0, 20},
    {"°C", Qt::AlignRight, 0, 40},
};

struct QuantityRow {
    Quantity quantity;
    const char* key; // added text of its check box
    const char* objectName;
    QRgb colour;
    Axis axis;
};

constexpr QuantityRow quantityRows[TrendPlot::QuantityCount] = {
    {Quantity::Position, "TrendPoloha", "TrendPosition", 0x1f4e9c, Percent},
    {Quantity::Torque, "TrendMoment", "TrendTorque", 0xc0392b, Percent},
    {Quantity::TorqueNm, "TrendMomentNm", "TrendTorqueNm", 0x7b241c, Newton},
    {Quantity::ControlSignal, "TrendSignal", "TrendControlSignal", 0x1e8449, Milliampere},
    {Quantity::Temperature, "TrendTeplota", "TrendTemperature", 0xd68910, Celsius},
};

QString unitText(const char* unit) {
    const QString text = QString::fromUtf8(unit);
    return text.startsWith(QLatin1String("Trend")) ? LangAddedText(text) : text;
}

QIcon colourMark(QRgb colour) {
    QPixmap mark(14, 4);
    mark.fill(QColor(colour));
    return QIcon(mark);
}

} // namespace

TrendForm::TrendForm(TrendRecorder& recorder, Prompter& prompter, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_recorder(recorder)
    , m_prompter(prompter) {
    setObjectName(QStringLiteral("TrendForm"));
    resize(900, 520);

    m_chart = new QChart;
    m_chart->legend()->hide();
    m_chart->setMargins(QMargins(4, 4, 4, 4));
    m_timeAxis = new QDateTimeAxis(m_chart);
    m_timeAxis->setFormat(QStringLiteral("HH:mm:ss"));
    m_timeAxis->setTickCount(7);
    m_chart->addAxis(m_timeAxis, Qt::AlignBottom);
    std::array<QValueAxis*, AxisCount> axes{};
    for (int a = 0; a < AxisCount; ++a) {
        axes[a] = new QValueAxis(m_chart);
        axes[a]->setRange(axisRows[a].fixedMin, axisRows[a].fixedMax);
        axes[a]->setLabelFormat(QStringLiteral("%g"));
        m_chart->addAxis(axes[a], axisRows[a].side);
    }

    m_view = new QChartView(m_chart, this);
    m_view->setObjectName(QStringLiteral("TrendChart"));
    m_view->setRenderHint(QPainter::Antialiasing);

    auto* choices = new QHBoxLayout;
    for (const QuantityRow& row : quantityRows) {
        const int q = int(row.quantity);
        auto* series = new QLineSeries(m_chart);
        series->setObjectName(QString::fromLatin1(row.objectName));
        QPen pen(QColor(row.colour));
        // One pixel wide: a wider line is stroked as a path, which takes a hundred times as
        // long for a chart full of points.
        pen.setWidth(0);
        // Nm runs alongside the torque in %: dashed, so that both stay visible.
        if (row.quantity == Quantity::TorqueNm) pen.setStyle(Qt::DashLine);
        series->setPen(pen);
        m_chart->addSeries(series);
        series->attachAxis(m_timeAxis);
        series->attachAxis(axes[row.axis]);
        m_series[q] = series;
        m_axes[q] = axes[row.axis];

        auto* box = new QCheckBox(this);
        box->setObjectName(QString::fromLatin1(row.objectName) + QStringLiteral("Shown"));
        box->setIcon(colourMark(row.colour));
        box->setChecked(true);
        connect(box, &QCheckBox::toggled, this,
                [this, quantity = row.quantity](bool shown) { showQuantity(quantity, shown); });
        m_shown[q] = box;
        choices->addWidget(box);
    }
    choices->addStretch();

    m_windowLabel = new QLabel(this);
    m_window = new QComboBox(this);
    m_window->setObjectName(QStringLiteral("TrendWindow"));
    for (int minutes : WindowMinutes)
        m_window->addItem(QString(), minutes);
    m_window->setCurrentIndex(1);
    m_windowLabel->setBuddy(m_window);
    m_pause = new QPushButton(this);
    m_pause->setObjectName(QStringLiteral("TrendPause"));
    m_pause->setCheckable(true);
    m_export = new QPushButton(this);
    m_export->setObjectName(QStringLiteral("TrendExport"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_windowLabel);
    buttons->addWidget(m_window);
    buttons->addWidget(m_pause);
    buttons->addStretch();
    buttons->addWidget(m_export);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_view, 1);
    layout->addLayout(choices);
    layout->addLayout(buttons);

    m_timer = new QTimer(this);
    m_timer->setInterval(refreshIntervalMs());
    connect(m_timer, &QTimer::timeout, this, &TrendForm::refresh);
    connect(m_window, &QComboBox::currentIndexChanged, this, [this] {
        m_timer->setInterval(refreshIntervalMs());
        redraw();
    });
    connect(m_pause, &QPushButton::toggled, this, &TrendForm::setPaused);
    connect(m_export, &QPushButton::clicked, this, &TrendForm::chooseAndExport);
    applyCaptions();
    redraw();
}

TrendForm::~TrendForm() = default;

void TrendForm::applyCaptions() {
    setWindowTitle(LangAddedText(QStringLiteral("TrendTitulek")));
    for (const QuantityRow& row : quantityRows)
        m_shown[int(row.quantity)]->setText(LangAddedText(QString::fromLatin1(row.key)));
    for (int a = 0; a < AxisCount; ++a)
        for (const QuantityRow& row : quantityRows)
            if (row.axis == a) m_axes[int(row.quantity)]->setTitleText(unitText(axisRows[a].unit));
    m_windowLabel->setText(LangAddedText(QStringLiteral("TrendOkno")));
    const QString minutes = LangAddedText(QStringLiteral("TrendMinut"));
    for (int i = 0; i < int(WindowMinutes.size()); ++i)
        m_window->setItemText(i, QString::number(WindowMinutes[i]) + QLatin1Char(' ') + minutes);
    m_pause->setText(LangAddedText(QStringLiteral("TrendPozastavit")));
    m_export->setText(LangAddedText(QStringLiteral("TrendExport")));
}

QLineSeries* TrendForm::series(TrendPlot::Quantity quantity) const {
    return m_series[int(quantity)];
}

int TrendForm::refreshIntervalMs() const {
    return std::max(RefreshMs, timeWindowMinutes() * 60 * 1000 / TimeSteps);
}

int TrendForm::timeWindowMinutes() const {
    return m_window->currentData().toInt();
}

void TrendForm::setTimeWindow(int index) {
    m_window->setCurrentIndex(index);
}

void TrendForm::refresh() {
    if (isPaused()) return;
    const QList<TrendSample> fresh = m_recorder.since(m_seen);
    m_seen = m_recorder.next();
    if (fresh.isEmpty()) return;
    m_samples.append(fresh);
    // The window keeps what its longest time span shows.
    const qint64 oldest = m_samples.last().time - qint64(WindowMinutes.back()) * 60 * 1000;
    const auto keep =
        std::lower_bound(m_samples.cbegin(), m_samples.cend(), oldest,
                         [](const TrendSample& s, qint64 time) { return s.time < time; });
    m_samples.remove(0, keep - m_samples.cbegin());
    redraw();
}

void TrendForm::redraw() {
    const qint64 span = qint64(timeWindowMinutes()) * 60 * 1000;
    const qint64 last =
        m_samples.isEmpty() ? QDateTime::currentMSecsSinceEpoch() : m_samples.last().time;
    const qint64 from = last - span;
    m_timeAxis->setRange(QDateTime::fromMSecsSinceEpoch(from),
                         QDateTime::fromMSecsSinceEpoch(last));
    // A point per pixel of the plot at most: more would not show.
    const int maxPoints = std::max(200, int(m_chart->plotArea().width()));

    std::array<double, AxisCount> low, high;
    low.fill(std::nan(""));
    high.fill(std::nan(""));
    for (const QuantityRow& row : quantityRows) {
        QLineSeries* series = m_series[int(row.quantity)];
        if (!series->isVisible()) continue;
        const QList<QPointF> points = TrendPlot::points(m_samples, row.quantity, from, maxPoints);
        series->replace(points);
        for (const QPointF& p : points) {
            if (!(low[row.axis] <= p.y())) low[row.axis] = p.y();
            if (!(high[row.axis] >= p.y())) high[row.axis] = p.y();
        }
    }
    // Each axis covers its usual range and everything drawn on it; an axis with no line shown
    // on it goes away.
    for (int a = 0; a < AxisCount; ++a) {
        QValueAxis* axis = nullptr;
        bool used = false;
        for (const QuantityRow& row : quantityRows)
            if (row.axis == a) {
                axis = m_axes[int(row.quantity)];
                used = used || m_series[int(row.quantity)]->isVisible();
            }
        const double min = std::min(axisRows[a].fixedMin, TrendSample::known(low[a]) ? low[a] : 0);
        const double max =
            std::max(axisRows[a].fixedMax, TrendSample::known(high[a]) ? high[a] : 0);
        axis->setRange(std::floor(min), std::ceil(max));
        if (a != Percent) axis->applyNiceNumbers();
        axis->setVisible(used);
    }
}

void TrendForm::showQuantity(TrendPlot::Quantity quantity, bool shown) {
    m_series[int(quantity)]->setVisible(shown);
    redraw();
}

bool TrendForm::isPaused() const {
    return m_pause->isChecked();
}

void TrendForm::setPaused(bool paused) {
    m_pause->setChecked(paused);
    // On resume the window catches up with what was recorded meanwhile.
    if (!paused) refresh();
}

bool TrendForm::exportTo(const QString& path) {
    QString error;
    if (TrendCsv::save(path, m_recorder.samples(), &error)) return true;
    m_prompter.message(FileProblem::writeFailed(path, error), Prompter::Icon::Error);
    return false;
}

void TrendForm::chooseAndExport() {
    const QString path = chooseSaveFile(this, LangAddedText(QStringLiteral("TrendSouborCsv")),
                                        QStringLiteral("csv"));
    if (!path.isEmpty()) exportTo(path);
}

void TrendForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    refresh();
    m_timer->start();
}

void TrendForm::hideEvent(QHideEvent* event) {
    m_timer->stop();
    QWidget::hideEvent(event);
}

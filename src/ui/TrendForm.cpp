#include "ui/TrendForm.h"

#include "files/FileProblem.h"
#include "lang/Lang.h"
#include "link/Prompter.h"
#include "ui/SaveFileDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace {

using Quantity = TrendPlot::Quantity;

// The value axes: percent on the left, the others on the right.
enum Axis { Percent, Newton, Milliampere, Celsius, AxisCount };

struct AxisRow {
    const char* unit; // the unit as written in every language, or the key of its added text
    bool left;
    double fixedMin, fixedMax; // the range it always shows at least
};

constexpr AxisRow axisRows[AxisCount] = {
    {"%", true, 0, 100},
    {"TrendOsaNm", false, 0, 1},
    {"TrendOsaMa", false, 0, 20},
    {"°C", false, 0, 40},
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

    m_chart = new TrendChart(this);
    m_chart->setObjectName(QStringLiteral("TrendChart"));
    for (const AxisRow& row : axisRows) {
        const int a = m_chart->addAxis(row.left);
        m_chart->setAxisScale(a, {row.fixedMin, row.fixedMax, 5});
    }

    auto* choices = new QHBoxLayout;
    for (const QuantityRow& row : quantityRows) {
        const int q = int(row.quantity);
        // Nm runs alongside the torque in %: dashed, so that both stay visible.
        const int line = m_chart->addLine(
            QColor(row.colour), row.quantity == Quantity::TorqueNm ? Qt::DashLine : Qt::SolidLine,
            row.axis);
        Q_ASSERT(line == q);

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
    layout->addWidget(m_chart, 1);
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
        m_chart->setAxisTitle(a, unitText(axisRows[a].unit));
    m_chart->setAccessibleName(windowTitle());
    m_windowLabel->setText(LangAddedText(QStringLiteral("TrendOkno")));
    const QString minutes = LangAddedText(QStringLiteral("TrendMinut"));
    for (int i = 0; i < int(WindowMinutes.size()); ++i)
        m_window->setItemText(i, QString::number(WindowMinutes[i]) + QLatin1Char(' ') + minutes);
    m_pause->setText(LangAddedText(QStringLiteral("TrendPozastavit")));
    m_export->setText(LangAddedText(QStringLiteral("TrendExport")));
}

const TrendChart::Line& TrendForm::line(TrendPlot::Quantity quantity) const {
    return m_chart->line(int(quantity));
}

const TrendChart::Axis& TrendForm::axis(TrendPlot::Quantity quantity) const {
    return m_chart->axis(quantityRows[int(quantity)].axis);
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
    m_samples.dropBefore(m_samples.lastTime() - qint64(WindowMinutes.back()) * 60 * 1000);
    redraw();
}

void TrendForm::redraw() {
    const qint64 span = qint64(timeWindowMinutes()) * 60 * 1000;
    const qint64 last =
        m_samples.isEmpty() ? QDateTime::currentMSecsSinceEpoch() : m_samples.lastTime();
    const qint64 from = last - span;
    m_chart->setTimeRange(from, last);
    // A point per pixel of the plot at most: more would not show.
    const int maxPoints = std::max(200, m_chart->plotArea().width());

    std::array<double, AxisCount> low, high;
    low.fill(std::nan(""));
    high.fill(std::nan(""));
    std::array<bool, AxisCount> used{};
    const bool reduced = m_samples.countSince(from) > maxPoints;
    for (const QuantityRow& row : quantityRows) {
        const int q = int(row.quantity);
        if (!m_chart->line(q).shown) continue;
        used[row.axis] = true;
        QList<QPointF> points = m_samples.points(row.quantity, from, maxPoints);
        for (const QPointF& p : points) {
            if (!(low[row.axis] <= p.y())) low[row.axis] = p.y();
            if (!(high[row.axis] >= p.y())) high[row.axis] = p.y();
        }
        m_chart->setPoints(q, std::move(points), reduced);
    }
    // Each axis covers its usual range and everything drawn on it, the percent axis in whole
    // percent and the others on round ticks; an axis with no line shown on it goes away.
    for (int a = 0; a < AxisCount; ++a) {
        const double min = std::min(axisRows[a].fixedMin, TrendSample::known(low[a]) ? low[a] : 0);
        const double max =
            std::max(axisRows[a].fixedMax, TrendSample::known(high[a]) ? high[a] : 0);
        m_chart->setAxisScale(a, a == Percent
                                     ? TrendPlot::Scale{std::floor(min), std::ceil(max), 5}
                                     : TrendPlot::roundScale(std::floor(min), std::ceil(max)));
        m_chart->setAxisShown(a, used[a]);
    }
}

void TrendForm::showQuantity(TrendPlot::Quantity quantity, bool shown) {
    m_chart->setLineShown(int(quantity), shown);
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

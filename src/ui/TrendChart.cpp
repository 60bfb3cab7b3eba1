#include "ui/TrendChart.h"

#include <QDateTime>
#include <QEvent>
#include <QPainter>
#include <algorithm>
#include <cstring>
#include <limits>

namespace {

constexpr int Margin = 4;       // around the chart's white card
constexpr int Padding = 10;     // inside the card, around the axes
constexpr int TickLength = 5;   // outwards from an axis line
constexpr int LabelGap = 3;     // between a tick and its label
constexpr int AxisSpacing = 10; // between two axes side by side
const QColor CardColour(255, 255, 255);
const QColor GridColour(0xe3, 0xe3, 0xe3);
const QColor AxisColour(0x8c, 0x8c, 0x8c);
const QColor TextColour(0x20, 0x20, 0x20);

QString timeLabel(qint64 ms) {
    return QDateTime::fromMSecsSinceEpoch(ms).toString(QStringLiteral("HH:mm:ss"));
}

double tickValue(const TrendPlot::Scale& scale, int i) {
    return scale.ticks < 2 ? scale.min
                           : scale.min + (scale.max - scale.min) * i / (scale.ticks - 1);
}

} // namespace

TrendChart::TrendChart(QWidget* parent)
    : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(320, 200);
}

int TrendChart::addAxis(bool left) {
    m_axes.push_back({QString(), left, {}, true});
    layoutChanged();
    return int(m_axes.size()) - 1;
}

int TrendChart::addLine(const QColor& colour, Qt::PenStyle style, int axis) {
    m_lines.push_back({colour, style, axis, true, {}});
    update();
    return int(m_lines.size()) - 1;
}

void TrendChart::setAxisTitle(int axis, const QString& title) {
    if (m_axes.at(axis).title == title) return;
    m_axes.at(axis).title = title;
    layoutChanged();
}

void TrendChart::setAxisScale(int axis, const TrendPlot::Scale& scale) {
    if (m_axes.at(axis).scale == scale) return;
    m_axes.at(axis).scale = scale;
    layoutChanged();
}

void TrendChart::setAxisShown(int axis, bool shown) {
    if (m_axes.at(axis).shown == shown) return;
    m_axes.at(axis).shown = shown;
    layoutChanged();
}

void TrendChart::setLineShown(int line, bool shown) {
    m_lines.at(line).shown = shown;
    update();
}

void TrendChart::setPoints(int line, QList<QPointF> points, bool reduced) {
    m_lines.at(line).points = std::move(points);
    m_lines.at(line).reduced = reduced;
    update();
}

void TrendChart::setTimeRange(qint64 from, qint64 to) {
    m_from = from;
    m_to = std::max(to, from + 1);
    update();
}

QRect TrendChart::plotArea() const {
    return layout().plot;
}

void TrendChart::layoutChanged() {
    m_layoutValid = false;
    m_frame = {};
    update();
}

void TrendChart::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange)
        layoutChanged();
    QWidget::changeEvent(event);
}

void TrendChart::resizeEvent(QResizeEvent* event) {
    layoutChanged();
    QWidget::resizeEvent(event);
}

QStringList TrendChart::tickLabels(const Axis& axis) const {
    QStringList labels;
    for (int i = 0; i < axis.scale.ticks; ++i)
        labels << QString::number(tickValue(axis.scale, i), 'g', 6);
    return labels;
}

const TrendChart::Layout& TrendChart::layout() const {
    if (m_layoutValid) return m_layout;
    const QFontMetrics metrics(font());
    const QRect card = rect().adjusted(Margin, Margin, -Margin, -Margin);
    // An axis takes its tick, its widest label and its title, turned upright.
    std::vector<int> widths(m_axes.size(), 0);
    int left = 0, right = 0;
    for (size_t a = 0; a < m_axes.size(); ++a) {
        const Axis& axis = m_axes[a];
        if (!axis.shown) continue;
        int widest = 0;
        for (const QString& label : tickLabels(axis))
            widest = std::max(widest, metrics.horizontalAdvance(label));
        widths[a] = TickLength + LabelGap + widest + LabelGap + metrics.height();
        (axis.left ? left : right) += widths[a] + AxisSpacing;
    }
    // The time labels stand centred under their ticks: half of one overhangs at either end.
    const int overhang = metrics.horizontalAdvance(timeLabel(0)) / 2 + 1;
    m_layout.plot = card.adjusted(
        Padding + std::max(left, overhang), Padding + metrics.height() / 2,
        -Padding - std::max(right, overhang), -Padding - TickLength - LabelGap - metrics.height());
    m_layout.axisX.assign(m_axes.size(), -1);
    int nextLeft = m_layout.plot.left(), nextRight = m_layout.plot.right();
    for (size_t a = 0; a < m_axes.size(); ++a) {
        if (!m_axes[a].shown) continue;
        if (m_axes[a].left) {
            m_layout.axisX[a] = nextLeft;
            nextLeft -= widths[a] + AxisSpacing;
        } else {
            m_layout.axisX[a] = nextRight;
            nextRight += widths[a] + AxisSpacing;
        }
    }
    m_layoutValid = true;
    return m_layout;
}

void TrendChart::paintEvent(QPaintEvent*) {
    const Layout& l = layout();
    const qreal ratio = devicePixelRatioF();
    if (m_frame.size() != size() * ratio || m_frame.devicePixelRatio() != ratio) m_frame = {};
    if (m_frame.isNull()) {
        m_frame = QImage(size() * ratio, QImage::Format_RGB32);
        m_frame.setDevicePixelRatio(ratio);
        QPainter frame(&m_frame);
        paintFrame(frame, l);
    }
    if (m_frame.isNull()) return; // no room to draw in
    // This paint's picture: the frame, then what moves on with every refresh. The reduced lines
    // go straight into the pixels, the rest through a painter.
    if (m_canvas.size() != m_frame.size()) m_canvas = QImage(m_frame.size(), m_frame.format());
    m_canvas.setDevicePixelRatio(ratio);
    std::memcpy(m_canvas.bits(), m_frame.constBits(), size_t(m_frame.sizeInBytes()));
    if (l.plot.width() >= 2 && l.plot.height() >= 2) {
        for (const Line& line : m_lines)
            if (line.reduced && mapPoints(line, l.plot)) paintColumns(line, l.plot);
        QPainter canvas(&m_canvas);
        paintTimeLabels(canvas, l.plot);
        canvas.setClipRect(l.plot.adjusted(0, -1, 1, 1));
        canvas.setRenderHint(QPainter::Antialiasing);
        for (const Line& line : m_lines) {
            if (line.reduced || !mapPoints(line, l.plot)) continue;
            // One pixel wide (a cosmetic pen): a wider line is stroked as a path, which takes
            // a hundred times as long for a plot full of points.
            canvas.setPen(QPen(line.colour, 0, line.style));
            if (m_mapped.size() == 1)
                canvas.drawPoint(m_mapped.front());
            else
                canvas.drawPolyline(m_mapped.data(), int(m_mapped.size()));
        }
    }
    QPainter(this).drawImage(0, 0, m_canvas);
}

void TrendChart::paintTimeLabels(QPainter& painter, const QRect& plot) const {
    const QFontMetrics metrics(font());
    painter.setPen(TextColour);
    for (int i = 0; i < TimeTicks; ++i) {
        const int x = plot.left() + (plot.width() - 1) * i / (TimeTicks - 1);
        const QString text = timeLabel(m_from + (m_to - m_from) * i / (TimeTicks - 1));
        painter.drawText(x - metrics.horizontalAdvance(text) / 2,
                         plot.bottom() + TickLength + LabelGap + metrics.ascent(), text);
    }
}

void TrendChart::paintFrame(QPainter& painter, const Layout& l) const {
    painter.fillRect(rect(), palette().window());
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(CardColour);
    painter.drawRoundedRect(QRectF(rect().adjusted(Margin, Margin, -Margin, -Margin)), 5, 5);
    painter.setBrush(Qt::NoBrush);
    painter.setRenderHint(QPainter::Antialiasing, false);
    if (l.plot.width() < 2 || l.plot.height() < 2) return;
    const QRect& plot = l.plot;
    const QFontMetrics metrics(font());
    // Grid: the time ticks across, the ticks of every value axis shown along.
    painter.setPen(QPen(GridColour, 0));
    for (int i = 0; i < TimeTicks; ++i) {
        const int x = plot.left() + (plot.width() - 1) * i / (TimeTicks - 1);
        painter.drawLine(x, plot.top(), x, plot.bottom());
    }
    for (size_t a = 0; a < m_axes.size(); ++a) {
        if (l.axisX[a] < 0) continue;
        const int ticks = m_axes[a].scale.ticks;
        for (int i = 0; i < ticks; ++i) {
            const int y = plot.bottom() - (plot.height() - 1) * i / std::max(1, ticks - 1);
            painter.drawLine(plot.left(), y, plot.right(), y);
        }
    }

    // The time axis: its line and its ticks (their labels move on with every refresh).
    painter.setPen(QPen(AxisColour, 0));
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());
    for (int i = 0; i < TimeTicks; ++i) {
        const int x = plot.left() + (plot.width() - 1) * i / (TimeTicks - 1);
        painter.drawLine(x, plot.bottom(), x, plot.bottom() + TickLength);
    }

    // Each value axis: its line, ticks outwards, the labels beside them and its title upright.
    for (size_t a = 0; a < m_axes.size(); ++a) {
        const int x = l.axisX[a];
        if (x < 0) continue;
        const Axis& axis = m_axes[a];
        const int outwards = axis.left ? -1 : 1;
        painter.setPen(QPen(AxisColour, 0));
        painter.drawLine(x, plot.top(), x, plot.bottom());
        const QStringList labels = tickLabels(axis);
        int widest = 0;
        for (int i = 0; i < labels.size(); ++i) {
            const int y =
                plot.bottom() - (plot.height() - 1) * i / std::max(1, int(labels.size()) - 1);
            painter.setPen(QPen(AxisColour, 0));
            painter.drawLine(x, y, x + outwards * TickLength, y);
            const int width = metrics.horizontalAdvance(labels[i]);
            widest = std::max(widest, width);
            const int textX =
                axis.left ? x - TickLength - LabelGap - width : x + TickLength + LabelGap;
            painter.setPen(TextColour);
            painter.drawText(textX, y + metrics.ascent() / 2 - 1, labels[i]);
        }
        const int titleCentre =
            x + outwards * (TickLength + 2 * LabelGap + widest + metrics.height() / 2);
        painter.save();
        painter.translate(titleCentre, plot.center().y());
        painter.rotate(-90);
        QFont bold = font();
        bold.setBold(true);
        painter.setFont(bold);
        const QFontMetrics boldMetrics(bold);
        painter.drawText(-boldMetrics.horizontalAdvance(axis.title) / 2,
                         boldMetrics.ascent() - boldMetrics.height() / 2, axis.title);
        painter.restore();
    }
}

bool TrendChart::mapPoints(const Line& line, const QRect& plot) const {
    if (!line.shown || line.points.isEmpty() || !m_axes.at(line.axis).shown) return false;
    const TrendPlot::Scale& scale = m_axes.at(line.axis).scale;
    const double span = scale.max - scale.min;
    if (!(span > 0)) return false;
    const double xScale = double(plot.width() - 1) / double(m_to - m_from);
    const double yScale = (plot.height() - 1) / span;
    m_mapped.resize(size_t(line.points.size()));
    for (qsizetype i = 0; i < line.points.size(); ++i) {
        const QPointF& p = line.points[i];
        m_mapped[size_t(i)] = QPointF(plot.left() + (p.x() - double(m_from)) * xScale,
                                      plot.bottom() - (p.y() - scale.min) * yScale);
    }
    return true;
}

void TrendChart::paintColumns(const Line& line, const QRect& plot) const {
    // Samples reduced to the lowest and the highest of each bucket (more samples than pixel
    // columns, a long time window): the line through the points fills each column from
    // where the column before it ended to its lowest and its highest point. Setting that upright
    // run of pixels per column gives the picture of the zigzag at a fraction of its cost; a
    // dashed line leaves out columns as its dashes would (four drawn, two left out).
    const qreal ratio = m_canvas.devicePixelRatio();
    const int thickness = std::max(1, qCeil(ratio));
    const int left = qRound(plot.left() * ratio), right = qRound((plot.right() + 1) * ratio) - 1;
    const int top = qRound(plot.top() * ratio), bottom = qRound((plot.bottom() + 1) * ratio) - 1;
    const QRgb colour = line.colour.rgb();
    uchar* const bits = m_canvas.bits();
    const qsizetype stride = m_canvas.bytesPerLine();
    const auto run = [&](int column, double high, double low) {
        if (line.style != Qt::SolidLine && column % 6 >= 4) return;
        const int x0 = std::max(left, qRound(column * ratio));
        const int x1 = std::min(right, x0 + thickness - 1);
        const int y0 = std::max(top, qRound(high * ratio));
        const int y1 = std::min(bottom, qRound(low * ratio) + thickness - 1);
        for (int y = y0; y <= y1; ++y) {
            auto* row = reinterpret_cast<QRgb*>(bits + y * stride);
            for (int x = x0; x <= x1; ++x)
                row[x] = colour;
        }
    };
    constexpr int None = std::numeric_limits<int>::min();
    int column = None;
    double high = 0, low = 0; // y grows downwards: the highest value has the least y
    QPointF last;
    for (const QPointF& p : m_mapped) {
        const int x = qRound(p.x());
        if (x != column) {
            if (column == None) {
                high = low = p.y();
            } else {
                // The straight stretch from the last point to this one: out of the last
                // point's column, over the columns it crosses without a point of its own, and
                // into this point's column.
                const auto at = [&](double columnX) {
                    const double dx = p.x() - last.x();
                    const double share =
                        dx > 0 ? std::clamp((columnX - last.x()) / dx, 0.0, 1.0) : 1;
                    return last.y() + (p.y() - last.y()) * share;
                };
                const double exit = at(column + 0.5);
                run(column, std::min(high, exit), std::max(low, exit));
                for (int k = column + 1; k < x; ++k) {
                    const double a = at(k - 0.5), b = at(k + 0.5);
                    run(k, std::min(a, b), std::max(a, b));
                }
                high = low = at(x - 0.5);
            }
            column = x;
        }
        high = std::min(high, p.y());
        low = std::max(low, p.y());
        last = p;
    }
    if (column != None) run(column, high, low);
}

#include "ui/GaugeWidget.h"

#include <QAccessibleWidget>
#include <QPainter>
#include <algorithm>

namespace {

// What a screen reader reads of a gauge: a progress bar and the percentage it draws.
class GaugeAccessible : public QAccessibleWidget {
public:
    explicit GaugeAccessible(GaugeWidget* gauge)
        : QAccessibleWidget(gauge, QAccessible::ProgressBar) {}
    QString text(QAccessible::Text t) const override {
        if (t != QAccessible::Value) return QAccessibleWidget::text(t);
        const auto* gauge = static_cast<const GaugeWidget*>(widget());
        return QString::number(gauge->percent()) + u'%';
    }
};

QAccessibleInterface* gaugeAccessible(const QString& className, QObject* object) {
    if (className == QLatin1String("GaugeWidget") && object && object->isWidgetType())
        return new GaugeAccessible(static_cast<GaugeWidget*>(object));
    return nullptr;
}

} // namespace

GaugeWidget::GaugeWidget(QWidget* parent)
    : QWidget(parent) {
    static const bool accessible = [] {
        QAccessible::installFactory(gaugeAccessible);
        return true;
    }();
    Q_UNUSED(accessible);
    // Every pixel is painted here, so the parent need not repaint beneath the gauge.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
}

void GaugeWidget::setRange(int minimum, int maximum) {
    maximum = std::max(minimum, maximum);
    if (minimum == m_minimum && maximum == m_maximum) return;
    m_minimum = minimum;
    m_maximum = maximum;
    m_value = std::clamp(m_value, m_minimum, m_maximum);
    update();
}

void GaugeWidget::setValue(int value) {
    value = std::clamp(value, m_minimum, m_maximum);
    if (value == m_value) return;
    m_value = value;
    update();
}

void GaugeWidget::setShowText(bool show) {
    if (show == m_showText) return;
    m_showText = show;
    update();
}

void GaugeWidget::setBarColor(const QColor& color) {
    if (color == m_barColor) return;
    m_barColor = color;
    update();
}

int GaugeWidget::percent() const {
    if (m_maximum == m_minimum) return 0;
    return int(qint64(m_value - m_minimum) * 100 / (m_maximum - m_minimum));
}

QString GaugeWidget::text() const {
    return m_showText ? QString::number(percent()) + QLatin1Char('%') : QString();
}

QSize GaugeWidget::sizeHint() const {
    return {100, 17};
}

void GaugeWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect frame = rect().adjusted(0, 0, -1, -1);
    const QRect inside = rect().adjusted(1, 1, -1, -1);
    const int span = m_maximum - m_minimum;
    const int filled = span > 0 ? int(qint64(m_value - m_minimum) * inside.width() / span) : 0;
    const QRect bar(inside.left(), inside.top(), filled, inside.height());
    const QRect rest(inside.left() + filled, inside.top(), inside.width() - filled,
                     inside.height());

    painter.fillRect(rest, Qt::white);
    painter.fillRect(bar, m_barColor);
    painter.setPen(Qt::black);
    painter.drawRect(frame);

    if (m_showText) {
        // The text reads in the bar colour over the empty part and in white over the bar.
        const QString label = text();
        painter.setFont(font());
        painter.setClipRect(rest);
        painter.setPen(m_barColor);
        painter.drawText(inside, Qt::AlignCenter, label);
        painter.setClipRect(bar);
        painter.setPen(Qt::white);
        painter.drawText(inside, Qt::AlignCenter, label);
    }
}

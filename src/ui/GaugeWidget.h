#pragma once

#include <QColor>
#include <QWidget>

// A horizontal bar gauge: a range, a value held inside it, optionally the whole percentage of
// the range as text in the bar, and a bar colour (black, or red for a tripped torque side).
// Drawn by the widget itself so that it looks alike under every style; a setter that changes
// nothing does not repaint.
class GaugeWidget : public QWidget {
    Q_OBJECT
public:
    explicit GaugeWidget(QWidget* parent = nullptr);

    // The value is clamped into a new range.
    void setRange(int minimum, int maximum);
    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }

    // Values outside the range are clamped to it.
    void setValue(int value);
    int value() const { return m_value; }

    void setShowText(bool show);
    bool showsText() const { return m_showText; }

    void setBarColor(const QColor& color);
    QColor barColor() const { return m_barColor; }

    // Whole percentage of the range reached (truncated), 0..100.
    int percent() const;
    // The text drawn in the bar: the percentage with "%", empty while no text is shown.
    QString text() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_minimum = 0;
    int m_maximum = 100;
    int m_value = 0;
    bool m_showText = false;
    QColor m_barColor = Qt::black;
};

#pragma once

#include "device/TrendPlot.h"

#include <QColor>
#include <QImage>
#include <QList>
#include <QPointF>
#include <QString>
#include <QWidget>
#include <vector>

// The trend's picture: lines of (time in ms since the epoch, value) points on value axes at the
// left and the right of the plot, the time along the bottom as hours, minutes and seconds. The
// trend window hands over what to draw. The background, the grid and the value axes are kept as
// a picture until the layout changes; a paint copies it and adds the time labels and the lines,
// so that a refresh costs a small part of the poll gap even with an hour recorded.
class TrendChart : public QWidget {
    Q_OBJECT
public:
    struct Axis {
        QString title;
        bool left = true; // left of the plot, else right (the right ones side by side outwards)
        TrendPlot::Scale scale;
        bool shown = true;
    };
    struct Line {
        QColor colour;
        Qt::PenStyle style = Qt::SolidLine;
        int axis = 0;
        bool shown = true;
        QList<QPointF> points;
        // The points are the lowest and highest of buckets of samples (TrendPlot::points with
        // more samples than points): drawn column by column.
        bool reduced = false;
    };
    // Time ticks along the bottom, the first at the left edge of the plot, the last at the right.
    static constexpr int TimeTicks = 7;

    explicit TrendChart(QWidget* parent = nullptr);

    int addAxis(bool left);
    int addLine(const QColor& colour, Qt::PenStyle style, int axis);
    void setAxisTitle(int axis, const QString& title);
    void setAxisScale(int axis, const TrendPlot::Scale& scale);
    void setAxisShown(int axis, bool shown);
    void setLineShown(int line, bool shown);
    void setPoints(int line, QList<QPointF> points, bool reduced = false);
    void setTimeRange(qint64 from, qint64 to);

    const Axis& axis(int axis) const { return m_axes.at(axis); }
    const Line& line(int line) const { return m_lines.at(line); }
    qint64 timeFrom() const { return m_from; }
    qint64 timeTo() const { return m_to; }
    // Where the lines are drawn; the lines never need more points than it is wide.
    QRect plotArea() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // What the axes take of the widget's width and height: it changes only with their titles,
    // their scales' labels and which are shown, not with every refresh.
    struct Layout {
        QRect plot;
        std::vector<int> axisX; // x of each axis's line; -1 for one not shown
    };
    const Layout& layout() const;
    void layoutChanged();
    QStringList tickLabels(const Axis& axis) const;
    // What changes only with the layout: background, grid, the axes but for the time labels.
    void paintFrame(QPainter& painter, const Layout& layout) const;
    void paintTimeLabels(QPainter& painter, const QRect& plot) const;
    // The line's points in the widget's coordinates, into m_mapped; false for a line not drawn.
    bool mapPoints(const Line& line, const QRect& plot) const;
    void paintColumns(const Line& line, const QRect& plot) const;

    std::vector<Axis> m_axes;
    std::vector<Line> m_lines;
    qint64 m_from = 0, m_to = 1;
    mutable Layout m_layout;
    mutable bool m_layoutValid = false;
    QImage m_frame;          // paintFrame's picture, kept until the layout changes
    mutable QImage m_canvas; // the frame with the lines and time labels of the last paint
    mutable std::vector<QPointF> m_mapped; // reused: a paint allocates nothing once warm
};

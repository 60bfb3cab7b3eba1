#pragma once

#include "device/TrendRecorder.h"

#include <QList>
#include <QPointF>
#include <array>
#include <vector>

// What the trend window draws of the recorded samples: one line per quantity, x in ms since the
// epoch. Only the samples that fall into the chosen time window are drawn, and never many more
// points than the chart has pixels.
namespace TrendPlot {

enum class Quantity { Position, Torque, TorqueNm, ControlSignal, Temperature };
inline constexpr int QuantityCount = 5;

// The value drawn for a sample, or NaN for none. In the dead zone the panel shows no torque: the
// torque lines draw 0 there, so that a torque that fell away does not seem to stay. Nm that is
// unknown outside the dead zone (no torque table) is not drawn at all.
double value(const TrendSample& sample, Quantity quantity);

// The samples as the trend draws them: their times and each quantity's values in columns of
// their own, so that reducing an hour of samples to a plot's points scans plain arrays of
// numbers instead of the samples themselves.
class Columns {
public:
    // Samples in time order, after those already taken in.
    void append(const QList<TrendSample>& samples);
    // Forgets the samples older than `time`.
    void dropBefore(qint64 time);
    qsizetype size() const { return qsizetype(m_times.size() - m_first); }
    bool isEmpty() const { return size() == 0; }
    qint64 lastTime() const { return m_times.back(); }
    // How many samples are at `from` or later.
    qsizetype countSince(qint64 from) const;

    // The points of the samples at `from` or later. When there are more than `maxPoints`,
    // neighbouring samples are taken together in buckets, each giving its lowest and its highest
    // value in the order they came, so that a short peak stays visible.
    QList<QPointF> points(Quantity quantity, qint64 from, int maxPoints) const;

private:
    std::vector<qint64> m_times;
    std::array<std::vector<double>, QuantityCount> m_values;
    size_t m_first = 0; // the samples before it are forgotten, their room not yet given back
};

// Columns::points of `samples` (in time order).
QList<QPointF> points(const QList<TrendSample>& samples, Quantity quantity, qint64 from,
                      int maxPoints);

// A value axis's range and its ticks, evenly spaced from min to max.
struct Scale {
    double min = 0, max = 1;
    int ticks = 5;
    bool operator==(const Scale&) const = default;
};

// The range around [min, max] whose ticks fall on round numbers (1, 2 or 5 times a power of ten
// apart), with about `ticks` ticks: 0..350 with 5 gives 0..400 in steps of 100, 0..95 gives
// 0..100 in steps of 20.
Scale roundScale(double min, double max, int ticks = 5);

} // namespace TrendPlot

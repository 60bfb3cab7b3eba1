#include "device/TrendPlot.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace TrendPlot {

double value(const TrendSample& s, Quantity quantity) {
    const bool deadZone = s.torqueSide == 0;
    switch (quantity) {
    case Quantity::Position: return s.position;
    case Quantity::Torque: return deadZone ? 0.0 : s.torque;
    case Quantity::TorqueNm: return deadZone ? 0.0 : s.torqueNm;
    case Quantity::ControlSignal: return s.controlSignal;
    case Quantity::Temperature: return s.temperature;
    }
    return std::numeric_limits<double>::quiet_NaN();
}

void Columns::append(const QList<TrendSample>& samples) {
    for (const TrendSample& s : samples) {
        m_times.push_back(s.time);
        for (int q = 0; q < QuantityCount; ++q)
            m_values[q].push_back(value(s, Quantity(q)));
    }
}

void Columns::dropBefore(qint64 time) {
    m_first = size_t(std::lower_bound(m_times.cbegin() + qsizetype(m_first), m_times.cend(), time) -
                     m_times.cbegin());
    // The room goes back once the forgotten samples fill half the columns, not at every refresh.
    if (m_first > m_times.size() / 2) {
        m_times.erase(m_times.begin(), m_times.begin() + qsizetype(m_first));
        for (std::vector<double>& values : m_values)
            values.erase(values.begin(), values.begin() + qsizetype(m_first));
        m_first = 0;
    }
}

qsizetype Columns::countSince(qint64 from) const {
    return m_times.cend() -
           std::lower_bound(m_times.cbegin() + qsizetype(m_first), m_times.cend(), from);
}

QList<QPointF> Columns::points(Quantity quantity, qint64 from, int maxPoints) const {
    const qint64* times = m_times.data() + m_first;
    const double* values = m_values[int(quantity)].data() + m_first;
    const qsizetype size = this->size();
    const qsizetype begin = std::lower_bound(times, times + size, from) - times;
    const qsizetype count = size - begin;
    QList<QPointF> out;
    if (count <= 0) return out;

    // Two points per bucket: as many buckets as half the points allowed.
    const qsizetype buckets = std::max<qsizetype>(1, maxPoints / 2);
    const qsizetype perBucket = count <= maxPoints ? 1 : (count + buckets - 1) / buckets;
    out.reserve(std::min<qsizetype>(count, 2 * buckets));
    for (qsizetype start = begin; start < size; start += perBucket) {
        const qsizetype end = std::min(size, start + perBucket);
        qsizetype low = -1, high = -1;
        for (qsizetype i = start; i < end; ++i) {
            const double v = values[i];
            if (!TrendSample::known(v)) continue;
            if (low < 0 || v < values[low]) low = i;
            if (high < 0 || v > values[high]) high = i;
        }
        if (low < 0) continue;
        const qsizetype a = std::min(low, high), b = std::max(low, high);
        out.append(QPointF(double(times[a]), values[a]));
        if (b != a) out.append(QPointF(double(times[b]), values[b]));
    }
    return out;
}

QList<QPointF> points(const QList<TrendSample>& samples, Quantity quantity, qint64 from,
                      int maxPoints) {
    Columns columns;
    columns.append(samples);
    return columns.points(quantity, from, maxPoints);
}

namespace {

// A round number near `x`, 1, 2 or 5 times a power of ten: the nearest one, or the next one up.
double roundNumber(double x, bool nearest) {
    const double power = std::pow(10.0, std::floor(std::log10(x)));
    const double m = x / power;
    if (nearest) return (m < 1.5 ? 1 : m < 3 ? 2 : m < 7 ? 5 : 10) * power;
    return (m <= 1 ? 1 : m <= 2 ? 2 : m <= 5 ? 5 : 10) * power;
}

} // namespace

Scale roundScale(double min, double max, int ticks) {
    ticks = std::max(ticks, 2);
    if (!(max > min) || !std::isfinite(max - min)) return {min, min + 1, ticks};
    // The span rounded up, then the step nearest to a tick count's share of it.
    const double step = roundNumber(roundNumber(max - min, false) / (ticks - 1), true);
    // A hair of slack, so that a bound a division leaves at 3.0000000000000004 steps stays at 3.
    Scale scale{std::floor(min / step + 1e-9) * step, std::ceil(max / step - 1e-9) * step, 0};
    scale.ticks = int(std::lround((scale.max - scale.min) / step)) + 1;
    return scale;
}

} // namespace TrendPlot

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

QList<QPointF> points(const QList<TrendSample>& samples, Quantity quantity, qint64 from,
                      int maxPoints) {
    const auto first =
        std::lower_bound(samples.cbegin(), samples.cend(), from,
                         [](const TrendSample& s, qint64 time) { return s.time < time; });
    const qsizetype begin = first - samples.cbegin();
    const qsizetype count = samples.size() - begin;
    QList<QPointF> out;
    if (count <= 0) return out;

    // Two points per bucket: as many buckets as half the points allowed.
    const qsizetype buckets = std::max<qsizetype>(1, maxPoints / 2);
    const qsizetype perBucket = count <= maxPoints ? 1 : (count + buckets - 1) / buckets;
    out.reserve(std::min<qsizetype>(count, 2 * buckets));
    for (qsizetype start = begin; start < samples.size(); start += perBucket) {
        const qsizetype end = std::min(samples.size(), start + perBucket);
        qsizetype low = -1, high = -1;
        for (qsizetype i = start; i < end; ++i) {
            const double v = value(samples[i], quantity);
            if (!TrendSample::known(v)) continue;
            if (low < 0 || v < value(samples[low], quantity)) low = i;
            if (high < 0 || v > value(samples[high], quantity)) high = i;
        }
        if (low < 0) continue;
        const qsizetype a = std::min(low, high), b = std::max(low, high);
        out.append(QPointF(double(samples[a].time), value(samples[a], quantity)));
        if (b != a) out.append(QPointF(double(samples[b].time), value(samples[b], quantity)));
    }
    return out;
}

} // namespace TrendPlot

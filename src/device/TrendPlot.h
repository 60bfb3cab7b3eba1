#pragma once

#include "device/TrendRecorder.h"

#include <QList>
#include <QPointF>

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

// The points of the samples at `from` or later (samples in time order). When there are more
// than `maxPoints`, neighbouring samples are taken together in buckets, each giving its lowest
// and its highest value in the order they came, so that a short peak stays visible.
QList<QPointF> points(const QList<TrendSample>& samples, Quantity quantity, qint64 from,
                      int maxPoints);

} // namespace TrendPlot

#pragma once

#include "wire/TimedRecording.h"

#include <QList>
#include <QString>
#include <functional>

struct DeviceImage;
struct MonitorDisplay;

// The live values of one monitor record, as the panel showed them. A value the unit has not
// reported (temperature before its information slot came round, torque in the dead zone, Nm
// without a torque table) is NaN.
struct TrendSample {
    qint64 time = 0;          // ms since the epoch
    double position = 0;      // % of the travel, 0..100
    double controlSignal = 0; // mA
    double torque = 0;        // % of the side whose percentage the panel shows
    char torqueSide = 0;      // 'O', 'Z', or 0 in the dead zone
    double torqueNm = 0;      // Nm
    double temperature = 0;   // °C

    static bool known(double value) { return value == value; }
};

// The monitor records' values in a ring of fixed size, the newest kept. Recording runs all the
// time, so that a trend opened after the event still shows it; a record costs a handful of number
// conversions and no allocation once the ring has gone round.
class TrendRecorder : public TimedRecording<TrendSample> {
public:
    // Over an hour of the poll at the line rate (about eight records a second).
    static constexpr int DefaultCapacity = 32768;

    explicit TrendRecorder(int capacity = DefaultCapacity);

    // Takes the values the monitor decoder has just left in the image and the display.
    void record(const DeviceImage& image, const MonitorDisplay& display);
    void append(const TrendSample& sample);
    QList<TrendSample> samples() const { return since(0); }
};

// The recorded samples as comma-separated values: a header line, then one line per sample with
// its local time in ISO 8601 (milliseconds and offset from UTC) and an empty field for a value
// the unit had not reported. Numbers always use a decimal point.
namespace TrendCsv {
QString header();
QString line(const TrendSample& sample);
QString text(const QList<TrendSample>& samples);
// The whole file or nothing; on failure fills `error`.
bool save(const QString& path, const QList<TrendSample>& samples, QString* error = nullptr);
} // namespace TrendCsv

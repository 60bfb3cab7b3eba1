#include "device/TrendRecorder.h"

#include "device/MonitorDisplay.h"
#include "files/FileSaver.h"
#include "image/DeviceImage.h"

#include <QDateTime>
#include <cmath>
#include <limits>

namespace {

constexpr double Unknown = std::numeric_limits<double>::quiet_NaN();

// A number the panel shows as text, or Unknown when the edit is empty.
double shownNumber(const QString& text) {
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok ? value : Unknown;
}

QString field(double value, int decimals) {
    return TrendSample::known(value) ? QString::number(value, 'f', decimals) : QString();
}

} // namespace

TrendRecorder::TrendRecorder(int capacity)
    : TimedRecording(capacity) {}

void TrendRecorder::record(const DeviceImage& image, const MonitorDisplay& display) {
    TrendSample s;
    s.time = now();
    s.position = image.Poloha_Proc / 100.0;
    s.controlSignal = shownNumber(display.Edit2);
    // The side whose gauge shows a percentage; in the dead zone neither does.
    if (display.Gauge4.showsText) {
        s.torque = display.Gauge4.value;
        s.torqueSide = 'O';
    } else if (display.Gauge3.showsText) {
        s.torque = display.Gauge3.value;
        s.torqueSide = 'Z';
    } else {
        s.torque = Unknown;
    }
    s.torqueNm = shownNumber(display.Edit12);
    s.temperature = shownNumber(display.Edit5);
    append(s);
}

void TrendRecorder::append(const TrendSample& sample) {
    m_ring.push() = sample;
}

namespace TrendCsv {

QString header() {
    return QStringLiteral(
        "time,position_pct,control_signal_mA,torque_pct,torque_side,torque_Nm,temperature_C");
}

QString line(const TrendSample& s) {
    const QDateTime local = QDateTime::fromMSecsSinceEpoch(s.time);
    const QString time = local.toOffsetFromUtc(local.offsetFromUtc()).toString(Qt::ISODateWithMs);
    const QString side = s.torqueSide ? QString(QLatin1Char(s.torqueSide)) : QString();
    return QStringList{time, field(s.position, 2), field(s.controlSignal, 1), field(s.torque, 0),
                       side, field(s.torqueNm, 0), field(s.temperature, 0)}
        .join(QLatin1Char(','));
}

QString text(const QList<TrendSample>& samples) {
    QString out = header() + QLatin1Char('\n');
    for (const TrendSample& s : samples)
        out += line(s) + QLatin1Char('\n');
    return out;
}

bool save(const QString& path, const QList<TrendSample>& samples, QString* error) {
    return FileSaver::save(path, text(samples).toUtf8(), error);
}

} // namespace TrendCsv

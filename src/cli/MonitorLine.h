#pragma once

#include <QDateTime>
#include <QString>

struct DeviceImage;
struct MonitorDisplay;

// One line of `kovr-cli monitor` per monitor record: time, position, control signal, torque,
// temperature, running time, motor and the active error bits, as the main window shows them.
// The text is in the chosen language; the CSV is the same in every language (the motor as
// stopped/opening/closing, the running time in minutes, the time in ISO 8601 with its offset).
namespace MonitorLine {

QString text(const DeviceImage& image, const MonitorDisplay& display, const QDateTime& now);
QString csvHeader();
QString csv(const DeviceImage& image, const MonitorDisplay& display, const QDateTime& now);

} // namespace MonitorLine

#include "cli/MonitorLine.h"

#include "device/MonitorDisplay.h"
#include "image/DeviceImage.h"

#include <QStringList>

namespace {

QString percent(qint32 hundredths) {
    return QString::number(hundredths / 100.0, 'f', 2);
}

QString errorBits(const DeviceImage& image) {
    QString bits;
    for (quint8 group : image.Chyby_Akt)
        bits += QString::number(group, 16).rightJustified(2, QLatin1Char('0')).toUpper();
    return bits;
}

QString csvField(const QString& text) {
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"'))) return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

} // namespace

QString MonitorLine::text(const DeviceImage& image, const MonitorDisplay& display,
                          const QDateTime& now) {
    // The torque in Nm only where the unit's calibration gives one, as the main window does.
    const QString newtonMetres =
        display.Edit12.isEmpty() ? QString()
                                 : QStringLiteral(" / ") + display.Edit12 + QStringLiteral(" Nm");
    return now.toString(QStringLiteral("HH:mm:ss.zzz")) + QStringLiteral("  ") +
           percent(image.Poloha_Proc) + QStringLiteral(" %  abs ") + display.Edit1 +
           QStringLiteral("  ") + display.Edit2 + QStringLiteral(" mA  M ") + display.Edit4 +
           newtonMetres + QStringLiteral("  ") + display.Edit5 + QStringLiteral(" °C  ") +
           display.Edit6 + QStringLiteral(" h  ") + display.Edit3 + QStringLiteral("  E ") +
           errorBits(image);
}

QString MonitorLine::csvHeader() {
    return QStringLiteral("time,position_pct,position_abs,control_mA,torque_raw,torque_Nm,"
                          "temperature_C,running_time_min,motor,errors");
}

QString MonitorLine::csv(const DeviceImage& image, const MonitorDisplay& display,
                         const QDateTime& now) {
    // The same bytes in every language: tokens and numbers, the time with its UTC offset.
    static const char* const motions[] = {"stopped", "opening", "closing"};
    const QString motor = display.motorMotion >= 0 && display.motorMotion < 3
                              ? QString::fromLatin1(motions[display.motorMotion])
                              : QString();
    const QString runningMinutes =
        display.Edit6.isEmpty()
            ? QString()
            : QString::number(qint64(image.Cas_Chodu_Hodiny) * 60 + image.Cas_Chodu_Minuty);
    const QStringList fields = {
        now.toOffsetFromUtc(now.offsetFromUtc()).toString(Qt::ISODateWithMs),
        percent(image.Poloha_Proc),
        display.Edit1,
        display.Edit2,
        display.Edit4,
        display.Edit12,
        display.Edit5,
        runningMinutes,
        motor,
        errorBits(image)};
    QStringList quoted;
    for (const QString& field : fields)
        quoted.append(csvField(field));
    return quoted.join(QLatin1Char(','));
}

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
                          "temperature_C,running_time,motor,errors");
}

QString MonitorLine::csv(const DeviceImage& image, const MonitorDisplay& display,
                         const QDateTime& now) {
    const QStringList fields = {now.toString(Qt::ISODateWithMs),
                                percent(image.Poloha_Proc),
                                display.Edit1,
                                display.Edit2,
                                display.Edit4,
                                display.Edit12,
                                display.Edit5,
                                display.Edit6,
                                display.Edit3,
                                errorBits(image)};
    QStringList quoted;
    for (const QString& field : fields)
        quoted.append(csvField(field));
    return quoted.join(QLatin1Char(','));
}

#include "cli/IdentReport.h"

#include "image/DeviceImage.h"
#include "lang/Lang.h"
#include "params/ParameterCatalogue.h"
#include "params/ServiceSheet.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

namespace {

// JSON keys of the production-data fields 0..12, in field order.
constexpr const char* FieldKeys[ParameterCatalogue::ProductionFields] = {
    "sensor_firmware",        "change_date",          "last_change",
    "electronics_serial",     "electronics_date",     "actuator_serial",
    "actuator_assembly_date", "gearbox_serial",       "gearbox_date",
    "display_int_firmware",   "display_ext_firmware", "display_ed_firmware",
    "fieldbus_firmware",
};

// The variant parameter (B 6) as the unit reported it.
constexpr int VariantIndex = 6;

QString fieldText(const ServiceSheet& sheet, int row) {
    return sheet.cell(ServiceSheet::ProductionGrid, ServiceSheet::TextColumn, row).trimmed();
}

} // namespace

QString IdentReport::text(const ServiceSheet& sheet, const DeviceImage& image,
                          const QString& variantText) {
    QString out;
    for (int row = 1; row <= ParameterCatalogue::ProductionFields; ++row) {
        const int field = ParameterCatalogue::productionFieldAtRow(row);
        if (field < 0) continue;
        out += LangText(ParameterCatalogue::productionField(field).labelKey) +
               QStringLiteral(": ") + fieldText(sheet, row) + QLatin1Char('\n');
    }
    out += LangAddedText(QStringLiteral("CliVarianta")) + QStringLiteral(": ") + variantText +
           QStringLiteral(" (B 6 = ") + QString::number(image.ParB[1][VariantIndex]) +
           QStringLiteral(")\n");
    return out;
}

QByteArray IdentReport::json(const ServiceSheet& sheet, const DeviceImage& image,
                             const QString& device) {
    QJsonObject production;
    for (int field = 0; field < ParameterCatalogue::ProductionFields; ++field)
        production.insert(QLatin1String(FieldKeys[field]),
                          fieldText(sheet, ParameterCatalogue::productionField(field).row));
    QJsonObject root;
    root.insert(QStringLiteral("port"), device);
    root.insert(QStringLiteral("variant"), int(image.ParB[1][VariantIndex]));
    const int variant = image.ParB[1][VariantIndex];
    const QStringList names = ParameterCatalogue::valueListKeys(VariantIndex);
    root.insert(QStringLiteral("variant_name"),
                variant < names.size() ? QJsonValue(names.at(variant)) : QJsonValue());
    root.insert(QStringLiteral("production"), production);
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

#pragma once

#include <QByteArray>
#include <QString>

class ServiceSheet;
struct DeviceImage;

// What `kovr-cli ident` prints: the production data as the service window shows them
// (serial numbers, dates and firmware versions) and the unit's variant.
namespace IdentReport {

// "label: text" lines in the service window's order, the labels in the current language.
QString text(const ServiceSheet& sheet, const DeviceImage& image, const QString& variantText);
// One JSON object with fixed English keys and the same bytes in every language, for scripts:
// the variant's name as the catalogue writes it, null for a variant newer than the tool.
QByteArray json(const ServiceSheet& sheet, const DeviceImage& image, const QString& device);

} // namespace IdentReport

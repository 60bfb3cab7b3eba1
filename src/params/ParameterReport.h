#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

class ServiceSheet;

// The printed parameter report: the production data and all 86 parameters as the service
// window shows them, as lines of text for a fixed-pitch font.
namespace ParameterReport {

// A label with ": " padded to 30 characters and the value, behind eight blanks.
QString itemLine(const QString& label, const QString& value);

// Every line of the report; line 3 carries `now` and the last loaded file's name.
QStringList lines(const ServiceSheet& sheet, const QString& nazevSouboru, const QDateTime& now);

} // namespace ParameterReport

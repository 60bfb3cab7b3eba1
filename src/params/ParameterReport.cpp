#include "params/ParameterReport.h"

#include "lang/Lang.h"
#include "params/ParameterCatalogue.h"
#include "params/ServiceSheet.h"

#include <QLocale>

namespace {

const QString Indent(8, QLatin1Char(' '));
constexpr int LabelWidth = 30;

QString asterisks() {
    return Indent + QString(73, QLatin1Char('*'));
}

} // namespace

namespace ParameterReport {

QString itemLine(const QString& label, const QString& value) {
    return Indent + (label + QStringLiteral(": ")).leftJustified(LabelWidth, QLatin1Char(' ')) +
           value;
}

QStringList lines(const ServiceSheet& sheet, const QString& nazevSouboru, const QDateTime& now) {
    const QLocale locale = QLocale::system();
    QStringList out{
        QString(),
        Indent + QStringLiteral("KOVR - LOMTEK elektronika s.r.o."),
        Indent + locale.toString(now.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
            locale.toString(now.time(), QLocale::LongFormat) + QLatin1Char(' ') + nazevSouboru,
        QString(),
        Indent + LangText(QStringLiteral("Výrobní údaje")),
        asterisks(),
    };
    for (int row = 1; row <= ParameterCatalogue::ProductionFields; ++row)
        out.append(
            itemLine(sheet.cell(ServiceSheet::ProductionGrid, ServiceSheet::LabelColumn, row),
                     sheet.cell(ServiceSheet::ProductionGrid, ServiceSheet::TextColumn, row)));
    out.append(QString());
    out.append(Indent + LangText(QStringLiteral("Parametry")));
    out.append(asterisks());
    const std::pair<int, int> grids[] = {{ServiceSheet::LeftGrid, ParameterCatalogue::LeftRows},
                                         {ServiceSheet::RightGrid, ParameterCatalogue::RightRows}};
    for (const auto& [grid, rows] : grids)
        for (int row = 1; row <= rows; ++row)
            out.append(itemLine(sheet.cell(grid, ServiceSheet::NameColumn, row),
                                sheet.cell(grid, ServiceSheet::ValueColumn, row)));
    return out;
}

} // namespace ParameterReport

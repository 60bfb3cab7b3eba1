#include "params/ValueCheck.h"

#include "files/FileProblem.h"
#include "image/DeviceImage.h"
#include "lang/Lang.h"
#include "params/ParameterCatalogue.h"
#include "params/ParameterFile.h"
#include "params/ServiceSheet.h"

namespace {

QString kindLetter(int kind) {
    return kind == ParameterCatalogue::KindB   ? QStringLiteral("B")
           : kind == ParameterCatalogue::KindW ? QStringLiteral("W")
                                               : QStringLiteral("DW");
}

} // namespace

QList<InvalidValue> invalidValues(const DeviceImage& image, const ServiceSheet& sheet,
                                  bool fromFile, int selection) {
    using namespace ParameterCatalogue;
    QList<InvalidValue> invalid;
    const std::pair<int, int> grids[] = {{ServiceSheet::LeftGrid, LeftRows},
                                         {ServiceSheet::RightGrid, RightRows}};
    for (const auto& [grid, rows] : grids) {
        for (int row = 1; row <= rows; ++row) {
            const ParamRef p = entry(grid, row);
            if (p.kind < 0) continue;
            if (!image.isActive(p.kind, p.index) ||
                (fromFile && !ParameterCatalogue::fromFile(p.kind, p.index, selection)))
                continue;
            const QString text = sheet.cell(grid, ServiceSheet::ValueColumn, row);
            if (!holdsValue(p.kind, text))
                invalid.append({p.kind, p.index, LangText(nameKey(grid, row)), text});
        }
    }
    return invalid;
}

QString invalidValuesText(const QList<InvalidValue>& invalid) {
    QString text = LangAddedText(QStringLiteral("NeplatneHodnoty"));
    for (const InvalidValue& v : invalid) {
        const ParameterCatalogue::ValueRange range = ParameterCatalogue::valueRange(v.kind);
        const QString shown =
            v.text.isEmpty() ? LangAddedText(QStringLiteral("ChybiHodnota")) : u'"' + v.text + u'"';
        // One pass: a typed "%5" in the cell stays as typed.
        text += QStringLiteral("\n%1 %2 %3: %4 (%5..%6)")
                    .arg(kindLetter(v.kind), QString::number(v.index), v.name, shown,
                         QString::number(range.lowest), QString::number(range.highest));
    }
    return text;
}

QString checkParameterFile(const QString& path, int selection) {
    ServiceSheet sheet;
    DeviceImage image;
    QString reason;
    switch (ParameterFile::load(path, sheet, image, false, &reason)) {
    case ParameterFile::Read::Failed: return FileProblem::readFailed(path, reason);
    case ParameterFile::Read::WrongFile: return FileProblem::wrongFile(path);
    case ParameterFile::Read::Loaded: break;
    }
    const QList<InvalidValue> invalid = invalidValues(image, sheet, true, selection);
    if (invalid.isEmpty()) return QString();
    return FileProblem::wrongFile(path, invalidValuesText(invalid));
}

#include "params/ParameterComparison.h"

#include "files/FileProblem.h"
#include "lang/Lang.h"
#include "params/ParameterCatalogue.h"
#include "params/ParameterFile.h"
#include "params/UnitBackup.h"

#include <QRegularExpression>

namespace {

using namespace ParameterCatalogue;

// "Moment pracovní O [%]" -> "Moment pracovní O" and "%".
std::pair<QString, QString> splitUnit(const QString& label) {
    static const QRegularExpression bracket(QStringLiteral("^(.*?)\\s*\\[([^\\]]*)\\]\\s*$"));
    const QRegularExpressionMatch match = bracket.match(label);
    if (!match.hasMatch()) return {label.trimmed(), QString()};
    return {match.captured(1), match.captured(2)};
}

// The value as the set holds it, or nothing for a parameter it lacks.
QString valueOf(const ParameterSet& set, ParamRef p, GridPlace place) {
    if (!set.image().isActive(p.kind, p.index)) return {};
    return set.sheet().cell(place.grid, ServiceSheet::ValueColumn, place.row).trimmed();
}

// The selector's text for a value, where the parameter is chosen from a list.
QString choiceOf(ParamRef p, const QString& value) {
    if (value.isEmpty() || p.kind != KindB || !hasValueList(p.index)) return {};
    bool number = false;
    const qint64 stored = value.toLongLong(&number);
    if (!number) return {};
    const QStringList items = valueListTexts(p.index);
    const int item = itemForValue(p.index, stored);
    return item >= 0 && item < items.size() ? items.at(item) : QString();
}

QString productionTextOf(const ParameterSet& set, int field) {
    return set.sheet()
        .cell(ServiceSheet::ProductionGrid, ServiceSheet::TextColumn, productionField(field).row)
        .trimmed();
}

} // namespace

bool ParameterSet::loadFile(const QString& path, QString* error) {
    m_sheet = std::make_unique<ServiceSheet>();
    m_image = DeviceImage();
    QString reason;
    switch (ParameterFile::load(path, *m_sheet, m_image, false, &reason)) {
    case ParameterFile::Read::Loaded: return true;
    case ParameterFile::Read::WrongFile: *error = FileProblem::wrongFile(path); return false;
    case ParameterFile::Read::Failed: *error = FileProblem::readFailed(path, reason); return false;
    }
    return false;
}

void ParameterSet::takeUnit(const DeviceImage& unit) {
    m_sheet = std::make_unique<ServiceSheet>();
    m_image = unit;
    UnitBackup::fillUnitSheet(unit, *m_sheet);
}

QList<ComparisonRow> compareParameterSets(const ParameterSet& left, const ParameterSet& right) {
    QList<ComparisonRow> rows;
    const std::pair<int, int> grids[] = {{0, LeftRows}, {1, RightRows}};
    for (const auto& [grid, count] : grids) {
        for (int row = 1; row <= count; ++row) {
            const ParamRef p = entry(grid, row);
            if (p.kind < 0) continue;
            const GridPlace place{grid, row};
            ComparisonRow r;
            r.kind = p.kind;
            r.index = p.index;
            std::tie(r.label, r.unit) = splitUnit(LangText(nameKey(grid, row)));
            r.left = valueOf(left, p, place);
            r.right = valueOf(right, p, place);
            r.leftChoice = choiceOf(p, r.left);
            r.rightChoice = choiceOf(p, r.right);
            r.differs = r.left != r.right;
            rows.append(r);
        }
    }
    for (int field = 0; field < ProductionFields; ++field) {
        ComparisonRow r;
        r.index = field;
        r.label = LangText(productionField(field).labelKey);
        r.left = productionTextOf(left, field);
        r.right = productionTextOf(right, field);
        r.differs = r.left != r.right;
        rows.append(r);
    }
    return rows;
}

bool parameterSetsDiffer(const ParameterSet& left, const ParameterSet& right) {
    for (const ComparisonRow& row : compareParameterSets(left, right))
        if (row.differs) return true;
    return false;
}

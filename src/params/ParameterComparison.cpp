#include "params/ParameterComparison.h"

#include "files/FileProblem.h"
#include "lang/Lang.h"
#include "params/ParameterCatalogue.h"
#include "params/ParameterFile.h"
#include "params/UnitBackup.h"

#include <QRegularExpression>
#include <algorithm>

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

QString ComparisonRow::id() const {
    static const char* const kinds[] = {"B", "W", "DW"};
    return kind < 0 ? QStringLiteral("text %1").arg(index)
                    : QStringLiteral("%1 %2").arg(QLatin1String(kinds[kind])).arg(index);
}

QString ComparisonRow::shown(const QString& value, const QString& choice) {
    if (value.isEmpty()) return QStringLiteral("-");
    return choice.isEmpty() ? value : value + QStringLiteral(" (") + choice + u')';
}

namespace {

QString csvField(const QString& text) {
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n')) return text;
    return u'"' + QString(text).replace(QStringLiteral("\""), QStringLiteral("\"\"")) + u'"';
}

} // namespace

QString comparisonCsv(const QList<ComparisonRow>& rows) {
    QString out = QStringLiteral("parameter,label,unit,left,right,left_choice,right_choice\n");
    for (const ComparisonRow& row : rows) {
        QStringList fields;
        for (const QString& field :
             {row.id(), row.label, row.unit, row.left, row.right, row.leftChoice, row.rightChoice})
            fields.append(csvField(field));
        out += fields.join(u',') + u'\n';
    }
    return out;
}

QStringList comparisonReport(const QList<ComparisonRow>& rows, const QString& leftTitle,
                             const QString& rightTitle) {
    // Columns as wide as their longest text, for the report's fixed pitch.
    qsizetype label = 0;
    qsizetype left = 0;
    for (const ComparisonRow& row : rows) {
        label = std::max(label, (row.label + row.unit).size() + 3);
        left = std::max(left, ComparisonRow::shown(row.left, row.leftChoice).size());
    }
    QStringList lines{QStringLiteral("< ") + leftTitle, QStringLiteral("> ") + rightTitle,
                      QString()};
    for (const ComparisonRow& row : rows) {
        const QString name =
            row.unit.isEmpty() ? row.label : row.label + QStringLiteral(" [") + row.unit + u']';
        lines.append(QString(row.differs ? u'*' : u' ') + u' ' + name.leftJustified(label) + u' ' +
                     ComparisonRow::shown(row.left, row.leftChoice).leftJustified(left) +
                     QStringLiteral("  ") + ComparisonRow::shown(row.right, row.rightChoice));
    }
    return lines;
}

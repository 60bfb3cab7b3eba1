#pragma once

#include "image/DeviceImage.h"
#include "params/ServiceSheet.h"

#include <QList>
#include <QString>
#include <memory>

// One parameter set to compare: what a parameter file holds, or what the connected unit holds
// now, as the service window would show it outside write-from-file mode.
class ParameterSet {
public:
    // Reads a parameter file; false with the message `error` (which file, why) when it is none
    // or cannot be read.
    bool loadFile(const QString& path, QString* error);
    // The unit's values (set 1), presence flags and production texts.
    void takeUnit(const DeviceImage& unit);

    const ServiceSheet& sheet() const { return *m_sheet; }
    const DeviceImage& image() const { return m_image; }

private:
    std::unique_ptr<ServiceSheet> m_sheet = std::make_unique<ServiceSheet>();
    DeviceImage m_image;
};

// A row of a comparison: a parameter (left grid's rows, then the right grid's) or a production
// text, with both sides as the service window shows them. An absent parameter has no value.
struct ComparisonRow {
    int kind = -1;  // 0 B, 1 W, 2 DW; -1 for a production text
    int index = -1; // index in its kind, or the production field
    QString label;  // in the chosen language, without its unit of measure
    QString unit;   // the unit of measure of the label's brackets ("%", "mA"…), or empty
    QString left;
    QString right;
    QString leftChoice; // what the parameter's selector shows for the value, where it has one
    QString rightChoice;
    bool differs = false;

    // "B 27", "W 3", "DW 0", "text 5": the row's name in every language.
    QString id() const;
    // A value with what its selector shows, "-" for a parameter the set lacks.
    static QString shown(const QString& value, const QString& choice);
};

// Every parameter and production text of both sets, in the service window's order.
QList<ComparisonRow> compareParameterSets(const ParameterSet& left, const ParameterSet& right);
// Whether any row differs.
bool parameterSetsDiffer(const ParameterSet& left, const ParameterSet& right);

// The rows as CSV: a header line of fixed names (parameter, label, unit, left, right,
// left_choice, right_choice), then one line per row, fields quoted where they need it.
QString comparisonCsv(const QList<ComparisonRow>& rows);
// The rows as the lines of a printed report: the two sides' titles, then one line per row in
// fixed columns, a row that differs marked with '*'.
QStringList comparisonReport(const QList<ComparisonRow>& rows, const QString& leftTitle,
                             const QString& rightTitle);

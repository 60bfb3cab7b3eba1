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
};

// Every parameter and production text of both sets, in the service window's order.
QList<ComparisonRow> compareParameterSets(const ParameterSet& left, const ParameterSet& right);
// Whether any row differs.
bool parameterSetsDiffer(const ParameterSet& left, const ParameterSet& right);

#pragma once

#include <QList>
#include <QString>

struct DeviceImage;
class ServiceSheet;

// A value cell that a write would send but that holds no value of the parameter's width: a text
// that is no integer ("abc", "1e3"), one the width cannot hold ("65537" in a W), or nothing at
// all (a file without the parameter's value). Sent, it would reach the unit as another number
// (1, 0), so the whole write is refused instead, before a byte goes out.
struct InvalidValue {
    int kind;
    int index;
    QString name; // the row's label as the service window shows it
    QString text; // the cell as it stands

    bool operator==(const InvalidValue&) const = default;
};

// The rows of parameters the unit has that a write of all parameters would send, in the order of
// the service window's grids: in write-from-file mode only those the selection of "Zápis ze
// souboru" lets the file write. (A parameter the unit lacks ignores what it is sent.)
QList<InvalidValue> invalidValues(const DeviceImage& image, const ServiceSheet& sheet,
                                  bool fromFile, int selection);

// The message that refuses the write: a line for each value, with the range its kind takes.
QString invalidValuesText(const QList<InvalidValue>& invalid);

// Checks a parameter file before anything is connected or sent: it can be read, it is a
// parameter file, and every parameter it marks present and the selection writes holds a value.
// Empty when the file can be written, otherwise the whole message.
QString checkParameterFile(const QString& path, int selection);

#pragma once

#include <QString>

struct DeviceImage;
class ServiceSheet;
class SheetGrid;

// A parameter file (*.par): the service window's production data and parameter cells with the
// unit's active and error flags, and, for the record only, the live state, active errors and
// error counters at the time of saving.
namespace ParameterFile {

// What the file says of itself in section "Ident", key "System".
inline constexpr char System[] = "KOVR";

// Writes every entry into `path`; sections and keys of an existing file that this save does not
// write are kept. The file is replaced whole or not at all.
bool save(const QString& path, const ServiceSheet& sheet, const DeviceImage& image,
          const SheetGrid& errorGrid, QString* error = nullptr);

enum class Read {
    Loaded,
    WrongFile, // no "Ident"/"System" = "KOVR": nothing changed
    Failed,    // the file could not be read (missing, no regular file, too large): nothing changed
};

// Reads production data, value cells, labels, error marks and the active and error flags. While
// the link runs, a parameter the unit reports absent keeps its flags and cells. `error` says why
// a file could not be read.
Read load(const QString& path, ServiceSheet& sheet, DeviceImage& image, bool linkRunning,
          QString* error = nullptr);

} // namespace ParameterFile

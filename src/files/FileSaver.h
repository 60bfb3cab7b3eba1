#pragma once

#include <QByteArray>
#include <QString>

// The one way the program writes a file (settings, parameter files, backups, exports): the new
// content goes into a temporary file beside the old one, every write, the flush to the disk and
// the close are checked, and only then is the temporary file renamed over the old one. On any
// failure the old file stays as it was, the temporary file is removed and `reason` says why
// (FileProblem). Only regular files are replaced: a device, a FIFO, a folder or a link that
// points nowhere is refused before anything is written. A link to a regular file keeps being a
// link; the file it names is replaced. The replaced file keeps its permissions.
namespace FileSaver {

enum class Fallback {
    None,
    // A folder that refuses a new file but holds a writable file: the file is written in place
    // (its space reserved first, so that a full disk fails before the old content is touched).
    InPlace,
};

// Whether `path` could be saved to: a regular file that may be written, or a name that does not
// exist yet in an existing folder that takes new files. Opens nothing; for the checks made before
// a long job (a read of the whole unit) whose result goes into the file.
bool checkTarget(const QString& path, QString* reason = nullptr);

bool save(const QString& path, const QByteArray& data, QString* reason = nullptr,
          Fallback fallback = Fallback::None);

} // namespace FileSaver

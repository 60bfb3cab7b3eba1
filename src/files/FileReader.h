#pragma once

#include <QByteArray>
#include <QString>

// Reads a whole file the program keeps its data in (settings, parameter files). Only a regular
// file is opened: a device, a FIFO or a socket is refused without being opened, so nothing
// blocks and no device is touched, and a file larger than `limit` is refused without being
// read.
namespace FileReader {

enum class Outcome {
    Read,
    Missing, // no such file (or a link to none): for a settings file, an empty one
    Failed,  // `reason` says why
};

Outcome read(const QString& path, qint64 limit, QByteArray* data, QString* reason = nullptr);

} // namespace FileReader

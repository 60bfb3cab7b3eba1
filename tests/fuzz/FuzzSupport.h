#pragma once

// Shared by the fuzz targets: a property check that stops the run with a finding, a scratch
// folder for the targets that read and write files, and frame checks from the wire helpers.

#include "wire/Frame.h"

#include <QByteArray>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

// A property that does not hold is a finding like a crash: libFuzzer keeps the input.
#define FUZZ_CHECK(condition, ...)                                                                 \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "\nproperty failed: %s\n  at %s:%d\n", #condition, __FILE__,      \
                         __LINE__);                                                                \
            qWarning().noquote() << "" __VA_ARGS__;                                                \
            if (!fuzz::context().isEmpty()) qWarning().noquote() << fuzz::context();               \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

namespace fuzz {

// What the run was doing, printed with a failed property: the inputs as the target read them.
inline QString& context() {
    static QString text;
    return text;
}

// A folder for the files of one run; in memory where the machine offers it, so the file
// targets spend their time parsing rather than on the disk.
inline QString scratchFolder() {
    static QTemporaryDir dir = [] {
        const QString shm = QStringLiteral("/dev/shm");
        return QFileInfo(shm).isWritable()
                   ? QTemporaryDir(shm + QStringLiteral("/kovr-fuzz-XXXXXX"))
                   : QTemporaryDir();
    }();
    if (!dir.isValid()) {
        std::fprintf(stderr, "no scratch folder for the fuzz files\n");
        std::abort();
    }
    return dir.path();
}

inline QString scratchFile(const char* name) {
    return scratchFolder() + QLatin1Char('/') + QString::fromLatin1(name);
}

inline void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write the scratch file %s\n", qPrintable(path));
        std::abort();
    }
}

inline QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool isUpperHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

inline bool isHex(char c) {
    return isUpperHex(c) || (c >= 'a' && c <= 'f');
}

// The checksum field carries the checksum of the rest: two hexadecimal digits (either case)
// naming the same byte that the frame helpers compute.
inline bool checksumFieldRight(QByteArrayView frame) {
    if (frame.size() < 2) return false;
    const QByteArrayView field = frame.last(2);
    if (!isHex(field[0]) || !isHex(field[1])) return false;
    return CRC(frame.first(frame.size() - 2)) == field.toByteArray().toUpper();
}

} // namespace fuzz

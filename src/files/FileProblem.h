#pragma once

#include <QString>

// Why a file could not be read or written, as one sentence in the chosen language: the
// messages put it on the line below "Chyba při zápisu souboru …" or "Chyba při čtení souboru …".
namespace FileProblem {

// What the system said (errno): the usual causes in the dictionary's four languages, any other
// in the system's own words.
QString systemReason(int error);
// A device node, a FIFO or a socket where a file was expected.
QString notRegularFile();
// A folder where a file was expected.
QString isFolder();
// A symbolic link whose file does not exist.
QString danglingLink();
// The folder to write into does not exist or is no folder.
QString missingFolder(const QString& folder);
// More bytes than the kind of file can have.
QString tooLarge(qint64 size, qint64 limit);

// The messages: "Chyba při zápisu souboru " or "Chyba při čtení souboru " with the full path,
// and the reason on a line of its own when there is one.
QString writeFailed(const QString& path, const QString& reason);
QString readFailed(const QString& path, const QString& reason);
// "Chybný soubor " with the full path: a file that is no parameter file, or holds what the unit
// must not receive (`reason`, may be empty).
QString wrongFile(const QString& path, const QString& reason = QString());

} // namespace FileProblem

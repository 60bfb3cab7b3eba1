#pragma once

#include <QLocale>
#include <QString>

// Which kovr.ini a program reads and writes. A file named on the command line wins; else
// kovr.ini of the working directory, the technician's folder with its own settings. Without
// one there, a plain start keeps its settings in the working directory all the same (created
// there at the first save), while a start from the desktop and kovr-cli use kovr.ini of the
// per-user configuration folder ($XDG_CONFIG_HOME/kovr, ~/.config/kovr when unset), so that
// the home folder does not fill with settings.
struct SettingsLocation {
    QString path;        // absolute
    bool exists = false; // the file is there now: its settings count, language included
    bool inUserFolder = false;

    enum class Fallback { WorkingDirectory, UserFolder };
    static SettingsLocation find(const QString& named, const QString& workingDir,
                                 Fallback fallback);
    // kovr.ini of the per-user configuration folder.
    static QString userFile();

    // Makes the folder the file goes in, for the first save; false with `error` when it cannot.
    bool makeFolder(QString* error) const;
};

// The language index of `locale` (cs 0, en 1, pl 2, ru 3); -1 for any other language. The
// default locale is the system's (LANG, LC_ALL…) unless the program set another.
int localeLanguageIndex(const QLocale& locale = QLocale());

// The language of a start without a window of settings to choose it: the file's Lang when the
// file exists, else the system's, else Czech.
int startLanguage(const SettingsLocation& location);

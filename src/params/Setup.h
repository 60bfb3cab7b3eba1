#pragma once

#include <QString>

class IniFile;

// The settings kept between runs in section "Setup" of kovr.ini: COM port, unit address,
// language and the torque test bench. Every field is text, as in the file; the helpers below
// turn Port and Lang into numbers without ever failing.
struct TSetup {
    QString Port = QStringLiteral("1");
    QString Adr = QStringLiteral("1");
    QString Lang = QStringLiteral("0");
    QString Stolice_50_O = QStringLiteral("0");
    QString Stolice_100_O = QStringLiteral("0");
    QString Stolice_50_C = QStringLiteral("0");
    QString Stolice_100_C = QStringLiteral("0");
    QString Stolice_Smysl = QStringLiteral("0");
    QString Zpusob_Kal = QStringLiteral("0");

    // Puts the defaults in, then reads section "Setup" of `path` if the file exists. A key
    // missing from the file gives an empty text (not the default); a Port of "0" becomes "1".
    // False (with `error`, defaults kept) only when the file exists but cannot be read.
    // Making the language current is left to the caller: LangIndex = languageIndex(*this).
    bool load(const QString& path, QString* error = nullptr);

    // Writes the nine keys into section "Setup" of `path`, creating the file if needed and
    // keeping every other line of it. The file is replaced whole or not at all, except in a
    // folder that refuses new files, where a writable file is written in place; false (with
    // `error`) when it could not be written.
    bool save(const QString& path, QString* error = nullptr) const;

    bool operator==(const TSetup&) const = default;
};

// Port as a number; a text that is not a number gives 1 (so does the port the link opens).
int portNumber(const TSetup& setup);

// Lang as a language index; a text that is not a number or is outside 0..3 gives 0 (Czech).
int languageIndex(const TSetup& setup);

// kovr.ini is read by one set of rules in every section, so that the settings and the port
// devices never disagree about the same line. A value is the text after the first '=' of the
// first line of its key in the first section of its name (as IniFile reads it), without the
// blanks around it and without a comment behind it. The comment starts at a ';' or '#' that
// begins the value or follows a blank: "COM1=/dev/ttyUSB0  ; bench adapter" names
// /dev/ttyUSB0. Everything else is taken as written: backslashes are not escapes (a Windows
// device such as \\.\COM12 stays as it is) and commas do not make a list.
QString settingValue(const IniFile& ini, const QString& section, const QString& key);

// Where the comment behind a value of kovr.ini starts in `raw` (a value as IniFile gives it),
// or -1 without one.
qsizetype settingCommentStart(const QString& raw);

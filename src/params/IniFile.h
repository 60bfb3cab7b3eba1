#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// A small INI document that changes only the lines it is told to change. Every other line
// (sections, keys, comments, blank lines, their line ends and bytes) is written back as it was
// read, so the parts of kovr.ini that belong to someone else survive a save untouched.
//
// A value is the text after the first '='; blanks around keys and values are ignored, as the
// usual INI readers do. Lines starting with ';' or '#' are comments. When a section or key
// appears twice, the first one counts.
class IniFile {
public:
    // Settings: kovr.ini — UTF-8, names matched as written, a new file ends its lines with LF,
    // and a folder that refuses a temporary file gets the file written in place.
    // ParameterFile: *.par — values taken to the last blank, one byte per character (Latin-1, so
    // that the unit's bytes 0..255 in production data go through a file unchanged, as older tools
    // wrote them), names matched without regard to case, CR LF in a new file, and the file replaced
    // whole or not at all.
    enum class Format { Settings, ParameterFile };

    explicit IniFile(const QString& path, Format format = Format::Settings);

    QString path() const { return m_path; }

    // Far more than kovr.ini or a parameter file (about 2.4 KB) ever holds: a bigger file is
    // something else and is refused without being read.
    static constexpr qint64 MaximumSize = 1024 * 1024;

    // Reads the file. A missing file is an empty document (true); a file that exists but
    // cannot be read (a folder or a device of that name, no permission, larger than
    // MaximumSize) gives false and `error`.
    bool load(QString* error = nullptr);
    // True when load() found the file.
    bool existed() const { return m_existed; }

    bool contains(const QString& section, const QString& key) const;
    // The value of `key` in `section`, or `fallback` when there is none.
    QString value(const QString& section, const QString& key,
                  const QString& fallback = QString()) const;
    // Keys of `section` in file order.
    QStringList keys(const QString& section) const;

    // Replaces the value in place, keeping the key and the blanks after '=' as written (a line
    // whose value is already `value` is left alone), or adds the key behind the section's
    // last key, or adds the section at the end. An entry is one line: a line break in a name
    // or value (LF, CR LF, a CR that would end the line) is written as '?'.
    void setValue(const QString& section, const QString& key, const QString& value);

    // Writes the whole document or nothing (FileSaver): a temporary file in the same folder is
    // renamed over the old one only once it is complete. A folder that refuses the temporary file
    // but holds a writable file gets the file written in place instead. Creates the file when
    // missing (and the folder allows it).
    bool save(QString* error = nullptr) const;

private:
    enum class Kind { Other, Section, Key };
    struct Parsed {
        Kind kind = Kind::Other;
        QString name;       // section name or key, as written
        QString match;      // the name as lookups compare it: case-folded in a parameter file
        int valueStart = 0; // byte offset of the value's first non-blank (keys)
    };
    // A line with what it says, worked out once when the line is read or changed: a lookup
    // then only compares names, and a save of a few hundred entries stays quick.
    struct Line {
        QByteArray text; // without its line end
        QByteArray end;  // "\r\n", "\n"; for a last line "\r" or empty
        Parsed parsed;
    };

    Parsed parse(const QByteArray& text) const;
    // A name as lines keep it for matching.
    QString matchName(const QString& name) const;
    QString decode(const QByteArray& bytes) const;
    QByteArray encode(const QString& text) const;
    QByteArray encodeValue(const QString& value, const QByteArray& lineEnd) const;
    // Index of the header line of `section`, or -1.
    int sectionLine(const QString& section) const;
    // One past the last line that belongs to the section whose header is at `header`.
    int sectionEnd(int header) const;
    int keyLine(const QString& section, const QString& key) const;
    void insertLine(int at, const QByteArray& text);

    QString m_path;
    Format m_format;
    QList<Line> m_lines;
    QByteArray m_newLineEnd = "\n";
    bool m_bom = false;
    bool m_existed = false;
};

#include "params/IniFile.h"

#include "files/FileReader.h"
#include "files/FileSaver.h"
#include "wire/UnitBytes.h"

#include <QStringDecoder>

namespace {

const QByteArray Bom("\xEF\xBB\xBF");

} // namespace

IniFile::IniFile(const QString& path, Format format)
    : m_path(path)
    , m_format(format)
    , m_newLineEnd(format == Format::ParameterFile ? "\r\n" : "\n") {}

QString IniFile::decode(const QByteArray& bytes) const {
    if (m_format == Format::ParameterFile) return QString::fromLatin1(bytes);
    // A byte-order mark means something only at the very start of the file, which load() takes
    // off; in a name or value U+FEFF is a character like any other (fromUtf8 would drop it).
    // Stateless: an incomplete sequence at the end is a character (U+FFFD) of the text, not
    // bytes held back for a next call that never comes.
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::ConvertInitialBom | QStringDecoder::Flag::Stateless);
    return utf8(bytes);
}

QByteArray IniFile::encode(const QString& text) const {
    QByteArray bytes;
    if (m_format == Format::ParameterFile) {
        bytes = unitBytes(text);
    } else {
        bytes = text.toUtf8();
    }
    // Nor has a line break (a unit's production text may hold the bytes): it would end the
    // entry, and what follows it would be read as lines of their own, sections and keys. A CR
    // on its own is a character, as load() reads it.
    for (qsizetype i = 0; i < bytes.size(); ++i)
        if (bytes[i] == '\n' || (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n'))
            bytes[i] = '?';
    return bytes;
}

QByteArray IniFile::encodeValue(const QString& value, const QByteArray& lineEnd) const {
    QByteArray bytes = encode(value);
    // A CR last in the value would join a LF line end into a CR LF, or end the file's last line.
    if (bytes.endsWith('\r') && lineEnd != "\r\n") bytes.back() = '?';
    return bytes;
}

QString IniFile::matchName(const QString& name) const {
    return m_format == Format::ParameterFile ? name.toCaseFolded() : name;
}

bool IniFile::load(QString* error) {
    m_lines.clear();
    m_newLineEnd = m_format == Format::ParameterFile ? "\r\n" : "\n";
    m_bom = false;
    m_existed = false;
    QByteArray data;
    switch (FileReader::read(m_path, MaximumSize, &data, error)) {
    case FileReader::Outcome::Missing: return true;
    case FileReader::Outcome::Failed: return false;
    case FileReader::Outcome::Read: break;
    }
    m_existed = true;
    if (data.startsWith(Bom)) {
        m_bom = true;
        data.remove(0, Bom.size());
    }
    bool endSeen = false;
    qsizetype from = 0;
    while (from < data.size()) {
        const qsizetype lf = data.indexOf('\n', from);
        Line line;
        if (lf < 0) {
            line.text = data.mid(from);
            from = data.size();
            // A file cut short behind the CR of its last CR LF: the CR ends the line, it is no
            // character of a value (a line added behind it would make it a CR LF).
            if (line.text.endsWith('\r')) {
                line.text.chop(1);
                line.end = "\r";
            }
        } else {
            const bool cr = lf > from && data.at(lf - 1) == '\r';
            line.text = data.mid(from, lf - from - (cr ? 1 : 0));
            line.end = cr ? QByteArray("\r\n") : QByteArray("\n");
            from = lf + 1;
            // Lines we add follow the file's own convention.
            if (!endSeen) m_newLineEnd = line.end;
            endSeen = true;
        }
        line.parsed = parse(line.text);
        m_lines.append(line);
    }
    return true;
}

IniFile::Parsed IniFile::parse(const QByteArray& text) const {
    Parsed parsed;
    const QByteArray trimmed = text.trimmed();
    if (trimmed.isEmpty() || trimmed.startsWith(';') || trimmed.startsWith('#')) return parsed;
    if (trimmed.startsWith('[')) {
        const qsizetype close = trimmed.indexOf(']');
        if (close > 0) {
            parsed.kind = Kind::Section;
            parsed.name = decode(trimmed.mid(1, close - 1)).trimmed();
            parsed.match = matchName(parsed.name);
        }
        return parsed;
    }
    const qsizetype eq = text.indexOf('=');
    if (eq < 0) return parsed;
    const QString key = decode(text.left(eq)).trimmed();
    if (key.isEmpty()) return parsed;
    parsed.kind = Kind::Key;
    parsed.name = key;
    parsed.match = matchName(key);
    // The value starts behind the blanks that follow '=', which the rewrite keeps.
    qsizetype start = eq + 1;
    // A parameter file's values are the unit's texts to the last blank.
    while (m_format == Format::Settings && start < text.size() &&
           (text.at(start) == ' ' || text.at(start) == '\t'))
        ++start;
    parsed.valueStart = int(start);
    return parsed;
}

int IniFile::sectionLine(const QString& section) const {
    const QString name = matchName(section);
    for (int i = 0; i < m_lines.size(); ++i) {
        const Parsed& p = m_lines.at(i).parsed;
        if (p.kind == Kind::Section && p.match == name) return i;
    }
    return -1;
}

int IniFile::sectionEnd(int header) const {
    for (int i = header + 1; i < m_lines.size(); ++i)
        if (m_lines.at(i).parsed.kind == Kind::Section) return i;
    return int(m_lines.size());
}

int IniFile::keyLine(const QString& section, const QString& key) const {
    const int header = sectionLine(section);
    if (header < 0) return -1;
    const QString name = matchName(key);
    const int end = sectionEnd(header);
    for (int i = header + 1; i < end; ++i) {
        const Parsed& p = m_lines.at(i).parsed;
        if (p.kind == Kind::Key && p.match == name) return i;
    }
    return -1;
}

bool IniFile::contains(const QString& section, const QString& key) const {
    return keyLine(section, key) >= 0;
}

QString IniFile::value(const QString& section, const QString& key, const QString& fallback) const {
    const int at = keyLine(section, key);
    if (at < 0) return fallback;
    const Line& line = m_lines.at(at);
    const QString raw = decode(line.text.mid(line.parsed.valueStart));
    return m_format == Format::Settings ? raw.trimmed() : raw;
}

QStringList IniFile::keys(const QString& section) const {
    QStringList result;
    const int header = sectionLine(section);
    if (header < 0) return result;
    const int end = sectionEnd(header);
    for (int i = header + 1; i < end; ++i) {
        const Parsed& p = m_lines.at(i).parsed;
        if (p.kind == Kind::Key) result.append(p.name);
    }
    return result;
}

void IniFile::insertLine(int at, const QByteArray& text) {
    // A last line without its own end gets one, so the new line starts a line of its own.
    if (at == m_lines.size() && !m_lines.isEmpty()) {
        QByteArray& end = m_lines.last().end;
        if (end.isEmpty())
            end = m_newLineEnd;
        else if (end == "\r")
            end = "\r\n";
    }
    m_lines.insert(at, Line{text, m_newLineEnd, parse(text)});
}

void IniFile::setValue(const QString& section, const QString& key, const QString& value) {
    const int at = keyLine(section, key);
    const QByteArray encoded = encodeValue(value, at >= 0 ? m_lines.at(at).end : m_newLineEnd);
    if (at >= 0) {
        Line& line = m_lines[at];
        const int valueStart = line.parsed.valueStart;
        // Keep the key as it was written (spacing included) and touch only the value.
        const QByteArray old = line.text.mid(valueStart);
        const QByteArray current = m_format == Format::Settings ? old.trimmed() : old;
        // A line that already reads as `value` keeps its bytes, even those that do not decode
        // (a broken UTF-8 sequence reads as U+FFFD and would be written back as its encoding).
        if (current != encoded && decode(current) != value) {
            line.text = line.text.left(valueStart) + encoded;
            line.parsed = parse(line.text);
        }
        return;
    }
    const QByteArray line = encode(key) + '=' + encoded;
    int header = sectionLine(section);
    if (header < 0) {
        // A blank line keeps a hand-edited settings file readable; a parameter file has its
        // sections one after the other.
        if (m_format == Format::Settings && !m_lines.isEmpty() &&
            !m_lines.last().text.trimmed().isEmpty())
            insertLine(int(m_lines.size()), QByteArray());
        insertLine(int(m_lines.size()), '[' + encode(section) + ']');
        insertLine(int(m_lines.size()), line);
        return;
    }
    // Behind the section's last key, so blank lines and comments that lead into the next
    // section stay in front of it.
    int after = header;
    const int end = sectionEnd(header);
    for (int i = header + 1; i < end; ++i)
        if (m_lines.at(i).parsed.kind == Kind::Key) after = i;
    insertLine(after + 1, line);
}

bool IniFile::save(QString* error) const {
    QByteArray data;
    if (m_bom) data += Bom;
    for (const Line& line : m_lines)
        data += line.text + line.end;
    // A shared or managed folder may let us change the file but not create one beside it:
    // then the file is written in place rather than the settings lost. Wherever the folder
    // takes the temporary file, the file is still replaced whole.
    return FileSaver::save(m_path, data, error,
                           m_format == Format::Settings ? FileSaver::Fallback::InPlace
                                                        : FileSaver::Fallback::None);
}

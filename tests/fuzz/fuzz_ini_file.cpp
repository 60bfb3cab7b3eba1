// The line-keeping INI class on any file, in both of its forms (kovr.ini and *.par), with a
// few values set in it.
//
// Properties: a file read and saved unchanged is written back byte for byte; setting values
// changes only the lines of the keys set (or adds lines for new keys and sections), leaves the
// value of every other key as it was, and a value set reads back as set, before and after a
// save, whenever the form can hold it (one line; in kovr.ini no blanks around it; in a *.par
// file one byte per character).

#include "FuzzSupport.h"
#include "params/IniFile.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QStringDecoder>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

using Format = IniFile::Format;
const QByteArray Bom("\xEF\xBB\xBF");

struct Line {
    QByteArray text;
    QByteArray end;
    bool operator==(const Line&) const = default;
};

QList<Line> linesOf(QByteArray data) {
    if (data.startsWith(Bom)) data.remove(0, Bom.size());
    QList<Line> lines;
    qsizetype from = 0;
    while (from < data.size()) {
        const qsizetype lf = data.indexOf('\n', from);
        if (lf < 0) {
            Line last{data.mid(from), {}};
            if (last.text.endsWith('\r')) {
                last.text.chop(1);
                last.end = "\r";
            }
            lines.append(last);
            break;
        }
        const bool cr = lf > from && data.at(lf - 1) == '\r';
        lines.append({data.mid(from, lf - from - (cr ? 1 : 0)), cr ? "\r\n" : "\n"});
        from = lf + 1;
    }
    return lines;
}

QString decode(Format format, const QByteArray& bytes) {
    if (format == Format::ParameterFile) return QString::fromLatin1(bytes);
    // Only the file's first bytes can be its byte-order mark: inside, U+FEFF is a character.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return utf8(bytes);
}

// Names of the sections the file has, as candidates for the values set.
QStringList sectionsOf(Format format, const QList<Line>& lines) {
    QStringList names;
    for (const Line& line : lines) {
        const QByteArray t = line.text.trimmed();
        const qsizetype close = t.indexOf(']');
        if (t.startsWith('[') && close > 0)
            names.append(decode(format, t.mid(1, close - 1)).trimmed());
    }
    return names;
}

bool fitsForm(Format format, const QString& text) {
    if (format == Format::ParameterFile)
        return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() <= 0xFF; });
    return QStringView(text).isValidUtf16();
}

// The program's own section and key names: one line, no blanks around them, none of the
// characters that make a line something else.
bool isName(Format format, const QString& name, bool key) {
    if (name.isEmpty() || name != name.trimmed() || !fitsForm(format, name)) return false;
    if (name.contains(QLatin1Char('\n')) || name.contains(QLatin1Char('\r'))) return false;
    if (!key) return !name.contains(QLatin1Char(']'));
    return !name.contains(QLatin1Char('=')) && !name.startsWith(QLatin1Char('[')) &&
           !name.startsWith(QLatin1Char(';')) && !name.startsWith(QLatin1Char('#'));
}

// What the form can hold, so a value set reads back as set.
bool holdsValue(Format format, const QString& value) {
    if (!fitsForm(format, value)) return false;
    if (value.contains(QLatin1Char('\n')) || value.contains(QLatin1Char('\r'))) return false;
    return format == Format::ParameterFile || value == value.trimmed();
}

QString text(FuzzedDataProvider& in, Format format, size_t maxBytes) {
    const std::string bytes = in.ConsumeRandomLengthString(maxBytes);
    const QByteArray raw(bytes.data(), qsizetype(bytes.size()));
    if (format == Format::ParameterFile) return QString::fromLatin1(raw);
    // Any UTF-16, lone surrogates included: the settings come from the program's own strings.
    if (in.ConsumeBool()) return decode(format, raw);
    QString units(raw.size() / 2, Qt::Uninitialized);
    std::memcpy(units.data(), raw.constData(), size_t(units.size()) * sizeof(QChar));
    return units;
}

QString pick(FuzzedDataProvider& in, const QStringList& known, Format format) {
    if (!known.isEmpty() && in.ConsumeBool())
        return known.at(in.ConsumeIntegralInRange<qsizetype>(0, known.size() - 1));
    return text(in, format, 12);
}

QString hex(const QString& text) {
    return QString::fromLatin1(
        QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2).toHex(' '));
}

struct Edit {
    QString section, key, value;
    bool newKey = false, newSection = false;
};

bool sameName(Format format, const QString& a, const QString& b) {
    return a.compare(b, format == Format::ParameterFile ? Qt::CaseInsensitive
                                                        : Qt::CaseSensitive) == 0;
}

// Greedy walk: every line of the old file stands in the new one in order, either unchanged, or
// as the line of a key set (same text up to '=', same line end), or, for a last line without
// its end, with the file's line end. New lines are only those of new keys and sections.
void checkLinesKept(const QList<Line>& before, const QList<Line>& after,
                    const std::vector<Edit>& edits) {
    int replacements = 0, insertions = 0;
    int maxInsertions = 0;
    for (const Edit& e : edits)
        maxInsertions += e.newSection ? 3 : e.newKey ? 1 : 0;
    qsizetype j = 0;
    for (qsizetype i = 0; i < before.size(); ++i) {
        const Line& old = before.at(i);
        for (;;) {
            FUZZ_CHECK(j < after.size(), << "line" << i << "lost:" << old.text);
            const Line& now = after.at(j);
            const qsizetype eq = old.text.indexOf('=');
            // A last line without its end (or with only its CR) gets one when a line is added
            // behind it.
            const bool endKept = now.end == old.end ||
                                 (i == before.size() - 1 && (old.end.isEmpty() || old.end == "\r"));
            const bool sameLine = endKept && now.text == old.text;
            const bool keyLineSet = eq >= 0 && endKept &&
                                    now.text.left(eq + 1) == old.text.left(eq + 1) &&
                                    replacements < int(edits.size());
            ++j;
            if (sameLine) break;
            if (keyLineSet) {
                ++replacements;
                break;
            }
            ++insertions;
            FUZZ_CHECK(insertions <= maxInsertions,
                       << "line" << i << "changed:" << old.text << "->" << now.text);
        }
    }
    insertions += int(after.size() - j);
    FUZZ_CHECK(insertions <= maxInsertions,
               << insertions << "lines added," << maxInsertions << "expected at most");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const Format format = in.ConsumeBool() ? Format::ParameterFile : Format::Settings;
    const int editCount = in.ConsumeIntegralInRange(0, 3);
    const std::string recipe = in.ConsumeBytesAsString(in.ConsumeIntegralInRange(0, 200));
    const std::string fileBytes = in.ConsumeRemainingBytesAsString();
    const QByteArray original(fileBytes.data(), qsizetype(fileBytes.size()));

    fuzz::context() = QStringLiteral("file %1\n").arg(QString::fromLatin1(original.toHex()));
    const QString path = fuzz::scratchFile("fuzz.ini");
    fuzz::writeFile(path, original);
    IniFile ini(path, format);
    FUZZ_CHECK(ini.load());
    FUZZ_CHECK(ini.save());
    FUZZ_CHECK(fuzz::readFile(path) == original, << "saved unchanged, but differs");

    // Every key's value before the edits.
    const QList<Line> before = linesOf(original);
    const QStringList sections = sectionsOf(format, before);
    struct Entry {
        QString section, key, value;
    };
    std::vector<Entry> entries;
    for (const QString& section : sections)
        for (const QString& key : ini.keys(section))
            entries.push_back({section, key, ini.value(section, key)});

    FuzzedDataProvider edits(reinterpret_cast<const uint8_t*>(recipe.data()), recipe.size());
    std::vector<Edit> done;
    for (int n = 0; n < editCount; ++n) {
        Edit e;
        e.section = pick(edits, sections, format);
        if (!isName(format, e.section, false)) continue;
        e.key = pick(edits, ini.keys(e.section), format);
        if (!isName(format, e.key, true)) continue;
        e.value = text(edits, format, 40);
        e.newKey = !ini.contains(e.section, e.key);
        e.newSection = e.newKey && ini.keys(e.section).isEmpty();
        fuzz::context() +=
            QStringLiteral("set [%1] %2 = %3\n").arg(hex(e.section), hex(e.key), hex(e.value));
        ini.setValue(e.section, e.key, e.value);
        if (holdsValue(format, e.value))
            FUZZ_CHECK(ini.value(e.section, e.key) == e.value, << e.section << e.key << e.value
                                                               << "read back as"
                                                               << ini.value(e.section, e.key));
        done.push_back(e);
    }
    FUZZ_CHECK(ini.save());
    const QByteArray saved = fuzz::readFile(path);
    FUZZ_CHECK(saved.startsWith(Bom) == original.startsWith(Bom));
    fuzz::context() += QStringLiteral("saved %1\n").arg(QString::fromLatin1(saved.toHex()));
    checkLinesKept(before, linesOf(saved), done);

    IniFile reread(path, format);
    FUZZ_CHECK(reread.load());
    for (size_t n = 0; n < done.size(); ++n) {
        const Edit& e = done[n];
        const bool setLater =
            std::any_of(done.begin() + qsizetype(n) + 1, done.end(), [&](const Edit& l) {
                return sameName(format, l.section, e.section) && sameName(format, l.key, e.key);
            });
        if (!setLater && holdsValue(format, e.value))
            FUZZ_CHECK(reread.value(e.section, e.key) == e.value,
                       << e.section << e.key << e.value << "read back after a save as"
                       << reread.value(e.section, e.key));
    }
    for (const Entry& entry : entries) {
        const bool edited = std::any_of(done.begin(), done.end(), [&](const Edit& e) {
            return sameName(format, e.section, entry.section) && sameName(format, e.key, entry.key);
        });
        if (!edited)
            FUZZ_CHECK(reread.value(entry.section, entry.key) == entry.value,
                       << entry.section << entry.key << "was" << entry.value << "now"
                       << reread.value(entry.section, entry.key));
    }
    return 0;
}

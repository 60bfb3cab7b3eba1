#include "params/Setup.h"

#include "params/IniFile.h"

#include <array>

namespace {

const QString SetupSection = QStringLiteral("Setup");

struct Field {
    QString key;
    QString TSetup::*member;
};

// The keys in the order they stand in the file.
const std::array<Field, 9>& fields() {
    static const std::array<Field, 9> list{{
        {QStringLiteral("Port"), &TSetup::Port},
        {QStringLiteral("Adr"), &TSetup::Adr},
        {QStringLiteral("Lang"), &TSetup::Lang},
        {QStringLiteral("Stolice_50_O"), &TSetup::Stolice_50_O},
        {QStringLiteral("Stolice_100_O"), &TSetup::Stolice_100_O},
        {QStringLiteral("Stolice_50_C"), &TSetup::Stolice_50_C},
        {QStringLiteral("Stolice_100_C"), &TSetup::Stolice_100_C},
        {QStringLiteral("Stolice_Smysl"), &TSetup::Stolice_Smysl},
        {QStringLiteral("Zpusob_Kal"), &TSetup::Zpusob_Kal},
    }};
    return list;
}

} // namespace

bool TSetup::load(const QString& path, QString* error) {
    *this = TSetup();
    IniFile ini(path);
    if (!ini.load(error)) return false;
    if (!ini.existed()) return true;
    for (const Field& field : fields())
        this->*field.member = settingValue(ini, SetupSection, field.key);
    // Port 0 is what a dialog without a selected port stores; it means the first port.
    if (Port == QStringLiteral("0")) Port = QStringLiteral("1");
    return true;
}

bool TSetup::save(const QString& path, QString* error) const {
    IniFile ini(path);
    // A file we cannot read is not overwritten: its other sections would be lost.
    if (!ini.load(error)) return false;
    for (const Field& field : fields()) {
        const QString& text = this->*field.member;
        // A comment behind the value is the technician's: it stays on its line, and a line
        // whose value did not change is left as it was.
        const QString raw = ini.value(SetupSection, field.key);
        const qsizetype comment = settingCommentStart(raw);
        if (comment < 0) {
            ini.setValue(SetupSection, field.key, text);
            continue;
        }
        qsizetype valueEnd = comment;
        while (valueEnd > 0 && raw.at(valueEnd - 1).isSpace())
            --valueEnd;
        if (raw.left(valueEnd) == text) continue;
        QString tail = raw.mid(valueEnd);
        // "Adr=; none" given a value: the comment needs its blank to stay a comment.
        if (!text.isEmpty() && !tail.front().isSpace()) tail.prepend(u' ');
        ini.setValue(SetupSection, field.key, text + tail);
    }
    return ini.save(error);
}

qsizetype settingCommentStart(const QString& raw) {
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw.at(i);
        if ((c == u';' || c == u'#') && (i == 0 || raw.at(i - 1).isSpace())) return i;
    }
    return -1;
}

QString settingValue(const IniFile& ini, const QString& section, const QString& key) {
    const QString raw = ini.value(section, key);
    const qsizetype comment = settingCommentStart(raw);
    return comment < 0 ? raw : raw.left(comment).trimmed();
}

int portNumber(const TSetup& setup) {
    bool ok = false;
    const int number = setup.Port.trimmed().toInt(&ok);
    return ok ? number : 1;
}

int languageIndex(const TSetup& setup) {
    bool ok = false;
    const int index = setup.Lang.trimmed().toInt(&ok);
    return ok && index >= 0 && index <= 3 ? index : 0;
}

// The settings loader on any kovr.ini, and the settings saved into it.
//
// Properties: whatever the file holds, the port and language numbers stay in range, and
// settings loaded, saved and loaded again are the settings loaded (a second save changes no
// byte); settings saved into any file load back as saved where a line can hold them; the other
// sections of the file keep their values.

#include "FuzzSupport.h"
#include "params/IniFile.h"
#include "params/Setup.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QStringDecoder>

#include <array>

namespace {

std::array<QString*, 9> fieldsOf(TSetup& s) {
    return {&s.Port,         &s.Adr,           &s.Lang,          &s.Stolice_50_O, &s.Stolice_100_O,
            &s.Stolice_50_C, &s.Stolice_100_C, &s.Stolice_Smysl, &s.Zpusob_Kal};
}

QString describe(TSetup s) {
    QStringList texts;
    for (QString* field : fieldsOf(s))
        texts.append(QString::fromLatin1(field->toUtf8().toHex()));
    return texts.join(QLatin1Char(' '));
}

// A line holds the text as typed: one line, no blanks around it, nothing that reads as a
// comment behind the value.
bool lineHolds(const QString& text) {
    if (text != text.trimmed() || text.contains(QLatin1Char('\n')) ||
        text.contains(QLatin1Char('\r')) || !QStringView(text).isValidUtf16())
        return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if ((c == QLatin1Char(';') || c == QLatin1Char('#')) &&
            (i == 0 || text.at(i - 1).isSpace()))
            return false;
    }
    return true;
}

// Every key of every section but "Setup", with its value.
QStringList otherEntries(const QString& path, const QByteArray& bytes) {
    IniFile ini(path);
    if (!ini.load()) return {QStringLiteral("<unreadable>")};
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::ConvertInitialBom | QStringDecoder::Flag::Stateless);
    QStringList entries;
    for (const QByteArray& line : bytes.split('\n')) {
        const QByteArray t = line.trimmed();
        const qsizetype close = t.indexOf(']');
        if (!t.startsWith('[') || close <= 0) continue;
        const QString section = QString(utf8(t.mid(1, close - 1))).trimmed();
        if (section == QLatin1String("Setup")) continue;
        for (const QString& key : ini.keys(section))
            entries.append(section + QLatin1Char('/') + key + QLatin1Char('=') +
                           ini.value(section, key));
    }
    return entries;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const bool saveOwn = in.ConsumeBool();
    TSetup own;
    if (saveOwn)
        for (QString* field : fieldsOf(own)) {
            const std::string text = in.ConsumeRandomLengthString(12);
            *field = QString::fromUtf8(text.data(), qsizetype(text.size()));
        }
    const std::string fileBytes = in.ConsumeRemainingBytesAsString();
    const QByteArray original(fileBytes.data(), qsizetype(fileBytes.size()));
    fuzz::context() = QStringLiteral("file %1\n").arg(QString::fromLatin1(original.toHex()));

    const QString path = fuzz::scratchFile("kovr.ini");
    fuzz::writeFile(path, original);
    const QStringList others = otherEntries(path, original);

    TSetup loaded;
    FUZZ_CHECK(loaded.load(path));
    const int port = portNumber(loaded);
    const int lang = languageIndex(loaded);
    FUZZ_CHECK(lang >= 0 && lang <= 3, << lang);
    FUZZ_CHECK(loaded.Port != QLatin1String("0") &&
                   (port != 0 || loaded.Port.trimmed() != QLatin1String("0")),
               << port);

    const TSetup saved = saveOwn ? own : loaded;
    FUZZ_CHECK(saved.save(path));
    const QByteArray once = fuzz::readFile(path);
    TSetup reloaded;
    FUZZ_CHECK(reloaded.load(path));
    if (saveOwn) {
        fuzz::context() += QStringLiteral("saved %1\n").arg(describe(own));
        TSetup expected = own;
        if (expected.Port == QLatin1String("0")) expected.Port = QStringLiteral("1");
        auto want = fieldsOf(expected);
        auto got = fieldsOf(reloaded);
        for (size_t i = 0; i < want.size(); ++i)
            if (lineHolds(*want[i]))
                FUZZ_CHECK(*got[i] == *want[i],
                           << "field" << i << *want[i] << "loaded as" << *got[i]);
    } else {
        FUZZ_CHECK(reloaded == loaded,
                   << describe(loaded) << "loaded again as" << describe(reloaded));
        FUZZ_CHECK(reloaded.save(path));
        FUZZ_CHECK(fuzz::readFile(path) == once, << "a second save changed the file");
    }
    FUZZ_CHECK(otherEntries(path, fuzz::readFile(path)) == others,
               << others << "now" << otherEntries(path, fuzz::readFile(path)));
    return 0;
}

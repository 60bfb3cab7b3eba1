#include "params/Setup.h"

#include "params/IniFile.h"

#include <array>

namespace {

const QString Section = QStringLiteral("Setup");

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
        this->*field.member = ini.value(Section, field.key);
    // Port 0 is what a dialog without a selected port stores; it means the first port.
    if (Port == QStringLiteral("0")) Port = QStringLiteral("1");
    return true;
}

bool TSetup::save(const QString& path, QString* error) const {
    IniFile ini(path);
    // A file we cannot read is not overwritten: its other sections would be lost.
    if (!ini.load(error)) return false;
    for (const Field& field : fields())
        ini.setValue(Section, field.key, this->*field.member);
    return ini.save(error);
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

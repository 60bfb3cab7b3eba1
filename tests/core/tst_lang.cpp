#include "lang/Lang.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

namespace {

constexpr int KeyCount = 462;
constexpr int FirstBlockSize = 337;

// Keys whose text is the same in every language: product names, units, codes and the
// markings printed on the actuator.
const QStringList& invariantKeys() {
    static const QStringList keys{QStringLiteral("napisChybySafe"),
                                  QStringLiteral("napisChybyEEPROM"),
                                  QStringLiteral("napisChybyRAM"),
                                  QStringLiteral("napisChybyCAN"),
                                  QStringLiteral("napisChybyROM"),
                                  QStringLiteral("CPT4"),
                                  QStringLiteral("CPT20"),
                                  QStringLiteral("tlacitkoP"),
                                  QStringLiteral("tlacitkoO"),
                                  QStringLiteral("tlacitkoC"),
                                  QStringLiteral("I1"),
                                  QStringLiteral("V"),
                                  QStringLiteral("U"),
                                  QStringLiteral("50  %"),
                                  QStringLiteral("60  %"),
                                  QStringLiteral("70  %"),
                                  QStringLiteral("80  %"),
                                  QStringLiteral("90  %"),
                                  QStringLiteral("100 %"),
                                  QStringLiteral("4-20 mA"),
                                  QStringLiteral("20-4 mA"),
                                  QStringLiteral("0-20 mA"),
                                  QStringLiteral("20-0 mA"),
                                  QStringLiteral("0 V"),
                                  QStringLiteral("230 V"),
                                  QStringLiteral("SAFE"),
                                  QStringLiteral("2P"),
                                  QStringLiteral("2P SAFE"),
                                  QStringLiteral("KOVR.ED"),
                                  QStringLiteral("KOVR.ED CONTROL"),
                                  QStringLiteral("KOVR"),
                                  QStringLiteral("KOVR CONTROL"),
                                  QStringLiteral("KOVR FIELDBUS"),
                                  QStringLiteral("100%"),
                                  QStringLiteral("50-100%"),
                                  QStringLiteral("Česky"),
                                  QStringLiteral("English"),
                                  QStringLiteral("Polski"),
                                  QStringLiteral("OCF"),
                                  QStringLiteral("COF"),
                                  QStringLiteral("LIN"),
                                  QStringLiteral("MagINC"),
                                  QStringLiteral("MagDEC"),
                                  QStringLiteral("RUN"),
                                  QStringLiteral("STOP")};
    return keys;
}

// Keys whose texts are empty in every language.
QStringList emptyKeys() {
    QStringList keys{QStringLiteral("napisChyby0"), QStringLiteral("napisChyby3"),
                     QStringLiteral("napisChyby5"), QStringLiteral("kalMoment0"),
                     QStringLiteral("kalibrSnimac0")};
    for (int i = 34; i <= 40; ++i)
        keys << QStringLiteral("napisChyby%1").arg(i);
    return keys;
}

// Status texts of the gearbox calibration: Czech in the Czech, English and Polish columns.
bool isSensorCalibrationKey(const QString& key) {
    return key.startsWith(QLatin1String("kalibrSnimac")) ||
           key.startsWith(QLatin1String("kalSnimac"));
}

bool hasCyrillic(const QString& text) {
    for (const QChar c : text)
        if (c.unicode() >= 0x0400 && c.unicode() <= 0x04FF) return true;
    return false;
}

bool hasCzechOnlyLetter(const QString& text) {
    static const QString czech = QStringLiteral("ěščřžýáíéůúťďňĚŠČŘŽÝÁÍÉŮÚŤĎŇ");
    for (const QChar c : text)
        if (czech.contains(c)) return true;
    return false;
}

} // namespace

class TestLang : public QObject {
    Q_OBJECT

private slots:
    void init() { LangIndex = 0; }
    void cleanup() { LangIndex = 0; }

    void registrationOrder();
    void tableRegistersEveryKeyOnce();
    void everyKeyHasFourTexts();
    void bindingTexts_data();
    void bindingTexts();
    void secondBlockIsKeyedByCzech();
    void emptyEntries();
    void sensorCalibrationTranslatesOnlyRussian();
    void translationsAreNotCopiesOfCzech();
    void missingKeyOrLanguageFallsBackToKey_data();
    void missingKeyOrLanguageFallsBackToKey();
    void keysLookedUpByCodeExist();
    void additionsApart();
};

void TestLang::registrationOrder() {
    const QStringList keys = LangKeys();
    QCOMPARE(keys.size(), KeyCount);
    QCOMPARE(keys.first(), QStringLiteral("napisJazyk"));
    QCOMPARE(keys.at(FirstBlockSize - 1), QStringLiteral("moment O nebo Z negovaný"));
    QCOMPARE(keys.at(FirstBlockSize), QStringLiteral("Regulátor"));
    QCOMPARE(keys.last(), QStringLiteral("2P SAFE"));
    // Error names are indexed by code 0..41 and the autocalibration texts by code 0..10:
    // each table has to stay contiguous.
    QCOMPARE(keys.indexOf(QStringLiteral("napisChybyChybnaPoloha")) -
                 keys.indexOf(QStringLiteral("napisChyby0")),
             41);
    QCOMPARE(keys.indexOf(QStringLiteral("autoCalChybaVyvolanMoment")) -
                 keys.indexOf(QStringLiteral("autoCal0")),
             10);
}

void TestLang::tableRegistersEveryKeyOnce() {
    LangKeys(); // loads the dictionary, which registers its resource
    QFile file(QStringLiteral(":/lang/texts.tsv"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QSet<QString> seen;
    int lines = 0;
    for (const QByteArray& raw : file.readAll().split('\n')) {
        if (raw.isEmpty() || raw.startsWith('#')) continue;
        QVERIFY2(!raw.endsWith('\r'), raw.constData());
        const QString key = QString::fromUtf8(raw).section(QLatin1Char('\t'), 0, 0);
        QVERIFY2(!seen.contains(key), qPrintable(QStringLiteral("registered twice: ") + key));
        seen.insert(key);
        ++lines;
    }
    QCOMPARE(lines, KeyCount);
}

void TestLang::everyKeyHasFourTexts() {
    for (const QString& key : LangKeys())
        QVERIFY2(LangTexts(key).size() == 4, qPrintable(key));
}

void TestLang::bindingTexts_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("lang");
    QTest::addColumn<QString>("text");

    const auto row = [](const char* name, const QString& key, int lang, const QString& text) {
        QTest::newRow(name) << key << lang << text;
    };
    // Keys that differ only by case or diacritics.
    row("Stop cs", QStringLiteral("Stop"), 0, QStringLiteral("stop"));
    row("Stop en", QStringLiteral("Stop"), 1, QStringLiteral("stop"));
    row("STOP en", QStringLiteral("STOP"), 1, QStringLiteral("STOP"));
    row("Start cs", QStringLiteral("Start"), 0, QStringLiteral("Start"));
    row("Otevirat cs", QStringLiteral("Otevirat"), 0, QStringLiteral("otevírat"));
    row("Otevirat en", QStringLiteral("Otevirat"), 1, QStringLiteral("open"));
    row("Otevírat cs", QStringLiteral("Otevírat"), 0, QStringLiteral("Otevírat"));
    row("otevírat cs", QStringLiteral("otevírat"), 0, QStringLiteral("otevírat"));
    row("otevírat en", QStringLiteral("otevírat"), 1, QStringLiteral("open"));
    row("Zavirat en", QStringLiteral("Zavirat"), 1, QStringLiteral("close"));
    row("Teplota< cs", QStringLiteral("napisChybyTeplota<"), 0, QStringLiteral("Teplota <"));
    row("Teplota> cs", QStringLiteral("napisChybyTeplota>"), 0, QStringLiteral("Teplota >"));
    row("Řídící error cs", QStringLiteral("napisChybyRidiciSignal"), 0,
        QStringLiteral("Řídící signál"));
    row("Řídící error en", QStringLiteral("napisChybyRidiciSignal"), 1,
        QStringLiteral("Analog Input"));
    row("Řídicí caption cs", QStringLiteral("Řídicí signál"), 0, QStringLiteral("Řídicí signál"));
    // Spaces that callers rely on.
    row("unknown code cs", QStringLiteral("Neznámý kód: "), 0, QStringLiteral("Neznámý kód: "));
    row("unknown code en", QStringLiteral("Neznámý kód: "), 1, QStringLiteral("Unknown code"));
    row("sensor unknown cs", QStringLiteral("kalSnimacNeznamy"), 0,
        QStringLiteral("Neznámý kód: "));
    row("Chyba- en", QStringLiteral("Chyba-"), 1, QStringLiteral("Error-"));
    row("autoCal0 cs", QStringLiteral("autoCal0"), 0, QStringLiteral(" "));
    row("autoCal0 en", QStringLiteral("autoCal0"), 1, QStringLiteral(" "));
    row("autoCal0 pl", QStringLiteral("autoCal0"), 2, QStringLiteral(" "));
    row("autoCal0 ru", QStringLiteral("autoCal0"), 3, QString());
    row("50 % cs", QStringLiteral("50  %"), 0, QStringLiteral("50  %"));
    row("50 % ru", QStringLiteral("50  %"), 3, QStringLiteral("50  %"));
    row("100 % pl", QStringLiteral("100 %"), 2, QStringLiteral("100 %"));
    row("ChybnySoubor cs", QStringLiteral("ChybnySoubor"), 0, QStringLiteral("Chybný soubor "));
    row("ChybnySoubor en", QStringLiteral("ChybnySoubor"), 1, QStringLiteral("Wrong file "));
    row("ChybaCteniSouboru cs", QStringLiteral("ChybaCteniSouboru"), 0,
        QStringLiteral("Chyba při čtení souboru "));
    row("ChybaPriZapisuSouboru en", QStringLiteral("ChybaPriZapisuSouboru"), 1,
        QStringLiteral("Error in writing file "));
    row("ZadejteMaximalne cs", QStringLiteral("ZadejteMaximalne"), 0,
        QStringLiteral("Zadejte maximálně "));
    row("Znaku cs", QStringLiteral("Znaku"), 0, QStringLiteral(" znaků."));
    row("Znaku en", QStringLiteral("Znaku"), 1, QStringLiteral(" characters"));
    row("ParametrySoubor cs", QStringLiteral("ParametrySoubor"), 0,
        QStringLiteral("Parametry - soubor \""));
    row("ParametrySoubor en", QStringLiteral("ParametrySoubor"), 1,
        QStringLiteral("Parameters - file \""));
    // Messages and status texts.
    row("ChybaKomunikace cs", QStringLiteral("ChybaKomunikace"), 0,
        QStringLiteral("Chyba komunikace !\r\nZkusit znovu komunikovat ?"));
    row("ChybaKomunikace en", QStringLiteral("ChybaKomunikace"), 1,
        QStringLiteral("Error of communication !\r\nTry again..."));
    row("firmware en", QStringLiteral("NekompatibilniVerzeFirmware"), 1,
        QStringLiteral("Uncompatible firmware version"));
    row("COM port en", QStringLiteral("Požadovaný COM port není k dispozici"), 1,
        QStringLiteral("Required COM port is not available"));
    row("backup cs", QStringLiteral("VytvoritZalohuParametru?"), 0,
        QStringLiteral("Vytvořit zálohu parametrů ?"));
    row("backup en", QStringLiteral("VytvoritZalohuParametru?"), 1,
        QStringLiteral("Backup parameters ?"));
    row("Vynulovat en", QStringLiteral("Vynulovat?"), 1, QStringLiteral("Reset ?"));
    row("NE en", QStringLiteral("NE"), 1, QStringLiteral("NO"));
    row("manufacturer en", QStringLiteral("VyrobceElektroniky"), 1,
        QStringLiteral("Electronic Manufact."));
    row("autocal error en", QStringLiteral("autoCalChybaZastavujiciMotor"), 1,
        QStringLiteral("Error"));
    row("autocal error cs", QStringLiteral("autoCalChybaZastavujiciMotor"), 0,
        QStringLiteral("Chyba zastavující motor"));
    row("torque bench en", QStringLiteral("kalMomentChybaSignalStolice"), 1,
        QStringLiteral("Error-test eguipment signal"));
    row("gearbox OK cs", QStringLiteral("kalSnimacOk"), 0,
        QStringLiteral("Kalibrace převodovky OK"));
    // Labels and list items.
    row("dead zone en", QStringLiteral("Necitlivost [%]"), 1, QStringLiteral("Dead Zone [%]"));
    row("PolohaZ en", QStringLiteral("PolohaZ"), 1, QStringLiteral("Position C [abs]"));
    row("serial number en", QStringLiteral("Výrobní číslo pohonu"), 1,
        QStringLiteral("Actuator Serial Number"));
    row("kabelová en", QStringLiteral("kabelová"), 1, QStringLiteral("Cabel"));
    row("FIELDBUS ru", QStringLiteral("KOVR FIELDBUS"), 3, QStringLiteral("KOVR FIELDBUS"));
    row("4-20 mA ru", QStringLiteral("4-20 mA"), 3, QStringLiteral("4-20 mA"));
    row("Česky ru", QStringLiteral("Česky"), 3, QStringLiteral("Česky"));
    row("volbaJazyk ru", QStringLiteral("volbaJazyk"), 3, QStringLiteral("Русский"));
    row("Rusky cs", QStringLiteral("Rusky"), 0, QStringLiteral("Rusky"));
    row("Rusky en", QStringLiteral("Rusky"), 1, QStringLiteral("Russian"));
    row("Regulátor cs", QStringLiteral("Regulátor"), 0, QStringLiteral("Regulátor"));
    row("Regulátor en", QStringLiteral("Regulátor"), 1, QStringLiteral("Controller"));
    row("Regulátor pl", QStringLiteral("Regulátor"), 2, QStringLiteral("Regulator"));
    row("Regulátor ru", QStringLiteral("Regulátor"), 3, QStringLiteral("Регулятор"));
}

void TestLang::bindingTexts() {
    QFETCH(QString, key);
    QFETCH(int, lang);
    QFETCH(QString, text);
    QVERIFY(LangHasKey(key));
    LangIndex = lang;
    QCOMPARE(LangText(key), text);
}

void TestLang::secondBlockIsKeyedByCzech() {
    const QHash<QString, QString> exceptions{
        {QStringLiteral("Akt.poloha"), QStringLiteral("Akt. poloha")},
        {QStringLiteral("ProvedeniCelk"), QStringLiteral("Provedení")},
        {QStringLiteral("Parita2"), QStringLiteral("Parita")}};
    const QStringList keys = LangKeys().mid(FirstBlockSize);
    QCOMPARE(keys.size(), KeyCount - FirstBlockSize);
    for (const QString& key : keys)
        QVERIFY2(LangTexts(key).value(0) == exceptions.value(key, key), qPrintable(key));
}

void TestLang::emptyEntries() {
    for (const QString& key : emptyKeys())
        QVERIFY2(LangTexts(key) == QStringList(4, QString()), qPrintable(key));
}

void TestLang::sensorCalibrationTranslatesOnlyRussian() {
    int checked = 0;
    for (const QString& key : LangKeys()) {
        if (!isSensorCalibrationKey(key) || key == QLatin1String("kalibrSnimac0")) continue;
        const QStringList texts = LangTexts(key);
        QVERIFY2(texts.at(1) == texts.at(0) && texts.at(2) == texts.at(0), qPrintable(key));
        QVERIFY2(hasCyrillic(texts.at(3)), qPrintable(key));
        ++checked;
    }
    QCOMPARE(checked, 35);
}

void TestLang::translationsAreNotCopiesOfCzech() {
    const QStringList empty = emptyKeys();
    for (const QString& key : LangKeys()) {
        const QStringList texts = LangTexts(key);
        QCOMPARE(texts.size(), 4);
        if (invariantKeys().contains(key)) {
            QVERIFY2(texts == QStringList(4, texts.at(0)), qPrintable(key));
            continue;
        }
        if (!isSensorCalibrationKey(key)) {
            QVERIFY2(!hasCzechOnlyLetter(texts.at(1)), qPrintable(key + QLatin1String(" en")));
            QVERIFY2(!hasCzechOnlyLetter(texts.at(2)), qPrintable(key + QLatin1String(" pl")));
        }
        if (!empty.contains(key) && key != QLatin1String("autoCal0"))
            QVERIFY2(hasCyrillic(texts.at(3)), qPrintable(key + QLatin1String(" ru")));
    }
}

void TestLang::missingKeyOrLanguageFallsBackToKey_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("lang");

    QTest::newRow("without trailing space") << QStringLiteral("Neznámý kód:") << 0;
    QTest::newRow("other case") << QStringLiteral("stop") << 1;
    QTest::newRow("unknown key") << QStringLiteral("NoSuchKey") << 3;
    QTest::newRow("empty key") << QString() << 0;
    QTest::newRow("index 4") << QStringLiteral("Stop") << 4;
    QTest::newRow("index -1") << QStringLiteral("Regulátor") << -1;
    QTest::newRow("large index") << QStringLiteral("ChybaKomunikace") << 1000;
}

void TestLang::missingKeyOrLanguageFallsBackToKey() {
    QFETCH(QString, key);
    QFETCH(int, lang);
    LangIndex = lang;
    QCOMPARE(LangText(key), key);
    // The fallback must not register anything.
    QCOMPARE(LangKeys().size(), KeyCount);
}

void TestLang::keysLookedUpByCodeExist() {
    // The repository root is two levels above this file (tests/core).
    const QString root =
        QFileInfo(QStringLiteral(__FILE__)).absoluteDir().filePath(QStringLiteral("../.."));
    const QRegularExpression call(
        QStringLiteral(R"re(LangText\(\s*(?:QStringLiteral\(\s*|u)"((?:[^"\\]|\\.)*)")re"));
    QVERIFY(call.isValid());

    int found = 0;
    for (const QString& folder : {QStringLiteral("src"), QStringLiteral("tools")}) {
        QDirIterator it(root + QLatin1Char('/') + folder,
                        {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QFile file(path);
            QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
            const QString source = QString::fromUtf8(file.readAll());
            for (const QRegularExpressionMatch& m : call.globalMatch(source)) {
                QString key = m.captured(1);
                key.replace(QStringLiteral("\\\""), QStringLiteral("\""));
                key.replace(QStringLiteral("\\\\"), QStringLiteral("\\"));
                QVERIFY2(LangHasKey(key),
                         qPrintable(QStringLiteral("%1: no key \"%2\"").arg(path, key)));
                ++found;
            }
        }
    }
    QVERIFY2(found > 0, qPrintable(QStringLiteral("no lookups found under ") + root));
}

// The tool's own texts have all four languages and stay out of the dictionary's keys.
void TestLang::additionsApart() {
    const QStringList added = LangAddedKeys();
    QVERIFY(added.contains(QStringLiteral("menuExportPdf")));
    for (const QString& key : added) {
        QVERIFY2(!LangHasKey(key), qPrintable(key));
        QSet<QString> texts;
        for (int lang = 0; lang < 4; ++lang) {
            LangIndex = lang;
            const QString text = LangAddedText(key);
            QVERIFY2(!text.isEmpty() && text != key, qPrintable(key));
            texts.insert(text);
        }
        QVERIFY2(texts.size() > 1, qPrintable(key));
    }
    LangIndex = 0;
    QCOMPARE(LangKeys().size(), KeyCount);
}

QTEST_GUILESS_MAIN(TestLang)
#include "tst_lang.moc"

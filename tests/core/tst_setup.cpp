#include "params/IniFile.h"
#include "params/Setup.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include <unistd.h>

namespace {

QStringList fieldsOf(const TSetup& s) {
    return {s.Port,         s.Adr,           s.Lang,          s.Stolice_50_O, s.Stolice_100_O,
            s.Stolice_50_C, s.Stolice_100_C, s.Stolice_Smysl, s.Zpusob_Kal};
}

} // namespace

class TestSetup : public QObject {
    Q_OBJECT

private:
    QString iniPath() const { return m_dir->filePath(QStringLiteral("kovr.ini")); }
    void writeIni(const QByteArray& content) const {
        QFile file(iniPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(content), content.size());
    }
    QByteArray readIni() const {
        QFile file(iniPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    std::unique_ptr<QTemporaryDir> m_dir;

private slots:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void missingFileGivesDefaultsAndSaveCreatesIt() {
        TSetup setup;
        setup.Port = QStringLiteral("9");
        QVERIFY(setup.load(iniPath()));
        QCOMPARE(setup, TSetup());
        QVERIFY(!QFile::exists(iniPath()));

        QVERIFY(setup.save(iniPath()));
        QCOMPARE(readIni(), QByteArray("[Setup]\nPort=1\nAdr=1\nLang=0\nStolice_50_O=0\n"
                                       "Stolice_100_O=0\nStolice_50_C=0\nStolice_100_C=0\n"
                                       "Stolice_Smysl=0\nZpusob_Kal=0\n"));
    }

    void load_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("expected"); // Port .. Zpusob_Kal

        QTest::newRow("all keys") << QByteArray("[Setup]\nPort=3\nAdr=2\nLang=1\n"
                                                "Stolice_50_O=4.5\nStolice_100_O=19.9\n"
                                                "Stolice_50_C=4.1\nStolice_100_C=20\n"
                                                "Stolice_Smysl=1\nZpusob_Kal=1\n")
                                  << QStringList{"3",   "2",  "1", "4.5", "19.9",
                                                 "4.1", "20", "1", "1"};
        QTest::newRow("missing keys are empty, not defaults")
            << QByteArray("[Setup]\nPort=2\nLang=3\n")
            << QStringList{"2", "", "3", "", "", "", "", "", ""};
        QTest::newRow("port 0 means port 1") << QByteArray("[Setup]\nPort=0\nLang=0\n")
                                             << QStringList{"1", "", "0", "", "", "", "", "", ""};
        QTest::newRow("port above the list kept")
            << QByteArray("[Setup]\nPort=25\n")
            << QStringList{"25", "", "", "", "", "", "", "", ""};
        QTest::newRow("file without the section")
            << QByteArray("[Ports]\nCOM1=/dev/ttyUSB0\n")
            << QStringList{"", "", "", "", "", "", "", "", ""};
        QTest::newRow("crlf, blanks around keys, '=' inside the value")
            << QByteArray("[Setup]\r\n Port =4\r\nAdr= a=b \r\n")
            << QStringList{"4", "a=b", "", "", "", "", "", "", ""};
        QTest::newRow("keys and sections are case-sensitive")
            << QByteArray("[setup]\nPort=5\n[Setup]\nport=6\nLANG=2\n")
            << QStringList{"", "", "", "", "", "", "", "", ""};
        QTest::newRow("first of twice-written key, comments skipped")
            << QByteArray("[Setup]\n;Port=8\nPort=6\nPort=7\n#Adr=9\n[Other]\nAdr=5\n")
            << QStringList{"6", "", "", "", "", "", "", "", ""};
        QTest::newRow("non-numbers read as text")
            << QByteArray("[Setup]\nPort=COM3\nLang=en\n")
            << QStringList{"COM3", "", "en", "", "", "", "", "", ""};
    }

    void load() {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, expected);
        writeIni(content);
        TSetup setup;
        QVERIFY(setup.load(iniPath()));
        QCOMPARE(fieldsOf(setup), expected);
    }

    // Everything outside the nine keys survives a save unchanged, byte for byte.
    void saveKeepsTheRestOfTheFile_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");

        const QByteArray setupCrlf = "Port=2\r\nAdr=1\r\nLang=1\r\nStolice_50_O=0\r\n"
                                     "Stolice_100_O=0\r\nStolice_50_C=0\r\nStolice_100_C=0\r\n"
                                     "Stolice_Smysl=0\r\nZpusob_Kal=0\r\n";
        QTest::newRow("crlf, sections around, comments, foreign key")
            << QByteArray("; service tool\r\n[Ports]\r\nCOM2 = /dev/ttyUSB0\r\n\r\n[Setup]\r\n"
                          "Extra=keep me\r\nPort = 9\r\n\r\n; bench\r\n[Zzz]\r\nA=1")
            << QByteArray("; service tool\r\n[Ports]\r\nCOM2 = /dev/ttyUSB0\r\n\r\n[Setup]\r\n"
                          "Extra=keep me\r\nPort = 2\r\nAdr=1\r\nLang=1\r\nStolice_50_O=0\r\n"
                          "Stolice_100_O=0\r\nStolice_50_C=0\r\nStolice_100_C=0\r\n"
                          "Stolice_Smysl=0\r\nZpusob_Kal=0\r\n\r\n; bench\r\n[Zzz]\r\nA=1");
        QTest::newRow("section added behind, last line without its end")
            << QByteArray("\xEF\xBB\xBF[Ports]\r\nCOM1=/dev/ttyACM0")
            << QByteArray("\xEF\xBB\xBF[Ports]\r\nCOM1=/dev/ttyACM0\r\n\r\n[Setup]\r\n") +
                   setupCrlf;
        QTest::newRow("unchanged lines keep their bytes and line ends")
            << QByteArray("[Setup]\nPort=2\r\nLang = 1\n[Pozn\xe1mky]\nText=\x9a\xe8\n")
            << QByteArray("[Setup]\nPort=2\r\nLang = 1\nAdr=1\nStolice_50_O=0\n"
                          "Stolice_100_O=0\nStolice_50_C=0\nStolice_100_C=0\nStolice_Smysl=0\n"
                          "Zpusob_Kal=0\n[Pozn\xe1mky]\nText=\x9a\xe8\n");
    }

    void saveKeepsTheRestOfTheFile() {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        writeIni(before);
        TSetup setup;
        setup.Port = QStringLiteral("2");
        setup.Lang = QStringLiteral("1");
        QVERIFY(setup.save(iniPath()));
        QCOMPARE(readIni(), after);
    }

    void missingKeysAreWrittenBackEmpty() {
        writeIni("[Setup]\nPort=3\nLang=2\n");
        TSetup setup;
        QVERIFY(setup.load(iniPath()));
        QVERIFY(setup.save(iniPath()));
        QCOMPARE(readIni(), QByteArray("[Setup]\nPort=3\nLang=2\nAdr=\nStolice_50_O=\n"
                                       "Stolice_100_O=\nStolice_50_C=\nStolice_100_C=\n"
                                       "Stolice_Smysl=\nZpusob_Kal=\n"));
        TSetup again;
        QVERIFY(again.load(iniPath()));
        QCOMPARE(again, setup);
    }

    void failedSaveLeavesTheOldFile_data() {
        QTest::addColumn<bool>("folderOfThatName");
        QTest::newRow("read-only folder") << false;
        QTest::newRow("folder named kovr.ini") << true;
    }

    void failedSaveLeavesTheOldFile() {
        QFETCH(bool, folderOfThatName);
        const QString inside = m_dir->filePath(QStringLiteral("inside"));
        QVERIFY(QDir().mkdir(inside));
        const QString path = inside + QStringLiteral("/kovr.ini");
        const QByteArray old = "[Setup]\nPort=4\n[Ports]\nCOM4=/dev/ttyUSB1\n";
        const QString oldFile = folderOfThatName ? path + QStringLiteral("/keep.txt") : path;
        if (folderOfThatName) QVERIFY(QDir().mkdir(path));
        {
            QFile file(oldFile);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(old);
        }
        if (!folderOfThatName) {
            if (geteuid() == 0) QSKIP("root writes into read-only folders");
            QVERIFY(QFile::setPermissions(inside, QFile::ReadOwner | QFile::ExeOwner));
        }

        TSetup setup;
        setup.Port = QStringLiteral("7");
        QString error;
        const bool saved = setup.save(path, &error);
        QFile::setPermissions(inside, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(!saved);
        QVERIFY(!error.isEmpty());
        QFile file(oldFile);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), old);
        // No half-written leftovers beside it.
        QCOMPARE(QDir(inside).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                 QStringList{QStringLiteral("kovr.ini")});
    }

    void unreadableFileKeepsDefaults() {
        QVERIFY(QDir().mkdir(iniPath()));
        TSetup setup;
        setup.Lang = QStringLiteral("2");
        QString error;
        QVERIFY(!setup.load(iniPath(), &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(setup, TSetup());
    }

    void numbers_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("port");
        QTest::addColumn<int>("language");
        QTest::newRow("number") << "3" << 3 << 3;
        QTest::newRow("zero") << "0" << 0 << 0;
        QTest::newRow("blanks around") << " 2 " << 2 << 2;
        QTest::newRow("above range") << "25" << 25 << 0;
        QTest::newRow("negative") << "-1" << -1 << 0;
        QTest::newRow("empty") << "" << 1 << 0;
        QTest::newRow("letters") << "COM3" << 1 << 0;
        QTest::newRow("fraction") << "1.5" << 1 << 0;
    }

    void numbers() {
        QFETCH(QString, text);
        TSetup setup;
        setup.Port = text;
        setup.Lang = text;
        QTEST(portNumber(setup), "port");
        QTEST(languageIndex(setup), "language");
    }
};

QTEST_GUILESS_MAIN(TestSetup)
#include "tst_setup.moc"

#include "UnprivilegedUser.h"
#include "params/IniFile.h"
#include "params/Setup.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include <sys/stat.h>
#include <unistd.h>

namespace {

enum FileKind { NoFile, WritableFile, ReadOnlyFile, FolderOfThatName };

ino_t inode(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

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
        QTest::newRow("comments behind values")
            << QByteArray("[Setup]\nPort=3 ; bench adapter\nAdr= ; unused\nLang=1\t#en\n"
                          "Stolice_50_O=4;5\n")
            << QStringList{"3", "", "1", "4;5", "", "", "", "", ""};
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

    // A comment behind a value belongs to the technician: it stays where it was written.
    void saveKeepsCommentsBehindValues_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QByteArray>("after");

        QTest::newRow("unchanged value: line as it was")
            << QByteArray("Port = 3\t; bench") << "3" << QByteArray("Port = 3\t; bench");
        QTest::newRow("changed value, comment kept")
            << QByteArray("Port=3   ; bench") << "12" << QByteArray("Port=12   ; bench");
        QTest::newRow("empty value given one")
            << QByteArray("Port=; none yet") << "4" << QByteArray("Port=4 ; none yet");
        QTest::newRow("value emptied")
            << QByteArray("Port=3 # bench") << "" << QByteArray("Port= # bench");
    }
    void saveKeepsCommentsBehindValues() {
        QFETCH(QByteArray, line);
        QFETCH(QString, port);
        QFETCH(QByteArray, after);
        writeIni("[Setup]\n" + line + "\n");
        TSetup setup;
        QVERIFY(setup.load(iniPath()));
        setup.Port = port;
        QVERIFY(setup.save(iniPath()));
        QCOMPARE(readIni().split('\n').value(1), after);
        TSetup again;
        QVERIFY(again.load(iniPath()));
        QCOMPARE(again.Port, port);
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

    // A folder that takes the temporary file gets kovr.ini replaced whole (a new file renamed
    // over the old one); a folder that refuses it (shared or managed) but holds a writable
    // kovr.ini gets it written in place; otherwise the save fails and changes nothing.
    void saveInFolders_data() {
        QTest::addColumn<int>("file");
        QTest::addColumn<bool>("folderWritable");
        QTest::addColumn<bool>("saved");
        QTest::addColumn<bool>("inPlace"); // the same file, not a new one renamed over it

        QTest::newRow("writable folder: replaced whole")
            << int(WritableFile) << true << true << false;
        QTest::newRow("read-only folder: written in place")
            << int(WritableFile) << false << true << true;
        QTest::newRow("read-only folder, read-only file")
            << int(ReadOnlyFile) << false << false << false;
        QTest::newRow("read-only folder, no file") << int(NoFile) << false << false << false;
        QTest::newRow("folder named kovr.ini") << int(FolderOfThatName) << true << false << false;
    }

    void saveInFolders() {
        QFETCH(int, file);
        QFETCH(bool, folderWritable);
        QFETCH(bool, saved);
        QFETCH(bool, inPlace);

        const QString inside = m_dir->filePath(QStringLiteral("inside"));
        QVERIFY(QDir().mkdir(inside));
        const QString path = inside + QStringLiteral("/kovr.ini");
        // Longer than what is saved, so a write in place that does not truncate shows.
        const QByteArray old =
            "[Setup]\nPort=4\nAdr=" + QByteArray(200, 'x') + "\n[Ports]\nCOM4=/dev/ttyUSB1\n";
        const QString oldFile =
            file == FolderOfThatName ? path + QStringLiteral("/keep.txt") : path;
        if (file == FolderOfThatName) QVERIFY(QDir().mkdir(path));
        if (file != NoFile) {
            QFile f(oldFile);
            QVERIFY(f.open(QIODevice::WriteOnly));
            QCOMPARE(f.write(old), old.size());
        }
        const ino_t inodeBefore = inode(path);

        // Permission bits do not stop root: then the save runs as an ordinary user.
        const bool asNobody = geteuid() == 0;
        if (asNobody) {
            QVERIFY(QFile::setPermissions(m_dir->path(), QFile::ReadOwner | QFile::WriteOwner |
                                                             QFile::ExeOwner | QFile::ExeOther));
            if (!UnprivilegedUser::handOver({inside, path, oldFile}))
                QSKIP("running as root and cannot act as user nobody, for whom a read-only "
                      "folder refuses new files");
        }
        const auto readOnly = QFile::ReadOwner | QFile::ExeOwner;
        const auto restore =
            qScopeGuard([&] { QFile::setPermissions(inside, readOnly | QFile::WriteOwner); });
        if (file == ReadOnlyFile) QVERIFY(QFile::setPermissions(path, QFile::ReadOwner));
        if (!folderWritable) QVERIFY(QFile::setPermissions(inside, readOnly));

        TSetup setup;
        setup.Port = QStringLiteral("7");
        QString error;
        if (asNobody) QVERIFY(UnprivilegedUser::become());
        const bool wasSaved = setup.save(path, &error);
        if (asNobody) QVERIFY(UnprivilegedUser::leave());

        QCOMPARE(wasSaved, saved);
        QCOMPARE(error.isEmpty(), saved);
        if (file != NoFile) {
            QFile f(oldFile);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), saved ? QByteArray("[Setup]\nPort=7\nAdr=1\nLang=0\n"
                                                     "Stolice_50_O=0\nStolice_100_O=0\n"
                                                     "Stolice_50_C=0\nStolice_100_C=0\n"
                                                     "Stolice_Smysl=0\nZpusob_Kal=0\n"
                                                     "[Ports]\nCOM4=/dev/ttyUSB1\n")
                                        : old);
        }
        if (saved) QCOMPARE(inode(path) == inodeBefore, inPlace);
        // No temporary leftovers beside it, and no file where there was none.
        QCOMPARE(QDir(inside).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
                 file == NoFile ? QStringList() : QStringList{QStringLiteral("kovr.ini")});
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

// Which kovr.ini a start reads and writes, the language of a first start, the folders the file
// dialogs remember and the name they propose.

#include "lang/Lang.h"
#include "params/IniFile.h"
#include "params/RecentFolders.h"
#include "params/SettingsLocation.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestSettingsLocation : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { LangIndex = 1; }
    void find_data();
    void find();
    void localeLanguage_data();
    void localeLanguage();
    void folderThatCannotBeMade();
    void recentFolders();
    void proposedName_data();
    void proposedName();

private:
    static void write(const QString& path, const QByteArray& text) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
};

void TestSettingsLocation::find_data() {
    QTest::addColumn<QString>("named");     // --settings, relative to the working directory
    QTest::addColumn<bool>("localFile");    // kovr.ini in the working directory
    QTest::addColumn<bool>("userFile");     // kovr.ini in the per-user folder
    QTest::addColumn<bool>("xdgSet");       // XDG_CONFIG_HOME set, else ~/.config
    QTest::addColumn<bool>("desktopStart"); // the per-user folder as fallback
    QTest::addColumn<QString>("expected");  // {work}, {config}, {home}
    QTest::addColumn<bool>("exists");
    QTest::newRow("named wins over both")
        << "own.ini" << true << true << true << true << "{work}/own.ini" << false;
    QTest::newRow("working directory's file")
        << "" << true << true << true << true << "{work}/kovr.ini" << true;
    QTest::newRow("plain start without a file stays in its folder")
        << "" << false << true << true << false << "{work}/kovr.ini" << false;
    QTest::newRow("desktop start: the user's file")
        << "" << false << true << true << true << "{config}/kovr/kovr.ini" << true;
    QTest::newRow("desktop start, first time")
        << "" << false << false << true << true << "{config}/kovr/kovr.ini" << false;
    QTest::newRow("no XDG_CONFIG_HOME")
        << "" << false << false << false << true << "{home}/.config/kovr/kovr.ini" << false;
}

void TestSettingsLocation::find() {
    QFETCH(QString, named);
    QFETCH(bool, localFile);
    QFETCH(bool, userFile);
    QFETCH(bool, xdgSet);
    QFETCH(bool, desktopStart);
    QFETCH(QString, expected);
    QFETCH(bool, exists);
    QTemporaryDir root;
    const QString work = root.filePath(QStringLiteral("work"));
    const QString home = root.filePath(QStringLiteral("home"));
    const QString config = root.filePath(QStringLiteral("config"));
    QVERIFY(QDir().mkpath(work) && QDir().mkpath(home));
    const QByteArray oldHome = qgetenv("HOME");
    const QByteArray oldXdg = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", QFile::encodeName(home));
    if (xdgSet)
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config));
    else
        qunsetenv("XDG_CONFIG_HOME");
    if (localFile) write(work + QStringLiteral("/kovr.ini"), "[Setup]\n");
    if (userFile) write(SettingsLocation::userFile(), "[Setup]\n");

    const SettingsLocation found =
        SettingsLocation::find(named, work,
                               desktopStart ? SettingsLocation::Fallback::UserFolder
                                            : SettingsLocation::Fallback::WorkingDirectory);
    qputenv("HOME", oldHome);
    if (oldXdg.isEmpty())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", oldXdg);
    QCOMPARE(found.path, QString(expected)
                             .replace(QStringLiteral("{work}"), work)
                             .replace(QStringLiteral("{config}"), config)
                             .replace(QStringLiteral("{home}"), home));
    QCOMPARE(found.exists, exists);
    QCOMPARE(found.inUserFolder, expected.startsWith(QStringLiteral("{config}")) ||
                                     expected.startsWith(QStringLiteral("{home}")));
}

void TestSettingsLocation::localeLanguage_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<int>("language");
    QTest::newRow("Czech") << "cs_CZ" << 0;
    QTest::newRow("English, American") << "en_US" << 1;
    QTest::newRow("English, British") << "en_GB" << 1;
    QTest::newRow("Polish") << "pl_PL" << 2;
    QTest::newRow("Russian") << "ru_RU" << 3;
    QTest::newRow("Russian in Ukraine") << "ru_UA" << 3;
    QTest::newRow("German: none of the four") << "de_DE" << -1;
    QTest::newRow("Slovak: none of the four") << "sk_SK" << -1;
    QTest::newRow("C") << "C" << -1;
}

void TestSettingsLocation::localeLanguage() {
    QFETCH(QString, locale);
    QFETCH(int, language);
    QCOMPARE(localeLanguageIndex(QLocale(locale)), language);
}

// A file standing where the per-user folder must go: no folder, and the reason names it.
void TestSettingsLocation::folderThatCannotBeMade() {
    QTemporaryDir root;
    write(root.filePath(QStringLiteral("config")), "a file, not a folder");
    const SettingsLocation location{root.filePath(QStringLiteral("config/kovr/kovr.ini")), false,
                                    true};
    QString error;
    QVERIFY(!location.makeFolder(&error));
    QVERIFY2(error.startsWith(QStringLiteral("Folder ") +
                              root.filePath(QStringLiteral("config/kovr")) +
                              QStringLiteral(" cannot be created: ")),
             qPrintable(error));
    QVERIFY2(error.contains(QStringLiteral("Not a directory")), qPrintable(error));
}

// The folders come back as written, whatever their characters, in a section after the
// settings', and a kovr.ini without any is not touched.
void TestSettingsLocation::recentFolders() {
    QTemporaryDir root;
    const QString ini = root.filePath(QStringLiteral("kovr.ini"));
    const QByteArray settings = "; bench\r\n[Setup]\r\nPort=3\r\n[Ports]\r\nCOM3=/dev/ttyUSB0\r\n";
    write(ini, settings);
    RecentFolders none;
    none.load(ini);
    QVERIFY(none.folder(RecentFolders::ParameterFiles).isEmpty());
    QVERIFY(none.save(ini));
    QFile file(ini);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), settings);
    file.close();

    const QString odd = root.filePath(QStringLiteral("ventil č. 7 ; #2"));
    RecentFolders used;
    used.load(ini);
    used.remember(RecentFolders::ParameterFiles, odd + QStringLiteral("/a.par"));
    used.remember(RecentFolders::Reports, QStringLiteral("/srv/reports/b.pdf"));
    QString error;
    QVERIFY2(used.save(ini, &error), qPrintable(error));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    QVERIFY2(text.startsWith(settings + "\r\n[Folders]\r\n"), text.constData());
    RecentFolders again;
    again.load(ini);
    QCOMPARE(again.folder(RecentFolders::ParameterFiles), odd);
    QCOMPARE(again.folder(RecentFolders::Reports), QStringLiteral("/srv/reports"));
}

void TestSettingsLocation::proposedName_data() {
    QTest::addColumn<QString>("serial");
    QTest::addColumn<QString>("name");
    QTest::newRow("plain") << "E123456"
                           << "E123456_2026-12-10.par";
    QTest::newRow("blanks around") << "  E 12/34  "
                                   << "E_12_34_2026-12-10.par";
    QTest::newRow("no serial yet") << ""
                                   << "kovr_2026-12-10.par";
    QTest::newRow("only a dot") << "."
                                << "kovr_2026-12-10.par";
    QTest::newRow("not a hidden file") << "..E1"
                                       << "E1_2026-12-10.par";
    QTest::newRow("no way out of the folder") << "../../etc"
                                              << "_.._etc_2026-12-10.par";
    QTest::newRow("Czech letters stay") << "Č-7"
                                        << "Č-7_2026-12-10.par";
}

void TestSettingsLocation::proposedName() {
    QFETCH(QString, serial);
    QFETCH(QString, name);
    QCOMPARE(proposedFileName(serial, QStringLiteral("2026-12-10"), QStringLiteral("par")), name);
}

QTEST_MAIN(TestSettingsLocation)
#include "tst_settingslocation.moc"

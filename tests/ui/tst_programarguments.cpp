// The program's own arguments, once Qt has taken its options: what a start asks for, and the
// ones it refuses before a window opens.

#include "app/ProgramArguments.h"
#include "lang/Lang.h"

#include <QTest>

class TestProgramArguments : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { LangIndex = 1; }
    void parse_data();
    void parse();
};

void TestProgramArguments::parse_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("settings");
    QTest::addColumn<bool>("userSettings");
    QTest::addColumn<QString>("file");
    QTest::newRow("plain") << QStringList{"kovr"} << true << "" << false << "";
    QTest::newRow("a file from the file manager")
        << QStringList{"kovr", "--user-settings", "/home/t/ventil 7.par"} << true << "" << true
        << "/home/t/ventil 7.par";
    QTest::newRow("settings of its own") << QStringList{"kovr", "--settings", "bench.ini", "a.par"}
                                         << true << "bench.ini" << false << "a.par";
    QTest::newRow("two files") << QStringList{"kovr", "a.par", "b.par"} << false << "" << false
                               << "";
    QTest::newRow("two settings files")
        << QStringList{"kovr", "--settings", "a.ini", "--settings=b.ini"} << false << "" << false
        << "";
    QTest::newRow("unknown option")
        << QStringList{"kovr", "--port", "COM1"} << false << "" << false << "";
}

void TestProgramArguments::parse() {
    QFETCH(QStringList, arguments);
    QFETCH(bool, accepted);
    const std::optional<ProgramArguments> parsed = ProgramArguments::parse(arguments);
    QCOMPARE(parsed.has_value(), accepted);
    if (!parsed) return;
    QFETCH(QString, settings);
    QFETCH(bool, userSettings);
    QFETCH(QString, file);
    QCOMPARE(parsed->settingsFile, settings);
    QCOMPARE(parsed->userSettings, userSettings);
    QCOMPARE(parsed->parameterFile, file);
}

QTEST_MAIN(TestProgramArguments)
#include "tst_programarguments.moc"

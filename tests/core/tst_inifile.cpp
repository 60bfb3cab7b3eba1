// The line-keeping INI class under kovr.ini and the *.par files: what a value set writes into
// the file, and what reads back.

#include "params/IniFile.h"
#include "params/Setup.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using Format = IniFile::Format;
Q_DECLARE_METATYPE(IniFile::Format)

class TestIniFile : public QObject {
    Q_OBJECT
private slots:
    void init() { QVERIFY(m_dir.isValid()); }
    void valueSetReadsBack_data();
    void valueSetReadsBack();
    void fileByteOrderMark();
    void brokenUtf8AtTheEnd();
    void keyAddedBehindTheLastLine_data();
    void keyAddedBehindTheLastLine();

private:
    QString path() const { return m_dir.filePath(QStringLiteral("test.ini")); }
    void write(const QByteArray& bytes) const {
        QFile file(path());
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), bytes.size());
    }
    QByteArray read() const {
        QFile file(path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    QTemporaryDir m_dir;
};

// K is set in "[S]\nK=old\nL=1\n" (CR LF in a *.par file); the rest of the file stays as it was.
void TestIniFile::valueSetReadsBack_data() {
    QTest::addColumn<Format>("format");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("readBack");
    QTest::addColumn<QByteArray>("line"); // K's line as written

    // Only the file's first bytes can be a byte-order mark; in a value U+FEFF is a character.
    QTest::newRow("byte-order mark first in a value")
        << Format::Settings << QStringLiteral("\uFEFF1") << QStringLiteral("\uFEFF1")
        << QByteArray("K=\xEF\xBB\xBF"
                      "1");
    QTest::newRow("byte-order mark as the whole value")
        << Format::Settings << QStringLiteral("\uFEFF") << QStringLiteral("\uFEFF")
        << QByteArray("K=\xEF\xBB\xBF");
    QTest::newRow("byte-order mark inside a value")
        << Format::Settings << QStringLiteral("1\uFEFF2") << QStringLiteral("1\uFEFF2")
        << QByteArray("K=1\xEF\xBB\xBF"
                      "2");
    QTest::newRow("its bytes in a production text")
        << Format::ParameterFile << QStringLiteral("\u00EF\u00BB\u00BFx")
        << QStringLiteral("\u00EF\u00BB\u00BFx") << QByteArray("K=\xEF\xBB\xBFx");
    // A line break would end the entry: what follows it would become lines, sections and keys
    // of their own.
    QTest::newRow("line feed, kovr.ini")
        << Format::Settings << QStringLiteral("1\n[Ports]\nCOM1=x")
        << QStringLiteral("1?[Ports]?COM1=x") << QByteArray("K=1?[Ports]?COM1=x");
    QTest::newRow("CR LF in a production text")
        << Format::ParameterFile << QStringLiteral("ab\r\n1=-1") << QStringLiteral("ab??1=-1")
        << QByteArray("K=ab??1=-1");
    // A CR on its own is a character; last in a value it stays ahead of a CR LF line end only.
    QTest::newRow("CR at the end of a production text")
        << Format::ParameterFile << QStringLiteral("ab\r") << QStringLiteral("ab\r")
        << QByteArray("K=ab\r");
    QTest::newRow("CR at the end, LF line end") << Format::Settings << QStringLiteral("a b\r")
                                                << QStringLiteral("a b?") << QByteArray("K=a b?");
    QTest::newRow("CR inside a value") << Format::Settings << QStringLiteral("2\r0")
                                       << QStringLiteral("2\r0") << QByteArray("K=2\r0");
}

// A file's own byte-order mark is kept, and does not make a value's U+FEFF a second one.
void TestIniFile::fileByteOrderMark() {
    const QByteArray file("\xEF\xBB\xBF[S]\nK=\xEF\xBB\xBFv\n\xEF\xBB\xBFL=1\n");
    write(file);
    IniFile ini(path());
    QVERIFY(ini.load());
    QCOMPARE(ini.value(QStringLiteral("S"), QStringLiteral("K")), QStringLiteral("\uFEFFv"));
    QCOMPARE(ini.keys(QStringLiteral("S")),
             QStringList({QStringLiteral("K"), QStringLiteral("\uFEFFL")}));
    ini.setValue(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("\uFEFFv"));
    QVERIFY(ini.save());
    QCOMPARE(read(), file);
}

// A UTF-8 sequence cut short at the end of a section name or value is a character of that text
// (U+FFFD), not lost: "[Setup\xE8]" is another section than "[Setup]", and settings that read a
// value and set it again leave its bytes as they were.
void TestIniFile::brokenUtf8AtTheEnd() {
    const QByteArray file("[Setup\xE8]\nLang=2\n[Setup]\nLang=1\xC3\nPort=3\n");
    write(file);
    IniFile ini(path());
    QVERIFY(ini.load());
    QCOMPARE(ini.value(QStringLiteral("Setup\uFFFD"), QStringLiteral("Lang")), QStringLiteral("2"));
    QCOMPARE(ini.value(QStringLiteral("Setup"), QStringLiteral("Lang")), QStringLiteral("1\uFFFD"));
    ini.setValue(QStringLiteral("Setup"), QStringLiteral("Lang"), QStringLiteral("1\uFFFD"));
    QVERIFY(ini.save());
    QCOMPARE(read(), file);

    TSetup setup;
    QVERIFY(setup.load(path()));
    QVERIFY(setup.save(path()));
    QCOMPARE(read().left(file.size()), file);
}

void TestIniFile::valueSetReadsBack() {
    QFETCH(Format, format);
    QFETCH(QString, value);
    QFETCH(QString, readBack);
    QFETCH(QByteArray, line);
    const QByteArray end = format == Format::ParameterFile ? "\r\n" : "\n";
    write("[S]" + end + "K=old" + end + "L=1" + end);

    IniFile ini(path(), format);
    QVERIFY(ini.load());
    ini.setValue(QStringLiteral("S"), QStringLiteral("K"), value);
    QCOMPARE(ini.value(QStringLiteral("S"), QStringLiteral("K")), readBack);
    QVERIFY(ini.save());
    QCOMPARE(read(), "[S]" + end + line + end + "L=1" + end);

    IniFile again(path(), format);
    QVERIFY(again.load());
    QCOMPARE(again.value(QStringLiteral("S"), QStringLiteral("K")), readBack);
    QCOMPARE(again.keys(QStringLiteral("S")),
             QStringList({QStringLiteral("K"), QStringLiteral("L")}));
}

// L is added behind K, the last line of the file, which has no line end or only its CR.
void TestIniFile::keyAddedBehindTheLastLine_data() {
    QTest::addColumn<Format>("format");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("saved");

    QTest::newRow("no line end") << Format::Settings << QByteArray("[S]\nK=2")
                                 << QByteArray("[S]\nK=2\nL=1\n");
    QTest::newRow("no line end, *.par")
        << Format::ParameterFile << QByteArray("[S]\r\nK=2") << QByteArray("[S]\r\nK=2\r\nL=1\r\n");
    // A *.par value runs to the end of its line: the CR must not be taken into it, or the
    // value would change the moment a line is added behind it.
    QTest::newRow("cut after the CR, *.par") << Format::ParameterFile << QByteArray("[S]\r\nK=2\r")
                                             << QByteArray("[S]\r\nK=2\r\nL=1\r\n");
    QTest::newRow("cut after the CR")
        << Format::Settings << QByteArray("[S]\nK=2\r") << QByteArray("[S]\nK=2\r\nL=1\n");
}

void TestIniFile::keyAddedBehindTheLastLine() {
    QFETCH(Format, format);
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, saved);
    write(file);
    IniFile ini(path(), format);
    QVERIFY(ini.load());
    QCOMPARE(ini.value(QStringLiteral("S"), QStringLiteral("K")), QStringLiteral("2"));
    QVERIFY(ini.save());
    QCOMPARE(read(), file);

    ini.setValue(QStringLiteral("S"), QStringLiteral("L"), QStringLiteral("1"));
    QVERIFY(ini.save());
    QCOMPARE(read(), saved);
    IniFile again(path(), format);
    QVERIFY(again.load());
    QCOMPARE(again.value(QStringLiteral("S"), QStringLiteral("K")), QStringLiteral("2"));
    QCOMPARE(again.value(QStringLiteral("S"), QStringLiteral("L")), QStringLiteral("1"));
}

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_inifile.moc"

// The files that tie the program into a Linux desktop: a parameter file is recognised as the
// program's MIME type by its name and by its content, and the menu entry opens that type.

#include "params/IniFile.h"

#include <QFile>
#include <QMimeDatabase>
#include <QTemporaryDir>
#include <QTest>

class TestDesktopFiles : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void recognised_data();
    void recognised();
    void menuEntryOpensTheType();

private:
    QTemporaryDir m_data; // a data folder holding only the package's MIME type
    QTemporaryDir m_files;
};

namespace {

const QString Type = QStringLiteral("application/x-kovr-parameters");
const QString Packaging = QStringLiteral(KOVR_SOURCE_DIR "/packaging/");

} // namespace

void TestDesktopFiles::initTestCase() {
    QVERIFY(QDir().mkpath(m_data.filePath(QStringLiteral("mime/packages"))));
    QVERIFY(QFile::copy(Packaging + QStringLiteral("kovr-mime.xml"),
                        m_data.filePath(QStringLiteral("mime/packages/kovr.xml"))));
    // Before the database is first asked: only this folder (and Qt's own types) count.
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_data.path()));
    qputenv("XDG_DATA_DIRS", QFile::encodeName(m_data.path()));
}

void TestDesktopFiles::recognised_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("ours");
    const QByteArray saved = "[Ident]\r\nSystem=KOVR\r\n[Vyrobni_udaje]\r\n0=S2.14\r\n";
    QTest::newRow("saved by the program") << "ventil 7.par" << saved << true;
    QTest::newRow("upper-case suffix") << "VENTIL.PAR" << saved << true;
    QTest::newRow("no suffix, CR LF") << "ventil" << saved << true;
    QTest::newRow("no suffix, LF") << "ventil" << QByteArray("[Ident]\nSystem=KOVR\n") << true;
    QTest::newRow("another system's INI")
        << "jiny.ini" << QByteArray("[Ident]\nSystem=OTHER\n") << false;
    QTest::newRow("plain text") << "poznamky" << QByteArray("System=KOVR\n") << false;
}

void TestDesktopFiles::recognised() {
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(bool, ours);
    const QString path = m_files.filePath(name);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();
    const QMimeType type = QMimeDatabase().mimeTypeForFile(path);
    QCOMPARE(type.name() == Type, ours);
    if (ours) QVERIFY(type.inherits(QStringLiteral("text/plain")));
}

// The menu entry hands the program the file it is opened with, declares the type, and takes
// the per-user settings when the home folder is the working directory.
void TestDesktopFiles::menuEntryOpensTheType() {
    IniFile entry(Packaging + QStringLiteral("kovr.desktop"));
    QVERIFY(entry.load());
    const QString group = QStringLiteral("Desktop Entry");
    QCOMPARE(entry.value(group, QStringLiteral("Exec")), QStringLiteral("kovr --user-settings %f"));
    QVERIFY(entry.value(group, QStringLiteral("MimeType")).split(u';').contains(Type));
    // The class of the main window's X11 WM_CLASS: the application name.
    QCOMPARE(entry.value(group, QStringLiteral("StartupWMClass")), QStringLiteral("KOVR NEVRA"));
}

QTEST_MAIN(TestDesktopFiles)
#include "tst_desktopfiles.moc"

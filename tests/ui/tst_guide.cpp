// The technician's guide: every link and picture of every page leads to a file that exists (and
// to a heading that exists, where it names one), so the guide never sends a reader nowhere; and
// F1 in each window of the program opens the guide on an existing section about it.

#include "LinkFakes.h"
#include "app/Program.h"
#include "lang/Lang.h"
#include "ui/GuideBrowser.h"
#include "ui/GuideWindow.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QLabel>
#include <QTemporaryDir>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

namespace {

const QString Guide = QStringLiteral(KOVR_SOURCE_DIR "/docs/guide");

QStringList anchorsIn(const QString& page) {
    QFile file(page);
    return file.open(QIODevice::ReadOnly)
               ? GuideBrowser::anchorsIn(QString::fromUtf8(file.readAll()))
               : QStringList();
}

} // namespace

class TestGuide : public QObject {
    Q_OBJECT
private slots:
    void linksResolve_data();
    void linksResolve();
    void f1OpensTheSection_data();
    void f1OpensTheSection();
    void polishReadsEnglish();
};

void TestGuide::linksResolve_data() {
    QTest::addColumn<QString>("page");
    QDirIterator pages(Guide, {QStringLiteral("*.md")}, QDir::Files, QDirIterator::Subdirectories);
    int count = 0;
    while (pages.hasNext()) {
        const QString page = pages.next();
        QTest::newRow(qPrintable(QDir(Guide).relativeFilePath(page))) << page;
        ++count;
    }
    QVERIFY2(count > 0, "no page in docs/guide");
}

void TestGuide::linksResolve() {
    QFETCH(QString, page);
    QFile file(page);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    static const QRegularExpression link(QStringLiteral("!?\\[[^\\]]*\\]\\(([^)\\s]+)\\)"));
    const QDir folder = QFileInfo(page).dir();
    for (const QRegularExpressionMatch& m : link.globalMatch(text)) {
        const QString target = m.captured(1);
        if (target.startsWith(QLatin1String("http://")) ||
            target.startsWith(QLatin1String("https://")))
            continue;
        const QString path = target.section(u'#', 0, 0);
        const QString anchor = target.section(u'#', 1);
        const QString file = path.isEmpty() ? page : folder.absoluteFilePath(path);
        QVERIFY2(QFileInfo(file).isFile(), qPrintable(target + QStringLiteral(" in ") + page));
        if (!anchor.isEmpty())
            QVERIFY2(anchorsIn(file).contains(anchor),
                     qPrintable(QStringLiteral("#") + anchor + QStringLiteral(" in ") + page));
    }
}

void TestGuide::f1OpensTheSection_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<int>("language");
    for (const QString& window : GuideWindow::windowsWithSections())
        for (int language : {0, 1})
            QTest::addRow("%s %s", qPrintable(window), language == 0 ? "cs" : "en")
                << window << language;
}

// F1 pressed in a window shows the guide of the language on the page of that window, its
// section's heading where the cursor stands.
void TestGuide::f1OpensTheSection() {
    QFETCH(QString, window);
    QFETCH(int, language);
    QTemporaryDir dir;
    QFile ini(dir.filePath(QStringLiteral("kovr.ini")));
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write("[Setup]\nLang=" + QByteArray::number(language) + "\n");
    ini.close();
    FakePrompter prompter;
    Program program(dir.path(), &prompter);
    QWidget* target = program.mainWindow().findChild<QWidget*>(window);
    QVERIFY2(target && target->isWindow(), qPrintable(window));
    target->show();
    QApplication::setActiveWindow(target);
    QTest::keyClick(target, Qt::Key_F1);
    QCOMPARE(LangIndex, language);
    GuideWindow& guide = program.guideWindow();
    QVERIFY(guide.isVisible());
    const QString page = GuideWindow::pageFor(window, language);
    const QString file = page.section(u'#', 0, 0);
    const QUrl shown = guide.browser()->source();
    QCOMPARE(QFileInfo(shown.toLocalFile()).fileName(), file);
    QCOMPARE(QFileInfo(shown.toLocalFile()).dir().dirName(), GuideWindow::languageFolder(language));
    QVERIFY(!guide.browser()->document()->isEmpty());
    const QString anchor = page.section(u'#', 1);
    if (!anchor.isEmpty())
        QCOMPARE(GuideBrowser::anchorOf(guide.browser()->currentHeading()), anchor);
    QVERIFY(prompter.messages.isEmpty());
    target->hide();
}

// Polish (and Russian) read the English guide with a line that says so.
void TestGuide::polishReadsEnglish() {
    LangIndex = 2;
    GuideWindow guide(GuideWindow::findGuide());
    guide.open();
    QCOMPARE(QFileInfo(guide.browser()->source().toLocalFile()).dir().dirName(),
             QStringLiteral("en"));
    QVERIFY(!guide.notice()->isHidden());
    QVERIFY(guide.notice()->text().contains(QStringLiteral("po polsku")));
    LangIndex = 1;
    guide.applyCaptions();
    QVERIFY(guide.notice()->isHidden());
}

QTEST_MAIN(TestGuide)
#include "tst_guide.moc"

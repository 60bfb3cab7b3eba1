// The technician's guide: every link and picture of every page leads to a file that exists (and
// to a heading that exists, where it names one), so the guide never sends a reader nowhere.

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

namespace {

const QString Guide = QStringLiteral(KOVR_SOURCE_DIR "/docs/guide");

// The anchors a Markdown viewer makes of a page's headings: lower case, blanks to '-', and
// everything but letters, digits, '-' and '_' dropped.
QStringList anchorsOf(const QString& page) {
    QFile file(page);
    if (!file.open(QIODevice::ReadOnly)) return {};
    QStringList anchors;
    static const QRegularExpression heading(QStringLiteral("^#{1,6}\\s+(.*)$"),
                                            QRegularExpression::MultilineOption);
    for (const QRegularExpressionMatch& m :
         heading.globalMatch(QString::fromUtf8(file.readAll()))) {
        QString anchor;
        for (const QChar c : m.captured(1).trimmed().toLower())
            if (c.isLetterOrNumber() || c == u'-' || c == u'_')
                anchor += c;
            else if (c == u' ')
                anchor += u'-';
        anchors.append(anchor);
    }
    return anchors;
}

} // namespace

class TestGuide : public QObject {
    Q_OBJECT
private slots:
    void linksResolve_data();
    void linksResolve();
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
            QVERIFY2(anchorsOf(file).contains(anchor),
                     qPrintable(QStringLiteral("#") + anchor + QStringLiteral(" in ") + page));
    }
}

QTEST_MAIN(TestGuide)
#include "tst_guide.moc"

// The floors of the tree stay as drawn: every #include "folder/..." of src/ and of the simulated
// unit names its own folder or one the table allows below it. A new edge (a window's header in
// the core, params reaching up into link) fails here with the file and the line.

#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

namespace {

// Each floor and the floors its files may include besides its own.
const QHash<QString, QStringList>& allowed() {
    static const QStringList below_params{"image", "files", "lang", "wire"};
    static const QStringList below_link = QStringList{"device", "params"} + below_params;
    static const QStringList below_session = QStringList{"link"} + below_link;
    static const QStringList below_fronts = QStringList{"session"} + below_session;
    static const QHash<QString, QStringList> table{
        {"wire", {}},
        {"lang", {}},
        {"files", {"lang"}},
        {"image", {}},
        {"params", below_params},
        {"device", QStringList{"params"} + below_params},
        {"link", below_link},
        {"session", below_session},
        {"ui", below_fronts},
        {"cli", below_fronts},
        {"app", QStringList{"ui"} + below_fronts},
        // The simulated unit shares only the wire with the tool.
        {"kovr-sim", {"wire"}},
    };
    return table;
}

struct Edge {
    QString file;
    int line;
    QString from;
    QString to;
};

// The floor-naming includes of every source in `folder`, whose files belong to floor `floor`.
QList<Edge> edgesIn(const QString& folder, const QString& floor) {
    static const QRegularExpression include(QStringLiteral("^\\s*#\\s*include\\s+\"([a-z-]+)/"));
    QList<Edge> edges;
    QDirIterator it(folder, {QStringLiteral("*.h"), QStringLiteral("*.cpp")}, QDir::Files);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) continue;
        int number = 0;
        while (!file.atEnd()) {
            ++number;
            const QRegularExpressionMatch m = include.match(QString::fromUtf8(file.readLine()));
            if (m.hasMatch()) edges.append({path, number, floor, m.captured(1)});
        }
    }
    return edges;
}

} // namespace

class TestFloors : public QObject {
    Q_OBJECT
private slots:
    void everyIncludeGoesDown();
};

void TestFloors::everyIncludeGoesDown() {
    const QString root = QStringLiteral(KOVR_SOURCE_DIR);
    QList<Edge> edges;
    QSet<QString> floorsSeen;
    QDirIterator folders(root + QStringLiteral("/src"), QDir::Dirs | QDir::NoDotAndDotDot);
    while (folders.hasNext()) {
        folders.next();
        const QString floor = folders.fileName();
        QVERIFY2(allowed().contains(floor),
                 qPrintable(QStringLiteral("src/%1 is on no floor of the table").arg(floor)));
        floorsSeen.insert(floor);
        edges += edgesIn(folders.filePath(), floor);
    }
    edges += edgesIn(root + QStringLiteral("/tools/kovr-sim"), QStringLiteral("kovr-sim"));
    QVERIFY(floorsSeen.contains(QStringLiteral("params")) && edges.size() > 100);

    QStringList wrong;
    for (const Edge& e : std::as_const(edges))
        if (e.to != e.from && !allowed().value(e.from).contains(e.to))
            wrong.append(QStringLiteral("%1:%2: %3 includes %4")
                             .arg(e.file.mid(root.size() + 1))
                             .arg(e.line)
                             .arg(e.from, e.to));
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(u'\n')));
}

QTEST_MAIN(TestFloors)
#include "tst_floors.moc"

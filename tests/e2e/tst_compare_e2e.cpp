// The compare window of the program against the simulated unit: the unit as found against the
// unit now, the rows that differ, the exports, and a record opened for writing.

#include "SimulatedProgram.h"
#include "files/FileProblem.h"
#include "lang/Lang.h"
#include "params/ParameterCatalogue.h"
#include "params/UnitRecords.h"
#include "session/Session.h"
#include "ui/CompareForm.h"
#include "ui/MainWindow.h"
#include "ui/ServiceForm.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <cerrno>
#include <sys/resource.h>

class TestCompareEndToEnd : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup() { m_sim.reset(); }
    void foundAgainstTheUnitNow();
    void exports_data();
    void exports();
    void recordOpensForWriting();
    void captionsInEveryLanguage();

private:
    // Connected, recorded as found, then B 27 changed in the unit and read back; the window
    // open from the file menu.
    CompareForm& openWithChangedUnit();

    std::unique_ptr<SimulatedProgram> m_sim;
};

void TestCompareEndToEnd::init() {
    m_sim = std::make_unique<SimulatedProgram>();
    m_sim->unit.setParameter(SimulatedUnit::KindB, 27, 70);
    QString error;
    QVERIFY2(m_sim->open(&error, "[Setup]\nPort=3\nLang=1\n"), qPrintable(error));
}

CompareForm& TestCompareEndToEnd::openWithChangedUnit() {
    CompareForm& form = m_sim->program->compareForm();
    if (!m_sim->startAndRefresh()) return form;
    UnitRecorder& recorder = m_sim->session().recorder();
    if (!waitUntil([&] { return !recorder.pending(); }, 15000)) return form;
    m_sim->unit.setParameter(SimulatedUnit::KindB, 27, 90);
    if (!waitUntil([&] { return m_sim->session().image().ParB[1][27] == 90; }, 15000)) return form;
    m_sim->program->mainWindow().action(QStringLiteral("Porovnat"))->trigger();
    return form;
}

// Opened, the window puts the unit's newest record on the left and the unit now on the right,
// and shows only what changed; every row on request, in the order asked for.
void TestCompareEndToEnd::foundAgainstTheUnitNow() {
    CompareForm& form = openWithChangedUnit();
    QVERIFY(form.isVisible());
    const QString folder =
        UnitRecords::unitFolder(m_sim->session().recorder().folder(), m_sim->session().image());
    const QList<UnitRecords::Record> records = UnitRecords::list(folder);
    QCOMPARE(records.size(), 1);
    QCOMPARE(form.side(CompareForm::Left).path, records.first().path);
    QVERIFY2(form.side(CompareForm::Left).title.contains(QStringLiteral("as found · kovr")),
             qPrintable(form.side(CompareForm::Left).title));
    QCOMPARE(form.side(CompareForm::Right).path, QString());

    const QList<ComparisonRow> shown = form.shownRows();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown.first().id(), QStringLiteral("B 27"));
    QCOMPARE(ComparisonRow::shown(shown.first().left, shown.first().leftChoice),
             QStringLiteral("70 (70  %)"));
    QCOMPARE(ComparisonRow::shown(shown.first().right, shown.first().rightChoice),
             QStringLiteral("90 (90  %)"));
    QCOMPARE(form.writableFile(), records.first().path);

    form.copy();
    QVERIFY2(
        QApplication::clipboard()->text().contains(QStringLiteral("\t70 (70  %)\t90 (90  %)\n")),
        qPrintable(QApplication::clipboard()->text()));

    form.setOnlyDifferences(false);
    QCOMPARE(form.shownRows().size(), 86 + ParameterCatalogue::ProductionFields);
    form.table()->sortByColumn(1, Qt::AscendingOrder);
    const QList<ComparisonRow> sorted = form.shownRows();
    for (qsizetype i = 1; i < sorted.size(); ++i)
        QVERIFY2(sorted[i - 1].label <= sorted[i].label,
                 qPrintable(sorted[i - 1].label + QStringLiteral(" > ") + sorted[i].label));
    QVERIFY(m_sim->prompter.messages.isEmpty());
}

void TestCompareEndToEnd::exports_data() {
    QTest::addColumn<bool>("pdf");
    QTest::addColumn<QString>("trouble"); // "", "fulldisk", "folder"
    QTest::newRow("CSV") << false << QString();
    QTest::newRow("PDF") << true << QString();
    QTest::newRow("CSV on a full disk") << false << QStringLiteral("fulldisk");
    QTest::newRow("PDF on a full disk") << true << QStringLiteral("fulldisk");
    QTest::newRow("CSV into a folder") << false << QStringLiteral("folder");
}

// The rows shown go into the file whole, or the old file stays as it was and the user reads
// why.
void TestCompareEndToEnd::exports() {
    QFETCH(bool, pdf);
    QFETCH(QString, trouble);
    CompareForm& form = openWithChangedUnit();
    QVERIFY(form.isVisible());
    const QString path =
        m_sim->dir.filePath(pdf ? QStringLiteral("c.pdf") : QStringLiteral("c.csv"));
    const QByteArray old(4000, 'o');
    if (trouble == QLatin1String("folder")) {
        QVERIFY(QDir().mkpath(path));
    } else {
        QFile existing(path);
        QVERIFY(existing.open(QIODevice::WriteOnly));
        existing.write(old);
    }
    bool saved = false;
    if (trouble == QLatin1String("fulldisk")) {
        rlimit limit{};
        ::getrlimit(RLIMIT_FSIZE, &limit);
        const rlimit lowered{64, limit.rlim_max}; // less than the CSV's header and one row
        ::setrlimit(RLIMIT_FSIZE, &lowered);
        saved = pdf ? form.savePdf(path) : form.saveCsv(path);
        ::setrlimit(RLIMIT_FSIZE, &limit);
    } else {
        saved = pdf ? form.savePdf(path) : form.saveCsv(path);
    }
    QCOMPARE(saved, trouble.isEmpty());
    if (trouble == QLatin1String("folder")) {
        QCOMPARE(m_sim->prompter.messages.size(), 1);
        QVERIFY2(m_sim->prompter.messages.first().contains(path),
                 qPrintable(m_sim->prompter.messages.first()));
        return;
    }
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    if (!trouble.isEmpty()) {
        QCOMPARE(bytes, old);
        // Which file, then why: the disk, or for a PDF the scratch copy it is drawn into first.
        QCOMPARE(m_sim->prompter.messages.size(), 1);
        QVERIFY2(m_sim->prompter.messages.first().startsWith(
                     FileProblem::writeFailed(path, QStringLiteral("\x01")).section(u'\x01', 0, 0)),
                 qPrintable(m_sim->prompter.messages.first()));
        return;
    }
    if (pdf) {
        QVERIFY(bytes.startsWith("%PDF"));
    } else {
        QCOMPARE(QString::fromUtf8(bytes), comparisonCsv(form.shownRows()));
        QVERIFY(bytes.contains("\nB 27,"));
    }
    QVERIFY(m_sim->prompter.messages.isEmpty());
}

// "Otevřít pro zápis" opens the record as "Otevřít" does: the service window in
// write-from-file mode, the record's name in its caption.
void TestCompareEndToEnd::recordOpensForWriting() {
    CompareForm& form = openWithChangedUnit();
    QVERIFY(form.isVisible());
    const QString record = form.writableFile();
    QVERIFY(!record.isEmpty());
    const QString caption = m_sim->serviceCaptionDuring(
        [&] { form.findChild<QPushButton*>(QStringLiteral("CompareOpen"))->click(); });
    QCOMPARE(caption, QStringLiteral("Parameters - file \"%1\"").arg(QFileInfo(record).fileName()));
}

// Every caption of the window in each language, none left empty or in another language.
void TestCompareEndToEnd::captionsInEveryLanguage() {
    CompareForm& form = openWithChangedUnit();
    QVERIFY(form.isVisible());
    QStringList titles;
    for (int language = 0; language < 4; ++language) {
        LangIndex = language;
        m_sim->program->applyCaptions();
        titles.append(form.windowTitle());
        for (QPushButton* button : form.findChildren<QPushButton*>())
            QVERIFY2(!button->text().isEmpty(), qPrintable(button->objectName()));
        QVERIFY(!form.table()->model()->headerData(1, Qt::Horizontal).toString().isEmpty());
        // Every control a keyboard reaches has a name a screen reader reads out.
        for (QWidget* control : form.findChildren<QWidget*>()) {
            if (control->focusPolicy() == Qt::NoFocus || !control->isVisibleTo(&form)) continue;
            const auto* button = qobject_cast<QAbstractButton*>(control);
            QVERIFY2(!control->accessibleName().isEmpty() || (button && !button->text().isEmpty()),
                     qPrintable(control->objectName() + u' ' + control->metaObject()->className()));
        }
        // Labels follow the language.
        QCOMPARE(
            form.shownRows().first().label,
            LangText(ParameterCatalogue::nameKeyOf(0, 27)).section(QStringLiteral(" ["), 0, 0));
    }
    titles.removeDuplicates();
    QCOMPARE(titles.size(), 4);
    LangIndex = 1;
}

QTEST_MAIN(TestCompareEndToEnd)
#include "tst_compare_e2e.moc"

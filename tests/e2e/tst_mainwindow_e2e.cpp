// The program's own main window (offscreen) against the simulated unit over a real
// pseudo-terminal: what the unit holds shows up in the panels, and a selector change answered
// Yes reaches the unit and comes back through the monitor record.

#include "SimulatedProgram.h"
#include "app/Program.h"
#include "files/FileProblem.h"
#include "lang/Lang.h"
#include "params/ParameterCatalogue.h"
#include "params/ServiceSheet.h"
#include "session/Session.h"
#include "ui/MainWindow.h"
#include "ui/ParametryForm.h"
#include "ui/ServiceForm.h"
#include "ui/UiFont.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cerrno>
#include <sys/resource.h>
#include <sys/stat.h>

class TestMainWindowEndToEnd : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QApplication::setFont(kovrFont()); }
    void init();
    void cleanup();
    void showsTheUnitAfterRefresh();
    void selectorChangeReachesUnit();
    void settingsWrittenAtClose();
    void settingsOnAFullDiskKeptWhole();
    void serviceWindowFromMenu();
    void pdfReportReadsBack();
    void savedFileOpensInServiceWindow();

private:
    template <typename T> T* child(const char* name) const {
        return m_sim->program->mainWindow().findChild<T*>(QString::fromLatin1(name));
    }
    void startAndRefresh();

    std::unique_ptr<SimulatedProgram> m_sim;
};

void TestMainWindowEndToEnd::init() {
    m_sim = std::make_unique<SimulatedProgram>();
    m_sim->unit.setParameter(SimulatedUnit::KindB, 27, 70);
    QString error;
    QVERIFY2(m_sim->open(&error, "; bench values\n[Setup]\nPort=3\nLang=0\n"), qPrintable(error));
}

void TestMainWindowEndToEnd::cleanup() {
    m_sim.reset();
}

void TestMainWindowEndToEnd::startAndRefresh() {
    QVERIFY(m_sim->startAndRefresh());
    QVERIFY(m_sim->session().isRunning());
}

void TestMainWindowEndToEnd::showsTheUnitAfterRefresh() {
    startAndRefresh();
    MainWindow& window = m_sim->program->mainWindow();
    QCOMPARE(window.statusText(0), QStringLiteral("RUN"));
    QCOMPARE(window.statusText(1), QStringLiteral("COM3"));
    QCOMPARE(window.statusText(8), QStringLiteral("KOVR"));
    QCOMPARE(window.statusText(7), LangText(QStringLiteral("VyrobceElektroniky")));
    KOVR_TRY_COMPARE_WITH_TIMEOUT(child<QLineEdit>("Edit5")->text(),
                                  QString::number(m_sim->unit.temperature()), 3000);
    QCOMPARE(child<QLineEdit>("Edit1")->text(),
             QString::number(m_sim->program->session().image().Poloha_Abs));
    // B 27 = 70 %: the working-torque selector O shows "70  %".
    QCOMPARE(child<QComboBox>("ComboBox14")->currentText(), QStringLiteral("70  %"));
    const quint32 endO = m_sim->unit.parameter(SimulatedUnit::KindDW, 0);
    KOVR_TRY_COMPARE_WITH_TIMEOUT(child<QLineEdit>("Edit11")->text(), QString::number(endO), 3000);
    QVERIFY(m_sim->prompter.messages.isEmpty());
}

void TestMainWindowEndToEnd::selectorChangeReachesUnit() {
    startAndRefresh();
    QComboBox* combo = child<QComboBox>("ComboBox14");
    m_sim->prompter.answers = {true};
    combo->setCurrentIndex(4); // "90  %", as the user picks it
    emit combo->activated(4);
    QCOMPARE(m_sim->prompter.questions, QStringList{LangText(QStringLiteral("ZapsatZmenu?"))});
    QCOMPARE(m_sim->program->session().image().ParB[2][27], 90);
    KOVR_TRY_COMPARE_WITH_TIMEOUT(m_sim->unit.parameter(SimulatedUnit::KindB, 27), 90u, 5000);
    // The unit's value comes back through the monitor into set 1 and the selector.
    KOVR_TRY_COMPARE_WITH_TIMEOUT(m_sim->program->session().image().ParB[1][27], 90, 5000);
    QCOMPARE(combo->currentText(), QStringLiteral("90  %"));
}

void TestMainWindowEndToEnd::settingsWrittenAtClose() {
    startAndRefresh();
    m_sim->program->setup().Lang = QStringLiteral("1");
    m_sim->program->mainWindow().close();
    QFile ini(m_sim->program->iniPath());
    QVERIFY(ini.open(QIODevice::ReadOnly));
    const QByteArray text = ini.readAll();
    QVERIFY(text.startsWith("[Ports]\nCOM3="));
    // Comments and keys already in the file keep their place; the missing keys follow in their
    // order.
    QVERIFY2(text.contains("; bench values\n[Setup]\nPort=3\nLang=1\nAdr=\nStolice_50_O=\n"),
             text.constData());
    QVERIFY(text.endsWith("Zpusob_Kal=\n"));
    QVERIFY(m_sim->prompter.messages.isEmpty());
}

// kovr.ini that does not fit on the disk at close stays as it was, and the message says which
// file and why.
void TestMainWindowEndToEnd::settingsOnAFullDiskKeptWhole() {
    startAndRefresh();
    QFile ini(m_sim->program->iniPath());
    QVERIFY(ini.open(QIODevice::ReadOnly));
    const QByteArray old = ini.readAll();
    ini.close();
    m_sim->program->setup().Adr = QString(2000, u'a');
    {
        rlimit limit{};
        ::getrlimit(RLIMIT_FSIZE, &limit);
        const rlimit lowered{1024, limit.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &lowered);
        m_sim->program->mainWindow().close();
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    QVERIFY(ini.open(QIODevice::ReadOnly));
    QCOMPARE(ini.readAll(), old);
    QCOMPARE(m_sim->prompter.messages,
             QStringList{QStringLiteral("Chyba při zápisu ini souboru !\n") +
                         m_sim->program->iniPath() + u'\n' + FileProblem::systemReason(EFBIG)});
}

// "Parametry" opens the service window modally, live with the unit's values; Enter on the row
// of B 17 opens the parameters dialog on the unit's value, and its variant list changes what
// the main window offers.
void TestMainWindowEndToEnd::serviceWindowFromMenu() {
    startAndRefresh();
    TServiceForm& form = m_sim->program->serviceForm();
    TParametryForm& dialog = m_sim->program->parametryForm();
    Session& session = m_sim->program->session();
    bool seen = false;
    QString cellB30, dialogB17;
    bool controlSignalShownAfterVariant1 = false;
    QTimer::singleShot(0, this, [&] {
        // Whatever happens here, the modal windows close so the test goes on.
        const auto close = qScopeGuard([&] {
            dialog.done(0);
            form.done(0);
        });
        if (!form.isVisible()) return;
        const GridPlace b30 = ParameterCatalogue::place(0, 30);
        cellB30 = session.sheet().cell(b30.grid, ServiceSheet::ValueColumn, b30.row);
        QTimer::singleShot(0, this, [&] {
            dialogB17 = dialog.list(17)->currentText();
            QComboBox* variant = dialog.list(6);
            variant->setCurrentIndex(1);
            emit variant->activated(1); // "KOVR.ED CONTROL" offers the control-signal range
            controlSignalShownAfterVariant1 = child<QComboBox>("ComboBox1")->isVisible();
            dialog.reject();
        });
        const GridPlace b17 = ParameterCatalogue::place(0, 17);
        form.setCurrentRow(b17.grid, b17.row);
        QTableView* view = form.gridView(b17.grid);
        view->setFocus();
        QTest::keyClick(view, Qt::Key_Return); // the parameters dialog, modal until rejected
        seen = true;
    });
    m_sim->program->mainWindow().action(QStringLiteral("Service"))->trigger();
    QVERIFY(seen);
    QCOMPARE(cellB30, QString::number(m_sim->unit.parameter(SimulatedUnit::KindB, 30)));
    const QStringList reactions = ParameterCatalogue::valueListTexts(17);
    QCOMPARE(dialogB17, reactions.value(int(m_sim->unit.parameter(SimulatedUnit::KindB, 17))));
    QVERIFY(controlSignalShownAfterVariant1);
    QVERIFY(!form.isVisible());
}

// The report exported as PDF is text, not a picture of it: pdftotext reads the lines back.
void TestMainWindowEndToEnd::pdfReportReadsBack() {
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty()) QSKIP("pdftotext (poppler-utils, installed by scripts/test) missing");
    startAndRefresh();
    // The double words arrive a reply or two after the refresh.
    const quint32 endO = m_sim->unit.parameter(SimulatedUnit::KindDW, 0);
    KOVR_TRY_COMPARE_WITH_TIMEOUT(m_sim->program->session().image().ParDW[1][0], endO, 3000);
    const QString pdf = m_sim->dir.filePath(QStringLiteral("report.pdf"));
    QVERIFY(m_sim->program->exportPdf(pdf));
    QProcess extract;
    extract.start(pdftotext, {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    QVERIFY(extract.waitForFinished(10000));
    QCOMPARE(extract.exitCode(), 0);
    const QString text = QString::fromUtf8(extract.readAllStandardOutput());
    QVERIFY2(text.contains(QStringLiteral("KOVR - LOMTEK elektronika s.r.o.")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("Výrobní údaje")));
    const QRegularExpression line(QStringLiteral("Poloha O \\[abs\\]: +") + QString::number(endO));
    QVERIFY2(text.contains(line), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("Řídicí signál 20mA")));

    // A full disk keeps the old PDF whole and says why; a FIFO is refused without waiting.
    QFile written(pdf);
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QByteArray old = written.readAll();
    written.close();
    bool exported = true;
    {
        rlimit limit{};
        ::getrlimit(RLIMIT_FSIZE, &limit);
        const rlimit lowered{1024, limit.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &lowered);
        exported = m_sim->program->exportPdf(pdf);
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    QVERIFY(!exported);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), old);
    QCOMPARE(m_sim->prompter.messages.size(), 1);
    QVERIFY2(m_sim->prompter.messages.last().startsWith(
                 QStringLiteral("Chyba při zápisu souboru ") + pdf + u'\n'),
             qPrintable(m_sim->prompter.messages.last()));
    const QString fifo = m_sim->dir.filePath(QStringLiteral("report-fifo.pdf"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0666), 0);
    QVERIFY(!m_sim->program->exportPdf(fifo));
    QCOMPARE(m_sim->prompter.messages.last(),
             FileProblem::writeFailed(fifo, FileProblem::notRegularFile()));
}

// A file saved from the program opens back into the service window in write-from-file mode,
// with the file's name in the window's caption.
void TestMainWindowEndToEnd::savedFileOpensInServiceWindow() {
    startAndRefresh();
    const QString file = m_sim->dir.filePath(QStringLiteral("pohon 7.par"));
    QVERIFY(m_sim->program->saveParameterFile(file));
    TServiceForm& form = m_sim->program->serviceForm();
    QString caption;
    QTimer::singleShot(0, this, [&] {
        caption = form.windowTitle();
        form.done(0);
    });
    QVERIFY(m_sim->program->openParameterFile(file));
    QCOMPARE(caption, QStringLiteral("Parametry - soubor \"pohon 7.par\""));
    QVERIFY(m_sim->prompter.messages.isEmpty());
}

QTEST_MAIN(TestMainWindowEndToEnd)
#include "tst_mainwindow_e2e.moc"

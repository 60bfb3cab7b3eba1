// The program's own main window (offscreen) against the simulated unit over a real
// pseudo-terminal: what the unit holds shows up in the panels, and a selector change answered
// Yes reaches the unit and comes back through the monitor record.

#include "SimulatedProgram.h"
#include "app/Program.h"
#include "files/FileProblem.h"
#include "lang/Lang.h"
#include "params/IniFile.h"
#include "params/ParameterCatalogue.h"
#include "params/ParameterComparison.h"
#include "params/ServiceSheet.h"
#include "params/SettingsLocation.h"
#include "params/Setup.h"
#include "params/UnitRecords.h"
#include "session/Session.h"
#include "ui/MainWindow.h"
#include "ui/ParametryForm.h"
#include "ui/ServiceForm.h"
#include "ui/SetupForm.h"
#include "ui/UiFont.h"

#include <QApplication>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

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
    void fileGivenAtStartOpens();
    void unitRecordedAsFoundAndAsLeft();
    void recordsFolderFromTheSetupDialog();
    void droppedFile_data();
    void droppedFile();
    void saveAsProposesNameInFolderLastUsed();
    void firstStartFromTheDesktop();
    void userFolderThatCannotBeMade();

private:
    template <typename T> T* child(const char* name) const {
        return m_sim->program->mainWindow().findChild<T*>(QString::fromLatin1(name));
    }
    void startAndRefresh();
    // A parameter file the program opens: only its identification.
    QString smallParameterFile(const QString& name) const;

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

QString TestMainWindowEndToEnd::smallParameterFile(const QString& name) const {
    const QString path = m_sim->dir.filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.write("[Ident]\r\nSystem=KOVR\r\n");
    return path;
}

// Connecting records the unit as found; a write from the main window's selector records it as
// left, differing from the found record in the parameter written and, through the write's date
// stamp, at most in the date of the change; connecting again to the unchanged unit adds nothing.
void TestMainWindowEndToEnd::unitRecordedAsFoundAndAsLeft() {
    startAndRefresh();
    UnitRecorder& recorder = m_sim->session().recorder();
    QVERIFY(waitUntil([&] { return !recorder.pending(); }, 15000));
    const QString folder = UnitRecords::unitFolder(recorder.folder(), m_sim->session().image());
    QList<UnitRecords::Record> records = UnitRecords::list(folder);
    QCOMPARE(records.size(), 1);
    QCOMPARE(records[0].kind, UnitRecords::Kind::Found);
    QCOMPARE(records[0].writer, QStringLiteral("kovr"));

    QComboBox* combo = child<QComboBox>("ComboBox14");
    m_sim->prompter.answers = {true};
    combo->setCurrentIndex(4); // "90  %"
    emit combo->activated(4);
    KOVR_TRY_COMPARE_WITH_TIMEOUT(m_sim->unit.parameter(SimulatedUnit::KindB, 27), 90u, 5000);
    // The write closes, the unit is read again, then recorded.
    QVERIFY(waitUntil([&] { return UnitRecords::list(folder).size() == 2; }, 15000));
    records = UnitRecords::list(folder);
    QCOMPARE(records[0].kind, UnitRecords::Kind::Left);
    ParameterSet found;
    ParameterSet left;
    QString error;
    QVERIFY2(found.loadFile(records[1].path, &error), qPrintable(error));
    QVERIFY2(left.loadFile(records[0].path, &error), qPrintable(error));
    QStringList changed;
    for (const ComparisonRow& row : compareParameterSets(found, left))
        if (row.differs && !(row.kind < 0 && row.index == 1)) // 1: the date of the change
            changed.append(QStringLiteral("%1 %2: %3 -> %4")
                               .arg(row.kind)
                               .arg(row.index)
                               .arg(row.left, row.right));
    QCOMPARE(changed, QStringList{QStringLiteral("0 27: 70 -> 90")});

    // The same unit again, unchanged: no new record.
    m_sim->session().start(QStringLiteral("3"));
    QVERIFY(recorder.pending());
    QVERIFY(waitUntil([&] { return !recorder.pending(); }, 15000));
    QCOMPARE(UnitRecords::list(folder).size(), 2);
    QVERIFY(m_sim->prompter.messages.isEmpty());
}

// The records' folder chosen in the setup dialog takes effect at once and is kept in kovr.ini.
void TestMainWindowEndToEnd::recordsFolderFromTheSetupDialog() {
    startAndRefresh();
    Program& program = *m_sim->program;
    program.recordUnits();
    QCOMPARE(m_sim->session().recorder().folder(), UnitRecords::defaultFolder());
    const QString shared = m_sim->dir.filePath(QStringLiteral("shared units"));
    TSetupForm& setup = program.setupForm();
    setup.show();
    setup.edRecords->setText(shared);
    setup.OKBtn->click();
    QCOMPARE(m_sim->session().recorder().folder(), shared);
    program.mainWindow().close();
    QCOMPARE(UnitRecords::folderFromSettings(program.iniPath()), shared);
    QVERIFY(m_sim->prompter.messages.isEmpty());
}

// kovr FILE.par: once the link has started, the file opens in the service window as
// "Otevřít" opens it.
void TestMainWindowEndToEnd::fileGivenAtStartOpens() {
    m_sim->program->openAtStart(smallParameterFile(QStringLiteral("ventil 3.par")));
    m_sim->program->mainWindow().show();
    QCOMPARE(m_sim->serviceCaptionDuring(), QStringLiteral("Parametry - soubor \"ventil 3.par\""));
    QVERIFY(m_sim->session().isRunning());
    QVERIFY(m_sim->prompter.messages.isEmpty());
}

void TestMainWindowEndToEnd::droppedFile_data() {
    QTest::addColumn<bool>("onServiceWindow");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("taken");
    QTest::newRow("on the main window") << false << QStringLiteral("pohon.par") << true;
    QTest::newRow("upper-case suffix") << false << QStringLiteral("POHON.PAR") << true;
    QTest::newRow("on the open service window") << true << QStringLiteral("pohon.par") << true;
    QTest::newRow("not a parameter file") << false << QStringLiteral("pohon.txt") << false;
}

// A *.par file dropped from a file manager opens as "Otevřít" opens it; anything else is
// refused while it is dragged over the window.
void TestMainWindowEndToEnd::droppedFile() {
    QFETCH(bool, onServiceWindow);
    QFETCH(QString, name);
    QFETCH(bool, taken);
    startAndRefresh();
    const QString path = smallParameterFile(name);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    TServiceForm& form = m_sim->program->serviceForm();
    bool accepted = false;
    QString caption;
    const auto drop = [&](QWidget* target) {
        QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        accepted = enter.isAccepted();
        QDropEvent dropped(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &dropped);
    };
    if (onServiceWindow) {
        // Into the open window: it takes the file's values and stays the one window.
        QTimer::singleShot(0, this, [&] {
            drop(&form);
            QTimer::singleShot(50, this, [&] {
                caption = form.windowTitle();
                form.done(0);
            });
        });
        m_sim->program->serviceForm().ServiceExecute();
    } else {
        drop(&m_sim->program->mainWindow());
        caption = m_sim->serviceCaptionDuring({}, taken ? 5000 : 300);
    }
    QCOMPARE(accepted, taken);
    QCOMPARE(caption, taken ? QStringLiteral("Parametry - soubor \"%1\"").arg(name) : QString());
    QVERIFY(m_sim->prompter.messages.isEmpty());
}

// "Uložit jako" proposes the electronics serial number and today's date, in the folder last
// used, and the folder is kept in kovr.ini for the next start.
void TestMainWindowEndToEnd::saveAsProposesNameInFolderLastUsed() {
    startAndRefresh();
    const QString serial =
        QString::fromLatin1(m_sim->unit.text(ParameterCatalogue::ElectronicsSerialField)).trimmed();
    QVERIFY(!serial.isEmpty());
    const QString folder = m_sim->dir.filePath(QStringLiteral("zakazka 12"));
    QVERIFY(QDir().mkpath(folder));
    const auto saveAs = [&](const std::function<void(QFileDialog&)>& inDialog) {
        QTimer::singleShot(0, this, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            inDialog(*dialog);
        });
        m_sim->program->mainWindow().action(QStringLiteral("FileSaveAs1"))->trigger();
    };
    QString proposed;
    QStringList filters;
    saveAs([&](QFileDialog& dialog) {
        proposed = dialog.selectedFiles().value(0);
        filters = dialog.nameFilters();
        dialog.setDirectory(folder);
        dialog.selectFile(QStringLiteral("first.par"));
        static_cast<QDialog&>(dialog).accept(); // the file dialog's own accept checks the name
    });
    const QString name = serial + u'_' + QDate::currentDate().toString(Qt::ISODate) + ".par";
    QCOMPARE(QFileInfo(proposed).fileName(), name);
    QCOMPARE(filters,
             (QStringList{QStringLiteral("(*.par)"), QStringLiteral("Všechny soubory (*)")}));
    QVERIFY(QFileInfo::exists(folder + QStringLiteral("/first.par")));
    saveAs([&](QFileDialog& dialog) {
        proposed = dialog.selectedFiles().value(0);
        dialog.reject();
    });
    QCOMPARE(proposed, folder + u'/' + name);

    m_sim->program->mainWindow().close();
    IniFile ini(m_sim->program->iniPath());
    QVERIFY(ini.load());
    QCOMPARE(ini.value(QStringLiteral("Folders"), QStringLiteral("ParameterFiles")), folder);
    QVERIFY(m_sim->prompter.messages.isEmpty());
}

// Started from the menu with no settings anywhere: the system's language (here Polish), and
// the per-user folder made at the first save with the language in it.
void TestMainWindowEndToEnd::firstStartFromTheDesktop() {
    m_sim.reset();
    QTemporaryDir config;
    const SettingsLocation location{config.filePath(QStringLiteral("kovr/kovr.ini")), false, true};
    QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
    FakePrompter prompter;
    {
        Program program(location, &prompter);
        QCOMPARE(LangIndex, 2);
        QCOMPARE(program.mainWindow().action(QStringLiteral("FileOpen1"))->text().remove(u'&'),
                 LangText(QStringLiteral("menuOtevrit")).remove(u'&'));
        QVERIFY(program.saveSettings());
    }
    QLocale::setDefault(QLocale::system());
    TSetup saved;
    QVERIFY(saved.load(location.path));
    QCOMPARE(saved.Lang, QStringLiteral("2"));
    QVERIFY(prompter.messages.isEmpty());
    LangIndex = 0;
}

// A per-user folder that cannot be made: the message at exit names the file and the reason.
void TestMainWindowEndToEnd::userFolderThatCannotBeMade() {
    m_sim.reset();
    QTemporaryDir config;
    QFile inTheWay(config.filePath(QStringLiteral("kovr")));
    QVERIFY(inTheWay.open(QIODevice::WriteOnly));
    inTheWay.close();
    const SettingsLocation location{config.filePath(QStringLiteral("kovr/kovr.ini")), false, true};
    FakePrompter prompter;
    {
        Program program(location, &prompter);
        QVERIFY(!program.saveSettings());
    }
    QCOMPARE(prompter.messages.size(), 1);
    const QString message = prompter.messages.first();
    QVERIFY2(message.startsWith(QStringLiteral("Chyba při zápisu ini souboru !\n") + location.path +
                                u'\n'),
             qPrintable(message));
    QVERIFY2(message.contains(config.filePath(QStringLiteral("kovr"))), qPrintable(message));
    LangIndex = 0;
}

QTEST_MAIN(TestMainWindowEndToEnd)
#include "tst_mainwindow_e2e.moc"

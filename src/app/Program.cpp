#include "app/Program.h"

#include "app/CalibrationDialogs.h"
#include "app/ServiceDialogs.h"
#include "files/FileProblem.h"
#include "files/FileReader.h"
#include "files/FileSaver.h"
#include "lang/Lang.h"
#include "params/ParameterCatalogue.h"
#include "params/ServiceSheet.h"
#include "params/UnitRecords.h"
#include "session/Session.h"
#include "ui/AboutBox.h"
#include "ui/AccessibleNames.h"
#include "ui/CompareForm.h"
#include "ui/GuideWindow.h"
#include "ui/MainWindow.h"
#include "ui/MessagePrompter.h"
#include "ui/MonitoringPanel.h"
#include "ui/ParameterDisplay.h"
#include "ui/ParameterFileDrop.h"
#include "ui/ParameterPanel.h"
#include "ui/ParametryForm.h"
#include "ui/ProgramIcon.h"
#include "ui/PrubehForm.h"
#include "ui/ReportPrinter.h"
#include "ui/SaveFileDialog.h"
#include "ui/ServiceForm.h"
#include "ui/SetupForm.h"
#include "ui/TraceForm.h"
#include "ui/TrendForm.h"
#include "ui/WindowPlacement.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QLibraryInfo>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QShortcut>
#include <QTemporaryDir>

#include <utility>

Program::Program(const QString& workingDir, Prompter* prompter)
    : Program(SettingsLocation::find({}, workingDir, SettingsLocation::Fallback::WorkingDirectory),
              prompter) {}

Program::Program(const SettingsLocation& settings, Prompter* prompter)
    : m_settings(settings)
    , m_iniPath(settings.path) {
    // The settings come first: the language decides every caption the windows get.
    QString error;
    m_setup.load(m_iniPath, &error);
    // A new user's first start speaks the system's language, kept at exit like a choice made
    // in the setup dialog.
    if (!settings.exists && settings.inUserFolder && localeLanguageIndex() >= 0)
        m_setup.Lang = QString::number(localeLanguageIndex());
    LangIndex = languageIndex(m_setup);
    m_folders.load(m_iniPath);
    useQtTranslation();
    // Every window, the task bar and the about box show the picture the menus show.
    QApplication::setWindowIcon(programIcon());

    if (!prompter) {
        m_ownPrompter = std::make_unique<MessagePrompter>();
        prompter = m_ownPrompter.get();
    }
    m_prompter = prompter;
    m_progress = std::make_unique<TPrubehForm>();
    m_session = std::make_unique<Session>(*m_prompter, *m_progress, m_iniPath);
    m_mainWindow =
        std::make_unique<MainWindow>(m_session->image(), m_session->display(), *m_prompter,
                                     m_session->transfer().ZapisZeSouboru());
    if (m_ownPrompter) {
        m_ownPrompter->setParentWidget(m_mainWindow.get());
        m_ownPrompter->setKeepAbove(m_progress.get());
    }
    m_about = std::make_unique<AboutBox>(m_mainWindow.get());
    m_serviceDialogs = std::make_unique<ServiceDialogs>(*m_session, *m_prompter, *m_mainWindow);
    m_serviceDialogs->createOutputsAndMasks();
    // Torque and sensor dialogs: translated here at creation only, never on a language change.
    m_calibration =
        std::make_unique<CalibrationDialogs>(*m_session, m_setup, *m_prompter, m_mainWindow.get());
    m_calibration->createTorqueDialog();
    m_serviceDialogs->createMotorDialog();
    m_parametryForm = std::make_unique<TParametryForm>(
        m_session->image(), m_session->serviceEditing(), m_session->transfer().ZapisZeSouboru(),
        m_mainWindow.get());
    m_serviceDialogs->createPositionDialog();
    m_serviceDialogs->createCptAndControlSignal();
    m_serviceForm = std::make_unique<TServiceForm>(
        TServiceForm::Parts{m_session->sheet(), m_session->serviceEditing(),
                            m_session->serviceActions(), m_session->transfer(), *m_prompter},
        m_mainWindow.get());
    Session* session = m_session.get();
    m_setupForm = std::make_unique<TSetupForm>(
        m_setup, [session](int number) { return session->port().deviceName(number); },
        [session] { return session->isRunning(); }, m_mainWindow.get());
    m_setupForm->setPortInfo(&m_portInfo);
    m_setupForm->setRecordsFolder(m_folders.folder(RecentFolders::Records),
                                  UnitRecords::defaultFolder());
    m_calibration->createSensorDialog();
    m_traceForm = std::make_unique<TraceForm>(m_session->trace(), *m_prompter, m_mainWindow.get());
    m_trendForm = std::make_unique<TrendForm>(m_session->trend(), *m_prompter, m_mainWindow.get());
    m_compareForm = std::make_unique<CompareForm>(*m_session, *m_prompter, m_mainWindow.get());
    m_guideWindow = std::make_unique<GuideWindow>(GuideWindow::findGuide(), m_mainWindow.get());
    m_mainWindow->Napisy(m_session->port().isOpen());
    applyServiceCaptions();
    wire();
    nameForScreenReaders();
}

Program::~Program() = default;

void Program::wire() {
    MainWindow* window = m_mainWindow.get();
    Session* session = m_session.get();
    MonitoringPanel* monitoring = window->monitoringPanel();
    ParameterPanel* parameters = window->parameterPanel();

    m_parameterDisplay =
        std::make_unique<ParameterDisplay>(session->image(), *parameters, *m_parametryForm);
    ParameterDisplay* display = m_parameterDisplay.get();
    session->setPanelHooks(display);
    TParametryForm* dialog = m_parametryForm.get();
    dialog->setOnActivate([display] { display->ZobrazPar(2); });
    dialog->setOnVariantChosen([display](int variant) { display->OdblokujParReg(variant); });
    TServiceForm* service = m_serviceForm.get();
    service->setFileActions(
        {window->action(QStringLiteral("FileOpen1")), window->action(QStringLiteral("FileSaveAs1")),
         window->action(QStringLiteral("Print")), window->action(QStringLiteral("PrintPreview")),
         window->action(QStringLiteral("ExportPdf")), window->action(QStringLiteral("Porovnat"))});
    // The dialogs the rows of the service window open, by the catalogue's editor column.
    service->setEditor(Editor::Parameters, [dialog] { dialog->exec(); });
    m_calibration->wire(*service);
    m_serviceDialogs->wire(*service);
    connect(window, &MainWindow::serviceRequested, service, &TServiceForm::ServiceExecute);
    wireFileCommands();
    connect(parameters, &ParameterPanel::serviceReloadRequested, session,
            [session] { session->serviceEditing().NactiService(1, false); });
    connect(session, &Session::statusText, window, &MainWindow::setStatusText);
    connect(session, &Session::monitorUpdated, window, [session, monitoring, parameters] {
        monitoring->render(session->display());
        parameters->render(session->display());
    });
    connect(monitoring, &MonitoringPanel::writeRequested, session, &Session::requestWrite);
    connect(parameters, &ParameterPanel::writeRequested, session, &Session::requestWrite);
    connect(parameters, &ParameterPanel::linkRequested, session, &Session::ask);
    connect(window->lineErrorsAction(), &QAction::toggled, session,
            [session](bool on) { session->scheduler().setLineErrorsShown(on); });
    connect(window, &MainWindow::firstShown, this, &Program::begin);
    connect(m_compareForm.get(), &CompareForm::openRequested, this, &Program::openParameterFile);
    connect(window->action(QStringLiteral("Prirucka")), &QAction::triggered, this,
            [this] { showGuide(QString()); });
    // F1 in every window of the program opens the guide where it speaks of that window.
    QList<QWidget*> windows;
    for (QWidget* child : window->findChildren<QWidget*>())
        if (child->isWindow() && child != m_guideWindow.get()) windows.append(child);
    for (QWidget* other : std::as_const(windows)) {
        auto* help = new QShortcut(QKeySequence::HelpContents, other);
        help->setContext(Qt::WindowShortcut);
        connect(help, &QShortcut::activated, this,
                [this, other] { showGuide(other->objectName()); });
    }
    // A record that cannot be written is said once per attempt; the work goes on.
    connect(&session->recorder(), &UnitRecorder::recorded, this,
            [this](const QString&, const QString& error) {
                if (!error.isEmpty())
                    m_prompter->message(
                        LangAddedText(QStringLiteral("ZaznamNelzeUlozit")).arg(error),
                        Prompter::Icon::Exclamation);
            });
    // A *.par file dropped on the main or the service window opens as "Otevřít" opens it.
    for (QWidget* target : {static_cast<QWidget*>(window), static_cast<QWidget*>(service)})
        connect(new ParameterFileDrop(*target), &ParameterFileDrop::dropped, this,
                &Program::openParameterFile);
    connect(window, &MainWindow::closing, this, &Program::saveSettings);
    connect(window, &MainWindow::setupRequested, m_setupForm.get(), &QDialog::exec);
    connect(window, &MainWindow::aboutRequested, m_about.get(), &QDialog::exec);
    // The diagnostic windows are not modal: the menu shows one or brings it to the front.
    const std::pair<const char*, QWidget*> diagnostics[] = {
        {"ZaznamKomunikace", m_traceForm.get()},
        {"PrubehVelicin", m_trendForm.get()},
    };
    // The first time over the main window and inside the screen; afterwards where the user
    // left it.
    for (const auto& [action, form] : diagnostics)
        connect(window->action(QString::fromLatin1(action)), &QAction::triggered, form,
                [form, window, placed = false]() mutable {
                    if (!placed) placeOver(*form, *window);
                    placed = true;
                    form->show();
                    form->raise();
                    form->activateWindow();
                });
    connect(m_setupForm.get(), &TSetupForm::restartRequested, this, &Program::restartLink);
    connect(m_setupForm.get(), &TSetupForm::recordsFolderChosen, this,
            [this](const QString& folder) {
                m_folders.setFolder(RecentFolders::Records, folder);
                if (m_recording) recordUnits();
            });
    connect(m_setupForm.get(), &TSetupForm::captionsRequested, this, &Program::applyCaptions);
    connect(m_setupForm.get(), &TSetupForm::portBound, session,
            [session](int number, const QString& device) {
                session->port().devices().bind(number, device);
            });
}

void Program::restartLink() {
    m_session->start(m_setup.Port);
}

void Program::recordUnits() {
    m_recording = true;
    const QString named = m_folders.folder(RecentFolders::Records);
    m_session->recorder().setFolder(named.isEmpty() ? UnitRecords::defaultFolder() : named,
                                    QStringLiteral("kovr"));
}

void Program::begin() {
    restartLink();
    // Once the main window is up: the service window that shows the file is modal.
    if (!m_fileAtStart.isEmpty())
        QMetaObject::invokeMethod(
            this,
            [this, path = std::exchange(m_fileAtStart, QString())] { openParameterFile(path); },
            Qt::QueuedConnection);
}

void Program::applyCaptions() {
    useQtTranslation();
    // The windows this version has, in the order a language change treats them.
    m_mainWindow->Napisy(m_session->port().isOpen());
    applyServiceCaptions();
    m_serviceDialogs->positionCaptions();
    m_serviceDialogs->cptCaptions();
    m_parametryForm->applyCaptions();
    m_serviceDialogs->masksCaptions();
    m_setupForm->applyCaptions();
    m_serviceDialogs->motorCaptions();
    m_progress->applyCaptions();
    m_about->applyCaptions();
    m_serviceDialogs->controlSignalCaptions();
    m_traceForm->applyCaptions();
    m_trendForm->applyCaptions();
    m_compareForm->applyCaptions();
    m_guideWindow->applyCaptions();
    nameForScreenReaders();
}

void Program::nameForScreenReaders() {
    // From the captions the windows have now.
    QList<QWidget*> windows{m_mainWindow.get(), m_progress.get()};
    for (QWidget* child : m_mainWindow->findChildren<QWidget*>())
        if (child->isWindow()) windows.append(child);
    for (QWidget* window : std::as_const(windows))
        nameForAssistiveTech(window);
}

void Program::useQtTranslation() {
    // Qt's translation files by language index; English is Qt's own language.
    static const char* const qtFiles[] = {"qtbase_cs", nullptr, "qtbase_pl", "qtbase_ru"};
    QCoreApplication::removeTranslator(&m_qtTexts);
    const char* file =
        LangIndex >= 0 && LangIndex < int(std::size(qtFiles)) ? qtFiles[LangIndex] : nullptr;
    if (!file) return;
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (m_qtTexts.load(QString::fromLatin1(file), folder))
        QCoreApplication::installTranslator(&m_qtTexts);
    else
        qWarning("%s.qm not found in %s: message box buttons stay in English", file,
                 qPrintable(folder));
}

void Program::applyServiceCaptions() {
    m_serviceForm->applyCaptions();
}

bool Program::saveSettings() {
    QString error;
    // The per-user folder is made at the first save.
    if ((!m_settings.inUserFolder || m_settings.makeFolder(&error)) &&
        m_setup.save(m_iniPath, &error) && m_session->port().devices().saveBindings(&error) &&
        m_folders.save(m_iniPath, &error))
        return true;
    // The text of old, then which file and why, so that the technician can act on it.
    m_prompter->message(QStringLiteral("Chyba při zápisu ini souboru !\n") +
                            QDir::toNativeSeparators(QFileInfo(m_iniPath).absoluteFilePath()) +
                            u'\n' + error,
                        Prompter::Icon::Error);
    return false;
}

void Program::wireFileCommands() {
    const MainWindow* window = m_mainWindow.get();
    const std::pair<const char*, void (Program::*)()> commands[] = {
        {"FileOpen1", &Program::chooseAndOpen},      {"FileSaveAs1", &Program::chooseAndSave},
        {"Print", &Program::printWithDialog},        {"PrintPreview", &Program::previewReport},
        {"ExportPdf", &Program::chooseAndExportPdf}, {"Porovnat", &Program::showCompare},
    };
    for (const auto& [name, slot] : commands)
        connect(window->action(QString::fromLatin1(name)), &QAction::triggered, this, slot);
}

namespace {

// The dialogs' filter, then every file in the chosen language.
QString filters(const QString& own) {
    return own + QStringLiteral(";;") + LangAddedText(QStringLiteral("VsechnySoubory")) +
           QStringLiteral(" (*)");
}

const QString ParFilter = QStringLiteral("(*.par)");

// The window the file dialogs belong to: the service window while it is open.
QWidget* dialogParent(QWidget* service, QWidget* main) {
    return service->isVisible() ? service : main;
}

} // namespace

bool Program::openParameterFile(const QString& path) {
    if (!m_session->parameterFiles().open(path)) return false;
    m_serviceForm->ServiceExecute();
    return true;
}

bool Program::saveParameterFile(const QString& path) {
    return m_session->parameterFiles().save(path);
}

bool Program::exportPdf(const QString& path) {
    // The printer writes its file as it goes: it draws into a scratch file, and the PDF reaches
    // `path` through the saver, whole or not at all.
    QString reason;
    const QByteArray pdf = reportPdf(m_session->parameterFiles().reportLines(), &reason);
    if (!pdf.isEmpty() && FileSaver::save(path, pdf, &reason)) return true;
    m_prompter->message(FileProblem::writeFailed(path, reason), Prompter::Icon::Error);
    return false;
}

QString Program::proposedPath(RecentFolders::Kind kind, const QString& suffix) const {
    const QString serial =
        m_session->sheet()
            .cell(
                ServiceSheet::ProductionGrid, ServiceSheet::TextColumn,
                ParameterCatalogue::productionField(ParameterCatalogue::ElectronicsSerialField).row)
            .trimmed();
    const QString name =
        proposedFileName(serial, QDate::currentDate().toString(Qt::ISODate), suffix);
    const QString folder = m_folders.folder(kind);
    return folder.isEmpty() ? name : QDir(folder).filePath(name);
}

void Program::chooseAndOpen() {
    const QString path = QFileDialog::getOpenFileName(
        dialogParent(m_serviceForm.get(), m_mainWindow.get()), QString(),
        m_folders.folder(RecentFolders::ParameterFiles), filters(ParFilter));
    if (path.isEmpty()) return;
    m_folders.remember(RecentFolders::ParameterFiles, path);
    openParameterFile(path);
}

void Program::chooseAndSave() {
    const QString path = chooseSaveFile(
        dialogParent(m_serviceForm.get(), m_mainWindow.get()), filters(ParFilter),
        QStringLiteral("par"), proposedPath(RecentFolders::ParameterFiles, QStringLiteral("par")));
    if (path.isEmpty()) return;
    m_folders.remember(RecentFolders::ParameterFiles, path);
    saveParameterFile(path);
}

void Program::chooseAndExportPdf() {
    const QString path =
        chooseSaveFile(dialogParent(m_serviceForm.get(), m_mainWindow.get()),
                       filters(QStringLiteral("PDF (*.pdf)")), QStringLiteral("pdf"),
                       proposedPath(RecentFolders::Reports, QStringLiteral("pdf")));
    if (path.isEmpty()) return;
    m_folders.remember(RecentFolders::Reports, path);
    exportPdf(path);
}

void Program::showBeside(QWidget& form, bool& placed) {
    QWidget* modal = QApplication::activeModalWidget();
    QWidget* owner = modal && modal != &form ? modal : m_mainWindow.get();
    if (form.parentWidget() != owner) form.setParent(owner, Qt::Window);
    // The first time over the main window; afterwards where the user left it.
    if (!std::exchange(placed, true)) placeOver(form, *m_mainWindow);
    form.show();
    form.raise();
    form.activateWindow();
}

void Program::showCompare() {
    showBeside(*m_compareForm, m_comparePlaced);
}

void Program::showGuide(const QString& windowName) {
    if (GuideWindow::findGuide().isEmpty()) {
        m_prompter->message(LangAddedText(QStringLiteral("PriruckaNenalezena"))
                                .arg(QDir::toNativeSeparators(GuideWindow::installedGuide())),
                            Prompter::Icon::Information);
        return;
    }
    m_guideWindow->open(GuideWindow::pageFor(windowName, LangIndex));
    showBeside(*m_guideWindow, m_guidePlaced);
}

void Program::printWithDialog() {
    QPrinter printer;
    QPrintDialog dialog(&printer, dialogParent(m_serviceForm.get(), m_mainWindow.get()));
    if (dialog.exec() != QDialog::Accepted) return;
    if (!printReport(printer, m_session->parameterFiles().reportLines()))
        m_prompter->message(LangText(QStringLiteral("menuTisk")) + QStringLiteral(": ") +
                                printer.printerName(),
                            Prompter::Icon::Error);
}

void Program::previewReport() {
    QPrinter printer;
    const QStringList lines = m_session->parameterFiles().reportLines();
    QPrintPreviewDialog preview(&printer, dialogParent(m_serviceForm.get(), m_mainWindow.get()));
    connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
            [&lines](QPrinter* target) { printReport(*target, lines); });
    preview.exec();
}

#include "app/Program.h"

#include "app/Session.h"
#include "lang/Lang.h"
#include "ui/AboutBox.h"
#include "ui/MainWindow.h"
#include "ui/MessagePrompter.h"
#include "ui/MonitoringPanel.h"
#include "ui/ParameterDisplay.h"
#include "ui/ParameterPanel.h"
#include "ui/ParametryForm.h"
#include "ui/PrubehForm.h"
#include "ui/ServiceForm.h"
#include "ui/SetupForm.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QGroupBox>
#include <QLibraryInfo>
#include <QPushButton>

Program::Program(const QString& workingDir, Prompter* prompter)
    : m_iniPath(QDir(workingDir).absoluteFilePath(QStringLiteral("kovr.ini"))) {
    // The settings come first: the language decides every caption the windows get.
    QString error;
    m_setup.load(m_iniPath, &error);
    LangIndex = languageIndex(m_setup);
    useQtTranslation();

    if (!prompter) {
        m_ownPrompter = std::make_unique<MessagePrompter>();
        prompter = m_ownPrompter.get();
    }
    m_prompter = prompter;
    m_progress = std::make_unique<PrubehForm>();
    m_session = std::make_unique<Session>(*m_prompter, *m_progress, m_iniPath);
    m_mainWindow = std::make_unique<MainWindow>(m_session->image(), m_session->display(),
                                                *m_prompter, m_session->transfer().ZapisZeSouboru);
    if (m_ownPrompter) m_ownPrompter->setParentWidget(m_mainWindow.get());
    m_about = std::make_unique<AboutBox>(m_mainWindow.get());
    m_parametryForm =
        std::make_unique<TParametryForm>(m_session->image(), m_session->serviceEditing(),
                                         m_session->transfer().ZapisZeSouboru, m_mainWindow.get());
    m_serviceForm = std::make_unique<TServiceForm>(
        TServiceForm::Parts{m_session->sheet(), m_session->serviceEditing(),
                            m_session->serviceActions(), m_session->transfer(), *m_prompter},
        m_mainWindow.get());
    Session* session = m_session.get();
    m_setupForm = std::make_unique<TSetupForm>(
        m_setup, [session](int number) { return session->port().deviceName(number); },
        [session] { return session->scheduler().KomBezi; }, m_mainWindow.get());
    m_mainWindow->Napisy(m_session->port().isOpen());
    applyServiceCaptions();
    wire();
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
    service->setFileActions({window->action(QStringLiteral("FileOpen1")),
                             window->action(QStringLiteral("FileSaveAs1")),
                             window->action(QStringLiteral("Print"))});
    // The dialogs the rows of the service window open, by the catalogue's editor column.
    service->setEditor(Editor::Parameters, [dialog] { dialog->exec(); });
    connect(window, &MainWindow::serviceRequested, service, &TServiceForm::ServiceExecute);
    connect(parameters, &ParameterPanel::serviceReloadRequested, session,
            [session] { session->serviceEditing().NactiService(1, false); });
    connect(session, &Session::statusText, window, &MainWindow::setStatusText);
    connect(session, &Session::monitorUpdated, window, [session, monitoring, parameters] {
        monitoring->render(session->display());
        parameters->render(session->display());
    });
    connect(monitoring, &MonitoringPanel::writeRequested, session, &Session::requestWrite);
    connect(parameters, &ParameterPanel::writeRequested, session, &Session::requestWrite);
    connect(parameters, &ParameterPanel::komPovelRequested, session,
            [session](int state) { session->scheduler().KomPovel(state); });
    connect(window->lineErrorsAction(), &QAction::toggled, session,
            [session](bool on) { session->scheduler().setLineErrorsShown(on); });
    connect(window, &MainWindow::firstShown, this, &Program::restartLink);
    connect(window, &MainWindow::closing, this, &Program::saveSettings);
    connect(window, &MainWindow::setupRequested, m_setupForm.get(), &QDialog::exec);
    connect(window, &MainWindow::aboutRequested, m_about.get(), &QDialog::exec);
    connect(m_setupForm.get(), &TSetupForm::restartRequested, this, &Program::restartLink);
    connect(m_setupForm.get(), &TSetupForm::captionsRequested, this, &Program::applyCaptions);
}

void Program::restartLink() {
    m_session->start(m_setup.Port);
}

void Program::applyCaptions() {
    useQtTranslation();
    // The windows this version has, in the order a language change treats them.
    m_mainWindow->Napisy(m_session->port().isOpen());
    applyServiceCaptions();
    m_parametryForm->applyCaptions();
    m_setupForm->applyCaptions();
    m_progress->applyCaptions();
    m_about->applyCaptions();
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
    // The file menu and the backup group repeat the main window's captions.
    const MainWindow& window = *m_mainWindow;
    const auto text = [&window](const char* name) {
        const QString object = QString::fromLatin1(name);
        if (const auto* group = window.findChild<QGroupBox*>(object)) return group->title();
        if (const auto* button = window.findChild<QPushButton*>(object)) return button->text();
        return QString();
    };
    m_serviceForm->applyCaptions(window.action(QStringLiteral("File1"))->text(), text("GroupBox19"),
                                 text("Button11"), text("Button12"));
}

bool Program::saveSettings() {
    QString error;
    if (m_setup.save(m_iniPath, &error)) return true;
    m_prompter->message(QStringLiteral("Chyba při zápisu ini souboru !"), Prompter::Icon::Error);
    return false;
}

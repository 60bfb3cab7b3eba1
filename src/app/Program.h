#pragma once

#include "link/SerialPortList.h"
#include "params/RecentFolders.h"
#include "params/SettingsLocation.h"
#include "params/Setup.h"

#include <QObject>
#include <QString>
#include <QTranslator>
#include <memory>

class AboutBox;
class CalibrationDialogs;
class CompareForm;
class GuideWindow;
class ServiceDialogs;
class MainWindow;
class MessagePrompter;
class ParameterDisplay;
class Prompter;
class TPrubehForm;
class Session;
class TParametryForm;
class TServiceForm;
class TSetupForm;
class TraceForm;
class TrendForm;

// The program as a whole: settings, the link session and the windows, wired together. main()
// makes one; end-to-end tests make one with their own prompter and working directory.
class Program : public QObject {
    Q_OBJECT
public:
    // `workingDir` holds kovr.ini; `prompter` answers questions (the program's message boxes
    // when null).
    explicit Program(const QString& workingDir, Prompter* prompter = nullptr);
    // The settings where `settings` says; a file yet to be made in the per-user folder starts
    // in the system's language.
    explicit Program(const SettingsLocation& settings, Prompter* prompter = nullptr);
    ~Program() override;

    MainWindow& mainWindow() { return *m_mainWindow; }
    Session& session() { return *m_session; }
    TSetup& setup() { return m_setup; }
    TSetupForm& setupForm() { return *m_setupForm; }
    TServiceForm& serviceForm() { return *m_serviceForm; }
    TParametryForm& parametryForm() { return *m_parametryForm; }
    // What asks the user's questions: the program's message boxes, or a test's prompter.
    Prompter& prompter() { return *m_prompter; }
    TPrubehForm& progressWindow() { return *m_progress; }
    AboutBox& aboutBox() { return *m_about; }
    // The torque and sensor dialogs.
    CalibrationDialogs& calibrationDialogs() { return *m_calibration; }
    // The position, motor, CPT, error-masks, outputs-test and control-signal dialogs.
    ServiceDialogs& serviceDialogs() { return *m_serviceDialogs; }
    QString iniPath() const { return m_iniPath; }
    // The protocol trace, opened from the manufacturer menu.
    TraceForm& traceForm() { return *m_traceForm; }
    // The trend of the live values, opened from the manufacturer menu.
    TrendForm& trendForm() { return *m_trendForm; }
    // Two parameter sets side by side, opened from the file menus.
    CompareForm& compareForm() { return *m_compareForm; }
    // The technician's guide, opened by "Příručka" and F1.
    GuideWindow& guideWindow() { return *m_guideWindow; }

    // Napisy for the windows a confirmed language change re-translates.
    void applyCaptions();
    // Writes kovr.ini; tells the user when it cannot.
    bool saveSettings();
    // Records every unit read as found and as left, where kovr.ini or the setup dialog says,
    // else beside the backups.
    void recordUnits();
    // A parameter file to open as "Otevřít" does once the link has started (kovr FILE.par).
    void openAtStart(const QString& path) { m_fileAtStart = path; }

    // Parameter files and the report, once the file is chosen (the menu commands ask for it).
    // Opening shows the service window in write-from-file mode.
    bool openParameterFile(const QString& path);
    bool saveParameterFile(const QString& path);
    bool exportPdf(const QString& path);

private:
    void wire();
    void restartLink();
    // The main window's first show: the link starts, then the file of the command line opens.
    void begin();
    void applyServiceCaptions();
    void wireFileCommands();
    void chooseAndOpen();
    void chooseAndSave();
    void chooseAndExportPdf();
    void showCompare();
    // The guide at the section for the window named `windowName`.
    void showGuide(const QString& windowName);
    // A window of the program's own that another window's modal loop would leave unusable
    // belongs to the modal window while it runs.
    void showBeside(QWidget& form, bool& placed);
    // Where a save dialog of `kind` opens: the folder last used and the proposed name.
    QString proposedPath(RecentFolders::Kind kind, const QString& suffix) const;
    void printWithDialog();
    void previewReport();
    // Qt's own texts (the message boxes' buttons, the edits' context menus) in LangIndex.
    void useQtTranslation();
    // Names for assistive technology in every window, after the windows' captions.
    void nameForScreenReaders();

    SettingsLocation m_settings;
    QString m_iniPath;
    QString m_fileAtStart;
    RecentFolders m_folders;
    TSetup m_setup;
    SystemPortInfo m_portInfo;
    QTranslator m_qtTexts;
    std::unique_ptr<MessagePrompter> m_ownPrompter;
    Prompter* m_prompter = nullptr;
    std::unique_ptr<MainWindow> m_mainWindow;
    std::unique_ptr<TPrubehForm> m_progress;
    std::unique_ptr<Session> m_session;
    std::unique_ptr<AboutBox> m_about;
    std::unique_ptr<CalibrationDialogs> m_calibration;
    std::unique_ptr<ServiceDialogs> m_serviceDialogs;
    std::unique_ptr<TParametryForm> m_parametryForm;
    std::unique_ptr<TServiceForm> m_serviceForm;
    std::unique_ptr<TSetupForm> m_setupForm;
    std::unique_ptr<TraceForm> m_traceForm;
    std::unique_ptr<TrendForm> m_trendForm;
    std::unique_ptr<CompareForm> m_compareForm;
    std::unique_ptr<GuideWindow> m_guideWindow;
    bool m_comparePlaced = false;
    bool m_guidePlaced = false;
    bool m_recording = false;
    std::unique_ptr<ParameterDisplay> m_parameterDisplay;
};

#pragma once

#include <QMainWindow>
#include <array>

class QAction;
class QLabel;
class QStatusBar;
class MonitoringPanel;
class ParameterPanel;
class Prompter;
struct DeviceImage;
struct MonitorDisplay;

// TMainForm: the frame around the monitoring panel (left) and the parameter panel (right), with
// the main menu and the ten-panel status bar. It only shows state and forwards what the user
// chose; the program wires it to the link.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int ClientWidth = 971;
    static constexpr int ClientHeight = 520;
    static constexpr int StatusPanels = 10;

    MainWindow(DeviceImage& image, const MonitorDisplay& display, Prompter& prompter,
               const bool& zapisZeSouboru, QWidget* parent = nullptr);

    MonitoringPanel* monitoringPanel() const { return m_monitoring; }
    ParameterPanel* parameterPanel() const { return m_parameters; }

    void setStatusText(int panel, const QString& text);
    QString statusText(int panel) const;

    // Napisy for this window: menu captions, both panels, status panels 7 and 0.
    void Napisy(bool portOpen);

    // Menu commands by object name (FileOpen1, FileExit1, Setup, HelpAbout1, …).
    QAction* action(const QString& name) const;
    QAction* lineErrorsAction() const { return m_lineErrors; }

signals:
    void firstShown();
    void closing();
    void setupRequested();
    void serviceRequested();
    void aboutRequested();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void buildStatusBar();
    // The whole window, frame included, in the middle of the screen it shows on.
    void centreOnScreen();
    void updateStatusHints();

    MonitoringPanel* m_monitoring = nullptr;
    ParameterPanel* m_parameters = nullptr;
    QStatusBar* m_statusBar = nullptr;
    std::array<QLabel*, StatusPanels> m_panels{};
    QAction* m_lineErrors = nullptr;
    bool m_shown = false;
};

#pragma once

#include <QMainWindow>

class QAction;
class QLabel;

// The main window until its panels exist: the live position and the status bar's link panels
// (0 RUN/STOP, 1 the port).
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);

    void setStatusText(int panel, const QString& text);
    // Manufacturer menu's "Chyby komunikace": line errors are reported while checked.
    QAction* lineErrorsAction() const { return m_lineErrors; }
    QString statusText(int panel) const;
    // The monitor display after a record.
    void showMonitor(const struct MonitorDisplay& display);

signals:
    void firstShown();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* m_panels[2] = {};
    QAction* m_lineErrors = nullptr;
    QLabel* m_position = nullptr;
    QLabel* m_records = nullptr;
    qint64 m_recordCount = 0;
    bool m_shown = false;
};

#pragma once

#include "device/TrendPlot.h"
#include "device/TrendRecorder.h"
#include "ui/TrendChart.h"

#include <QWidget>
#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTimer;
class Prompter;

// The trend: position, torque, control signal and temperature of the monitor records against
// time, as the session records them. Pausing freezes the picture while the recording goes on;
// the export writes everything recorded. It never sends anything.
class TrendForm : public QWidget {
    Q_OBJECT
public:
    // How often the open window takes in what was recorded: every two poll cycles, or when the
    // time window has moved on by one of TimeSteps, whichever is the longer.
    static constexpr int RefreshMs = 250;
    static constexpr int TimeSteps = 600;
    // The time windows offered, in minutes.
    static constexpr std::array<int, 4> WindowMinutes{1, 5, 15, 60};

    TrendForm(TrendRecorder& recorder, Prompter& prompter, QWidget* parent = nullptr);
    ~TrendForm() override;

    void applyCaptions();

    // Takes in the samples recorded since the last look and redraws; nothing while paused.
    void refresh();
    bool isPaused() const;
    void setPaused(bool paused);
    // Index into WindowMinutes.
    void setTimeWindow(int index);
    int timeWindowMinutes() const;
    int refreshIntervalMs() const;
    // Everything recorded, as CSV; false (after telling the user) when it cannot be written.
    bool exportTo(const QString& path);

    // The line drawn for a quantity and the axis it is drawn on (for tests and pictures).
    const TrendChart::Line& line(TrendPlot::Quantity quantity) const;
    const TrendChart::Axis& axis(TrendPlot::Quantity quantity) const;
    const TrendChart& chart() const { return *m_chart; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void redraw();
    void showQuantity(TrendPlot::Quantity quantity, bool shown);
    void chooseAndExport();

    TrendRecorder& m_recorder;
    Prompter& m_prompter;
    TrendPlot::Columns m_samples; // what the window has taken in, at most the longest span
    quint64 m_seen = 0;
    TrendChart* m_chart = nullptr;
    std::array<QCheckBox*, TrendPlot::QuantityCount> m_shown{};
    QLabel* m_windowLabel = nullptr;
    QComboBox* m_window = nullptr;
    QPushButton* m_pause = nullptr;
    QPushButton* m_export = nullptr;
    QTimer* m_timer = nullptr;
};

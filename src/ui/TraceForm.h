#pragma once

#include "link/FrameTrace.h"

#include <QWidget>

class QPushButton;
class QTableView;
class QTimer;
class Prompter;
class TraceModel;

// The protocol trace: the frames on the line as the link records them, live. It only shows the
// recording (and clears it on request); it never sends anything.
class TraceForm : public QWidget {
    Q_OBJECT
public:
    // How often the open window takes in what was recorded.
    static constexpr int RefreshMs = 100;

    TraceForm(FrameTrace& trace, Prompter& prompter, QWidget* parent = nullptr);
    ~TraceForm() override;

    void applyCaptions();

    // Takes in the events recorded since the last look; nothing while paused.
    void refresh();
    bool isPaused() const;
    void setPaused(bool paused);
    // Empties the window and the recording.
    void clear();
    // The selected rows, or all when none is selected, to the clipboard as text.
    void copy();
    // The rows shown, as text; false (after telling the user) when the file cannot be written.
    bool saveTo(const QString& path);

    QTableView* table() const { return m_table; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void chooseAndSave();
    QList<TraceEntry> selectedOrAll() const;

    FrameTrace& m_trace;
    Prompter& m_prompter;
    TraceModel* m_model = nullptr;
    QTableView* m_table = nullptr;
    QTimer* m_timer = nullptr;
    QPushButton* m_pause = nullptr;
    QPushButton* m_clear = nullptr;
    QPushButton* m_copy = nullptr;
    QPushButton* m_save = nullptr;
    quint64 m_seen = 0; // number of the next event the window has not taken in
};

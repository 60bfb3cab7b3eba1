#pragma once

#include "ui/PollDialog.h"
#include <array>

class DialogPoll;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class StringGridView;
class TorqueBench;
struct TorqueDisplay;
struct TSetup;

// The torque dialog ("Moment"): the live raw torque, the bench signals and lists of the
// torque calibration with its three commands, the calibration's status and results, and the
// two "Nastavit" buttons that hand results to the service window. Captions in the language of
// start-up: the dialog is translated only when it is created.
class TMomentForm : public PollDialog {
    Q_OBJECT
public:
    struct Parts {
        TorqueBench& bench;
        const TorqueDisplay& display;
        DialogPoll& poll; // the torque poll
        TSetup& setup;    // Stolice_…, Zpusob_Kal: loaded at creation, stored on deactivation
    };

    explicit TMomentForm(const Parts& parts, QWidget* parent = nullptr);

    // Redraws what the last torque record left in the display.
    void render();

    // FormActivate / FormDeactivate: open the torque poll; leave it and keep the bench
    // settings.
    void FormActivate() override;
    void FormDeactivate() override;

    StringGridView* benchGrid() const { return m_grid1; }
    StringGridView* resultGrid() const { return m_grid2; }

signals:
    // Button1: the result cells by [column - 1][row - 1], for W 0..3.
    void resultsTaken(const std::array<std::array<QString, 2>, 2>& results);
    // Button3: the raw torque (Moment_Abs) for the service grid's current row.
    void rawTorqueTaken();

private:
    static constexpr int ClientWidth = 520, ClientHeight = 420;
    static constexpr int LabelWidth = 126, CaptionColumn = 210, ValueColumn = 70;

    void applyCaptions();

    Parts m_parts;
    QGroupBox* m_group1 = nullptr;
    QGroupBox* m_group2 = nullptr;
    QGroupBox* m_group3 = nullptr;
    QLineEdit* m_edit2 = nullptr;      // Průběh
    QLineEdit* m_edit3 = nullptr;      // raw torque
    QLineEdit* m_edit4 = nullptr;      // bench signal measured
    QComboBox* m_combo1 = nullptr;     // Smysl stolice
    QComboBox* m_combo3 = nullptr;     // Způsob kalibrace
    StringGridView* m_grid1 = nullptr; // bench signals
    StringGridView* m_grid2 = nullptr; // results
};

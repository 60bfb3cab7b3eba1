#pragma once

#include "session/LinkRequest.h"
#include "ui/PollDialog.h"
#include <QStringList>

class DialogPoll;
class GaugeWidget;
class QGroupBox;
class QLabel;
class QLineEdit;
class QSlider;
class StringGridView;
struct DeviceImage;
struct PollInputs;
struct SensorDisplay;

// The sensor dialog ("Snímače"): position and the four sensors live, the sensor offsets by
// hand or from the unit's gearbox calibration, the motor and the calibration's commands. The
// offsets typed go into set 2 at once and reach the unit with the next poll; OK hands them to
// the service window. Captions in the language of start-up: translated only at creation.
class TSnimacForm : public PollDialog {
    Q_OBJECT
public:
    struct Parts {
        DeviceImage& image;     // ParB[2][0..3], the offsets the poll carries
        PollInputs& inputs;     // the speed the poll carries
        SensorDisplay& display; // filled by the sensor record; row 1 of the offsets grid
        DialogPoll& poll;       // the sensor poll
    };

    explicit TSnimacForm(const Parts& parts, QWidget* parent = nullptr);

    // Redraws what the last sensor record left in the display.
    void render();

    // FormActivate: the offsets of set 2 into the grid, then the sensor poll. FormDeactivate:
    // back to the monitor poll.
    void FormActivate() override;
    void FormDeactivate() override;

    StringGridView* offsetsGrid() const { return m_grid2; }
    StringGridView* sensorGrid() const { return m_grid1; }

signals:
    // A motor or calibration command.
    void linkRequested(LinkRequest request);
    // OKBtn: the texts of the offsets row for B 0..3.
    void offsetsTaken(const QStringList& offsets);

private:
    static constexpr int ClientWidth = 670, ClientHeight = 330;
    static constexpr int CaptionColumn = 145, SensorColumn = 60;

    void applyCaptions();
    void offsetEdited(int col, int row);

    Parts m_parts;
    GaugeWidget* m_gauge = nullptr;
    QLineEdit* m_edit1 = nullptr; // absolute position
    QLineEdit* m_edit2 = nullptr; // Průběh
    QLineEdit* m_edit3 = nullptr; // Rychlost reported
    QLineEdit* m_edit4 = nullptr; // Čítač
    QSlider* m_trackBar = nullptr;
    StringGridView* m_grid1 = nullptr; // sensors
    StringGridView* m_grid2 = nullptr; // offsets
};

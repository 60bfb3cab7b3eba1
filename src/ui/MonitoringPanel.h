#pragma once

#include "device/MonitorDisplay.h"

#include <QGroupBox>

class GaugeWidget;
class Prompter;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

// GroupBox1 "Monitorování", the left half of the main window: position, control signal,
// torque, motion, inputs and outputs, errors with their counters, running time, relay
// counters, modes and temperature as the monitor decoder leaves them. Its only input is the
// three reset buttons.
class MonitoringPanel : public QGroupBox {
    Q_OBJECT
public:
    static constexpr int Width = 501;
    static constexpr int Height = 507;

    // The main window places the panel (left 8, top -1 of its client area).
    explicit MonitoringPanel(Prompter& prompter, QWidget* parent = nullptr);

    // Shows `display`, touching only the controls whose state differs from the last one shown:
    // this runs for every monitor record.
    void render(const MonitorDisplay& display);
    // Captions, grid labels and error names of the current language.
    void applyCaptions();
    // Gauge2, Edit2 and "mA": shown once the unit's variant has a control signal.
    void setControlSignalVisible(bool visible);

signals:
    // A counter reset confirmed by the user: one transfer segment to queue and write.
    void writeRequested(int start, int stop, int typ, bool cs);

private:
    void build();
    void apply(const MonitorDisplay& display, bool all);
    void askReset(int item);

    Prompter& m_prompter;
    MonitorDisplay m_shown; // what the controls show now

    QGroupBox* m_poloha = nullptr;       // GroupBox3
    QGroupBox* m_ridiciSignal = nullptr; // GroupBox4
    QGroupBox* m_moment = nullptr;
    QGroupBox* m_pozad = nullptr;    // GroupBox5
    QGroupBox* m_motor = nullptr;    // GroupBox15
    QGroupBox* m_snimac = nullptr;   // GroupBox18
    QGroupBox* m_vstupy = nullptr;   // GroupBox6
    QGroupBox* m_casChodu = nullptr; // GroupBox10
    QGroupBox* m_rele = nullptr;     // GroupBox16
    QGroupBox* m_rezimy = nullptr;   // GroupBox11
    QGroupBox* m_teplota = nullptr;
    QGroupBox* m_chyby = nullptr; // GroupBox7

    GaugeWidget* m_gauge1 = nullptr;
    GaugeWidget* m_gauge2 = nullptr;
    GaugeWidget* m_gauge3 = nullptr;
    GaugeWidget* m_gauge4 = nullptr;
    QLineEdit* m_edit1 = nullptr;
    QLineEdit* m_edit2 = nullptr;
    QLineEdit* m_edit3 = nullptr;
    QLineEdit* m_edit4 = nullptr;
    QLineEdit* m_edit5 = nullptr;
    QLineEdit* m_edit6 = nullptr;
    QLineEdit* m_edit7 = nullptr;
    QLineEdit* m_edit9 = nullptr;
    QLineEdit* m_edit12 = nullptr;
    QLineEdit* m_edit14 = nullptr;
    QLineEdit* m_edit15 = nullptr;
    QLabel* m_mA = nullptr;
    QCheckBox* m_checkBox1 = nullptr;
    QCheckBox* m_checkBox2 = nullptr;
    QCheckBox* m_checkBox3 = nullptr;
    QCheckBox* m_checkBox4 = nullptr;
    QCheckBox* m_checkBox5 = nullptr;
    QCheckBox* m_checkBox6 = nullptr;
    QCheckBox* m_checkBox20 = nullptr;
    QCheckBox* m_checkBox21 = nullptr;
    QTableWidget* m_errorGrid = nullptr; // StringGrid1
    QTableWidget* m_ioGrids[3] = {};     // StringGrid2..4
    QPushButton* m_button1 = nullptr;    // errors
    QPushButton* m_button3 = nullptr;    // running time
    QPushButton* m_button10 = nullptr;   // relays
};

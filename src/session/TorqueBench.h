#pragma once

#include <QLocale>
#include <QString>
#include <array>

class CommandScheduler;
class Prompter;
struct PollInputs;
struct TSetup;

// The torque dialog's bench side: the four bench signals in mA as typed, the bench's signal
// sense and the calibration method, their check and conversion into MomentStolice, and the
// calibration commands of the TorquePoint state.
class TorqueBench {
public:
    enum Point { Stop = 0, DirectionO = 1, DirectionZ = 2 };

    TorqueBench(CommandScheduler& scheduler, PollInputs& inputs, Prompter& prompter);

    // StringGrid1's bench cells by [column - 1] (0 O, 1 Z) and [row - 1] (0 minimum point,
    // 1 100 % point), as typed with the user's decimal separator.
    std::array<std::array<QString, 2>, 2> cells;

    // ComboBox1 "Smysl stolice" (0 rising, 1 falling) and ComboBox3 "Způsob kalibrace"
    // (0 static, 1 dynamic); both go out with every state-69 request.
    int sense() const;
    void setSense(int item);
    int method() const;
    void setMethod(int item);

    // Stolice_… of the settings: the four cells as stored text, the two lists as item indexes
    // (0 for anything that is not a number).
    void load(const TSetup& setup);
    void store(TSetup& setup) const;

    // KontrolaMomStolice: every cell checked and converted into MomentStolice pairs 1 (O) and
    // 2 (Z) in 0.002 mA; each faulty cell is reported in its own box. False when any cell is
    // faulty; a value the unit's units cannot hold (more than four decimals) is reported and
    // stops the check there.
    bool KontrolaMomStolice(const QLocale& locale = QLocale());

    // "Otevírat" (O), "Zavírat" (Z): after a successful check, the calibration point and
    // KomPovel(TorquePoint). "Stop": at once, whatever the cells hold.
    void calibrate(Point point, const QLocale& locale = QLocale());

private:
    CommandScheduler& m_scheduler;
    PollInputs& m_inputs;
    Prompter& m_prompter;
};

#pragma once

#include <QDialog>
#include <functional>

class QButtonGroup;
class QLineEdit;
class QPushButton;
class QTableWidget;
struct InputsDisplay;
struct PollInputs;

// The outputs-test dialog (TVystupyForm, "Výstupy"): the unit's relays, CPT output and LED set
// by hand through three radio groups that every outputs poll sends, and the unit's inputs
// record shown live. Its texts are the unit's own Czech names and are never translated.
class TVystupyForm : public QDialog {
    Q_OBJECT
public:
    // `pollWanted` asks for the dialog's live poll when shown (true) and for its end (false).
    TVystupyForm(PollInputs& inputs, std::function<void(bool)> pollWanted,
                 QWidget* parent = nullptr);

    void render(const InputsDisplay& display);

    // The radio groups: 0 relays (RadioGroup1), 1 CPT (RadioGroup3), 2 LED (RadioGroup2).
    QButtonGroup* radioGroup(int group) const { return m_groups[group]; }
    QTableWidget* inputsGrid(int grid) const { return m_grids[grid]; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void selectionChanged();

    PollInputs& m_inputs;
    std::function<void(bool)> m_pollWanted;
    QButtonGroup* m_groups[3] = {};
    QLineEdit* m_edit1 = nullptr;  // control signal
    QLineEdit* m_edit2 = nullptr;  // torque
    QLineEdit* m_edit3 = nullptr;  // temperature
    QTableWidget* m_grids[2] = {}; // StringGrid2, StringGrid3
};

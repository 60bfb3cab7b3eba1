#pragma once

#include "session/LinkRequest.h"

#include <QDialog>
#include <functional>

class GaugeWidget;
class QLineEdit;
class QPushButton;
struct DeviceImage;
struct MonitorDisplay;

// The position dialog (TPolohaForm, "Poloha") and the motor dialog (TMotorForm, "Motor"): one
// layout that drives the actuator and shows its position live. The position dialog's OK takes
// the position over into the service-grid row that opened it; the motor dialog has no OK.
class TMotionForm : public QDialog {
    Q_OBJECT
public:
    enum class Kind { Position, Motor };

    // `ask` asks the link for a motor command.
    TMotionForm(Kind kind, std::function<void(LinkRequest)> ask, QWidget* parent = nullptr);

    // What OK does before the dialog closes (position dialog only).
    void setOnOk(std::function<void()> onOk) { m_onOk = std::move(onOk); }

    void applyCaptions();
    // Gauge, absolute position and end positions as the monitor decoder left them.
    void render(const MonitorDisplay& display, const DeviceImage& image);
    // The position in 0.01 % that the gauge shows.
    int gaugeValue() const;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    Kind m_kind;
    std::function<void(LinkRequest)> m_ask;
    std::function<void()> m_onOk;
    GaugeWidget* m_gauge = nullptr;
    QLineEdit* m_edit1 = nullptr;     // absolute position
    QLineEdit* m_edit2 = nullptr;     // end position Z ("PC")
    QLineEdit* m_edit3 = nullptr;     // end position O ("PO")
    QPushButton* m_button1 = nullptr; // Zavírat
    QPushButton* m_button2 = nullptr; // Otevírat
    QPushButton* m_button3 = nullptr; // Stop
    QPushButton* m_cancel = nullptr;
};

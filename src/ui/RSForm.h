#pragma once

#include <QDialog>
#include <functional>

class QLineEdit;
class QPushButton;
struct MonitorDisplay;

// The control-signal dialog (TRSForm, "Řídicí signál"): the raw control signal live, and OK to
// take it over as the 20 mA point (B 4) or to have the unit take its 0 mA point (B 64).
class TRSForm : public QDialog {
    Q_OBJECT
public:
    explicit TRSForm(QWidget* parent = nullptr);

    // What OK does with the reading shown; the dialog closes when it returns true.
    void setOnOk(std::function<bool(const QString& reading)> onOk) { m_onOk = std::move(onOk); }

    void applyCaptions();
    void render(const MonitorDisplay& display);
    QString reading() const;

private:
    static constexpr int DesignWidth = 182;
    static constexpr int DesignHeight = 84;

    std::function<bool(const QString&)> m_onOk;
    QWidget* m_content = nullptr;
    QLineEdit* m_edit1 = nullptr;
    QPushButton* m_cancel = nullptr;
};

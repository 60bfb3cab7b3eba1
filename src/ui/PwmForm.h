#pragma once

#include <QDialog>
#include <functional>

class Prompter;
class QLineEdit;
class QPushButton;
class QTabWidget;
struct DeviceImage;
struct PollInputs;

// The CPT dialog (TPwmForm, "CPT"): the two calibration values of the CPT current output,
// CPT4 (W 6) on page "4 mA" and CPT20 (W 7) on page "20 mA", while the unit drives the output
// with the value of the page shown (the CPT poll). OK stores both into the target set; closing
// leaves the poll and shows the target values in the service window.
class TPwmForm : public QDialog {
    Q_OBJECT
public:
    struct Links {
        DeviceImage& image;
        PollInputs& inputs;
        Prompter& prompter;
        std::function<void(bool)> pollWanted; // the CPT poll when shown, its end when hidden
        std::function<void()> closed;         // the target values into the service grid
    };

    explicit TPwmForm(Links links, QWidget* parent = nullptr);

    void applyCaptions();
    QLineEdit* edit(int page) const { return m_edits[page]; }
    QTabWidget* pages() const { return m_pages; }
    // The up-down control of a page: one step up (+1) or down (-1) within 0..1023.
    void step(int page, int delta);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void edited(int page);

    Links m_links;
    QTabWidget* m_pages = nullptr;
    QLineEdit* m_edits[2] = {};
    QPushButton* m_cancel = nullptr;
};

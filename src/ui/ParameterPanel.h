#pragma once

#include "device/MonitorHooks.h"
#include "session/LinkRequest.h"

#include <QGroupBox>
#include <QList>
#include <QString>
#include <array>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
struct DeviceImage;
struct MonitorDisplay;
class Prompter;

// The main window's group "Parametry": end positions, relay and SAFE positions, the selectors
// of the most used byte parameters, autocalibration and the backup in the unit. It shows the
// device image and turns the user's changes into set 2 plus a write request; the program
// queues the segment (NastavZapisPar) and asks for the write sequence.
class ParameterPanel : public QGroupBox, public ParameterPanelHooks {
    Q_OBJECT
public:
    ParameterPanel(DeviceImage& image, const MonitorDisplay& display, Prompter& prompter,
                   const bool& zapisZeSouboru, QWidget* parent = nullptr);
    // Where the keyboard starts: the end position O, a control that changes nothing by itself.
    QWidget* firstControl() const;

    // Captions and item lists in the current language; every selection is kept.
    void applyCaptions();
    // Live texts and colours after a monitor record. An edit the decoder did not change since
    // the last render keeps what the user has typed.
    void render(const MonitorDisplay& display);

    // ParameterPanelHooks. ZobrazPar shows set `sada` on this panel (the selectors not while a
    // parameter file is written), then the relay rows and the controls of the variant.
    void ZobrazPar(int sada) override;
    void PorovnejZmenuPolohRele() override;
    void PorovnejZmenuPolohySafe() override;
    bool workingTorqueUnselected(int index) const override;

    void ZobrazPolohyRele(int sada);
    void OdblokujParReg(int provedeni);

signals:
    void writeRequested(int start, int stop, int typ, bool cs);
    void linkRequested(LinkRequest request);
    void motorEnabledChanged(bool enabled);
    void controlSignalVisibleChanged(bool visible);
    void serviceReloadRequested();

private:
    struct SelectorWidgets {
        QComboBox* combo;
        QLabel* label;
    };
    struct RelayWidgets {
        QLabel* label;
        QLineEdit* edit;
    };

    void buildEndPositions();
    void buildRelayPositions();
    void buildSelectors(QGroupBox* group8, QGroupBox* group12);
    void buildAutocalibration();
    void buildSafePosition();
    void buildBackup();
    void orderTabs();

    bool eventFilter(QObject* watched, QEvent* event) override;

    // ComboBox(I, K): the user chose item `item` of the selector of B `b`.
    void ComboBox(int b, int item);
    bool NastavParPodleCombo(int b, int item);
    void endPosition(int dw);
    void relayPositionEdited(int row);
    void Button8Click();
    void Button9Click();
    void Button6Click();
    void PolohaTestNovaHodnota();
    void Button7Click();
    void Button5Click();
    void Button11Click();
    void Button12Click();
    bool ask(const char* key);

    QComboBox* selector(int b) const;

    DeviceImage& m_image;
    Prompter& m_prompter;
    const bool& m_zapisZeSouboru;

    // The widgets keep the names of the window's components (GroupBox9, Button4, ...); what
    // each one is stands beside it.
    QGroupBox* m_group9 = nullptr;    // "Krajní polohy": end positions
    QGroupBox* m_group17 = nullptr;   // "Polohy relé": relay positions
    QGroupBox* m_group8 = nullptr;    // the selectors of the byte parameters
    QGroupBox* m_group14 = nullptr;   // "Autokalibrace"
    QGroupBox* m_group13 = nullptr;   // "Poloha Safe"
    QGroupBox* m_group12 = nullptr;   // "Regulátor": the controller's selectors
    QGroupBox* m_group19 = nullptr;   // "Záloha parametrů": the unit's own parameter backup
    QLineEdit* m_edit13 = nullptr;    // end position Z
    QLineEdit* m_edit11 = nullptr;    // end position O
    QPushButton* m_button4 = nullptr; // "Z": take the present position as end position Z
    QPushButton* m_button2 = nullptr; // "O": take the present position as end position O
    QPushButton* m_button8 = nullptr; // "Akt. poloha": the present position into a relay row
    QPushButton* m_button9 = nullptr; // "Zapsat": write the relay positions
    QList<RelayWidgets> m_relayRows;
    QList<SelectorWidgets> m_selectors; // in the order of ParameterPanelTables::Selectors
    QPushButton* m_button5 = nullptr;   // "Start": start the autocalibration
    QLineEdit* m_edit8 = nullptr;       // the autocalibration's progress
    QPushButton* m_button6 = nullptr;   // "Akt.poloha": the present position as SAFE position
    QPushButton* m_button7 = nullptr;   // "Zapsat": write the SAFE position
    QLineEdit* m_edit20 = nullptr;      // SAFE position
    QPushButton* m_button11 = nullptr;  // "Vytvořit zálohu": the unit backs its parameters up
    QPushButton* m_button12 = nullptr;  // "Obnovit ze zálohy": the unit restores them

    // The decoder's texts of the refreshed edits at the last render.
    struct RenderedTexts {
        QString Edit11, Edit13, Edit20;
        std::array<QString, 4> Edit16_19;
    };
    RenderedTexts m_rendered;
};

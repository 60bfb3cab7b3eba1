#pragma once

#include "device/InputsDecoder.h"
#include "session/DialogPoll.h"
#include "session/LinkRequest.h"

#include <QObject>
#include <QStringList>
#include <memory>

class MainWindow;
class Prompter;
class QWidget;
class Session;
class TChybyForm;
class TMotionForm;
class TPwmForm;
class TRSForm;
class TServiceForm;
class TVystupyForm;

// The position, motor, CPT, error-masks, outputs-test and control-signal dialogs, joined to the
// session's link and records, to the service window whose rows open them and take their
// results, and to the main window's menu commands "Motor" and "Výstupy".
class ServiceDialogs : public QObject {
    Q_OBJECT
public:
    ServiceDialogs(Session& session, Prompter& prompter, MainWindow& window);
    ~ServiceDialogs() override;

    // The windows are made in the program's order of creation.
    void createOutputsAndMasks(); // outputs test, error masks
    void createMotorDialog();
    void createPositionDialog();
    void createCptAndControlSignal();
    // The service window's editors, the menu commands and the live displays.
    void wire(TServiceForm& service);

    // Captions, one window each, for the order a language change treats the windows in. The
    // outputs-test dialog keeps its built-in texts.
    void positionCaptions();
    void cptCaptions();
    void masksCaptions();
    void motorCaptions();
    void controlSignalCaptions();

    TMotionForm& polohaForm() { return *m_polohaForm; }
    TMotionForm& motorForm() { return *m_motorForm; }
    TPwmForm& pwmForm() { return *m_pwmForm; }
    TChybyForm& chybyForm() { return *m_chybyForm; }
    TVystupyForm& vystupyForm() { return *m_vystupyForm; }
    TRSForm& rsForm() { return *m_rsForm; }

private:
    // The condition names as the main window's error grid shows them (rows 1..32).
    QStringList conditionNames() const;
    void ask(LinkRequest request);

    Session& m_session;
    Prompter& m_prompter;
    MainWindow& m_window;
    InputsDisplay m_inputs;
    // The outputs test's poll: it drives the unit's relays and outputs, so it must end with its
    // dialog even when the dialog closes while the poll is still opening.
    DialogPoll m_outputsPoll;
    std::unique_ptr<TVystupyForm> m_vystupyForm;
    std::unique_ptr<TChybyForm> m_chybyForm;
    std::unique_ptr<TMotionForm> m_motorForm;
    std::unique_ptr<TMotionForm> m_polohaForm;
    std::unique_ptr<TPwmForm> m_pwmForm;
    std::unique_ptr<TRSForm> m_rsForm;
};

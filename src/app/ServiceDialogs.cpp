#include "app/ServiceDialogs.h"

#include "device/CptValues.h"
#include "device/ErrorMasks.h"
#include "lang/Lang.h"
#include "link/Prompter.h"
#include "params/ServiceTakeOver.h"
#include "session/Session.h"
#include "ui/ChybyForm.h"
#include "ui/MainWindow.h"
#include "ui/MotionForm.h"
#include "ui/ParameterPanel.h"
#include "ui/PwmForm.h"
#include "ui/RSForm.h"
#include "ui/ServiceForm.h"
#include "ui/VystupyForm.h"

#include <QAction>

ServiceDialogs::ServiceDialogs(Session& session, Prompter& prompter, MainWindow& window)
    : m_session(session)
    , m_prompter(prompter)
    , m_window(window)
    , m_outputsPoll(session.scheduler(), DialogPoll::Kind::Outputs) {}

ServiceDialogs::~ServiceDialogs() = default;

void ServiceDialogs::ask(LinkRequest request) {
    m_session.ask(request);
}

void ServiceDialogs::createOutputsAndMasks() {
    // The dialog asks for its poll when shown and for its end when hidden.
    m_vystupyForm = std::make_unique<TVystupyForm>(
        m_session.inputs(),
        [this](bool wanted) {
            if (wanted)
                m_outputsPoll.activate();
            else
                m_outputsPoll.deactivate();
        },
        &m_window);
    // OK has put the masks into the target set: the service window shows them as changes.
    Session& session = m_session;
    m_chybyForm = std::make_unique<TChybyForm>(
        session.image(),
        [&session] {
            session.serviceEditing().NactiService(2, session.writesFromFile());
            session.serviceEditing().PorovnejZmenuStringGrid();
        },
        &m_window);
}

void ServiceDialogs::createMotorDialog() {
    m_motorForm = std::make_unique<TMotionForm>(
        TMotionForm::Kind::Motor, [this](LinkRequest request) { ask(request); }, &m_window);
}

void ServiceDialogs::createPositionDialog() {
    m_polohaForm = std::make_unique<TMotionForm>(
        TMotionForm::Kind::Position, [this](LinkRequest request) { ask(request); }, &m_window);
}

void ServiceDialogs::createCptAndControlSignal() {
    Session& session = m_session;
    m_pwmForm = std::make_unique<TPwmForm>(
        TPwmForm::Links{session.image(), session.inputs(), m_prompter,
                        [&session](bool wanted) {
                            session.ask(wanted ? LinkRequest::CptPollStart
                                               : LinkRequest::CptPollEnd);
                        },
                        [&session] {
                            CptValues::showInSheet(session.image(), session.sheet());
                            session.serviceEditing().PorovnejZmenuStringGrid();
                        }},
        &m_window);
    m_rsForm = std::make_unique<TRSForm>(&m_window);
}

void ServiceDialogs::wire(TServiceForm& service) {
    // The masks' names are the main window's, which has its captions by now.
    masksCaptions();
    Session& session = m_session;
    TServiceForm* form = &service;
    service.setEditor(Editor::Position, [this] { m_polohaForm->exec(); });
    service.setEditor(Editor::Cpt, [this] { m_pwmForm->exec(); });
    service.setEditor(Editor::ErrorMasks, [this] { m_chybyForm->exec(); });
    service.setEditor(Editor::ControlSignal, [this] { m_rsForm->exec(); });

    m_polohaForm->setOnOk([this, &session, form] {
        const int grid = form->aktivniGrid();
        TakeOver::position(session.sheet(), session.serviceEditing(), grid, form->currentRow(grid),
                           m_polohaForm->gaugeValue(), session.image().Poloha_Abs);
    });
    m_rsForm->setOnOk([this, &session, form](const QString& reading) {
        switch (TakeOver::controlSignal(session.image(), session.sheet(), session.serviceEditing(),
                                        form->currentRow(ServiceSheet::LeftGrid), reading)) {
        case TakeOver::ControlSignal::NoReading:
            m_prompter.message(LangAddedText(QStringLiteral("RidiciSignalNenacten")),
                               Prompter::Icon::Exclamation);
            return false;
        case TakeOver::ControlSignal::Request0mA: ask(LinkRequest::ZeroMilliamp); break;
        case TakeOver::ControlSignal::Stored20mA:
        case TakeOver::ControlSignal::NotItsRow: break;
        }
        return true;
    });

    QAction* motor = m_window.action(QStringLiteral("Motor"));
    connect(motor, &QAction::triggered, this, [this] { m_motorForm->exec(); });
    connect(m_window.parameterPanel(), &ParameterPanel::motorEnabledChanged, motor,
            &QAction::setEnabled);
    connect(m_window.action(QStringLiteral("Vystupy")), &QAction::triggered, this, [this] {
        if (!m_vystupyForm->isActiveWindow()) m_vystupyForm->exec();
    });

    connect(&session, &Session::monitorUpdated, this, [this, &session] {
        m_outputsPoll.monitorRecord();
        m_polohaForm->render(session.display(), session.image());
        m_motorForm->render(session.display(), session.image());
        m_rsForm->render(session.display());
    });
    connect(&session, &Session::inputsRecord, this, [this](const QByteArray& data) {
        if (!m_outputsPoll.dialogRecord()) return; // the dialog has closed: the poll ends
        ZobrazVstupy(data, m_inputs);
        m_vystupyForm->render(m_inputs);
    });
}

QStringList ServiceDialogs::conditionNames() const {
    // The names of the main window's error grid, so that the masks read exactly as it does.
    QStringList names;
    for (int n = 0; n < ErrorMasks::Conditions; ++n)
        names << LangText(ErrorMasks::conditionNameKey(n));
    return names;
}

void ServiceDialogs::positionCaptions() {
    m_polohaForm->applyCaptions();
}

void ServiceDialogs::cptCaptions() {
    m_pwmForm->applyCaptions();
}

void ServiceDialogs::masksCaptions() {
    m_chybyForm->applyCaptions(conditionNames());
}

void ServiceDialogs::motorCaptions() {
    m_motorForm->applyCaptions();
}

void ServiceDialogs::controlSignalCaptions() {
    m_rsForm->applyCaptions();
}

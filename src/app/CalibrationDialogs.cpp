#include "app/CalibrationDialogs.h"

#include "params/ServiceTakeOver.h"
#include "session/Session.h"
#include "ui/MomentForm.h"
#include "ui/ServiceForm.h"
#include "ui/SnimacForm.h"

CalibrationDialogs::CalibrationDialogs(Session& session, TSetup& setup, Prompter& prompter,
                                       QWidget* parent)
    : m_session(session)
    , m_setup(setup)
    , m_parent(parent)
    , m_bench(session.scheduler(), session.inputs(), prompter)
    , m_torquePoll(session.scheduler(), DialogPoll::Kind::Torque)
    , m_sensorPoll(session.scheduler(), DialogPoll::Kind::Sensor) {}

CalibrationDialogs::~CalibrationDialogs() = default;

void CalibrationDialogs::createTorqueDialog() {
    m_momentForm = std::make_unique<TMomentForm>(
        TMomentForm::Parts{m_bench, m_torqueDisplay, m_torquePoll, m_setup}, m_parent);
}

void CalibrationDialogs::createSensorDialog() {
    m_snimacForm = std::make_unique<TSnimacForm>(
        TSnimacForm::Parts{m_session.image(), m_session.inputs(), m_sensorDisplay, m_sensorPoll},
        m_parent);
}

void CalibrationDialogs::wire(TServiceForm& service) {
    Session& session = m_session;
    TMomentForm* moment = m_momentForm.get();
    TSnimacForm* snimac = m_snimacForm.get();
    service.setEditor(Editor::Torque, [moment] { moment->exec(); });
    service.setEditor(Editor::Sensor, [snimac] { snimac->exec(); });

    connect(&session, &Session::torqueRecord, moment,
            [this, &session, moment](const QByteArray& data) {
                ZobrazMoment(data, session.image(), m_torqueDisplay);
                if (m_torquePoll.dialogRecord()) moment->render();
            });
    connect(&session, &Session::sensorRecord, snimac, [this, snimac](const QByteArray& data) {
        ZobrazSnimac(data, m_sensorDisplay);
        if (m_sensorPoll.dialogRecord()) snimac->render();
    });
    connect(&session, &Session::monitorUpdated, this, [this] {
        m_torquePoll.monitorRecord();
        m_sensorPoll.monitorRecord();
    });
    connect(snimac, &TSnimacForm::linkRequested, &session, &Session::ask);

    // Results go into the parameters' rows, each row current in turn as it is taken. A result
    // the dialog never got (the side not calibrated, an offset not read) is empty: its row keeps
    // the value it has, rather than an empty cell that a write would send as 0.
    const auto takeOver = [&session, &service](ParamRef parameter, const QString& text) {
        if (text.isEmpty()) return;
        const GridPlace at =
            takeOverParameter(session.sheet(), session.serviceEditing(), parameter, text);
        if (at.grid >= 0) service.setCurrentRow(at.grid, at.row);
    };
    connect(moment, &TMomentForm::resultsTaken, &service,
            [takeOver](const std::array<std::array<QString, 2>, 2>& results) {
                // (1, 1) W 0 MomentO100, (1, 2) W 1 MomentOMin, (2, 1) W 2, (2, 2) W 3.
                for (int col = 0; col < 2; ++col)
                    for (int row = 0; row < 2; ++row)
                        takeOver({ParameterCatalogue::KindW, 2 * col + row}, results[col][row]);
            });
    connect(snimac, &TSnimacForm::offsetsTaken, &service, [takeOver](const QStringList& offsets) {
        for (int i = 0; i < offsets.size(); ++i)
            takeOver({ParameterCatalogue::KindB, i}, offsets[i]);
    });
    connect(moment, &TMomentForm::rawTorqueTaken, &service, [&session, &service] {
        const int grid = service.aktivniGrid();
        takeOverIntoRow(session.sheet(), session.serviceEditing(), {grid, service.currentRow(grid)},
                        QString::number(session.image().Moment_Abs));
    });
}

#include "session/Session.h"

#include "lang/Lang.h"
#include "params/ParameterCatalogue.h"
#include "params/ProductionTexts.h"
#include "params/UnitBackup.h"

Session::Session(Prompter& prompter, ProgressSink& progress, const QString& iniPath,
                 QObject* parent)
    : QObject(parent)
    , m_port(PortDevices(iniPath))
    , m_scheduler({m_port, m_clock, prompter, progress, m_image, m_inputs, *this})
    , m_transfer(m_image)
    , m_decoder(m_image, m_display, m_sheet, *this, m_transfer.ZapisZeSouboru())
    , m_editing(m_image, m_sheet, m_transfer.writeFromFileSelection)
    , m_actions(prompter, m_scheduler, m_transfer, m_editing, m_image)
    , m_files(
          {prompter, m_scheduler, m_transfer, m_editing, m_sheet, m_image, m_display.errorGrid}) {
    m_scheduler.setTransfer(&m_transfer);
    m_scheduler.setTrace(&m_trace);
    // A loaded file is never written over the unit without a backup of what it held.
    m_actions.setBackup(m_display.errorGrid, UnitBackup::defaultFolder());
    m_transfer.setProductionText([this](int field) {
        return m_sheet.cell(ServiceSheet::ProductionGrid, ServiceSheet::TextColumn,
                            ParameterCatalogue::productionField(field).row);
    });
    m_sheet.applyHeaders();
    m_sheet.setCaption(LangText(QStringLiteral("Parametry")));
    connect(&m_scheduler, &CommandScheduler::statusText, this, &Session::statusText);
    m_transfer.setModeObserver([this](bool fromFile) { emit modeChanged(fromFile); });
}

void Session::start(const QString& portSetting) {
    m_scheduler.setPortSetting(portSetting);
    m_recorder.linkStarted();
    m_scheduler.KomunikaceStart();
}

void Session::requestWrite(int start, int stop, int typ, bool cs) {
    m_transfer.NastavZapisPar(start, stop, typ, cs);
    m_scheduler.KomPovel(CommandScheduler::TransferOpen);
}

void Session::ask(LinkRequest request) {
    using S = CommandScheduler;
    static constexpr std::pair<LinkRequest, int> sequences[] = {
        {LinkRequest::Autocalibration, S::AutocalibrationOpen},
        {LinkRequest::MotorDialogOpened, S::MotorOpen},
        {LinkRequest::MotorStop, S::MotorStop},
        {LinkRequest::MotorOpen, S::MotorOpening},
        {LinkRequest::MotorClose, S::MotorClosing},
        {LinkRequest::SensorMotorStop, S::SensorMotorStop},
        {LinkRequest::SensorMotorOpen, S::SensorMotorOpening},
        {LinkRequest::SensorMotorClose, S::SensorMotorClosing},
        {LinkRequest::SensorCalibrationStart, S::SensorCalibrationStart},
        {LinkRequest::SensorCalibrationStop, S::SensorCalibrationStop},
        {LinkRequest::CptPollStart, S::CptOpen},
        {LinkRequest::ZeroMilliamp, S::ZeroMilliampOpen},
        {LinkRequest::DialogClosed, S::DialogClose},
        {LinkRequest::BackToMonitor, S::MonitorPoll},
    };
    // The CPT poll is not a polling state that accepts KomPovel: its end is asked for directly.
    if (request == LinkRequest::CptPollEnd) {
        m_scheduler.leaveCptPoll();
        return;
    }
    for (const auto& [asked, state] : sequences)
        if (asked == request) m_scheduler.KomPovel(state);
}

void Session::ZobrazMonitor(const QByteArray& data) {
    m_decoder.ZobrazMonitor(data);
    m_trend.record(m_image, m_display);
    if (m_display.variantText != m_variantText) {
        m_variantText = m_display.variantText;
        emit statusText(8, m_variantText);
    }
    emit monitorUpdated();
}

void Session::ZobrazVerzi() {
    if (m_transfer.ZapisZeSouboru()) return;
    ::ZobrazVerzi(m_image, m_sheet);
    // Some fields are repeated in the status bar, read back from the grid.
    for (int field = 0; field < ParameterCatalogue::ProductionFields; ++field) {
        const ProductionField production = ParameterCatalogue::productionField(field);
        if (production.statusPanel >= 0)
            emit statusText(production.statusPanel,
                            m_sheet.cell(ServiceSheet::ProductionGrid, ServiceSheet::TextColumn,
                                         production.row));
    }
}

void Session::SouborVyp() {
    m_transfer.setZapisZeSouboru(false);
    m_sheet.setCaption(LangText(QStringLiteral("Parametry")));
    m_recorder.writeEnded();
    emit transferEnded();
}

void Session::ZobrazPar(int mode) {
    if (m_panelHooks) m_panelHooks->ZobrazPar(mode);
}

void Session::PorovnejZmenuPolohRele() {
    if (m_panelHooks) m_panelHooks->PorovnejZmenuPolohRele();
}

void Session::PorovnejZmenuPolohySafe() {
    if (m_panelHooks) m_panelHooks->PorovnejZmenuPolohySafe();
}

bool Session::workingTorqueUnselected(int index) const {
    return m_panelHooks && m_panelHooks->workingTorqueUnselected(index);
}

#include "session/DialogPoll.h"

#include "link/CommandScheduler.h"

namespace {

constexpr int LeavePoll = CommandScheduler::DialogClose;

int openingState(DialogPoll::Kind kind) {
    switch (kind) {
    case DialogPoll::Kind::Sensor: return CommandScheduler::SensorOpen;
    case DialogPoll::Kind::Torque: return CommandScheduler::TorqueOpen;
    case DialogPoll::Kind::Outputs: return CommandScheduler::OutputsOpen;
    }
    return CommandScheduler::MonitorPoll;
}

} // namespace

DialogPoll::DialogPoll(CommandScheduler& scheduler, Kind kind)
    : m_scheduler(scheduler)
    , m_openState(openingState(kind)) {}

void DialogPoll::activate() {
    m_active = true;
    m_scheduler.KomPovel(m_openState);
}

void DialogPoll::deactivate() {
    m_active = false;
    m_scheduler.KomPovel(LeavePoll);
}

bool DialogPoll::dialogRecord() {
    if (!m_active) m_scheduler.KomPovel(LeavePoll);
    return m_active;
}

void DialogPoll::monitorRecord() {
    if (m_active) m_scheduler.KomPovel(m_openState);
}

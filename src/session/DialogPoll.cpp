#include "session/DialogPoll.h"

#include "link/CommandScheduler.h"

namespace {
constexpr int LeavePoll = 102;
}

DialogPoll::DialogPoll(CommandScheduler& scheduler, int openState)
    : m_scheduler(scheduler)
    , m_openState(openState) {}

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

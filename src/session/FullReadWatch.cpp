#include "session/FullReadWatch.h"

#include "session/Session.h"

FullReadWatch::FullReadWatch(Session& session, bool withTexts)
    : m_session(session)
    , m_withTexts(withTexts) {}

bool FullReadWatch::step() {
    const DeviceImage& image = m_session.image();
    if (image.MonTextCislo > 0)
        m_textsStarted = true;
    else if (m_textsStarted)
        m_textsRead = true;
    if (m_session.isRefreshing()) return false;
    if (m_session.sentMonitorPoll()) ++m_records;
    return (m_textsRead || !m_withTexts) && m_records >= RecordsAfterRefresh;
}

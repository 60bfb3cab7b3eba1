#include "session/UnitRecorder.h"

#include "session/Session.h"

UnitRecorder::UnitRecorder(Session& session)
    : m_session(session) {
    // Once the reply has been dealt with (decoded), not while the scheduler is still at it.
    connect(&session.scheduler(), &CommandScheduler::replyAccepted, this,
            &UnitRecorder::replyAccepted, Qt::QueuedConnection);
}

void UnitRecorder::setFolder(const QString& folder, const QString& writer) {
    m_folder = folder;
    m_writer = writer;
}

void UnitRecorder::expect(UnitRecords::Kind kind) {
    m_expected = kind;
    m_watch.emplace(m_session, true);
}

void UnitRecorder::replyAccepted() {
    if (!m_expected || !m_watch->step()) return;
    const UnitRecords::Kind kind = *m_expected;
    m_expected.reset();
    if (m_folder.isEmpty()) return;
    const UnitRecords::Result result = UnitRecords::record(
        m_session.image(), m_session.display().errorGrid, m_folder, kind, m_writer);
    emit recorded(result.path, result.error);
}

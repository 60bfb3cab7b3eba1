#pragma once

#include "params/UnitRecords.h"
#include "session/FullReadWatch.h"

#include <QObject>
#include <QString>
#include <optional>

class Session;

// Records the connected unit (as found, as left) through UnitRecords once the session has read
// it completely: after the link started, and after every write once the re-read is done.
// Records nothing until it is given a folder.
class UnitRecorder : public QObject {
    Q_OBJECT
public:
    explicit UnitRecorder(Session& session);

    // Where the records go and who writes them ("kovr", "kovr-cli"); an empty folder stops
    // recording.
    void setFolder(const QString& folder, const QString& writer);
    QString folder() const { return m_folder; }

    // The link started: the next complete read is the unit as found.
    void linkStarted() { expect(UnitRecords::Kind::Found); }
    // A write ended: the complete read after it is the unit as left.
    void writeEnded() { expect(UnitRecords::Kind::Left); }
    // A record is still to come (recording on, the read not complete yet).
    bool pending() const { return !m_folder.isEmpty() && m_expected.has_value(); }

signals:
    // A record written, or found unneeded (`path` empty), or failed (`error`).
    void recorded(const QString& path, const QString& error);

private:
    void expect(UnitRecords::Kind kind);
    void replyAccepted();

    Session& m_session;
    QString m_folder;
    QString m_writer;
    std::optional<UnitRecords::Kind> m_expected;
    std::optional<FullReadWatch> m_watch;
};

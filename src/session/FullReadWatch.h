#pragma once

class Session;

// Tells, reply by reply, when the unit has been read completely: the refresh is over, a few
// monitor records have followed it (its last double words come back in them), and — when
// asked for — every production text has come round once, the text cursor having started at
// text 0 and returned to it.
class FullReadWatch {
public:
    FullReadWatch(Session& session, bool withTexts);

    // Monitor records the refresh must be over by before its last double words count as read.
    static constexpr int RecordsAfterRefresh = 3;

    // To be called after every accepted reply has been dealt with (queued behind
    // CommandScheduler::replyAccepted, which comes before the decoding); true from the reply on
    // which the read is complete.
    bool step();

private:
    Session& m_session;
    bool m_withTexts;
    bool m_textsStarted = false;
    bool m_textsRead = false;
    int m_records = 0;
};

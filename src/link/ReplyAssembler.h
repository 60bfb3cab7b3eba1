#pragma once

#include <QByteArray>

// Collects a reply from the characters the port hands over until it is L + 9 characters
// long with a matching checksum. Nothing before ESC is skipped: a spoiled reply waits for the
// next send to start over.
class ReplyAssembler {
public:
    // What the characters appended so far make of the reply.
    enum class Verdict { Incomplete, Accepted, BadChecksum, TooLong };

    // At every send: the buffer is emptied and seven characters are expected.
    void reset();
    // Whether `count` waiting characters are worth reading now.
    bool wantsRead(int count) const { return count > 0 && count >= m_missing; }
    // Appends what was read; true when the buffer now holds an accepted reply.
    bool append(const QByteArray& chars);

    Verdict verdict() const { return m_verdict; }
    const QByteArray& buffer() const { return m_buffer; }
    int missing() const { return m_missing; }

private:
    QByteArray m_buffer; // InBuff
    int m_missing = 7;   // ChybiZnaku
    Verdict m_verdict = Verdict::Incomplete;
};

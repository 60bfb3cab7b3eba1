#include "link/ReplyAssembler.h"

#include "wire/Frame.h"

void ReplyAssembler::reset() {
    m_missing = Frame::MinimumReplyLength;
    m_verdict = Verdict::Incomplete;
    m_buffer.resize(0); // keeps the capacity for the next reply
}

bool ReplyAssembler::append(const QByteArray& chars) {
    m_buffer.append(chars);
    if (m_buffer.isEmpty() || m_buffer.front() != Frame::Esc) return false;
    const int length = HexToInt(midView(m_buffer, 5, 2)) + Frame::Overhead;
    m_missing = length - int(m_buffer.size());
    if (m_buffer.size() != length) {
        if (m_missing < 0) m_verdict = Verdict::TooLong;
        return false;
    }
    m_verdict = checksumMatches(m_buffer) ? Verdict::Accepted : Verdict::BadChecksum;
    return m_verdict == Verdict::Accepted;
}

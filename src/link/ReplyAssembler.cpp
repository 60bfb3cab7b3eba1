#include "link/ReplyAssembler.h"

#include "wire/Frame.h"

void ReplyAssembler::reset() {
    m_missing = Frame::MinimumReplyLength;
    m_buffer.resize(0); // keeps the capacity for the next reply
}

bool ReplyAssembler::append(const QByteArray& chars) {
    m_buffer.append(chars);
    if (m_buffer.isEmpty() || m_buffer.front() != Frame::Esc) return false;
    const int length = HexToInt(midView(m_buffer, 5, 2)) + Frame::Overhead;
    m_missing = length - int(m_buffer.size());
    if (m_buffer.size() != length) return false;
    return checksumMatches(m_buffer);
}

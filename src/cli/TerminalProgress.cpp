#include "cli/TerminalProgress.h"

#include <algorithm>
#include <cstdio>
#include <unistd.h>

TerminalProgress::TerminalProgress()
    : TerminalProgress(stderr, ::isatty(STDERR_FILENO) == 1) {}

TerminalProgress::TerminalProgress(std::FILE* out, bool terminal)
    : m_out(out)
    , m_terminal(terminal) {}

void TerminalProgress::prepare(int maximum) {
    m_minimum = 0;
    m_maximum = std::max(0, maximum);
    m_position = 0;
    draw();
}

void TerminalProgress::resetAndClose() {
    close();
    m_minimum = 0;
    m_maximum = IdleMaximum;
    m_position = 0;
}

void TerminalProgress::setRange(int minimum, int maximum) {
    m_minimum = minimum;
    m_maximum = std::max(minimum, maximum);
    draw();
}

void TerminalProgress::setPosition(int position) {
    m_position = std::clamp(position, m_minimum, m_maximum);
    draw();
}

void TerminalProgress::show() {
    m_shown = true;
    draw();
}

void TerminalProgress::close() {
    if (m_shown && m_terminal) std::fputs("\r\033[K", m_out);
    m_shown = false;
}

void TerminalProgress::draw() {
    if (!m_shown || !m_terminal) return;
    std::fprintf(m_out, "\r\033[K%s %d/%d", qUtf8Printable(m_label), m_position, m_maximum);
    std::fflush(m_out);
}

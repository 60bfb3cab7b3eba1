#include "cli/TerminalProgress.h"

#include <algorithm>
#include <cstdio>
#include <unistd.h>

TerminalProgress::TerminalProgress()
    : m_terminal(::isatty(STDERR_FILENO) == 1) {}

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
    if (m_shown && m_terminal) std::fputs("\r\033[K", stderr);
    m_shown = false;
}

void TerminalProgress::draw() {
    if (!m_shown || !m_terminal) return;
    std::fprintf(stderr, "\r\033[K%s %d/%d", qUtf8Printable(m_label), m_position, m_maximum);
    std::fflush(stderr);
}

#pragma once

#include "link/ProgressSink.h"

#include <QString>
#include <cstdio>

// The progress window of the link on stderr: "label n/m" redrawn on one line, and only when
// stderr is a terminal, so that a script's log gets no progress noise.
class TerminalProgress : public ProgressSink {
public:
    TerminalProgress();
    // Draws on `out`, treated as a terminal or not.
    TerminalProgress(std::FILE* out, bool terminal);

    // Shown in front of the counts: what the link is doing now.
    void setLabel(const QString& label) { m_label = label; }

    void setRange(int minimum, int maximum) override;
    void setPosition(int position) override;
    int position() const override { return m_position; }
    int maximum() const override { return m_maximum; }
    void show() override;
    void close() override;
    bool isActive() const override { return m_shown; }
    bool isEnabled() const override { return m_shown; }
    // A new count from 0, drawn once: no bar to keep from animating back, so no passing
    // through the old count or the old maximum.
    void prepare(int maximum) override;
    void resetAndClose() override;

private:
    void draw();

    std::FILE* m_out;
    bool m_terminal;
    bool m_shown = false;
    int m_minimum = 0;
    int m_maximum = 100;
    int m_position = 0;
    QString m_label;
};

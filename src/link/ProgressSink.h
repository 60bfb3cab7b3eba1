#pragma once

// The progress window as the link drives it: a bar that is shown for a refresh or a transfer
// and closed at its end. Never modal, never takes input.
class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    virtual void setRange(int minimum, int maximum) = 0;
    virtual void setPosition(int position) = 0;
    virtual int position() const = 0;
    virtual int maximum() const = 0;
    virtual void show() = 0;
    virtual void close() = 0;
    // The window is shown and is the active window.
    virtual bool isActive() const = 0;
    virtual bool isEnabled() const = 0;

    // Position 0 of `maximum` (the bar is first moved to its end so it never animates back).
    virtual void prepare(int maximum) {
        setPosition(this->maximum());
        setRange(0, maximum);
        setPosition(0);
    }
    // The range a closed bar is left at.
    static constexpr int IdleMaximum = 1000;

    virtual void resetAndClose() {
        prepare(IdleMaximum);
        close();
    }
};

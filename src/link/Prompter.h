#pragma once

#include <QString>

// Questions and message boxes of the link and the windows (caption "KOVR"). The program
// shows modal boxes; tests answer them.
class Prompter {
public:
    enum class Icon { Exclamation, Error, Information };

    virtual ~Prompter() = default;
    virtual bool askYesNo(const QString& text) = 0;
    virtual void message(const QString& text, Icon icon) = 0;
};

#pragma once

#include "link/Prompter.h"

#include <QObject>
#include <QString>

// The link's questions and message boxes without a window: the one question a command means
// to answer (the write question) gets Yes, every other question No, and both a refused
// question and an error message are reported for the command to end with.
class CliPrompter : public QObject, public Prompter {
    Q_OBJECT
public:
    using QObject::QObject;

    // The question answered Yes, also with lines added below it; any other gets No.
    void expectQuestion(const QString& text) { m_expected = text; }
    // The whole text of the question last answered Yes.
    QString acceptedQuestion() const { return m_accepted; }

    bool askYesNo(const QString& text) override;
    void message(const QString& text, Icon icon) override;

    // The last error message as one line, empty when there was none.
    QString lastError() const { return m_lastError; }

    // Message-box texts have line breaks; a terminal line has none.
    static QString oneLine(const QString& text);

signals:
    void questionRefused(const QString& text);
    void errorShown(const QString& text);

private:
    QString m_expected;
    QString m_accepted;
    QString m_lastError;
};

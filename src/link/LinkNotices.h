#pragma once

#include "link/Port.h"

#include <QString>

// The link's messages with the tool's own explanation under the dictionary's text: the
// dictionary's text stays the first line, so a technician who knows the old message still
// recognises it.

// "Požadovaný COM port není k dispozici" and, below it, why the port did not open.
QString portUnavailableText(const Port::OpenProblem& problem);

// "ChybaKomunikace", a line naming the port that was tried (`port` "COM3" and the `device` it
// opens), and a line saying that the adapter of `lostDevice` was disconnected when the port
// reported the loss (`lostDevice` empty: no such line).
QString linkQuestionText(const QString& port, const QString& device,
                         const QString& lostDevice = {});

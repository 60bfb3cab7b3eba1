#pragma once

#include <QByteArray>
#include <QString>

// A text as the unit's bytes, one per character (Latin-1), as the production texts travel on the
// line and stand in a parameter file: a character beyond one byte has no byte of its own and goes
// as '?', as the unit would show it.
inline QByteArray unitBytes(const QString& text) {
    QByteArray bytes = text.toLatin1();
    for (qsizetype i = 0; i < text.size() && i < bytes.size(); ++i)
        if (text.at(i).unicode() > 0xFF) bytes[i] = '?';
    return bytes;
}

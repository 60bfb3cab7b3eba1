#include "cli/CliPrompter.h"

#include <QRegularExpression>
#include <cstdio>

bool CliPrompter::askYesNo(const QString& text) {
    if (!m_expected.isEmpty() &&
        (text == m_expected || text.startsWith(m_expected + QLatin1Char('\n')))) {
        m_accepted = text;
        return true;
    }
    emit questionRefused(text);
    return false;
}

void CliPrompter::message(const QString& text, Icon icon) {
    if (icon == Icon::Information) {
        std::fprintf(stderr, "kovr-cli: %s\n", qUtf8Printable(oneLine(text)));
        return;
    }
    m_lastError = oneLine(text);
    emit errorShown(m_lastError);
}

QString CliPrompter::oneLine(const QString& text) {
    static const QRegularExpression breaks(QStringLiteral("[\\r\\n]+"));
    QStringList parts = text.split(breaks, Qt::SkipEmptyParts);
    for (QString& part : parts)
        part = part.trimmed();
    parts.removeAll(QString());
    QString line;
    for (const QString& part : std::as_const(parts)) {
        // A line that ends a sentence or introduces the next is followed by a blank only.
        if (!line.isEmpty())
            line += QStringView(u".:!?").contains(line.back()) ? QStringLiteral(" ")
                                                               : QStringLiteral(": ");
        line += part;
    }
    return line;
}

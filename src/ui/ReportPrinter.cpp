#include "ui/ReportPrinter.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>

bool printReport(QPrinter& printer, const QStringList& lines) {
    printer.setDocName(QStringLiteral("KOVR"));
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    QFont font(QStringLiteral("Courier New"), 10);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    painter.setFont(font);
    const QFontMetrics metrics(font, &printer);
    const int lineHeight = metrics.lineSpacing();
    const int pageHeight = painter.viewport().height();
    int y = 0;
    for (const QString& line : lines) {
        if (y + lineHeight > pageHeight) {
            printer.newPage();
            y = 0;
        }
        painter.drawText(0, y + metrics.ascent(), line);
        y += lineHeight;
    }
    return painter.end();
}

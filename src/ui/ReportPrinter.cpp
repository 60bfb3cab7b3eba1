#include "ui/ReportPrinter.h"

#include "files/FileReader.h"
#include "lang/Lang.h"

#include <QDir>
#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>

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

QByteArray reportPdf(const QStringList& lines, QString* reason) {
    // Far beyond the few pages of a report with its fonts.
    constexpr qint64 MaximumPdfSize = 64 * 1024 * 1024;
    const QTemporaryDir scratch;
    if (!scratch.isValid()) {
        *reason = scratch.errorString();
        return {};
    }
    const QString file = scratch.filePath(QStringLiteral("report.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    QByteArray pdf;
    // A PDF that the printer could not finish lacks its end-of-file mark.
    if (printReport(printer, lines) &&
        FileReader::read(file, MaximumPdfSize, &pdf, reason) == FileReader::Outcome::Read &&
        pdf.trimmed().endsWith("%%EOF"))
        return pdf;
    *reason = LangAddedText(QStringLiteral("PdfNevytvoren"))
                  .arg(QDir::toNativeSeparators(QDir::tempPath()));
    return {};
}

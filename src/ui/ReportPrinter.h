#pragma once

#include <QByteArray>
#include <QStringList>

class QPrinter;

// Lays the report's lines out on a printer, a PDF file or a preview: "Courier New" 10 pt, fixed
// pitch; a line that no longer fits on the page starts the next one. The job is named "KOVR".
// False when the printer cannot be opened.
bool printReport(QPrinter& printer, const QStringList& lines);

// The report as a PDF document; empty, with the reason, when it could not be drawn.
QByteArray reportPdf(const QStringList& lines, QString* reason);

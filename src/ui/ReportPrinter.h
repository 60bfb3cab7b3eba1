#pragma once

#include <QStringList>

class QPrinter;

// Lays the report's lines out on a printer, a PDF file or a preview: "Courier New" 10 pt, fixed
// pitch; a line that no longer fits on the page starts the next one. The job is named "KOVR".
// False when the printer cannot be opened.
bool printReport(QPrinter& printer, const QStringList& lines);

// The print preview of the printable (HTML) report of the shown events, from
// which the user prints it or saves it as a PDF.
#pragma once

#include "lists/shown_rows.h"
#include "lists/t7k_event_list.h"

class QPrinter;
class QWidget;

namespace logwick {

// Lays the report out on printer's pages and prints it there.
void PrintReport(QPrinter& printer, const CT7KEventList& list, const ShownRows& rows);
// Shows the preview (A4) until the user closes it.
void ShowReportPreview(QWidget* owner, const CT7KEventList& list, const ShownRows& rows);

}  // namespace logwick

// A printable report of the events as one self-contained HTML file: inline
// CSS, no scripts, nothing loaded from elsewhere. It opens with the list's
// header and the SHA-256 of the whole list, then a summary of the events
// written (counts per kind, period, the busiest beams and devices, every
// finding of the integrity check), then the events table, whose header row
// repeats on every printed A4 page. Every text from the file or the panel is
// escaped.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "lists/integrity_check.h"
#include "lists/report_sink.h"
#include "lists/shown_rows.h"
#include "lists/t7k_event_list.h"

namespace logwick {

// text (UTF-8) with &, <, >, " and ' as character references, and control
// characters (which HTML does not allow) as U+FFFD; tabs and line breaks stay.
void AppendHtmlEscaped(std::string& out, std::string_view text);

void WriteHtmlReport(ReportSink& sink, const CT7KEventList& list, const ShownRows& rows);
// The report's header and summary alone, as one document, without the events
// table and without the findings' table: for a page layout that draws long
// tables itself. The findings of the summary go to `findings`.
std::string HtmlReportSummary(const CT7KEventList& list, const ShownRows& rows,
                              std::vector<Finding>& findings);

}  // namespace logwick

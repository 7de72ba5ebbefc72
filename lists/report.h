// The text report of an event list: four header lines that name the panel and
// the reading, then one line per exported event, "time text + blank +
// sentence". The file is Windows-1251 with CR LF after every line; the same
// lines in UTF-8 feed the list view and the terminal.
#pragma once

#include <array>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "lists/atomic_file.h"
#include "lists/report_sink.h"
#include "lists/shown_rows.h"
#include "lists/t7k_event_list.h"

namespace logwick {

inline constexpr char kMsgReportWriteError[] = "Ошибка записи файла";

// The header lines (UTF-8, without line ends).
std::array<std::string, 4> ReportHeaderLines(const CT7KEventList& list);

// Appends the row of one event (UTF-8, without line end) to out.
void AppendEventLine(std::string& out, const CT7KEvent& ev, const std::vector<std::string>& texts);

// Hands every line of the report to sink, in order (UTF-8, without line ends):
// the header, then the events on `rows`, or those `admit` admits.
void ForEachReportLine(const CT7KEventList& list, const ShownRows& rows,
                       const std::function<void(std::string_view)>& sink);
void ForEachReportLine(const CT7KEventList& list, const EventPredicate& admit,
                       const std::function<void(std::string_view)>& sink);

// Writes the report bytes (Windows-1251, CR LF) of the events on rows to sink
// and flushes it.
void WriteTextReport(ReportSink& sink, const CT7KEventList& list, const ShownRows& rows);

// Writes the report file at path (UTF-8): all of it or, on failure, nothing.
// (Other forms of report: report_formats.h.)
StoreOutcome WriteReportFile(const std::string& path, const CT7KEventList& list, const ShownRows& rows);
StoreOutcome WriteReportFile(const std::string& path, const CT7KEventList& list, const EventPredicate& admit);

}  // namespace logwick

// The text report of an event list: four header lines that name the panel and
// the reading, then one line per exported event, "time text + blank +
// sentence". The file is Windows-1251 with CR LF after every line; the same
// lines in UTF-8 feed the list view and the terminal.
//
// A list stitched from several read-outs may carry gap marks, where events may
// have been lost between two of them; each is one line of its own between the
// events it separates, written only between two exported events, and marks
// with no exported event between them are written once.
#pragma once

#include <array>
#include <cstdio>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "lists/atomic_file.h"
#include "lists/report_sink.h"
#include "lists/shown_rows.h"
#include "lists/t7k_event_list.h"

namespace logwick {

inline constexpr char kMsgReportWriteError[] = "Ошибка записи файла";
inline constexpr char kGapMarkLine[] = "--- возможен пропуск событий ---";

// The header lines (UTF-8, without line ends).
std::array<std::string, 4> ReportHeaderLines(const CT7KEventList& list);

// Appends the row of one event (UTF-8, without line end) to out.
void AppendEventLine(std::string& out, const CT7KEvent& ev, const std::vector<std::string>& texts);

// Hands every line of the report to sink, in order (UTF-8, without line ends):
// the header, then the events on `rows`, or those `admit` admits. A gap mark
// is written as its own line between two reported events it lies between;
// several with no reported event between them make one line.
void ForEachReportLine(const CT7KEventList& list, const ShownRows& rows,
                       const std::function<void(std::string_view)>& sink, GapMarks gaps = {});
void ForEachReportLine(const CT7KEventList& list, const EventPredicate& admit,
                       const std::function<void(std::string_view)>& sink, GapMarks gaps = {});

// Writes the report bytes (Windows-1251, CR LF) of the events on rows to sink,
// with the gap marks between them, and flushes it.
void WriteTextReport(ReportSink& sink, const CT7KEventList& list, const ShownRows& rows, GapMarks gaps = {});

// Writes the report file at path (UTF-8): all of it or, on failure, nothing.
// (Other forms of report, and gap marks: report_formats.h.)
FileOutcome WriteReportFile(const std::string& path, const CT7KEventList& list, const ShownRows& rows);
FileOutcome WriteReportFile(const std::string& path, const CT7KEventList& list, const EventPredicate& admit);

}  // namespace logwick

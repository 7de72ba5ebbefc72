// The forms a report of an event list can take, and writing any of them to a
// file through the same atomic store: the file is wholly written or left as
// it was.
//
//   txt    the panel tool's own text report (Windows-1251, CR LF)
//   csv    data for spreadsheets (csv_report.h)
//   jsonl  data for scripts (jsonl_report.h)
//   html   a printable report with a summary (html_report.h)
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "lists/atomic_file.h"
#include "lists/csv_report.h"
#include "lists/shown_rows.h"
#include "lists/t7k_event_list.h"

namespace logwick {

enum class ReportFormat { Text, Csv, JsonLines, Html };

struct ReportFormatName {
  ReportFormat format;
  std::string_view name;       // as the command line takes it: "txt", "csv", "jsonl", "html"
  std::string_view extension;  // ".txt", ".csv", ".jsonl", ".html"
};
inline constexpr std::array<ReportFormatName, 4> kReportFormats = {{
    {ReportFormat::Text, "txt", ".txt"},
    {ReportFormat::Csv, "csv", ".csv"},
    {ReportFormat::JsonLines, "jsonl", ".jsonl"},
    {ReportFormat::Html, "html", ".html"},
}};

std::optional<ReportFormat> ReportFormatFromName(std::string_view name);

struct ReportOptions {
  ReportFormat format = ReportFormat::Text;
  char csvSeparator = kDefaultCsvSeparator;
  GapMarks gaps;  // written by the text report only
};

// Writes the report of the events on rows to an open binary stream; throws
// CFileException naming path when a write fails.
void WriteReportAs(std::FILE* out, const std::string& path, const CT7KEventList& list, const ShownRows& rows,
                   const ReportOptions& options);

// Writes the report file at path (UTF-8): all of it or, on failure, nothing.
FileOutcome WriteReportFile(const std::string& path, const CT7KEventList& list, const ShownRows& rows,
                            const ReportOptions& options);
FileOutcome WriteReportFile(const std::string& path, const CT7KEventList& list, const EventPredicate& admit,
                            const ReportOptions& options);

}  // namespace logwick

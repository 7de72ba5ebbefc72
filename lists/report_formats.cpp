#include "lists/report_formats.h"

#include "lists/file_errors.h"
#include "lists/html_report.h"
#include "lists/jsonl_report.h"
#include "lists/report.h"

namespace logwick {

std::optional<ReportFormat> ReportFormatFromName(std::string_view name) {
  for (const ReportFormatName& f : kReportFormats)
    if (f.name == name) return f.format;
  return std::nullopt;
}

void WriteReportAs(std::FILE* out, const std::string& path, const CT7KEventList& list, const ShownRows& rows,
                   const ReportOptions& options) {
  using Writer = void (*)(ReportSink&, const CT7KEventList&, const ShownRows&, const ReportOptions&);
  // By ReportFormat.
  static constexpr Writer kWriters[] = {
      [](ReportSink& s, const CT7KEventList& l, const ShownRows& a, const ReportOptions& o) {
        WriteTextReport(s, l, a, o.gaps);
      },
      [](ReportSink& s, const CT7KEventList& l, const ShownRows& a, const ReportOptions& o) {
        WriteCsvReport(s, l, a, o.csvSeparator);
      },
      [](ReportSink& s, const CT7KEventList& l, const ShownRows& a, const ReportOptions&) {
        WriteJsonLinesReport(s, l, a);
      },
      [](ReportSink& s, const CT7KEventList& l, const ShownRows& a, const ReportOptions&) {
        WriteHtmlReport(s, l, a);
      },
  };
  ReportSink sink(FileDrain(out, path));
  kWriters[static_cast<std::size_t>(options.format)](sink, list, rows, options);
}

FileOutcome WriteReportFile(const std::string& path, const CT7KEventList& list, const ShownRows& rows,
                            const ReportOptions& options) {
  try {
    AtomicFile file(path);
    WriteReportAs(file.Stream(), path, list, rows, options);
    file.Commit();
    return {};
  } catch (const CFileException& e) {
    return {FileStatus::WriteError, e.m_strOsError};
  }
}

FileOutcome WriteReportFile(const std::string& path, const CT7KEventList& list, const EventPredicate& admit,
                            const ReportOptions& options) {
  return WriteReportFile(path, list, ShownRows(list, admit), options);
}

}  // namespace logwick

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

void WriteReportAs(std::FILE* out, const std::string& path, const CT7KEventList& list,
                   const EventPredicate& admit, const ReportOptions& options) {
  using Writer = void (*)(ReportSink&, const CT7KEventList&, const EventPredicate&, const ReportOptions&);
  // By ReportFormat.
  static constexpr Writer kWriters[] = {
      [](ReportSink& s, const CT7KEventList& l, const EventPredicate& a, const ReportOptions&) {
        WriteTextReport(s, l, a);
      },
      [](ReportSink& s, const CT7KEventList& l, const EventPredicate& a, const ReportOptions& o) {
        WriteCsvReport(s, l, a, o.csvSeparator);
      },
      [](ReportSink& s, const CT7KEventList& l, const EventPredicate& a, const ReportOptions&) {
        WriteJsonLinesReport(s, l, a);
      },
      [](ReportSink& s, const CT7KEventList& l, const EventPredicate& a, const ReportOptions&) {
        WriteHtmlReport(s, l, a);
      },
  };
  ReportSink sink(FileDrain(out, path));
  kWriters[static_cast<std::size_t>(options.format)](sink, list, admit, options);
}

StoreOutcome WriteReportFile(const std::string& path, const CT7KEventList& list, const EventPredicate& admit,
                             const ReportOptions& options) {
  try {
    AtomicFile file(path);
    WriteReportAs(file.Stream(), path, list, admit, options);
    file.Commit();
    return {true, {}};
  } catch (const CFileException& e) {
    return {false, e.m_strOsError};
  }
}

}  // namespace logwick

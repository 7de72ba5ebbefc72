#include "lists/report.h"

#include "events/codec.h"
#include "events/strformat.h"
#include "lists/gap_rows.h"
#include "lists/panel_types.h"
#include "lists/report_formats.h"

namespace logwick {
namespace {

constexpr char kLineEnd[] = "\r\n";

}  // namespace

std::array<std::string, 4> ReportHeaderLines(const CT7KEventList& l) {
  return {
      StrFormat("Список событий прибора %s (с/н %d), считанный %02d/%02d/%04d %02d:%02d:%02d",
                PanelTypeName(l.m_nPanelType).c_str(), l.m_nSerNum, l.m_nReadDay, l.m_nReadMonth,
                l.m_nReadYear, l.m_nReadHour, l.m_nReadMin, l.m_nReadSec),
      StrFormat("Прибор версии %d.%d выпущен %02d/%02d/%04d", l.m_nVerMajor, l.m_nVerMinor, l.m_nRelDay,
                l.m_nRelMonth, l.m_nRelYear),
      "Системная конфигурация " + l.ConfigNameText(),
      std::string(75, '='),
  };
}

void AppendEventLine(std::string& out, const CT7KEvent& ev, const std::vector<std::string>& texts) {
  ev.AppendTimeText(out);
  out += ' ';
  ev.AppendText(out, texts);
}

void ForEachReportLine(const CT7KEventList& list, const ShownRows& rows,
                       const std::function<void(std::string_view)>& sink, GapMarks gaps) {
  for (const std::string& line : ReportHeaderLines(list)) sink(line);
  std::string line;
  const GapRows marks(rows, gaps);
  for (std::size_t shown = 0; shown < rows.Count(); ++shown) {
    if (marks.MarkCount() > 0 && marks.MarkBefore(shown)) sink(kGapMarkLine);
    line.clear();
    AppendEventLine(line, list[rows.EventAt(shown)], list.m_texts);
    sink(line);
  }
}

void ForEachReportLine(const CT7KEventList& list, const EventPredicate& admit,
                       const std::function<void(std::string_view)>& sink, GapMarks gaps) {
  ForEachReportLine(list, ShownRows(list, admit), sink, gaps);
}

void WriteTextReport(ReportSink& sink, const CT7KEventList& list, const ShownRows& rows, GapMarks gaps) {
  ForEachReportLine(
      list, rows,
      [&](std::string_view line) {
        AppendUtf8AsCp1251(sink.Out(), line);
        sink.Out() += kLineEnd;
        sink.Spill();
      },
      gaps);
  sink.Flush();
}

FileOutcome WriteReportFile(const std::string& path, const CT7KEventList& list, const ShownRows& rows) {
  return WriteReportFile(path, list, rows, ReportOptions{});
}

FileOutcome WriteReportFile(const std::string& path, const CT7KEventList& list, const EventPredicate& admit) {
  return WriteReportFile(path, list, ShownRows(list, admit));
}

}  // namespace logwick

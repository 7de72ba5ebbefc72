#include "lists/html_report.h"

#include <array>

#include "events/strformat.h"
#include "lists/event_kinds.h"
#include "lists/event_statistics.h"
#include "lists/integrity_check.h"
#include "lists/list_digest.h"
#include "lists/report.h"

namespace logwick {
namespace {

constexpr char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD

constexpr char kHead[] = R"(<!DOCTYPE html>
<html lang="ru">
<head>
<meta charset="utf-8">
<title>)";

// A4 with room for the printer's margins; the events table's header row
// repeats on each page and no row is split between two.
constexpr char kStyle[] = R"(</title>
<style>
@page { size: A4; margin: 15mm 12mm; }
body { font-family: "DejaVu Sans", Arial, sans-serif; font-size: 9pt; color: #000; background: #fff; }
h1 { font-size: 13pt; margin: 0 0 4pt; }
h2 { font-size: 11pt; margin: 12pt 0 4pt; }
p { margin: 2pt 0; }
table { border-collapse: collapse; margin: 2pt 0 6pt; }
th, td { border: 0.5pt solid #999; padding: 1pt 4pt; text-align: left; vertical-align: top; }
th { background: #eee; }
thead { display: table-header-group; }
tr { page-break-inside: avoid; break-inside: avoid; }
td.n { text-align: right; }
td.t { white-space: nowrap; }
.sha { font-family: "DejaVu Sans Mono", monospace; word-break: break-all; }
.summary { page-break-after: always; break-after: page; }
table.events { width: 100%; }
</style>
</head>
<body>
)";

constexpr char kTail[] = "</tbody>\n</table>\n</body>\n</html>\n";

// What replaces each byte that is a whole character in HTML text: a
// character reference, U+FFFD for a control character (HTML allows none but
// tab and line breaks), or nothing.
const std::array<const char*, 256>& HtmlReplacements() {
  static const auto table = [] {
    std::array<const char*, 256> t{};
    for (int c = 0; c < 0x20; ++c) t[c] = kReplacement;
    t['\t'] = t['\n'] = t['\r'] = nullptr;
    t[0x7F] = kReplacement;
    t['&'] = "&amp;";
    t['<'] = "&lt;";
    t['>'] = "&gt;";
    t['"'] = "&quot;";
    t['\''] = "&#39;";
    return t;
  }();
  return table;
}

void AppendTimeText(std::string& out, std::uint32_t stamp) {
  CT7KEvent ev;
  ev.SetTimeStamp(stamp);
  ev.AppendTimeText(out);
}

void AppendCountsTable(std::string& out, std::string_view numberTitle,
                       const std::vector<RankedNumber>& ranked) {
  if (ranked.empty()) {
    out += "<p>Нет событий.</p>\n";
    return;
  }
  out += "<table>\n<thead><tr><th>";
  out += numberTitle;
  out += "</th><th>Событий</th></tr></thead>\n<tbody>\n";
  for (const RankedNumber& r : ranked)
    AppendFormat(out, "<tr><td class=\"n\">%u</td><td class=\"n\">%u</td></tr>\n", r.number, r.events);
  out += "</tbody>\n</table>\n";
}

void AppendHeader(std::string& out, const CT7KEventList& list) {
  const auto lines = ReportHeaderLines(list);
  out += kHead;
  AppendHtmlEscaped(out, lines[0]);
  out += kStyle;
  out += "<h1>";
  AppendHtmlEscaped(out, lines[0]);
  out += "</h1>\n<p>";
  AppendHtmlEscaped(out, lines[1]);
  out += "</p>\n<p>";
  AppendHtmlEscaped(out, lines[2]);
  out +=
      "</p>\n<p>SHA-256 файла событий: <span class=\"sha\">" + HexOf(EventListSha256(list)) + "</span></p>\n";
}

// The findings' table is left out when findingsTable is false.
void AppendSummary(std::string& out, const EventStatistics& s, const std::vector<Finding>& findings,
                   std::uint32_t gapDays, bool findingsTable = true) {
  out += "<div class=\"summary\">\n<h2>Сводка</h2>\n";
  out += "<p>Событий в отчёте: " + std::to_string(s.events) + "</p>\n<p>Период: ";
  if (s.first) {
    out += "с ";
    AppendTimeText(out, *s.first);
    out += " по ";
    AppendTimeText(out, *s.last);
  } else {
    out += "нет событий с верной датой";
  }
  out += "</p>\n<table>\n<thead><tr><th>Вид</th><th>Событий</th></tr></thead>\n<tbody>\n";
  for (EventKind kind : kEventKinds) {
    out += "<tr><td>";
    out += KindName(kind);
    AppendFormat(out, "</td><td class=\"n\">%u</td></tr>\n", s.kinds[static_cast<std::size_t>(kind)]);
  }
  out += "</tbody>\n</table>\n<h2>Лучи с наибольшим числом событий</h2>\n";
  AppendCountsTable(out, "Луч", s.topBeams);
  out += "<h2>Устройства с наибольшим числом событий</h2>\n";
  AppendCountsTable(out, "Устройство", s.topDevices);
  AppendFormat(out, "<h2>Проверка журнала</h2>\n<p>Перерыв в журнале: более %u дн. между событиями.</p>\n",
               gapDays);
  if (findings.empty()) {
    out += "<p>Замечаний нет.</p>\n";
  } else if (findingsTable) {
    out += "<table>\n<thead><tr><th>Время</th><th>Замечание</th></tr></thead>\n<tbody>\n";
    for (const Finding& f : findings) {
      out += "<tr><td class=\"t\">";
      AppendTimeText(out, f.time);
      out += "</td><td>";
      out += FindingTitle(f.kind);
      out += "</td></tr>\n";
    }
    out += "</tbody>\n</table>\n";
  }
  out += "</div>\n";
}

// The header and the summary of the rows; the findings go to `findings`.
void AppendHeaderAndSummary(std::string& out, const CT7KEventList& list, const ShownRows& rows,
                            std::vector<Finding>& findings, bool findingsTable) {
  StatisticsBuilder stats;
  const IntegrityOptions options;
  IntegrityChecker checker(list, options);
  for (ShownRows::EventIndex index : rows) {
    const CT7KEvent& ev = list[index];
    stats.Add(ev);
    checker.Add(ev);
  }
  findings = checker.Finish();
  AppendHeader(out, list);
  AppendSummary(out, stats.Result(), findings, options.gapDays, findingsTable);
}

}  // namespace

void AppendHtmlEscaped(std::string& out, std::string_view text) {
  const auto& replacements = HtmlReplacements();
  std::size_t run = 0;  // start of the characters not yet copied
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    const char* replacement = replacements[c];
    std::size_t width = 1;
    if (!replacement) {
      // The C1 controls U+0080..U+009F are C2 80..C2 9F in UTF-8.
      if (c != 0xC2 || i + 1 == text.size() || (static_cast<unsigned char>(text[i + 1]) & 0xE0) != 0x80)
        continue;
      replacement = kReplacement;
      width = 2;
    }
    out.append(text, run, i - run);
    out += replacement;
    i += width - 1;
    run = i + 1;
  }
  out.append(text, run, text.size() - run);
}

void WriteHtmlReport(ReportSink& sink, const CT7KEventList& list, const ShownRows& rows) {
  std::string& out = sink.Out();
  std::vector<Finding> findings;
  AppendHeaderAndSummary(out, list, rows, findings, true);
  sink.Spill();

  out += "<h2>События</h2>\n<table class=\"events\">\n";
  out += "<thead><tr><th>Время</th><th>Вид</th><th>Событие</th></tr></thead>\n<tbody>\n";
  std::string text;
  for (ShownRows::EventIndex index : rows) {
    const CT7KEvent& ev = list[index];
    out += "<tr><td class=\"t\">";
    ev.AppendTimeText(out);
    out += "</td><td>";
    out += KindName(KindOf(ev));
    out += "</td><td>";
    text.clear();
    ev.AppendText(text, list.m_texts);
    AppendHtmlEscaped(out, text);
    out += "</td></tr>\n";
    sink.Spill();
  }
  out += kTail;
  sink.Flush();
}

std::string HtmlReportSummary(const CT7KEventList& list, const ShownRows& rows,
                              std::vector<Finding>& findings) {
  std::string html;
  AppendHeaderAndSummary(html, list, rows, findings, false);
  return html + "</body>\n</html>\n";
}

}  // namespace logwick

#include "lists/jsonl_report.h"

#include "events/strformat.h"
#include "lists/event_kinds.h"
#include "lists/json_text.h"
#include "lists/list_digest.h"
#include "lists/panel_types.h"
#include "lists/stamp_calendar.h"

namespace logwick {
namespace {

void AppendNumberOrNull(std::string& out, std::optional<std::uint8_t> n) {
  out += n ? std::to_string(*n) : "null";
}

void AppendHeader(std::string& out, const CT7KEventList& l, std::size_t events) {
  out += "{\"panel\": ";
  AppendJsonString(out, PanelTypeName(l.m_nPanelType));
  AppendFormat(out, ", \"serial\": %d", l.m_nSerNum);
  AppendFormat(out, ", \"read\": \"%04d-%02d-%02dT%02d:%02d:%02d\"", l.m_nReadYear, l.m_nReadMonth,
               l.m_nReadDay, l.m_nReadHour, l.m_nReadMin, l.m_nReadSec);
  AppendFormat(out, ", \"version\": \"%d.%d\"", l.m_nVerMajor, l.m_nVerMinor);
  AppendFormat(out, ", \"released\": \"%04d-%02d-%02d\"", l.m_nRelYear, l.m_nRelMonth, l.m_nRelDay);
  out += ", \"config\": ";
  AppendJsonString(out, l.ConfigNameText());
  out += ", \"sha256\": \"" + HexOf(EventListSha256(l)) + "\"";
  out += ", \"events\": " + std::to_string(events) + "}\n";
}

}  // namespace

void WriteJsonLinesReport(ReportSink& sink, const CT7KEventList& list, const ShownRows& rows) {
  const std::size_t events = rows.Count();
  std::string& out = sink.Out();
  AppendHeader(out, list, events);
  std::string text;
  for (ShownRows::EventIndex index : rows) {
    const CT7KEvent& ev = list[index];
    out += "{\"time\": \"";
    AppendIsoTime(out, ev.TimeStamp());
    out += "\", \"code\": " + std::to_string(ev.Code());
    out += ", \"kind\": \"";
    out += KindName(KindOf(ev));
    out += "\", \"beam\": ";
    AppendNumberOrNull(out, BeamOf(ev));
    out += ", \"device\": ";
    AppendNumberOrNull(out, DeviceOf(ev));
    out += ", \"text\": ";
    text.clear();
    ev.AppendText(text, list.m_texts);
    AppendJsonString(out, text);
    out += ", \"raw\": \"";
    AppendHex(out, ev.Raw().data(), ev.Raw().size());
    out += "\"}\n";
    sink.Spill();
  }
  sink.Flush();
}

}  // namespace logwick

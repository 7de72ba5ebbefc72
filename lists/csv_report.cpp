#include "lists/csv_report.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "lists/event_kinds.h"
#include "lists/list_digest.h"
#include "lists/stamp_calendar.h"

namespace logwick {
namespace {

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";
constexpr char kRowEnd[] = "\r\n";
constexpr std::array<std::string_view, 7> kColumns = {
    "Время", "Код", "Вид", "Луч", "Устройство", "Событие", "Запись",
};

void AppendNumber(std::string& out, std::optional<std::uint8_t> n) {
  if (n) out += std::to_string(*n);
}

}  // namespace

bool IsUsableCsvSeparator(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u > 0 && u < 0x80 && !std::isalnum(u) && c != '"' && c != '\r' && c != '\n';
}

void AppendCsvField(std::string& out, std::string_view field, char separator) {
  const auto special = [separator](char c) { return c == separator || c == '"' || c == '\r' || c == '\n'; };
  if (std::none_of(field.begin(), field.end(), special)) {
    out += field;
    return;
  }
  out += '"';
  for (char c : field) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

void WriteCsvReport(ReportSink& sink, const CT7KEventList& list, const ShownRows& rows, char separator) {
  std::string& out = sink.Out();
  out += kByteOrderMark;
  for (std::size_t i = 0; i < kColumns.size(); ++i) {
    if (i) out += separator;
    AppendCsvField(out, kColumns[i], separator);
  }
  out += kRowEnd;
  std::string text;
  for (ShownRows::EventIndex index : rows) {
    const CT7KEvent& ev = list[index];
    AppendIsoTime(out, ev.TimeStamp(), ' ');
    out += separator;
    out += std::to_string(ev.Code());
    out += separator;
    AppendCsvField(out, KindName(KindOf(ev)), separator);
    out += separator;
    AppendNumber(out, BeamOf(ev));
    out += separator;
    AppendNumber(out, DeviceOf(ev));
    out += separator;
    text.clear();
    ev.AppendText(text, list.m_texts);
    AppendCsvField(out, text, separator);
    out += separator;
    AppendHex(out, ev.Raw().data(), ev.Raw().size());
    out += kRowEnd;
    sink.Spill();
  }
  sink.Flush();
}

}  // namespace logwick

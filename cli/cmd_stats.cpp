// logwick-cli stats FILE [FILTER...] [--json]: what the events the filter
// admits hold, as text or as one JSON object.
//
// Text:
//   events: 600
//   first: 2024-03-01T08:12:00        ("none" without a good date)
//   last: 2024-03-15T10:30:00
//   kinds:
//     режимы: 120                     (all seven, zeros included)
//   days:
//     2024-03-01: 40 (режимы 10, лучи 30)   (kinds with events only)
//   top beams:
//     12: 40
//   top devices:
//     7: 33
#include <CLI/CLI.hpp>

#include <memory>

#include "cli/commands.h"
#include "cli/filter_options.h"
#include "cli/list_io.h"
#include "cli/report_output.h"
#include "lists/event_statistics.h"
#include "lists/json_text.h"
#include "lists/stamp_calendar.h"

namespace logwick::cli {
namespace {

struct StatsOptions {
  std::string file;
  bool json = false;
  FilterOptions filter;
};

struct TopList {
  const char* title;  // text
  const char* key;    // JSON
  const std::vector<RankedNumber>* ranked;
};

std::vector<TopList> TopLists(const EventStatistics& s) {
  return {{"top beams", "beam", &s.topBeams}, {"top devices", "device", &s.topDevices}};
}

void AppendTime(std::string& out, const std::optional<std::uint32_t>& stamp, bool json) {
  if (!stamp) {
    out += json ? "null" : "none";
    return;
  }
  if (json) out += '"';
  AppendIsoTime(out, *stamp);
  if (json) out += '"';
}

std::string Text(const EventStatistics& s) {
  std::string out = "events: " + std::to_string(s.events) + "\nfirst: ";
  AppendTime(out, s.first, false);
  out += "\nlast: ";
  AppendTime(out, s.last, false);
  out += "\nkinds:\n";
  for (EventKind k : kEventKinds)
    (((out += "  ") += KindName(k)) += ": ") += std::to_string(s.kinds[static_cast<std::size_t>(k)]) + "\n";
  out += "days:\n";
  for (const DayCounts& d : s.days) {
    out += "  ";
    AppendIsoDate(out, d.date);
    out += ": " + std::to_string(d.Total()) + " (";
    const char* comma = "";
    for (EventKind k : kEventKinds) {
      const std::uint32_t n = d.kinds[static_cast<std::size_t>(k)];
      if (n) ((out += comma) += KindName(k)) += " " + std::to_string(n), comma = ", ";
    }
    out += ")\n";
  }
  for (const TopList& top : TopLists(s)) {
    (out += top.title) += ":\n";
    for (const RankedNumber& r : *top.ranked)
      out += "  " + std::to_string(r.number) + ": " + std::to_string(r.events) + "\n";
  }
  return out;
}

void AppendKindsJson(std::string& out, const KindCounts& counts) {
  out += '{';
  for (EventKind k : kEventKinds) {
    if (k != kEventKinds.front()) out += ", ";
    AppendJsonString(out, KindName(k));
    out += ": " + std::to_string(counts[static_cast<std::size_t>(k)]);
  }
  out += '}';
}

std::string Json(const EventStatistics& s) {
  std::string out = "{\"events\": " + std::to_string(s.events) + ", \"first\": ";
  AppendTime(out, s.first, true);
  out += ", \"last\": ";
  AppendTime(out, s.last, true);
  out += ", \"kinds\": ";
  AppendKindsJson(out, s.kinds);
  out += ", \"days\": [";
  for (const DayCounts& d : s.days) {
    if (&d != &s.days.front()) out += ", ";
    out += "{\"date\": \"";
    AppendIsoDate(out, d.date);
    out += "\", \"kinds\": ";
    AppendKindsJson(out, d.kinds);
    out += '}';
  }
  out += ']';
  for (const TopList& top : TopLists(s)) {
    out += std::string(", \"top_") + top.key + "s\": [";
    for (const RankedNumber& r : *top.ranked) {
      if (&r != &top.ranked->front()) out += ", ";
      out += std::string("{\"") + top.key + "\": " + std::to_string(r.number) +
             ", \"events\": " + std::to_string(r.events) + "}";
    }
    out += ']';
  }
  return out + "}\n";
}

void RunStats(const StatsOptions& o) {
  const CT7KEventList list = LoadListOrThrow(o.file);
  const CT7KEvFilter filter = o.filter.Build();
  const EventStatistics s =
      ComputeStatistics(list, [&filter](const CT7KEvent& ev) { return filter.Accept(ev); });
  WriteOrThrow(stdout, o.json ? Json(s) : Text(s));
}

}  // namespace

void AddStatsCommand(CLI::App& app) {
  auto opts = std::make_shared<StatsOptions>();
  auto* cmd = app.add_subcommand(
      "stats", "Count the events the filter admits: per kind, per day, busiest beams and devices, period");
  cmd->add_option("FILE", opts->file, "Event file")->required();
  cmd->add_flag("--json", opts->json, "One JSON object instead of text");
  opts->filter.AddTo(*cmd);
  cmd->callback([opts] { RunStats(*opts); });
}

}  // namespace logwick::cli

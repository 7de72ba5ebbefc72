// logwick-cli check FILE [--gap-days N] [--json]: what in a log deserves
// doubt, one finding per line as "ROW TIME KIND" (ROW counts from 0, the
// newest event), or as {"findings": [{"row": r, "kind": "...", "time": "..."}]}.
// Exits 0 whether or not anything was found.
#include <CLI/CLI.hpp>

#include <memory>

#include "cli/commands.h"
#include "cli/list_io.h"
#include "cli/report_output.h"
#include "lists/integrity_check.h"
#include "lists/json_text.h"
#include "lists/stamp_calendar.h"

namespace logwick::cli {
namespace {

// Past the 64 years a time stamp spans: no gap at all.
constexpr std::uint32_t kMaxGapDays = 100000;

struct CheckOptions {
  std::string file;
  std::uint32_t gapDays = IntegrityOptions::kDefaultGapDays;
  bool json = false;
};

std::string Text(const std::vector<Finding>& findings) {
  std::string out;
  for (const Finding& f : findings) {
    out += std::to_string(f.row) + ' ';
    AppendIsoTime(out, f.time);
    ((out += ' ') += FindingName(f.kind)) += '\n';
  }
  return out;
}

std::string Json(const std::vector<Finding>& findings) {
  std::string out = "{\"findings\": [";
  for (const Finding& f : findings) {
    if (&f != &findings.front()) out += ", ";
    out += "{\"row\": " + std::to_string(f.row) + ", \"kind\": ";
    AppendJsonString(out, FindingName(f.kind));
    out += ", \"time\": \"";
    AppendIsoTime(out, f.time);
    out += "\"}";
  }
  return out + "]}\n";
}

void RunCheck(const CheckOptions& o) {
  const CT7KEventList list = LoadListOrThrow(o.file);
  const std::vector<Finding> findings = CheckIntegrity(list, {}, {o.gapDays});
  WriteOrThrow(stdout, o.json ? Json(findings) : Text(findings));
}

}  // namespace

void AddCheckCommand(CLI::App& app) {
  auto opts = std::make_shared<CheckOptions>();
  auto* cmd = app.add_subcommand(
      "check", "Check a log: times backwards or in the future, bad dates, gaps, codes that are no event");
  cmd->add_option("FILE", opts->file, "Event file")->required();
  cmd->add_option("--gap-days", opts->gapDays, "A gap is more than this many days between two events")
      ->check(CLI::Range(std::uint32_t{0}, kMaxGapDays))
      ->capture_default_str();
  cmd->add_flag("--json", opts->json, "One JSON object instead of text");
  cmd->callback([opts] { RunCheck(*opts); });
}

}  // namespace logwick::cli

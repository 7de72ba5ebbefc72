// logwick-cli export FILE -o OUT [--format txt|csv|jsonl|html] [--csv-separator C]
// [--filtered] [FILTER...]: a report file. txt is the text report, byte for
// byte as the desktop program writes it.
#include <CLI/CLI.hpp>

#include <memory>

#include "cli/commands.h"
#include "cli/filter_options.h"
#include "cli/list_io.h"
#include "cli/report_output.h"

namespace logwick::cli {
namespace {

struct ExportOptions {
  std::string file;
  std::string out;
  std::string format = "txt";
  std::string separator;
  bool filtered = false;
  FilterOptions filter;
};

void RunExport(const ExportOptions& o) {
  ReportOptions options{*ReportFormatFromName(o.format)};
  if (!o.separator.empty()) {
    if (options.format != ReportFormat::Csv)
      throw CLI::ValidationError("--csv-separator", "needs --format csv");
    options.csvSeparator = o.separator[0];
  }
  const CT7KEventList list = LoadListOrThrow(o.file);
  EventPredicate admit;
  if (o.filtered) admit = [filter = o.filter.Build()](const CT7KEvent& ev) { return filter.Accept(ev); };
  ExportReportOrThrow(o.out, list, admit, options);
}

const CLI::Validator kFormat(
    [](std::string& s) {
      return ReportFormatFromName(s) ? std::string() : "not txt, csv, jsonl or html: " + s;
    },
    "");
const CLI::Validator kSeparator(
    [](std::string& s) {
      return s.size() == 1 && IsUsableCsvSeparator(s[0]) ? std::string()
                                                         : "not one ASCII punctuation, blank or tab: " + s;
    },
    "");

}  // namespace

void AddExportCommand(CLI::App& app) {
  auto opts = std::make_shared<ExportOptions>();
  auto* cmd = app.add_subcommand("export", "Write a report of an event file: text, CSV, JSON Lines or HTML");
  cmd->add_option("FILE", opts->file, "Event file")->required();
  cmd->add_option("-o,--output", opts->out, "Report file to write")->required();
  cmd->add_option("--format", opts->format,
                  "txt: the text report (Windows-1251, CR LF); csv: UTF-8 with BOM, CR LF; jsonl: JSON "
                  "Lines; html: printable, self-contained")
      ->check(kFormat)
      ->type_name("txt|csv|jsonl|html")
      ->capture_default_str();
  cmd->add_option("--csv-separator", opts->separator, "Field separator of csv (default ';')")
      ->check(kSeparator)
      ->type_name("C");
  auto* filtered =
      cmd->add_flag("--filtered", opts->filtered, "Only the events the filter admits (default: every event)");
  opts->filter.AddTo(*cmd, filtered);
  cmd->callback([opts] { RunExport(*opts); });
}

}  // namespace logwick::cli

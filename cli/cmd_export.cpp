// logwick-cli export FILE -o OUT [--filtered] [FILTER...]: the report file,
// byte for byte as the desktop program writes it.
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
  bool filtered = false;
  FilterOptions filter;
};

void RunExport(const ExportOptions& o) {
  const CT7KEventList list = LoadListOrThrow(o.file);
  EventPredicate admit;
  if (o.filtered) admit = [filter = o.filter.Build()](const CT7KEvent& ev) { return filter.Accept(ev); };
  ExportReportOrThrow(o.out, list, admit);
}

}  // namespace

void AddExportCommand(CLI::App& app) {
  auto opts = std::make_shared<ExportOptions>();
  auto* cmd = app.add_subcommand("export", "Write the text report of an event file (Windows-1251, CR LF)");
  cmd->add_option("FILE", opts->file, "Event file")->required();
  cmd->add_option("-o,--output", opts->out, "Report file to write")->required();
  auto* filtered =
      cmd->add_flag("--filtered", opts->filtered, "Only the events the filter admits (default: every event)");
  opts->filter.AddTo(*cmd, filtered);
  cmd->callback([opts] { RunExport(*opts); });
}

}  // namespace logwick::cli

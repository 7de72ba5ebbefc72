// logwick-cli show FILE [FILTER...]: the report's lines on the terminal.
#include <CLI/CLI.hpp>

#include <cstdio>
#include <memory>

#include "cli/commands.h"
#include "cli/filter_options.h"
#include "cli/list_io.h"
#include "cli/report_output.h"

namespace logwick::cli {
namespace {

struct ShowOptions {
  std::string file;
  FilterOptions filter;
};

void RunShow(const ShowOptions& o) {
  const CT7KEventList list = LoadListOrThrow(o.file);
  const CT7KEvFilter filter = o.filter.Build();
  PrintReport(stdout, list, [&filter](const CT7KEvent& ev) { return filter.Accept(ev); });
}

}  // namespace

void AddShowCommand(CLI::App& app) {
  auto opts = std::make_shared<ShowOptions>();
  auto* cmd =
      app.add_subcommand("show", "Print an event file's header and the events the filter admits (UTF-8)");
  cmd->add_option("FILE", opts->file, "Event file")->required();
  opts->filter.AddTo(*cmd);
  cmd->callback([opts] { RunShow(*opts); });
}

}  // namespace logwick::cli

// logwick-cli show FILE [FILTER...]: the report's lines on the terminal;
// show FILE --sha256: the SHA-256 of the whole list alone.
#include <CLI/CLI.hpp>

#include <cstdio>
#include <memory>

#include "cli/commands.h"
#include "cli/filter_options.h"
#include "cli/list_io.h"
#include "cli/report_output.h"
#include "lists/list_digest.h"

namespace logwick::cli {
namespace {

struct ShowOptions {
  std::string file;
  bool sha256 = false;
  FilterOptions filter;
};

void RunShow(const ShowOptions& o) {
  const CT7KEventList list = LoadListOrThrow(o.file);
  if (o.sha256) return WriteOrThrow(stdout, HexOf(EventListSha256(list)) + "\n");
  const CT7KEvFilter filter = o.filter.Build();
  PrintReport(stdout, list, [&filter](const CT7KEvent& ev) { return filter.Accept(ev); });
}

}  // namespace

void AddShowCommand(CLI::App& app) {
  auto opts = std::make_shared<ShowOptions>();
  auto* cmd =
      app.add_subcommand("show", "Print an event file's header and the events the filter admits (UTF-8)");
  cmd->add_option("FILE", opts->file, "Event file")->required();
  auto* sha256 = cmd->add_flag("--sha256", opts->sha256,
                               "Print only the SHA-256 of the whole list, as its event file holds it");
  opts->filter.AddTo(*cmd);
  for (CLI::Option* o : cmd->get_options([](const CLI::Option* o) { return o->get_group() == "Filter"; }))
    sha256->excludes(o);
  cmd->callback([opts] { RunShow(*opts); });
}

}  // namespace logwick::cli

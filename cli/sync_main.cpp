// logwick-sync: the helper program that runs `logwick-cli archive sync` and
// `logwick-cli archive server-init` (helper_program.h). It takes the same
// command line as logwick-cli for them.
#include <CLI/CLI.hpp>

#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/console.h"
#include "cli/sync_runner.h"

int main(int argc, char** argv) {
  logwick::cli::PrepareConsole(argc, argv);
  CLI::App app{"Logwick: synchronises the panel history archive with the shared server", "logwick-cli"};
  app.require_subcommand(1);
  auto* archive = app.add_subcommand("archive", "The panel history archive and its shared server");
  archive->require_subcommand(1);
  logwick::cli::AddArchiveSyncActions(*archive, {logwick::cli::RunSync, logwick::cli::RunServerInit});
  return logwick::cli::RunCommandLine(app, argc, argv);
}

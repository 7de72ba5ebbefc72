// Placeholder until the command lands.
#include <CLI/CLI.hpp>

#include "cli/commands.h"

namespace logwick::cli {

void AddSimulateCommand(CLI::App& app) {
  auto* cmd = app.add_subcommand("simulate", "not available yet");
  cmd->callback([] { throw CliError("simulate: not available yet"); });
}

}  // namespace logwick::cli

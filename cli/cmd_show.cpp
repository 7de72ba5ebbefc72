// Placeholder until the command lands.
#include <CLI/CLI.hpp>

#include "cli/commands.h"

namespace logwick::cli {

void AddShowCommand(CLI::App& app) {
  auto* cmd = app.add_subcommand("show", "not available yet");
  cmd->callback([] { throw CliError("show: not available yet"); });
}

}  // namespace logwick::cli

// Placeholder until the command lands.
#include <CLI/CLI.hpp>

#include "cli/commands.h"

namespace logwick::cli {

void AddReadCommand(CLI::App& app) {
  auto* cmd = app.add_subcommand("read", "not available yet");
  cmd->callback([] { throw CliError("read: not available yet"); });
}

}  // namespace logwick::cli

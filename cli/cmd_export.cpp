// Placeholder until the command lands.
#include <CLI/CLI.hpp>

#include "cli/commands.h"

namespace logwick::cli {

void AddExportCommand(CLI::App& app) {
  auto* cmd = app.add_subcommand("export", "not available yet");
  cmd->callback([] { throw CliError("export: not available yet"); });
}

}  // namespace logwick::cli

// logwick-cli simulate: a virtual panel on a pseudo-terminal, for demos,
// benchmarks and tests without hardware. Prints the device path as its first
// line and answers the panel protocol until interrupted.
#include <CLI/CLI.hpp>

#include <memory>

#include "cli/commands.h"
#include "cli/sim_options.h"

#ifndef _WIN32
#include "cli/sim_runner.h"
#endif

namespace logwick::cli {

void AddSimulateCommand(CLI::App& app) {
  auto o = std::make_shared<SimOptions>();
  auto* cmd = app.add_subcommand("simulate", "Run a virtual panel on a pseudo-terminal until interrupted");
  AddSimOptions(*cmd, *o);
  cmd->callback([o] {
#ifdef _WIN32
    throw CliError("simulate: needs a POSIX system (pseudo-terminals)");
#else
    RunSimulator(*o);
#endif
  });
}

}  // namespace logwick::cli

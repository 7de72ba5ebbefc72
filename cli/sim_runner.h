// Runs `logwick-cli simulate` (POSIX only).
#pragma once

#include "cli/sim_options.h"

namespace logwick::cli {

// Serves the panel in a child process that leads a session of its own and
// holds the pseudo-terminal as its controlling terminal; this process forwards
// SIGINT and SIGTERM to it and ends with its status. Throws CliError.
void RunSimulator(const SimOptions& options);

}  // namespace logwick::cli

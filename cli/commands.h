// The subcommands of logwick-cli. Each Add*Command registers its options on the
// application and sets the callback that runs it; a callback reports failure
// by throwing CliError (message printed on stderr, exit status of its kind).
#pragma once

#include "cli/exit_status.h"

namespace CLI {
class App;
}

namespace logwick::cli {

void AddShowCommand(CLI::App& app);
void AddExportCommand(CLI::App& app);
void AddReadCommand(CLI::App& app);
void AddSimulateCommand(CLI::App& app);
void AddSampleCommand(CLI::App& app);
void AddPortsCommand(CLI::App& app);
void AddProbeCommand(CLI::App& app);
void AddStatsCommand(CLI::App& app);
void AddCheckCommand(CLI::App& app);
#ifdef LOGWICK_WITH_ARCHIVE
void AddArchiveCommand(CLI::App& app);
#endif
#ifdef LOGWICK_WITH_SYNC
void AddArchiveSyncActions(CLI::App& archive);
#endif

}  // namespace logwick::cli

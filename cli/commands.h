// The subcommands of logwick-cli. Each Add*Command registers its options on the
// application and sets the callback that runs it; a callback reports failure
// by throwing CliError (message printed on stderr, exit status of its kind).
#pragma once

#include <functional>
#include <string>

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
// archive sync and server-init: what was asked, and who runs it.
struct SyncRequest {
  std::string archive;  // --archive
  std::string server;   // --server, or server-init's URL
  bool retrySkipped = false;
};
struct ArchiveSyncRunners {
  std::function<void(const SyncRequest&)> sync;
  std::function<void(const SyncRequest&)> serverInit;
};
void AddArchiveSyncActions(CLI::App& archive, const ArchiveSyncRunners& run);
#endif

}  // namespace logwick::cli

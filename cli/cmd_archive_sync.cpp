// logwick-cli archive sync | server-init: the shared archive on a company's
// PostgreSQL server. The options are the same in logwick-cli, which runs the
// helper program for them (helper_program.h), and in the helper, which runs
// them (sync_runner.cpp); so are help and completion.
#include <CLI/CLI.hpp>

#include <memory>

#include "cli/commands.h"

namespace logwick::cli {

void AddArchiveSyncActions(CLI::App& archive, const ArchiveSyncRunners& run) {
  const char* const serverHelp =
      "the server: a libpq connection string or URI, postgresql://user@host/db"
      " (default: $LOGWICK_SERVER); the password comes from ~/.pgpass or PGPASSWORD, never from the address";
  auto o = std::make_shared<SyncRequest>();
  auto* cmd = archive.add_subcommand(
      "sync", "Send the read-outs the shared server lacks, then fetch those this archive lacks");
  cmd->add_option("--server", o->server, serverHelp);
  cmd->add_option("--archive", o->archive,
                  "archive file (default: $LOGWICK_ARCHIVE, else the user's data folder)");
  cmd->add_flag("--retry-skipped", o->retrySkipped,
                "download the read-outs skipped before once more and file those that are now sound");
  cmd->callback([o, run] { run.sync(*o); });

  auto init = std::make_shared<SyncRequest>();
  cmd = archive.add_subcommand("server-init",
                               "Create the shared archive in a PostgreSQL database, or bring an older one"
                               " up to date");
  cmd->add_option("URL", init->server, "the database: a libpq connection string or URI");
  cmd->add_option("--server", init->server, serverHelp);
  cmd->callback([init, run] { run.serverInit(*init); });
}

}  // namespace logwick::cli

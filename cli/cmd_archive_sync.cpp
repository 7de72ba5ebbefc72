// logwick-cli archive sync | server-init: the shared archive on a company's
// PostgreSQL server.
#include <CLI/CLI.hpp>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "cli/archive_access.h"
#include "cli/commands.h"
#include "cli/console.h"
#include "cli/interrupt.h"
#include "cli/sync_progress.h"
#include "events/strformat.h"
#include "sync/server_sync.h"

namespace logwick::cli {
namespace {

constexpr char kServerEnvironmentVariable[] = "LOGWICK_SERVER";

struct SyncOptions {
  std::string archive;
  std::string server;
};

std::string ServerUrlOrThrow(const std::string& option) {
  if (!option.empty()) return option;
  if (const char* env = std::getenv(kServerEnvironmentVariable); env && *env) return env;
  throw CliError("Не задан адрес сервера общего архива: укажите --server URL или переменную LOGWICK_SERVER",
                 kExitServer);
}

void RunSync(const SyncOptions& o) {
  const std::string url = ServerUrlOrThrow(o.server);
  const std::string archive = ArchivePathOrThrow(o.archive);
  TerminalSyncView view(stderr, StderrIsTerminal());
  // Ctrl-C stops the exchange between two read-outs or in a wait on the
  // server; the server and the archive each keep whole read-outs only.
  SyncOutcome r;
  {
    const InterruptCancels interrupt;
    r = SyncWithServer(archive, url, view, interrupt.Flag());
  }
  view.Finish();

  const std::string counts = StrFormat("отправлено %zu, получено %zu", r.counts.sent, r.counts.fetched);
  if (r.status == SyncStatus::Done) {
    std::printf("Синхронизация с сервером %s: %s\n", r.server.c_str(), counts.c_str());
    return;
  }
  std::string message = r.message;
  if (r.counts.sent + r.counts.fetched > 0 || r.status == SyncStatus::Cancelled ||
      r.serverError == SyncError::Kind::ConnectionLost)
    message += "\nСинхронизация не завершена (" + counts + "): следующая завершит её";
  const ExitStatus status = r.status == SyncStatus::Cancelled       ? kExitCancelled
                            : r.status == SyncStatus::ArchiveFailed ? ArchiveExitStatus(*r.archiveError)
                                                                    : kExitServer;
  throw CliError(message, status);
}

void RunServerInit(const std::string& url) {
  try {
    const ServerInitOutcome r = InitServer(url);
    if (r.before == 0)
      std::printf("Общий архив создан на сервере %s (версия %lld)\n", r.server.c_str(),
                  static_cast<long long>(r.now));
    else if (r.before < r.now)
      std::printf("Общий архив на сервере %s обновлён с версии %lld до %lld\n", r.server.c_str(),
                  static_cast<long long>(r.before), static_cast<long long>(r.now));
    else
      std::printf("Общий архив на сервере %s уже создан (версия %lld)\n", r.server.c_str(),
                  static_cast<long long>(r.now));
  } catch (const SyncError& e) {
    throw CliError(e.what(), kExitServer);
  }
}

}  // namespace

void AddArchiveSyncActions(CLI::App& archive) {
  auto o = std::make_shared<SyncOptions>();
  auto* cmd = archive.add_subcommand(
      "sync", "Send the read-outs the shared server lacks, then fetch those this archive lacks");
  cmd->add_option("--server", o->server,
                  "the server: a libpq connection string or URI, postgresql://user@host/db"
                  " (default: $LOGWICK_SERVER); the password comes from ~/.pgpass or PGPASSWORD");
  cmd->add_option("--archive", o->archive,
                  "archive file (default: $LOGWICK_ARCHIVE, else the user's data folder)");
  cmd->callback([o] { RunSync(*o); });

  auto url = std::make_shared<std::string>();
  cmd = archive.add_subcommand("server-init",
                               "Create the shared archive in a PostgreSQL database, or bring an older one"
                               " up to date");
  cmd->add_option("URL", *url, "the database: a libpq connection string or URI")->required();
  cmd->callback([url] { RunServerInit(*url); });
}

}  // namespace logwick::cli

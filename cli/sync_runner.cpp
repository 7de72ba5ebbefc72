#include "cli/sync_runner.h"

#include <cstdio>
#include <cstdlib>
#include <iterator>

#include "cli/archive_access.h"
#include "cli/console.h"
#include "cli/interrupt.h"
#include "cli/sync_progress.h"
#include "sync/server_sync.h"

namespace logwick::cli {
namespace {

constexpr char kServerEnvironmentVariable[] = "LOGWICK_SERVER";

// The exit status of each SyncStatus, in its order.
constexpr ExitStatus kStatusExits[] = {kExitOk,          kExitCancelled,  kExitServer,
                                       kExitCannotWrite, kExitCannotRead, kExitFormat};
static_assert(std::size(kStatusExits) == static_cast<std::size_t>(SyncStatus::ArchiveDamaged) + 1);

std::string ServerUrlOrThrow(const std::string& option) {
  if (!option.empty()) return option;
  if (const char* env = std::getenv(kServerEnvironmentVariable); env && *env) return env;
  throw CliError("Не задан адрес сервера общего архива: укажите --server URL или переменную LOGWICK_SERVER",
                 kExitServer);
}

// The failure's sentence with the words behind it, said once.
std::string FailureText(const std::string& message, const std::string& detail) {
  return detail.empty() ? message : message + " (" + detail + ")";
}

}  // namespace

void RunSync(const SyncRequest& request) {
  const std::string url = ServerUrlOrThrow(request.server);
  const std::string archive = ArchivePathOrThrow(request.archive);
  TerminalSyncView view(stderr, StderrIsTerminal());
  // Ctrl-C stops the exchange between two read-outs or in a wait on the
  // server; the server and the archive each keep whole read-outs only.
  SyncOutcome r;
  {
    const InterruptCancels interrupt;
    r = logwick::RunSync({archive, url, request.retrySkipped}, view, interrupt.Flag());
  }
  view.Finish();
  for (const std::string& warning : r.warnings) std::fprintf(stderr, "%s\n", warning.c_str());

  if (r.status == SyncStatus::Done) {
    std::printf("Синхронизация с сервером %s: %s\n", r.server.c_str(), SyncSummary(r).c_str());
    // Something that was to travel did not: the caller should know.
    if (r.counts.skipped > 0 || r.postponed) throw CliError("", kExitSkipped);
    return;
  }
  std::string message = FailureText(r.message, r.detail);
  if (r.status == SyncStatus::Cancelled || view.Exchanging())
    message += "\nСинхронизация не завершена (" + SyncSummary(r) + "): следующая завершит её";
  throw CliError(message, kStatusExits[static_cast<int>(r.status)]);
}

void RunServerInit(const SyncRequest& request) {
  const ServerInitOutcome r = InitServer(ServerUrlOrThrow(request.server));
  if (r.status != SyncStatus::Done) throw CliError(FailureText(r.message, r.detail), kExitServer);
  if (r.before == 0)
    std::printf("Общий архив создан на сервере %s (версия %lld)\n", r.server.c_str(),
                static_cast<long long>(r.now));
  else if (r.before < r.now)
    std::printf("Общий архив на сервере %s обновлён с версии %lld до %lld\n", r.server.c_str(),
                static_cast<long long>(r.before), static_cast<long long>(r.now));
  else
    std::printf("Общий архив на сервере %s уже создан (версия %lld)\n", r.server.c_str(),
                static_cast<long long>(r.now));
}

}  // namespace logwick::cli

#include "sync/server_sync.h"

#include "sync/archive_sync_side.h"
#include "sync/pg_connection.h"
#include "sync/pg_readout_server.h"
#include "sync/sync_error.h"

namespace logwick {
namespace {

SyncStatus StatusOf(ArchiveError::Kind kind) {
  using K = ArchiveError::Kind;
  switch (kind) {
    case K::Damaged:
    case K::Foreign:
    case K::NewerVersion:
      return SyncStatus::ArchiveDamaged;
    case K::Missing:
    case K::CannotOpen:
    case K::Busy:
      return SyncStatus::ArchiveUnreadable;
    case K::CannotWrite:
      break;
  }
  return SyncStatus::ArchiveFailed;
}

// Runs f; a failure becomes the outcome's status, message and detail.
template <class Outcome, class F>
void Guarded(Outcome& out, F&& f) {
  try {
    f();
  } catch (const SyncError& e) {
    out.status = e.GetKind() == SyncError::Kind::Cancelled ? SyncStatus::Cancelled : SyncStatus::ServerFailed;
    out.message = e.Sentence();
    out.detail = e.Detail();
  } catch (const ArchiveError& e) {
    out.status = StatusOf(e.GetKind());
    out.message = e.what();
  } catch (const std::exception& e) {
    const SyncError failed(SyncError::Kind::ServerFailed, out.server, e.what());
    out.status = SyncStatus::ServerFailed;
    out.message = failed.Sentence();
    out.detail = failed.Detail();
  }
}

}  // namespace

SyncOutcome RunSync(const SyncJob& job, ISyncView& view, const std::atomic<bool>& cancel) {
  SyncOutcome out;
  out.server = ServerNameOf(job.serverUrl);
  Guarded(out, [&] {
    view.OnProgress({SyncStep::Connecting, 0, 0});
    const std::unique_ptr<PgConnection> conn = PgConnection::Open(job.serverUrl, cancel);
    out.server = conn->Name();
    PgReadoutServer server(*conn);
    ArchiveSyncSide local(job.archivePath);
    SyncReadouts(local, server, view, cancel, out, job.retrySkipped);
  });
  return out;
}

SyncOutcome SyncWithServer(const std::string& archivePath, const std::string& serverUrl, ISyncView& view,
                           const std::atomic<bool>& cancel) {
  return RunSync({archivePath, serverUrl}, view, cancel);
}

ServerInitOutcome InitServer(const std::string& serverUrl) {
  ServerInitOutcome out;
  out.server = ServerNameOf(serverUrl);
  Guarded(out, [&] {
    const std::atomic<bool> never{false};
    const std::unique_ptr<PgConnection> conn = PgConnection::Open(serverUrl, never);
    out.server = conn->Name();
    const ServerInitResult r = InitServerArchive(*conn);
    out.before = r.before;
    out.now = r.now;
  });
  return out;
}

}  // namespace logwick

#include "sync/server_sync.h"

#include "sync/archive_sync_side.h"
#include "sync/pg_connection.h"
#include "sync/pg_readout_server.h"

namespace logwick {

SyncOutcome SyncWithServer(const std::string& archivePath, const std::string& serverUrl, ISyncView& view,
                           const std::atomic<bool>& cancel) {
  SyncOutcome out;
  out.server = ServerNameOf(serverUrl);
  try {
    view.OnProgress({SyncStep::Connecting, 0, 0});
    const std::unique_ptr<PgConnection> conn = PgConnection::Open(serverUrl, cancel);
    out.server = conn->Name();
    PgReadoutServer server(*conn);
    ArchiveSyncSide local(archivePath);
    SyncReadouts(local, server, view, cancel, out.counts);
  } catch (const SyncError& e) {
    out.status = e.GetKind() == SyncError::Kind::Cancelled ? SyncStatus::Cancelled : SyncStatus::ServerFailed;
    out.serverError = e.GetKind();
    out.message = e.what();
  } catch (const ArchiveError& e) {
    out.status = SyncStatus::ArchiveFailed;
    out.archiveError = e.GetKind();
    out.message = e.what();
  } catch (const std::exception& e) {
    out.status = SyncStatus::ServerFailed;
    out.serverError = SyncError::Kind::ServerFailed;
    out.message = SyncError(SyncError::Kind::ServerFailed, out.server, e.what()).what();
  }
  return out;
}

ServerInitOutcome InitServer(const std::string& serverUrl) {
  const std::atomic<bool> never{false};
  const std::unique_ptr<PgConnection> conn = PgConnection::Open(serverUrl, never);
  const ServerInitResult r = InitServerArchive(*conn);
  return {conn->Name(), r.before, r.now};
}

}  // namespace logwick

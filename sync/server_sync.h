// Synchronisation with the shared server as the programs start it: the
// command line directly, the desktop program on a worker thread that forwards
// the progress to its window and sets `cancel` when the user stops it or
// closes the window. Nothing here keeps the address or any password.
#pragma once

#include <atomic>
#include <optional>
#include <string>

#include "history/history_archive.h"
#include "sync/readout_sync.h"
#include "sync/sync_error.h"

namespace logwick {

enum class SyncStatus {
  Done,
  Cancelled,     // stopped on request; the next synchronisation completes the work
  ServerFailed,  // serverError says why
  ArchiveFailed  // the local archive failed; archiveError says how
};

struct SyncOutcome {
  SyncStatus status = SyncStatus::Done;
  SyncCounts counts;    // what went each way, also when it stopped
  std::string server;   // the server's name for messages (no password)
  std::string message;  // why it stopped, in Russian; empty when done
  std::optional<SyncError::Kind> serverError;
  std::optional<ArchiveError::Kind> archiveError;
};

// Synchronises the archive at archivePath (created when missing) with the
// server at serverUrl (a libpq connection string or URI). Never throws. A
// server that cannot be reached, refuses the login or holds no shared archive
// leaves the local archive untouched.
SyncOutcome SyncWithServer(const std::string& archivePath, const std::string& serverUrl, ISyncView& view,
                           const std::atomic<bool>& cancel);

struct ServerInitOutcome {
  std::string server;
  std::int64_t before = 0;  // the schema version found, 0 for none
  std::int64_t now = 0;
};

// logwick-cli archive server-init: creates the shared archive in the
// database at serverUrl or takes an older one on. Throws SyncError.
ServerInitOutcome InitServer(const std::string& serverUrl);

}  // namespace logwick

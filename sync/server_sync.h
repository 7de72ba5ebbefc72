// Synchronisation with the shared server as the programs start it: the
// command line's helper program directly, the desktop program on a worker
// thread that forwards the progress to its window and sets `cancel` when the
// user stops it or closes the window. Nothing here keeps the address or any
// password. Neither function throws: each returns what happened as a value.
#pragma once

#include <atomic>
#include <string>

#include "history/history_archive.h"
#include "sync/readout_sync.h"

namespace logwick {

// How an exchange ended: the one statement of a failure's class. The
// message says it in Russian; the detail holds the words behind it.
enum class SyncStatus {
  Done,               // completed; read-outs may have been skipped (warnings)
  Cancelled,          // stopped on request; the next synchronisation completes the work
  ServerFailed,       // the server failed, refused, was not given or its address was refused
  ArchiveFailed,      // the local archive could not be written
  ArchiveUnreadable,  // the local archive could not be opened or read, or was busy
  ArchiveDamaged,     // the local archive is damaged, another program's or of a newer version
};

struct SyncOutcome : SyncReport {  // counts, restored, postponed, warnings
  SyncStatus status = SyncStatus::Done;
  std::string server;   // the server's name for messages (no password)
  std::string message;  // why it stopped, one short line in Russian; empty when done
  std::string detail;   // the words of libpq, the server or SQLite behind it; may be empty
};

// What a synchronisation is asked to do.
struct SyncJob {
  std::string archivePath;  // created when missing
  std::string serverUrl;    // a libpq connection string or URI
  bool retrySkipped = false;
};

// Synchronises the archive with the server. A server that cannot be reached,
// refuses the login or holds no shared archive leaves the local archive
// untouched.
SyncOutcome RunSync(const SyncJob& job, ISyncView& view, const std::atomic<bool>& cancel);
SyncOutcome SyncWithServer(const std::string& archivePath, const std::string& serverUrl, ISyncView& view,
                           const std::atomic<bool>& cancel);

struct ServerInitOutcome {
  SyncStatus status = SyncStatus::Done;  // Done or ServerFailed
  std::string server;
  std::int64_t before = 0;  // the schema version found, 0 for none
  std::int64_t now = 0;
  std::string message;  // as in SyncOutcome
  std::string detail;
};

// logwick-cli archive server-init: creates the shared archive in the
// database at serverUrl or takes an older one on.
ServerInitOutcome InitServer(const std::string& serverUrl);

}  // namespace logwick

// One synchronisation with the shared server on a worker thread, for the
// archive window. The worker never touches a window and shares nothing with
// the interface thread but a lock-guarded record (PendingUpdates): its
// progress reports overwrite the record's latest progress, and its outcome
// comes back as a value the same way. Destroying the job cancels the
// synchronisation and waits for it; deliveries still on their way are dropped.
#pragma once

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <thread>

#include "desk/face.h"
#include "desk/pending_updates.h"
#include "sync/readout_sync.h"
#include "sync/server_sync.h"

namespace logwick {

class SyncWorker {
 public:
  // What runs on the worker: SyncWithServer, or a stand-in in tests.
  using Job = std::function<SyncOutcome(const std::string& archivePath, const std::string& serverUrl,
                                        ISyncView& view, const std::atomic<bool>& cancel)>;
  // Called on the interface thread: the latest progress, then once the outcome.
  using ProgressFn = std::function<void(const SyncProgress&)>;
  using FinishedFn = std::function<void(SyncOutcome)>;

  SyncWorker(IDeskFace& face, Job job, ProgressFn progress, FinishedFn finished);
  ~SyncWorker();
  SyncWorker(const SyncWorker&) = delete;
  SyncWorker& operator=(const SyncWorker&) = delete;

  void Start(std::string archivePath, std::string serverUrl);
  // Asks the running job to stop; its outcome still arrives.
  void Cancel() { m_cancel = true; }
  bool Running() const { return m_thread.joinable(); }

 private:
  class View;
  struct Pending {
    std::optional<SyncProgress> progress;
    std::optional<SyncOutcome> outcome;
  };
  void Deliver();

  Job m_job;
  ProgressFn m_progress;
  FinishedFn m_finished;
  std::atomic<bool> m_cancel{false};
  PendingUpdates<Pending> m_updates;
  std::thread m_thread;  // last: joined before the rest goes
};

}  // namespace logwick

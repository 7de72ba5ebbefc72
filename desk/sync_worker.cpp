#include "desk/sync_worker.h"

namespace logwick {

class SyncWorker::View : public ISyncView {
 public:
  explicit View(PendingUpdates<Pending>& updates) : m_updates(updates) {}
  void OnProgress(const SyncProgress& progress) override {
    m_updates.Post([&](Pending& p) { p.progress = progress; });
  }

 private:
  PendingUpdates<Pending>& m_updates;
};

SyncWorker::SyncWorker(IDeskFace& face, Job job, ProgressFn progress, FinishedFn finished)
    : m_job(std::move(job)),
      m_progress(std::move(progress)),
      m_finished(std::move(finished)),
      m_updates(face, [this] { Deliver(); }) {}

SyncWorker::~SyncWorker() {
  m_cancel = true;
  if (m_thread.joinable()) m_thread.join();
}

void SyncWorker::Start(std::string archivePath, std::string serverUrl) {
  if (m_thread.joinable()) return;
  m_cancel = false;
  m_thread = std::thread([this, archive = std::move(archivePath), server = std::move(serverUrl)] {
    View view(m_updates);
    SyncOutcome outcome;
    try {
      outcome = m_job(archive, server, view, m_cancel);
    } catch (const std::exception& e) {
      // Never leave the window waiting for a worker that died.
      outcome.status = SyncStatus::ServerFailed;
      outcome.message = e.what();
    }
    m_updates.Post([&](Pending& p) { p.outcome = std::move(outcome); });
  });
}

void SyncWorker::Deliver() {
  Pending p = m_updates.Take();
  if (p.progress && m_progress) m_progress(*p.progress);
  if (!p.outcome) return;
  // The worker has nothing left to do but end.
  m_thread.join();
  if (m_finished) m_finished(std::move(*p.outcome));
}

}  // namespace logwick

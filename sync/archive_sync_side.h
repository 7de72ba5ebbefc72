// The local archive as one side of a synchronisation. The archive is opened
// (and created when missing) only when the exchange first needs it, so that a
// server that cannot be reached or holds no shared archive leaves the local
// side untouched.
#pragma once

#include <memory>
#include <string>

#include "history/history_archive.h"
#include "sync/readout_sync.h"

namespace logwick {

class ArchiveSyncSide : public ISyncLocal {
 public:
  explicit ArchiveSyncSide(std::string path) : m_path(std::move(path)) {}
  explicit ArchiveSyncSide(HistoryArchive& archive) : m_archive(&archive) {}

  SyncMarks Marks(const std::string& server) override { return Archive().SyncMarksFor(server); }
  void SetMarks(const std::string& server, const SyncMarks& marks) override;
  std::vector<SyncEntry> FiledAfter(std::int64_t id) override;
  bool Holds(const Sha256& sha) override { return Archive().HoldsReadout(sha); }
  SyncReadout Load(std::int64_t id) override;
  void File(const SyncReadout& readout) override;
  std::vector<SkippedReadout> Skipped(const std::string& server) override {
    return Archive().SkippedReadouts(server);
  }
  void RememberSkipped(const SkippedReadout& skipped) override { Archive().RememberSkipped(skipped); }
  void ForgetSkipped(const std::string& server, const Sha256& sha) override {
    Archive().ForgetSkipped(server, sha);
  }

 private:
  HistoryArchive& Archive();

  std::string m_path;
  std::unique_ptr<HistoryArchive> m_owned;
  HistoryArchive* m_archive = nullptr;
};

}  // namespace logwick

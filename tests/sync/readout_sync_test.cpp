// The exchange between archives and a server, against a server kept in memory
// that can fail at any request: convergence, interruptions at every moment,
// little work when there is little to do. (A server put back from a copy and
// rows that cannot be taken are tried on a real server, server_sync_test.)
#include <gtest/gtest.h>

#include <map>

#include "sync/archive_sync_side.h"
#include "sync/readout_sync.h"
#include "sync/sync_error.h"
#include "tests/sync/sync_checks.h"

using namespace logwick;
using namespace logwick::test;

namespace {

PanelKey PanelOf(const CT7KEventList& l) { return {l.m_nPanelType, l.m_nSerNum}; }

class MemoryServer : public ISyncServer {
 public:
  struct Row {
    std::int64_t id;
    Sha256 sha;
    SyncReadout readout;
  };

  std::string Name() const override { return "memory"; }
  ServerState State() override {
    Request("state");
    return {"first", m_rows.empty() ? 0 : m_rows.back().id};
  }
  bool StillHolds(const SyncMarks& marks) override {
    Request("check");
    return std::ranges::any_of(
        m_rows, [&](const Row& r) { return r.id == marks.fetchedThrough && r.sha == marks.fetchedSha; });
  }
  std::vector<Sha256> Held(std::span<const Sha256> shas) override {
    Request("held");
    std::vector<Sha256> out;
    for (const Sha256& sha : shas)
      if (RowOf(sha)) out.push_back(sha);
    return out;
  }
  bool Put(const SyncReadout& r, const Sha256& sha) override {
    Request("put");
    if (RowOf(sha)) return false;
    m_rows.push_back({m_rows.empty() ? 1 : m_rows.back().id + 1, sha, r});
    return true;
  }
  std::vector<SyncEntry> FiledAfter(std::int64_t id, std::size_t limit) override {
    Request("list");
    std::vector<SyncEntry> out;
    for (const Row& row : m_rows)
      if (row.id > id && out.size() < limit) out.push_back(EntryOf(row));
    return out;
  }
  std::optional<SyncEntry> Find(const Sha256& sha) override {
    Request("find");
    const Row* row = RowOf(sha);
    return row ? std::optional(EntryOf(*row)) : std::nullopt;
  }
  FetchedReadout Get(const SyncEntry& e, std::uint64_t) override {
    Request("get");
    for (const Row& row : m_rows)
      if (row.id == e.id) return {row.readout, {}};
    return {std::nullopt, "gone"};
  }

  // The request with this number (from 1) fails as a lost connection would.
  void FailAt(std::size_t request) { m_failAt = request; }
  std::vector<std::string>& Requests() { return m_requests; }
  std::vector<Row>& Rows() { return m_rows; }

 private:
  void Request(const char* what) {
    m_requests.push_back(what);
    if (m_requests.size() == m_failAt) throw SyncError(SyncError::Kind::ConnectionLost, Name());
  }
  static SyncEntry EntryOf(const Row& row) {
    return {row.id, row.sha, PanelOf(row.readout.list), ReadTimeOf(row.readout.list)};
  }
  const Row* RowOf(const Sha256& sha) const {
    for (const Row& row : m_rows)
      if (row.sha == sha) return &row;
    return nullptr;
  }

  std::vector<Row> m_rows;
  std::vector<std::string> m_requests;
  std::size_t m_failAt = 0;
};

struct Progress : ISyncView {
  void OnProgress(const SyncProgress& p) override {
    steps.push_back(p);
    if (cancelAt && steps.size() == cancelAt) *cancel = true;
  }
  std::vector<SyncProgress> steps;
  std::size_t cancelAt = 0;
  std::atomic<bool>* cancel = nullptr;
};

class ReadoutSync : public ::testing::Test {
 protected:
  std::unique_ptr<HistoryArchive> Archive(const std::string& name,
                                          const std::vector<CT7KEventList>& readouts = {}) {
    auto a = HistoryArchive::Open(dir_.File(name), true);
    for (const CT7KEventList& r : readouts) a->File(r, {name, false}, 1700000000);
    return a;
  }

  SyncCounts Sync(HistoryArchive& archive, std::size_t cancelAt = 0) {
    ArchiveSyncSide side(archive);
    std::atomic<bool> cancel{false};
    Progress view;
    view.cancelAt = cancelAt;
    view.cancel = &cancel;
    SyncReport report;
    SyncReadouts(side, server_, view, cancel, report);
    return report.counts;
  }

  TempDir dir_;
  MemoryServer server_;
  const TwoEngineers visits_ = VisitsByTurns(5);
};

TEST_F(ReadoutSync, ArchivesMeetAndThenLookOnlyAtWhatIsNew) {
  auto a = Archive("a.sqlite", visits_.first);
  auto b = Archive("b.sqlite", visits_.second);
  Sync(*a);
  Sync(*b);
  const SyncCounts c = Sync(*a);
  EXPECT_EQ(std::tie(c.sent, c.fetched), std::make_tuple(std::size_t{0}, visits_.second.size() - 1));
  ExpectSameArchives(*a, *b);
  EXPECT_EQ(server_.Rows().size(), ShaSet(*a).size());
  // What travels keeps its origin and filing time.
  const ReadoutInfo fetched = a->ReadoutsFiledAfter(0).back();
  EXPECT_EQ(std::tie(fetched.origin, fetched.filedAt), std::make_tuple(std::string("b.sqlite"), 1700000000));

  // With nothing to do, nothing is compared or sent: one look at the server,
  // whether it still holds what the marks name, and what it numbered since.
  // Only right after sending is what was sent looked for once more.
  const std::vector<std::string> justLook{"state", "check", "list"};
  server_.Requests().clear();
  Sync(*a);
  EXPECT_EQ(server_.Requests(), justLook);
  for (const auto& expected : {std::vector<std::string>{"state", "check", "held", "list"}, justLook}) {
    server_.Requests().clear();
    const SyncCounts none = Sync(*b);
    EXPECT_EQ(std::tie(none.sent, none.fetched), std::make_tuple(std::size_t{0}, std::size_t{0}));
    EXPECT_EQ(server_.Requests(), expected);
  }
}

// Stopped at every request in turn (a lost connection) and at every step of
// the progress (a cancel), the next exchange completes the work; neither side
// ever holds a read-out twice.
TEST_F(ReadoutSync, AnInterruptedExchangeIsCompletedByTheNext) {
  const TwoEngineers visits = VisitsByTurns(3, 64);
  Archive("b0.sqlite", visits.second);
  Archive("a0.sqlite", visits.first);
  Sync(*Archive("b0.sqlite"));
  const MemoryServer before = server_;
  for (bool cancel : {false, true}) {
    for (std::size_t at = 1;; ++at) {
      SCOPED_TRACE(testing::Message() << (cancel ? "cancel at step " : "fail at request ") << at);
      server_ = before;
      for (const char* name : {"a.sqlite", "b.sqlite"})
        CopyOver(dir_.File(name[0] + std::string("0.sqlite")), dir_.File(name));
      auto a = Archive("a.sqlite");
      auto b = Archive("b.sqlite");
      bool stopped = false;
      try {
        if (!cancel) server_.FailAt(server_.Requests().size() + at);
        Sync(*a, cancel ? at : 0);
      } catch (const SyncError& e) {
        stopped = true;
        EXPECT_EQ(e.GetKind(), cancel ? SyncError::Kind::Cancelled : SyncError::Kind::ConnectionLost);
      }
      server_.FailAt(0);
      Sync(*a);
      Sync(*b);
      ExpectSameArchives(*a, *b);
      EXPECT_EQ(server_.Rows().size(), ShaSet(*a).size());
      if (!stopped) break;
    }
  }
}

TEST(SyncTexts, CountsAgreeWithTheirNumber) {
  const std::pair<std::size_t, const char*> cases[] = {
      {1, "повреждено 1 чтение"},     {2, "повреждены 2 чтения"},      {4, "повреждены 4 чтения"},
      {5, "повреждено 5 чтений"},     {11, "повреждено 11 чтений"},    {12, "повреждено 12 чтений"},
      {21, "повреждено 21 чтение"},   {22, "повреждены 22 чтения"},    {111, "повреждено 111 чтений"},
      {114, "повреждено 114 чтений"}, {1001, "повреждено 1001 чтение"}};
  for (const auto& [n, text] : cases) EXPECT_EQ(DamagedText(n), text);
}

}  // namespace

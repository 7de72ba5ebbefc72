// The exchange against a server kept in memory that can fail at any request (a
// server put back from a copy, rows that cannot be taken: server_sync_test).
#include <gtest/gtest.h>

#include "sync/archive_sync_side.h"
#include "sync/readout_sync.h"
#include "sync/sync_error.h"
#include "tests/sync/sync_checks.h"

using namespace logwick;
using namespace logwick::test;

namespace {

// A server in memory that records each request; the one numbered failAt
// (from 1; 0: none) fails as a lost connection would. Rows (SHA-256 and
// read-out) are numbered from 1.
struct MemoryServer : ISyncServer {
  using Row = std::pair<Sha256, SyncReadout>;

  std::string Name() const override { return "memory"; }
  ServerState State() override { return Request("state"), ServerState{"first", std::ssize(rows)}; }
  bool StillHolds(const SyncMarks& m) override {
    Request("check");
    return m.fetchedThrough > 0 && m.fetchedThrough <= std::ssize(rows) &&
           rows[m.fetchedThrough - 1].first == m.fetchedSha;
  }
  std::vector<Sha256> Held(std::span<const Sha256> shas) override {
    Request("held");
    std::vector<Sha256> out;
    std::ranges::copy_if(shas, std::back_inserter(out), [&](const Sha256& sha) { return IdOf(sha) > 0; });
    return out;
  }
  bool Put(const SyncReadout& r, const Sha256& sha) override {
    Request("put");
    return IdOf(sha) == 0 && (rows.push_back({sha, r}), true);
  }
  std::vector<SyncEntry> FiledAfter(std::int64_t id, std::size_t limit) override {
    Request("list");
    std::vector<SyncEntry> out;
    for (std::int64_t i = id + 1; i <= std::ssize(rows) && out.size() < limit; ++i) out.push_back(EntryOf(i));
    return out;
  }
  std::optional<SyncEntry> Find(const Sha256& sha) override {
    Request("find");
    return IdOf(sha) ? std::optional(EntryOf(IdOf(sha))) : std::nullopt;
  }
  FetchedReadout Get(const SyncEntry& e, std::uint64_t) override {
    Request("get");
    return {rows.at(static_cast<std::size_t>(e.id - 1)).second, {}};
  }

  std::vector<std::string> requests;
  std::vector<Row> rows;
  std::size_t failAt = 0;

  void Request(const char* what) {
    requests.push_back(what);
    if (requests.size() == failAt) throw SyncError(SyncError::Kind::ConnectionLost, Name());
  }
  std::int64_t IdOf(const Sha256& sha) const {  // 0: not held
    const auto it = std::ranges::find(rows, sha, &Row::first);
    return it == rows.end() ? 0 : it - rows.begin() + 1;
  }
  SyncEntry EntryOf(std::int64_t id) const {
    const auto& [sha, readout] = rows[static_cast<std::size_t>(id - 1)];
    const CT7KEventList& l = readout.list;
    return {id, sha, {l.m_nPanelType, l.m_nSerNum}, ReadTimeOf(l)};
  }
};

struct ReadoutSync : ::testing::Test {
  std::unique_ptr<HistoryArchive> Archive(const std::string& name,
                                          const std::vector<CT7KEventList>& readouts = {}) {
    auto a = HistoryArchive::Open(dir_.File(name), true);
    for (const CT7KEventList& r : readouts) a->File(r, {name, false}, 1700000000);
    return a;
  }

  // Cancels as the progress shows its step number cancelAt (from 1; 0: never).
  std::string Sync(HistoryArchive& archive, std::size_t cancelAt = 0) {
    ArchiveSyncSide side(archive);
    std::atomic<bool> cancel{false};
    std::size_t steps = 0;
    SyncView view([&](const SyncProgress&) { cancel = cancel || ++steps == cancelAt; });
    SyncReport report;
    SyncReadouts(side, server_, view, cancel, report);
    return SyncSummary(report);
  }

  TempDir dir_;
  MemoryServer server_;
  const TwoEngineers visits_ = VisitsByTurns(5);
};

TEST_F(ReadoutSync, ArchivesMeetAndThenLookOnlyAtWhatIsNew) {
  auto a = Archive("a.sqlite", visits_.first);
  auto b = Archive("b.sqlite", visits_.second);
  EXPECT_EQ(Sync(*a), "отправлено 6, получено 0");
  EXPECT_EQ(Sync(*b), "отправлено 4, получено 5");  // the read-out both filed once
  EXPECT_EQ(Sync(*a), "отправлено 0, получено 4");
  ExpectSameArchives(*a, *b);
  EXPECT_EQ(server_.rows.size(), ShaSet(*a).size());
  // What travels keeps its origin and filing time.
  const ReadoutInfo fetched = a->ReadoutsFiledAfter(0).back();
  EXPECT_EQ(std::tie(fetched.origin, fetched.filedAt), std::make_tuple(std::string("b.sqlite"), 1700000000));

  // With nothing to do, nothing is compared or sent: one look at the server,
  // whether it still holds what the marks name, and what it numbered since.
  // Only right after sending is what was sent looked for once more.
  const std::vector<std::string> justLook{"state", "check", "list"};
  server_.requests.clear();
  Sync(*a);
  EXPECT_EQ(server_.requests, justLook);
  for (const auto& expected : {std::vector<std::string>{"state", "check", "held", "list"}, justLook}) {
    server_.requests.clear();
    EXPECT_EQ(Sync(*b), "отправлено 0, получено 0");
    EXPECT_EQ(server_.requests, expected);
  }
}

// Stopped at every request in turn (a lost connection) and at every step of
// the progress (a cancel); neither side ever holds a read-out twice.
TEST_F(ReadoutSync, AnInterruptedExchangeIsCompletedByTheNext) {
  const TwoEngineers visits = VisitsByTurns(3, 64);
  Sync(*Archive("b0.sqlite", visits.second));
  Archive("a0.sqlite", visits.first);
  const MemoryServer before = server_;
  for (bool cancel : {false, true}) {
    for (std::size_t at = 1;; ++at) {
      SCOPED_TRACE(testing::Message() << (cancel ? "cancel at step " : "fail at request ") << at);
      server_ = before;
      for (const char* name : {"a.sqlite", "b.sqlite"})
        CopyOver(dir_.File(name[0] + std::string("0.sqlite")), dir_.File(name));
      auto a = Archive("a.sqlite"), b = Archive("b.sqlite");
      bool stopped = false;
      try {
        if (!cancel) server_.failAt = server_.requests.size() + at;
        Sync(*a, cancel ? at : 0);
      } catch (const SyncError& e) {
        stopped = true;
        EXPECT_EQ(e.GetKind(), cancel ? SyncError::Kind::Cancelled : SyncError::Kind::ConnectionLost);
      }
      server_.failAt = 0;
      Sync(*a);
      Sync(*b);
      ExpectSameArchives(*a, *b);
      EXPECT_EQ(server_.rows.size(), ShaSet(*a).size());
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

// The archive on disk (two writers at once: tests/reliability/archive_kill_test).
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "history/archive_location.h"
#include "history/history_archive.h"
#include "history/sqlite_db.h"
#include "lists/list_digest.h"
#include "tests/history/archive_checks.h"
#include "tests/history/panel_model.h"
#include "tests/lists/test_env.h"

using namespace logwick;
using namespace logwick::test;

namespace {

StitchedEvents Stitched(const PanelHistory& h) {  // back to the panel's order
  StitchedEvents s{{h.list.begin(), h.list.end()}, {}};
  std::reverse(s.events.begin(), s.events.end());
  for (auto it = h.gapMarks.rbegin(); it != h.gapMarks.rend(); ++it)
    s.gaps.push_back(h.list.GetCount() - *it);
  return s;
}

struct Archive : ::testing::Test {
  std::unique_ptr<HistoryArchive> Open(bool create = true) { return HistoryArchive::Open(path_, create); }
  TempDir dir_;
  std::string path_ = dir_.File("sub folder/архив.sqlite");
};

TEST_F(Archive, FilesReadOutsGivesThemBackUnchangedAndTakesOnAFirstVersionArchive) {
  const std::vector<Visit> v = PanelModel(1, 1000).VisitsAfter({800, 300, 2500});
  const CT7KEventList first = ReadoutOf(v[0]), second = ReadoutOf(v[1]), third = ReadoutOf(v[2]);
  auto archive = Open();

  FilingResult r = archive->File(first, {"a.t7kev"});
  EXPECT_EQ(std::tie(r.panel, r.alreadyFiled, r.events, r.newEvents, r.knownEvents, r.gapMarkSet),
            std::make_tuple(PanelKey{1, 4242}, false, 800u, 800u, 0u, false));
  r = archive->File(second, {"b.t7kev"});
  EXPECT_EQ(std::tie(r.events, r.newEvents, r.knownEvents, r.gapMarkSet),
            std::make_tuple(1000u, 300u, 700u, false));
  r = archive->File(second, {"b copy.t7kev"});
  EXPECT_EQ(std::tie(r.alreadyFiled, r.newEvents, r.knownEvents), std::make_tuple(true, 0u, 1000u));
  r = archive->File(third, {"c.t7kev", true});
  EXPECT_EQ(std::tie(r.newEvents, r.knownEvents, r.gapMarkSet), std::make_tuple(1000u, 0u, true));

  const std::vector<ReadoutInfo> readouts = archive->Readouts({1, 4242});
  ASSERT_EQ(readouts.size(), 3u);
  EXPECT_EQ(std::tie(readouts[2].origin, readouts[2].partial, readouts[0].sha256),
            std::make_tuple("c.t7kev", true, HexOf(EventListSha256(first))));
  EXPECT_EQ(archive->Readout(readouts[1].id), second);
  EXPECT_FALSE(archive->Readout(999).has_value());
  const std::vector<ReadoutInfo> later = archive->ReadoutsFiledAfter(readouts[0].id);
  ASSERT_EQ(later.size(), 2u);
  EXPECT_EQ(std::tie(later[0].id, later[0].panel, later[1].origin),
            std::tie(readouts[1].id, readouts[1].panel, readouts[2].origin));

  // Every read-out comes back whole and unchanged.
  CT7KEventList full = MakeFullList(300);  // patterned reserved block, bytes after the name's NUL
  full.m_texts.insert(full.m_texts.end(), {"", std::string("\x01\t\n") + "ё\xC2\x98"});
  CT7KEventList empty = MakeHeaderList();
  empty.m_nSerNum = 77;
  CT7KEventList apollo = MakeFullList(5);
  apollo.m_nPanelType = 3;
  for (const CT7KEventList& l : {full, empty, apollo})
    EXPECT_EQ(archive->Readout(archive->File(l, {"x"}).readout), l);
  EXPECT_EQ(archive->PanelsWithSerial(123), (std::vector<PanelKey>{{1, 123}, {3, 123}}));
  EXPECT_EQ(archive->History({1, 77})->list.GetCount(), 0u);
  ExpectChunksAccountedFor(path_);

  // An archive of the first version gains the synchronisation marks and the
  // skipped read-outs and keeps what it held; both are kept per server.
  archive.reset();
  SqliteDb::OpenExisting(path_).Exec("DROP TABLE sync_mark; DROP TABLE sync_skip; PRAGMA user_version = 1");
  archive = Open(false);
  const Sha256 sha = EventListSha256(apollo);
  EXPECT_TRUE(archive->HoldsReadout(sha));
  EXPECT_FALSE(archive->HoldsReadout(EventListSha256(MakeFullList(41))));
  EXPECT_EQ(archive->SyncMarksFor("a"), SyncMarks{});
  archive->SetSyncMarks("a", {3, 7});
  archive->SetSyncMarks("b", {1, 2, sha, {}});
  archive->SetSyncMarks("a", {4, 9, {}, sha});
  EXPECT_EQ(archive->SyncMarksFor("a"), (SyncMarks{4, 9, {}, sha}));
  EXPECT_EQ(archive->SyncMarksFor("b"), (SyncMarks{1, 2, sha, {}}));

  archive->RememberSkipped({"a", sha, 5, 77, "first"});
  archive->RememberSkipped({"b", sha, 6, std::nullopt, "other"});
  archive->RememberSkipped({"a", sha, 8, 77, "again"});  // the same read-out, seen again
  archive->RememberSkipped({"a", {}, 2, 78, "second"});
  auto seen = [&](const std::string& server) {
    std::vector<std::string> out;
    for (const SkippedReadout& s : archive->SkippedReadouts(server))
      out.push_back(s.server + std::to_string(s.seq) + s.warning + std::to_string(s.serial.value_or(0)));
    return out;
  };
  EXPECT_EQ(seen("a"), (std::vector<std::string>{"a2second78", "a8again77"}));
  EXPECT_EQ(seen(""), (std::vector<std::string>{"a2second78", "a8again77", "b6other0"}));
  archive->ForgetSkipped("a", sha);
  EXPECT_EQ(seen(""), (std::vector<std::string>{"a2second78", "b6other0"}));
  archive.reset();
  EXPECT_EQ(SqliteDb::OpenExisting(path_).PragmaInt("user_version"), HistoryArchive::kSchemaVersion);
}

TEST_F(Archive, GivesTheHistoryNewestFirstWithTheNewestHeaderWhateverTheFilingOrder) {
  const std::vector<Visit> visits = PanelModel(2, 500).VisitsAfter({400, 100, 900, 50});
  auto archive = Open();
  StitchedEvents want;
  for (const Visit& v : visits) {
    archive->File(ReadoutOf(v), {"f"});
    Fold(want, v.events);
  }
  // A read-out with the newest read time filed last gives the header; so does
  // the last filed of two with equal read times.
  CT7KEventList again = ReadoutOf(visits.back());
  again.m_texts = {"последний"};
  archive->File(again, {"f"});

  const std::optional<PanelHistory> h = archive->History({1, 4242});
  ASSERT_TRUE(h);
  EXPECT_EQ(Stitched(*h), want);
  EXPECT_EQ(std::tie(h->totalEvents, h->readouts, h->list.m_texts),
            std::make_tuple(want.events.size(), 5u, again.m_texts));
  ASSERT_EQ(h->gapMarks.size(), 1u);

  // The newest events only: marks beyond them are left out.
  const std::size_t mark = h->gapMarks[0];
  const std::optional<PanelHistory> cut = archive->History({1, 4242}, mark + 1);
  EXPECT_EQ(std::make_tuple(cut->list.GetCount(), cut->gapMarks), std::make_tuple(mark + 1, h->gapMarks));
  EXPECT_TRUE(archive->History({1, 4242}, mark)->gapMarks.empty());
  EXPECT_FALSE(archive->History({2, 4242}));

  ASSERT_EQ(archive->Panels().size(), 1u);
  const PanelSummary p = archive->Panels()[0];
  EXPECT_EQ(std::tie(p.configName, p.events, p.readouts, p.gapMarks, p.firstEvent, p.lastEvent, p.lastRead),
            std::make_tuple("Склад", want.events.size(), 5u, 1u, want.events.front().TimeStamp(),
                            want.events.back().TimeStamp(), ReadTimeOf(again)));

  // Filed in any order, another panel's read-outs give the history of read-time order.
  std::vector<Visit> years = PanelModel(7, 1200).VisitOverYears(30);
  StitchedEvents inOrder;
  for (const Visit& v : years) Fold(inOrder, v.events);
  std::shuffle(years.begin(), years.end(), std::mt19937(3));
  std::size_t grown = 0;
  for (const Visit& v : years) grown += archive->File(ReadoutOf(v, 4243), {"f"}).newEvents;
  EXPECT_EQ(Stitched(*archive->History({1, 4243})), inOrder);
  EXPECT_GE(grown, inOrder.events.size());
  ExpectChunksAccountedFor(path_);
}

TEST_F(Archive, RefusesWhatIsNotASoundArchiveAndLeavesItAlone) {
  Open()->File(ReadoutOf(PanelModel(4, 3000).VisitsAfter({3000})[0]), {"f"});
  const Bytes sound = ReadBytes(path_);
  Bytes newer = sound, scrambled = sound, noise(5000);
  newer[63] = HistoryArchive::kSchemaVersion + 1;  // user_version, big-endian at offset 60
  std::mt19937 rng(1);
  std::generate(scrambled.begin() + 4096, scrambled.end(), std::ref(rng));
  std::ranges::generate(noise, std::ref(rng));
  const std::string foreign = dir_.File("other.sqlite");
  SqliteDb::OpenOrCreate(foreign).Exec("CREATE TABLE t (x); INSERT INTO t VALUES (1)");

  using K = ArchiveError::Kind;
  const std::tuple<const char*, Bytes, K> cases[] = {
      {"cut in half", Bytes(sound.begin(), sound.begin() + sound.size() / 2), K::Damaged},
      {"cut to 60 bytes", Bytes(sound.begin(), sound.begin() + 60), K::Damaged},
      {"empty", Bytes(), K::Damaged},
      {"pages scrambled", scrambled, K::Damaged},
      {"random bytes", noise, K::Damaged},
      {"another program's database", ReadBytes(foreign), K::Foreign},
      {"newer schema", newer, K::NewerVersion},
  };
  for (const auto& [name, bytes, kind] : cases) {
    SCOPED_TRACE(name);
    WriteBytes(path_, bytes);
    std::optional<K> got;
    try {
      auto archive = Open();
      archive->File(MakeFullList(10), {"f"});
      archive->Panels();
      archive->History({1, 4242});
    } catch (const ArchiveError& e) {
      got = e.GetKind();
      EXPECT_NE(std::string(e.what()).find(path_), std::string::npos) << e.what();
    }
    EXPECT_EQ(got, kind);
    EXPECT_EQ(ReadBytes(path_), bytes);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(PathOf(path_).parent_path()), {}), 1)
        << "something left beside it";
  }
  std::filesystem::remove(path_);
  EXPECT_THROW(Open(false), ArchiveError);
  EXPECT_FALSE(std::filesystem::exists(path_));
}

// Blobs that a damaged disk or another program changed: each read that meets
// one refuses the archive as damaged, in little memory.
TEST_F(Archive, RefusesDamagedBlobsInsteadOfTrustingThem) {
  Open()->File(MakeFullList(40), {"f"});
  // A name cut to nothing; a history claiming four billion events.
  for (const char* sql : {"UPDATE readout SET config_name = x''",
                          "UPDATE panel SET pieces = x'0180808080' || x'0f', events = 4026531840"}) {
    SCOPED_TRACE(sql);
    const Bytes sound = ReadBytes(path_);
    SqliteDb::OpenExisting(path_).Exec(sql);
    auto archive = Open(false);
    try {
      archive->Panels();
      archive->History({1, 123});
      ADD_FAILURE() << "the damage went unnoticed";
    } catch (const ArchiveError& e) {
      EXPECT_EQ(e.GetKind(), ArchiveError::Kind::Damaged) << e.what();
    }
    archive.reset();
    WriteBytes(path_, sound);
  }
}

TEST(ArchiveLocation, OptionThenEnvironmentThenDefault) {
  SetEnv(kArchiveEnvironmentVariable, nullptr);
#ifdef _WIN32
  SetEnv("LOCALAPPDATA", "C:\\Users\\инженер\\AppData\\Local");
  EXPECT_EQ(ResolveArchivePath(""), "C:\\Users\\инженер\\AppData\\Local\\Ormet\\Logwick\\archive.sqlite");
#else
  SetEnv("HOME", "/home/инженер");
  SetEnv("XDG_DATA_HOME", nullptr);
  EXPECT_EQ(ResolveArchivePath(""), "/home/инженер/.local/share/Ormet/logwick/archive.sqlite");
  SetEnv("XDG_DATA_HOME", "relative/ignored");
  EXPECT_EQ(ResolveArchivePath(""), "/home/инженер/.local/share/Ormet/logwick/archive.sqlite");
  SetEnv("XDG_DATA_HOME", "/data");
  EXPECT_EQ(ResolveArchivePath(""), "/data/Ormet/logwick/archive.sqlite");
#endif
  SetEnv(kArchiveEnvironmentVariable, "/env.sqlite");
  EXPECT_EQ(ResolveArchivePath(""), "/env.sqlite");
  EXPECT_EQ(ResolveArchivePath("/option.sqlite"), "/option.sqlite");
  SetEnv(kArchiveEnvironmentVariable, nullptr);
}

}  // namespace

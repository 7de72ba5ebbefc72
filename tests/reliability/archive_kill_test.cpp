// The archive under stress: `logwick-cli archive add` killed (SIGKILL) at
// random moments leaves the state before or after the file, never a part of
// it. (Two writers at once: Archive.TwoWritersAtOnceBothFile.)
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <random>

#include "history/history_archive.h"
#include "lists/event_file.h"
#include "tests/history/archive_checks.h"
#include "tests/history/panel_model.h"
#include "tests/lists/child_process.h"

using namespace logwick;
using namespace logwick::test;
using Clock = std::chrono::steady_clock;

namespace {

const std::string kCli = std::string(LOGWICK_BIN_DIR) + "/logwick-cli";

// The plain build kills 200 filings; under the sanitizers, which look for
// memory errors and make every process several times slower, 50 do.
#ifdef __SANITIZE_ADDRESS__
constexpr int kRounds = 50;
#else
constexpr int kRounds = 200;
#endif

// Files `file` in a child killed after `delay`. True when it ended by itself.
bool AddKilledAfter(const std::string& archive, const std::string& file, std::chrono::microseconds delay) {
  ChildProcess add = ChildProcess::Program(kCli, {"archive", "add", "--archive", archive, file});
  const bool ended = add.WaitAtMost(delay);
  EXPECT_TRUE(!ended || add.Wait() == 0) << "the filing failed";
  return ended;
}

// The archive opens, and what it holds: its read-outs and the panel's history
// as stored (chunk contents are covered by the structure check and by the
// chunk accounting).
std::string State(const std::string& path) {
  HistoryArchive::Open(path, false);
  SqliteDb db = SqliteDb::OpenExisting(path);
  SqliteStatement st = db.Prepare(
      "SELECT (SELECT group_concat(hex(sha256)) FROM (SELECT sha256 FROM readout ORDER BY id)),"
      " events || ':' || hex(pieces) || ':' || hex(gaps) FROM panel");
  return st.Step() ? st.Text(0) + ";" + st.Text(1) : std::string();
}

TEST(ArchiveReliability, KilledFilingsLeaveTheStateBeforeOrAfter) {
  TempDir dir;
  PanelModel panel(11, 100000);
  panel.Produce(60000);
  const Visit older = panel.Read();
  panel.Produce(70000);
  const std::string file = dir.File("журнал объекта.t7kev");
  ASSERT_TRUE(StoreEventFile(file, ReadoutOf(panel.Read())).ok);  // 100000 events, 30000 known
  const std::string base = dir.File("base.sqlite"), work = dir.File("work.sqlite");
  HistoryArchive::Open(base, true)->File(ReadoutOf(older), {"older"});
  const std::string before = State(base);

  std::filesystem::copy_file(base, work);
  const auto start = Clock::now();
  ASSERT_TRUE(AddKilledAfter(work, file, std::chrono::seconds(60)));
  const auto addUs = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start).count();
  const std::string after = State(work);
  ASSERT_NE(before, after);

  std::mt19937 gen(20240315);
  std::uniform_int_distribution<long long> moment(0, addUs);
  int kept = 0, filed = 0;
  for (int round = 0; round < kRounds; ++round) {
    std::filesystem::copy_file(base, work, std::filesystem::copy_options::overwrite_existing);
    for (const char* extra : {"-wal", "-shm"}) std::filesystem::remove(work + extra);
    AddKilledAfter(work, file, std::chrono::microseconds(moment(gen)));
    ASSERT_EQ(QuickCheck(work), "ok") << "round " << round;
    const std::string state = State(work);
    ASSERT_TRUE(state == before || state == after) << "round " << round;
    (state == before ? kept : filed)++;
    if (round % 50 == 0) ExpectChunksAccountedFor(work);
  }
  EXPECT_GT(kept, 0);  // how many land after the commit depends on how busy the machine is
  std::printf("filing took %lld us; %d kills: %d before, %d after\n", static_cast<long long>(addUs), kRounds,
              kept, filed);
}

}  // namespace

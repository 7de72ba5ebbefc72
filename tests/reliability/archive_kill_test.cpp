// The archive under stress: `logwick-cli archive add` killed (SIGKILL) at
// random moments leaves the state before or after the file, never a part of
// it; two processes filing at the same moment both succeed.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <thread>

#include "history/history_archive.h"
#include "lists/event_file.h"
#include "tests/history/archive_checks.h"
#include "tests/history/panel_model.h"

using namespace logwick;
using namespace logwick::test;
using Clock = std::chrono::steady_clock;

namespace {

const std::string kCli = std::string(LOGWICK_BIN_DIR) + "/logwick-cli";

// The plain build kills 200 filings; under the sanitizers, which look for
// memory errors and make every process several times slower, 50 do.
#if defined(__SANITIZE_ADDRESS__)
constexpr int kRounds = 50;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr int kRounds = 50;
#else
constexpr int kRounds = 200;
#endif
#else
constexpr int kRounds = 200;
#endif

pid_t StartAdd(const std::string& archive, const std::string& file) {
  std::fflush(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) {
    std::freopen("/dev/null", "w", stdout);
    execl(kCli.c_str(), kCli.c_str(), "archive", "add", "--archive", archive.c_str(), file.c_str(),
          static_cast<char*>(nullptr));
    _exit(127);
  }
  return pid;
}

// Waits for the child until `delay` has passed, then kills it. True when it
// ended by itself, with status 0.
bool AddKilledAfter(const std::string& archive, const std::string& file, std::chrono::microseconds delay) {
  const pid_t pid = StartAdd(archive, file);
  const auto killAt = Clock::now() + delay;
  int status = 0;
  pid_t done = 0;
  while ((done = ::waitpid(pid, &status, WNOHANG)) == 0 && Clock::now() < killAt)
    std::this_thread::sleep_for(std::chrono::microseconds(100));
  if (done == 0) {
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
  }
  EXPECT_FALSE(WIFEXITED(status) && WEXITSTATUS(status) != 0) << "the filing failed";
  return WIFEXITED(status);
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

TEST(ArchiveReliability, TwoProcessesFilingAtOnceBothSucceed) {
  TempDir dir;
  std::vector<std::string> files;
  for (std::int32_t serial : {501, 502}) {
    PanelModel panel(static_cast<std::uint32_t>(serial), 50000);
    for (int i = 0; i < 5; ++i) {
      panel.Produce(20000);
      files.push_back(dir.File(std::to_string(serial) + "-" + std::to_string(i) + ".t7kev"));
      ASSERT_TRUE(StoreEventFile(files.back(), ReadoutOf(panel.Read(), serial)).ok);
    }
  }
  const std::string archive = dir.File("a.sqlite");
  for (int i = 0; i < 5; ++i) {  // the first pair also races to create the archive
    const pid_t a = StartAdd(archive, files[static_cast<std::size_t>(i)]);
    const pid_t b = StartAdd(archive, files[static_cast<std::size_t>(5 + i)]);
    for (pid_t pid : {a, b}) {
      int status = -1;
      ::waitpid(pid, &status, 0);
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "pair " << i;
    }
  }
  auto opened = HistoryArchive::Open(archive, false);
  EXPECT_EQ(opened->Readouts({1, 501}).size(), 5u);
  EXPECT_EQ(opened->Readouts({1, 502}).size(), 5u);
  opened.reset();
  EXPECT_EQ(QuickCheck(archive), "ok");
  ExpectChunksAccountedFor(archive);
}

}  // namespace

// A store killed (SIGKILL) at any moment leaves the complete old or new file
// (and perhaps its temporary file); a finished store leaves only the target.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <thread>

#include "lists/event_file.h"
#include "sim/event_generator.h"
#include "tests/lists/test_files.h"

using namespace logwick;
using namespace logwick::test;
using Clock = std::chrono::steady_clock;

// Stores over `target` in a child, killed after `delay`. True when it ran to its end.
static bool StoreInChild(const std::string& target, const CT7KEventList& list,
                         std::chrono::microseconds delay) {
  std::fflush(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) _exit(StoreEventFile(target, list).ok ? 0 : 1);
  const auto killAt = Clock::now() + delay;
  int status = 0;
  pid_t done = 0;
  while ((done = ::waitpid(pid, &status, WNOHANG)) == 0 && Clock::now() < killAt)
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  if (done == 0) ::kill(pid, SIGKILL), ::waitpid(pid, &status, 0);
  EXPECT_FALSE(WIFEXITED(status) && WEXITSTATUS(status) != 0) << "the store failed";
  return WIFEXITED(status);
}

TEST(CrashSafeStore, KilledStoresLeaveTheOldOrTheNewFile) {
  TempDir dir;
  const std::string name = "журнал объекта.t7kev", target = dir.File(name);
  CT7KEventList lists[2];
  for (std::uint32_t seed : {0u, 1u}) {
    lists[seed].m_nPanelType = 1, lists[seed].m_nSerNum = static_cast<std::int32_t>(seed);
    lists[seed].m_texts = SampleMessageTexts(kSampleMessageCount);
    for (const CT7KEvent& ev : GenerateSampleEvents(100000, seed)) lists[seed].AddTail(ev);
  }
  ASSERT_TRUE(StoreEventFile(target, lists[0]).ok);

  // A clean run: how long a store takes, and that it leaves only the target.
  const auto start = Clock::now();
  ASSERT_TRUE(StoreInChild(target, lists[1], std::chrono::seconds(30)));
  const auto storeUs = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start).count();
  EXPECT_EQ(dir.EntryCount(), 1u);

  std::mt19937 gen(20240315);
  std::uniform_int_distribution<long long> moment(0, storeUs);
  int current = 1, kept = 0, replaced = 0, round = 0;
  for (const auto deadline = Clock::now() + std::chrono::seconds(15); round < 60 && Clock::now() < deadline;
       ++round) {
    const int next = 1 - current;
    StoreInChild(target, lists[next], std::chrono::microseconds(moment(gen)));
    CT7KEventList loaded;
    ASSERT_EQ(LoadEventFile(target, loaded).status, LoadStatus::Loaded) << "round " << round;
    ASSERT_TRUE(loaded == lists[next] || loaded == lists[current])
        << "round " << round << ": neither old nor new";
    loaded == lists[next] ? (++replaced, current = next) : ++kept;
    for (const auto& e : std::filesystem::directory_iterator(dir.Path()))
      if (e.path().filename() != name) std::filesystem::remove(e.path());  // a killed store's temporary file
  }
  std::printf("%d rounds, store %.0f ms: %d kept the old file, %d the new one\n", round, storeUs / 1000.0,
              kept, replaced);
  EXPECT_GT(kept, 0);
}

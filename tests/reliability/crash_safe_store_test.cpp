// A store killed at any moment (SIGKILL: no clean-up runs) must leave the
// target as the complete old file or the complete new one. A killed store may
// leave its temporary file behind, named "<target>.<8 hex digits>.tmp"; a
// store that runs to its end leaves nothing but the target.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <regex>
#include <thread>

#include "lists/event_file.h"
#include "sim/event_generator.h"
#include "tests/lists/test_files.h"

using namespace logwick;
using namespace logwick::test;

namespace {

constexpr std::size_t kEvents = 100000;
constexpr int kRounds = 60;
constexpr auto kBudget = std::chrono::seconds(15);

CT7KEventList BigList(std::uint32_t seed) {
  CT7KEventList l;
  l.m_nPanelType = 1;
  l.m_nSerNum = static_cast<std::int32_t>(seed);
  l.m_texts = SampleMessageTexts(kSampleMessageCount);
  l.Reserve(kEvents);
  for (const CT7KEvent& ev : GenerateSampleEvents(kEvents, seed)) l.AddTail(ev);
  return l;
}

// Stores `list` over `target` in a child process; kills it after `delay`
// unless it has finished. True when the child ran to its end on its own.
bool StoreInChild(const std::string& target, const CT7KEventList& list,
                  std::chrono::microseconds delay) {
  std::fflush(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) _exit(StoreEventFile(target, list).ok ? 0 : 1);
  if (pid < 0) {
    ADD_FAILURE() << "fork failed";
    return false;
  }
  // Poll rather than sleep the whole delay, so that a store that ends early
  // is not waited for.
  const auto killAt = std::chrono::steady_clock::now() + delay;
  int status = 0;
  pid_t done = 0;
  while ((done = ::waitpid(pid, &status, WNOHANG)) == 0 && std::chrono::steady_clock::now() < killAt)
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  if (done == 0) {
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
  }
  if (WIFEXITED(status)) {
    EXPECT_EQ(WEXITSTATUS(status), 0);
  }
  return WIFEXITED(status);
}

std::vector<std::string> Names(const TempDir& dir) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir.Path()))
    names.push_back(e.path().filename().string());
  return names;
}

// Removes what killed stores left behind; every leftover must be one of our
// temporary files.
int RemoveLeftovers(const TempDir& dir, const std::string& targetName) {
  const std::regex temp(std::regex_replace(targetName, std::regex(R"([.()])"), R"(\$&)") +
                        R"(\.[0-9a-f]{8}\.tmp)");
  int n = 0;
  for (const std::string& name : Names(dir)) {
    if (name == targetName) continue;
    EXPECT_TRUE(std::regex_match(name, temp)) << "unexpected file " << name;
    std::remove(dir.File(name).c_str());
    ++n;
  }
  return n;
}

}  // namespace

TEST(CrashSafeStore, KilledStoresLeaveTheOldOrTheNewFile) {
  TempDir dir;
  const std::string name = "журнал объекта.t7kev";
  const std::string target = dir.File(name);
  const CT7KEventList lists[2] = {BigList(1), BigList(2)};
  ASSERT_TRUE(StoreEventFile(target, lists[0]).ok);

  // A clean run: how long a store takes, and that it leaves only the target.
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(StoreInChild(target, lists[1], std::chrono::seconds(30)));
  const auto storeTime = std::chrono::duration_cast<std::chrono::microseconds>(
      std::chrono::steady_clock::now() - start);
  EXPECT_EQ(Names(dir), std::vector<std::string>{name});
  int current = 1;

  std::mt19937 gen(20240315);
  std::uniform_int_distribution<long long> moment(0, storeTime.count());
  int kept = 0, replaced = 0, finished = 0, leftovers = 0;
  const auto deadline = std::chrono::steady_clock::now() + kBudget;
  int round = 0;
  for (; round < kRounds && std::chrono::steady_clock::now() < deadline; ++round) {
    const int next = 1 - current;
    if (StoreInChild(target, lists[next], std::chrono::microseconds(moment(gen)))) ++finished;
    CT7KEventList loaded;
    ASSERT_EQ(LoadEventFile(target, loaded).status, LoadStatus::Loaded) << "round " << round;
    if (loaded == lists[next]) {
      ++replaced;
      current = next;
    } else {
      ASSERT_TRUE(loaded == lists[current]) << "round " << round << ": neither old nor new";
      ++kept;
    }
    leftovers += RemoveLeftovers(dir, name);
  }
  std::printf("%d rounds, store %.0f ms: %d kept the old file, %d the new one (%d not killed), "
              "%d temporary files left by killed stores\n",
              round, storeTime.count() / 1000.0, kept, replaced, finished, leftovers);
  EXPECT_GT(kept, 0);
}

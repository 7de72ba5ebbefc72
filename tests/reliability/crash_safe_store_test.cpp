// A store killed (SIGKILL) at any moment leaves the complete old or new file.
// Where the file system has files without a name (ext4, tmpfs) it leaves
// nothing else; elsewhere its temporary file may stay until the next save of
// the same target removes it.
#include <gtest/gtest.h>
#include <sys/prctl.h>

#include <chrono>
#include <cstdio>
#include <random>

#include "lists/atomic_file.h"
#include "lists/event_file.h"
#include "tests/lists/child_process.h"
#include "tests/lists/list_samples.h"

using namespace logwick;
using namespace logwick::test;
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

namespace {

// Stores over `target` in a child, killed after `delay`. True when it ran to its end.
bool StoreInChild(const std::string& target, const CT7KEventList& list, std::chrono::microseconds delay) {
  ChildProcess store([&] { return StoreEventFile(target, list).ok ? 0 : 1; });
  const bool ended = store.WaitAtMost(delay);
  EXPECT_TRUE(!ended || store.Wait() == 0) << "the store failed";
  // A helper the store left running is ours now (a subreaper's): let it finish.
  while (::waitpid(-1, nullptr, 0) > 0) continue;
  return ended;
}

// `rounds` stores into `folder`, each killed at a random moment of its run.
// Returns the most files other than the target seen after any kill.
std::size_t KillStores(const fs::path& folder, int rounds) {
  const CT7KEventList lists[2] = {MakeFullList(25000), MakeFullList(25001)};
  const std::string name = "журнал объекта.t7kev", target = (folder / name).string();
  EXPECT_TRUE(StoreEventFile(target, lists[0]).ok);
  // Clean runs: how long a store takes (the fastest of three: the machine's
  // load may hold one up), and that it leaves only the target.
  long long storeUs = 30000000;
  for (int i = 0; i < 3; ++i) {
    const auto start = Clock::now();
    EXPECT_TRUE(StoreInChild(target, lists[1], std::chrono::seconds(30)));
    storeUs = std::min<long long>(
        storeUs, std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start).count());
  }
  std::mt19937 gen(20240315);
  // Up to twice a clean run: a store's own time varies with the machine's
  // load, and both outcomes must come up.
  std::uniform_int_distribution<long long> moment(0, 2 * storeUs);
  int current = 1, kept = 0, replaced = 0;
  std::size_t mostStrays = 0;
  for (int round = 0; round < rounds; ++round) {
    const int next = 1 - current;
    StoreInChild(target, lists[next], std::chrono::microseconds(moment(gen)));
    CT7KEventList loaded;
    EXPECT_EQ(LoadEventFile(target, loaded).status, FileStatus::Done) << "round " << round;
    EXPECT_TRUE(loaded == lists[next] || loaded == lists[current]) << "round " << round << ": neither";
    if (loaded != lists[next] && loaded != lists[current]) break;
    loaded == lists[next] ? (++replaced, current = next) : ++kept;
    mostStrays = std::max<std::size_t>(mostStrays, std::distance(fs::directory_iterator(folder), {}) - 1);
  }
  std::printf("%s: %d rounds, store %.0f ms: %d kept the old file, %d the new one, at most %zu strays\n",
              folder.c_str(), rounds, storeUs / 1000.0, kept, replaced, mostStrays);
  EXPECT_TRUE(kept > 0 && replaced > 0);  // both outcomes came up
  // A finished store leaves the target alone, whatever earlier ones left.
  EXPECT_TRUE(StoreEventFile(target, lists[0]).ok);
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 1);
  return mostStrays;
}

}  // namespace

TEST(CrashSafeStore, KilledStoresLeaveTheOldOrTheNewFileAndNothingElse) {
  ::prctl(PR_SET_CHILD_SUBREAPER, 1);
  TempDir dir;  // the system's temporary folder: ext4 or tmpfs on Linux machines
  EXPECT_EQ(KillStores(dir.Path(), 200), 0u);
  if (fs::is_directory("/dev/shm")) {  // tmpfs
    const fs::path shm = fs::path("/dev/shm") / dir.Path().filename();
    fs::create_directory(shm);
    EXPECT_EQ(KillStores(shm, 100), 0u);
    fs::remove_all(shm);
  }
  // As on FAT sticks and network shares, which have no unnamed files.
  AtomicFile::UseUnnamedFiles(false);
  EXPECT_EQ(KillStores(dir.Path(), 40), 1u);
  AtomicFile::UseUnnamedFiles(true);
}

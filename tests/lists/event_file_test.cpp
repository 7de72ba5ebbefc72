// Loading and storing by path: unreadable files, and stores that fail without
// losing the old file or leaving a temporary one.
#include "lists/event_file.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#endif

#include "lists/report.h"
#include "tests/lists/list_samples.h"

using namespace logwick;
using namespace logwick::test;

TEST(EventFileLoad, UnreadableFilesAreReadErrors) {
  TempDir dir;
  const CT7KEventList old = MakeFullList(2);
  CT7KEventList list = old;
  LoadOutcome missing = LoadEventFile(dir.File("none.t7kev"), list);
  EXPECT_EQ(missing.status, LoadStatus::ReadError);
  EXPECT_FALSE(missing.osError.empty());
  EXPECT_EQ(LoadEventFile(dir.Path().string(), list).status, LoadStatus::ReadError);
  EXPECT_EQ(list, old);
}

TEST(EventFileStore, NothingIsLeftBehindOnSuccessOrFailure) {
  TempDir dir;
  const CT7KEventList list = MakeFullList(5);
  const std::string path = dir.File("a.t7kev");
  WriteBytes(path, Bytes(10, 'o'));
  ASSERT_TRUE(StoreEventFile(path, list).ok);
  EXPECT_EQ(ReadBytes(path).size(), 1107u + 2 * 17 + 5 * 16);
  // A name near the longest a folder takes leaves no room for a suffix.
  const std::string longName = dir.File(std::string(241, 'a') + "Жж.t7kev");
  EXPECT_TRUE(StoreEventFile(longName, list).ok);
  EXPECT_TRUE(WriteReportFile(longName, list, {}).ok);
  // A folder in the way of the target, and a folder that does not exist.
  std::filesystem::create_directory(dir.File("sub"));
  EXPECT_FALSE(StoreEventFile(dir.File("sub"), list).ok);
  EXPECT_FALSE(StoreEventFile(dir.File("none/b.t7kev"), list).ok);
  EXPECT_TRUE(std::filesystem::is_empty(dir.File("sub")));
  EXPECT_EQ(dir.EntryCount(), 3u);  // a.t7kev, the long one and sub
}

#ifndef _WIN32
TEST(EventFileStore, FailedWritesKeepTheOldFiles) {
  TempDir dir;
  const std::string events = dir.File("old.t7kev"), report = dir.File("old.txt");
  const Bytes oldBytes(1000, 'k');
  WriteBytes(events, oldBytes);
  WriteBytes(report, oldBytes);
  const CT7KEventList big = MakeFullList(2000);  // ~33 KB as file or report

  // Files may not grow past 16 KiB: writes fail as on a full disk.
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit old{}, lim{};
  getrlimit(RLIMIT_FSIZE, &old);
  lim = old;
  lim.rlim_cur = 16 * 1024;
  if (setrlimit(RLIMIT_FSIZE, &lim) != 0) GTEST_SKIP() << "cannot limit file sizes here";
  const bool storedEvents = StoreEventFile(events, big).ok;
  const bool storedReport = WriteReportFile(report, big, {}).ok;
  setrlimit(RLIMIT_FSIZE, &old);

  EXPECT_FALSE(storedEvents);
  EXPECT_FALSE(storedReport);
  EXPECT_EQ(ReadBytes(events), oldBytes);
  EXPECT_EQ(ReadBytes(report), oldBytes);
  EXPECT_EQ(dir.EntryCount(), 2u);
}

// Writing in place would be refused, so replacing by a rename must be too.
TEST(EventFileStore, WriteProtectedFilesAreRefused) {
  TempDir dir;
  const std::string path = dir.File("kept.t7kev");
  WriteBytes(path, Bytes(3, 'k'));
  ::chmod(path.c_str(), 0444);
  ::chmod(dir.Path().c_str(), 0777);
  std::fflush(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) {
    // Root may write anything: the store runs as an ordinary user.
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) _exit(2);
    const CT7KEventList list = MakeFullList(1);
    _exit(StoreEventFile(path, list).ok || WriteReportFile(path, list, {}).ok ? 1 : 0);
  }
  int status = -1;
  ::waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_EQ(ReadBytes(path), Bytes(3, 'k'));
  EXPECT_EQ(dir.EntryCount(), 1u);
}
#endif

// Loading and storing by path: messages, unreadable files, and stores that
// fail without losing the old file.
#include "lists/event_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#endif

#include "lists/report.h"
#include "tests/lists/list_samples.h"

using namespace logwick;
using namespace logwick::test;

namespace {

#ifndef _WIN32
// Lets no file of this process grow past limit bytes while it lives: writes
// beyond it fail (EFBIG), as on a full disk.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t limit) {
    std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &old_);
    rlimit lim = old_;
    lim.rlim_cur = limit;
    ok_ = setrlimit(RLIMIT_FSIZE, &lim) == 0;
  }
  ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &old_); }
  bool ok() const { return ok_; }

 private:
  rlimit old_{};
  bool ok_ = false;
};
#endif

}  // namespace

TEST(EventFileLoad, MessagesNameTheFile) {
  EXPECT_EQ(LoadMessage(LoadStatus::FormatRefused, "/x/a.t7kev"), "Ошибка формата файла");
  EXPECT_EQ(LoadMessage(LoadStatus::EndOfFile, "/x/a.t7kev"), "Ошибка формата файла\r\n/x/a.t7kev");
  EXPECT_EQ(LoadMessage(LoadStatus::ReadError, "/x/a.t7kev"), "Не могу прочитать файл\r\n/x/a.t7kev");
}

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
  EXPECT_EQ(dir.Entries(), std::vector<std::string>({"a.t7kev"}));
  EXPECT_EQ(ReadBytes(path).size(), 1107u + 2 * 17 + 5 * 16);

  // A folder in the way of the target, and a folder that does not exist.
  std::filesystem::create_directory(dir.File("sub"));
  StoreOutcome onDir = StoreEventFile(dir.File("sub"), list);
  EXPECT_FALSE(onDir.ok);
  EXPECT_FALSE(onDir.osError.empty());
  EXPECT_FALSE(StoreEventFile(dir.File("none/b.t7kev"), list).ok);
  EXPECT_TRUE(std::filesystem::is_empty(dir.File("sub")));
  EXPECT_EQ(dir.Entries().size(), 2u);  // a.t7kev and sub, no temporary files
}

#ifndef _WIN32
TEST(EventFileStore, FailedWritesKeepTheOldFiles) {
  TempDir dir;
  const std::string events = dir.File("old.t7kev");
  const std::string report = dir.File("old.txt");
  const Bytes oldBytes(1000, 'k');
  WriteBytes(events, oldBytes);
  WriteBytes(report, oldBytes);

  const CT7KEventList big = MakeFullList(2000);  // ~33 KB as file or report
  {
    FileSizeLimit limit(16 * 1024);
    if (!limit.ok()) GTEST_SKIP() << "cannot limit file sizes here";
    EXPECT_FALSE(StoreEventFile(events, big).ok);
    EXPECT_FALSE(WriteReportFile(report, big, {}).ok);
  }
  EXPECT_EQ(ReadBytes(events), oldBytes);
  EXPECT_EQ(ReadBytes(report), oldBytes);
  EXPECT_EQ(dir.Entries().size(), 2u);
}
#endif

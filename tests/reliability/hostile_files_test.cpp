// Files built to hurt: huge length prefixes and counts, promises the file
// cannot keep, a folder, an unreadable file, a name with Cyrillic letters and
// blanks. Each must end with the right message, at once, with little memory,
// and leave the current list exactly as it was.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>

#include "lists/event_file.h"
#include "tests/lists/list_samples.h"
#include "tests/reliability/allocation_counter.h"

using namespace logwick;
using namespace logwick::test;

namespace {

constexpr std::size_t kMemoryBound = 256 * 1024;  // what a load of these files may allocate
constexpr double kTimeBoundMs = 2000;              // loose: "at once", not a speed test

struct Hostile {
  const char* name;
  std::function<std::string(const TempDir&)> make;  // creates the file, returns its path
  LoadStatus expected;
};

Bytes Header(std::uint32_t count, std::uint32_t textCount) {
  FileSpec s;
  s.count = count;
  s.textCount = textCount;
  return BuildFile(s);
}

std::string Write(const TempDir& dir, const std::string& name, const Bytes& b) {
  const std::string path = dir.File(name);
  WriteBytes(path, b);
  return path;
}

const Hostile kHostile[] = {
    {"2 GiB length prefix of the tag",
     [](const TempDir& d) { return Write(d, "tag.t7kev", {0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x80, 't'}); },
     LoadStatus::EndOfFile},
    {"2 GiB length prefix of a text",
     [](const TempDir& d) {
       Bytes b = Header(0, 1);
       for (std::uint8_t x : {0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x80}) b.push_back(x);
       return Write(d, "text.t7kev", b);
     },
     LoadStatus::EndOfFile},
    {"2 GiB of 16-bit characters",
     [](const TempDir& d) {
       Bytes b = Header(0, 1);
       for (std::uint8_t x : {0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x40}) b.push_back(x);
       return Write(d, "wide.t7kev", b);
     },
     LoadStatus::EndOfFile},
    {"text count 2^31-1",
     [](const TempDir& d) { return Write(d, "texts.t7kev", Header(0, 0x7FFFFFFF)); },
     LoadStatus::EndOfFile},
    {"100000 events announced, 10 present",
     [](const TempDir& d) {
       FileSpec s;
       s.count = 100000;
       for (std::uint32_t i = 0; i < 10; ++i) s.events.push_back(MakeEvent(0x3F20E305u + i, 4));
       return Write(d, "events.t7kev", BuildFile(s));
     },
     LoadStatus::EndOfFile},
    {"4294967295 events announced",
     [](const TempDir& d) { return Write(d, "count.t7kev", Header(0xFFFFFFFF, 0)); },
     LoadStatus::FormatRefused},
    {"a folder", [](const TempDir& d) {
       const std::string path = d.File("folder.t7kev");
       std::filesystem::create_directory(path);
       return path;
     },
     LoadStatus::ReadError},
    {"an empty file", [](const TempDir& d) { return Write(d, "empty.t7kev", {}); }, LoadStatus::EndOfFile},
};

struct Timed {
  LoadOutcome outcome;
  double ms;
  std::size_t allocated;
};

Timed TimedLoad(const std::string& path, CT7KEventList& list) {
  AllocationScope memory;
  const auto start = std::chrono::steady_clock::now();
  LoadOutcome o = LoadEventFile(path, list);
  const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  return {std::move(o), ms, memory.TotalBytes()};
}

}  // namespace

TEST(HostileFiles, RefusedQuicklyWithLittleMemoryAndTheListKept) {
  TempDir dir;
  const CT7KEventList before = MakeFullList(50);
  for (const Hostile& h : kHostile) {
    SCOPED_TRACE(h.name);
    const std::string path = h.make(dir);
    CT7KEventList list = before;
    const Timed t = TimedLoad(path, list);
    EXPECT_EQ(t.outcome.status, h.expected);
    EXPECT_TRUE(list == before);
    EXPECT_LT(t.ms, kTimeBoundMs);
    EXPECT_LT(t.allocated, kMemoryBound);
    const std::string message = LoadMessage(t.outcome.status, path);
    if (h.expected == LoadStatus::ReadError)
      EXPECT_EQ(message, "Не могу прочитать файл\r\n" + path);
    else if (h.expected == LoadStatus::EndOfFile)
      EXPECT_EQ(message, "Ошибка формата файла\r\n" + path);
    else
      EXPECT_EQ(message, "Ошибка формата файла");
  }
}

// Run as root, the check drops to an ordinary user in a child process, since
// root reads every file whatever its mode.
TEST(HostileFiles, UnreadableFileIsAReadError) {
  TempDir dir;
  const std::string path = dir.File("locked.t7kev");
  ASSERT_TRUE(StoreEventFile(path, MakeFullList(3)).ok);
  ASSERT_EQ(::chmod(path.c_str(), 0), 0);
  auto check = [&] {
    const CT7KEventList before = MakeFullList(1);
    CT7KEventList list = before;
    const Timed t = TimedLoad(path, list);
    return t.outcome.status == LoadStatus::ReadError && !t.outcome.osError.empty() &&
           LoadMessage(t.outcome.status, path) == "Не могу прочитать файл\r\n" + path &&
           list == before && t.ms < kTimeBoundMs;
  };
  if (::geteuid() != 0) {
    EXPECT_TRUE(check());
    return;
  }
  std::fflush(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) {
    constexpr uid_t kNobody = 65534;
    if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) _exit(2);
    _exit(check() ? 0 : 1);
  }
  ASSERT_GT(pid, 0);
  int status = 0;
  ::waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == 2) GTEST_SKIP() << "cannot drop to an ordinary user here";
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

// Names the user can pick: Cyrillic letters, blanks, a sign, in a folder named
// alike. A good file loads; a cut one names the very same path in its message.
TEST(HostileFiles, CyrillicNamesWithBlanksLoadAndAreNamedInMessages) {
  TempDir dir;
  const std::filesystem::path folder = dir.Path() / "Журналы объекта №3";
  std::filesystem::create_directory(folder);
  const std::string good = (folder / "Склад  1 (копия).t7kev").string();
  const CT7KEventList saved = MakeFullList(20);
  ASSERT_TRUE(StoreEventFile(good, saved).ok);
  CT7KEventList list;
  EXPECT_EQ(LoadEventFile(good, list).status, LoadStatus::Loaded);
  EXPECT_TRUE(list == saved);

  const std::string cut = (folder / "обрезанный файл.t7kev").string();
  Bytes b = ReadBytes(good);
  b.resize(b.size() - 7);
  WriteBytes(cut, b);
  const CT7KEventList before = list;
  const LoadOutcome o = LoadEventFile(cut, list);
  EXPECT_EQ(o.status, LoadStatus::EndOfFile);
  EXPECT_EQ(LoadMessage(o.status, cut), "Ошибка формата файла\r\n" + cut);
  EXPECT_TRUE(list == before);
}

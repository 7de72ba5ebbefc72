// Files built to hurt: huge length prefixes and counts, promises the file
// cannot keep, a folder, an unreadable file, all in a folder whose name has
// Cyrillic letters and blanks. Each must end with the right message, at once,
// with little memory, and leave the current list exactly as it was.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <new>

#include "lists/event_file.h"
#include "tests/lists/list_samples.h"

using namespace logwick;
using namespace logwick::test;

// Counts what operator new hands out, so that a load's memory is bounded
// without relying on timing or on the process's resident size.
namespace {
std::atomic<std::size_t> g_allocated{0};
}  // namespace
void* operator new(std::size_t n) {
  g_allocated += n;
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

constexpr std::size_t kMemoryBound = 256 * 1024;  // what a load of these files may allocate
constexpr double kTimeBoundMs = 2000;              // loose: "at once", not a speed test

struct Hostile {
  const char* name;
  std::function<void(const std::string& path)> make;
  LoadStatus expected;
};

// Text entries go into the file as they stand: here, bare length prefixes.
const Hostile kHostile[] = {
    {"метка длиной 2 ГиБ.t7kev", [](auto& p) { WriteBytes(p, {0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x80, 't'}); },
     LoadStatus::EndOfFile},
    {"текст длиной 2 ГиБ.t7kev",
     [](auto& p) { WriteBytes(p, BuildFile({.textCount = 1, .texts = {{0xFF, 0xFF, 0xFF, 0, 0, 0, 0x80}}})); },
     LoadStatus::EndOfFile},
    {"2 ГиБ 16-битных знаков.t7kev",
     [](auto& p) {
       WriteBytes(p, BuildFile({.textCount = 1, .texts = {{0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0x40}}}));
     },
     LoadStatus::EndOfFile},
    {"текстов 2^31-1.t7kev", [](auto& p) { WriteBytes(p, BuildFile({.textCount = 0x7FFFFFFF})); },
     LoadStatus::EndOfFile},
    {"100000 событий, есть 10.t7kev",
     [](auto& p) { WriteBytes(p, BuildFile({.count = 100000, .events = std::vector(10, MakeEvent(1, 4))})); },
     LoadStatus::EndOfFile},
    {"событий 2^32-1.t7kev", [](auto& p) { WriteBytes(p, BuildFile({.count = 0xFFFFFFFF})); },
     LoadStatus::FormatRefused},
    {"папка.t7kev", [](auto& p) { std::filesystem::create_directory(p); }, LoadStatus::ReadError},
    {"без права чтения.t7kev",
     [](auto& p) {
       ASSERT_TRUE(StoreEventFile(p, MakeFullList(3)).ok);
       ASSERT_EQ(::chmod(p.c_str(), 0), 0);
     },
     LoadStatus::ReadError},
};

// Root reads every file whatever its mode, so as root the checks run in a
// child process dropped to an ordinary user.
void AsOrdinaryUser(const std::function<void()>& check) {
  if (::geteuid() != 0) return check();
  std::fflush(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (::setgid(65534) != 0 || ::setuid(65534) != 0) _exit(2);
    check();
    std::fflush(nullptr);
    _exit(::testing::Test::HasFailure() ? 1 : 0);
  }
  int status = 0;
  ASSERT_GT(pid, 0);
  ASSERT_TRUE(::waitpid(pid, &status, 0) == pid && WIFEXITED(status));
  if (WEXITSTATUS(status) == 2) GTEST_SKIP() << "cannot drop to an ordinary user here";
  EXPECT_EQ(WEXITSTATUS(status), 0) << "failures reported by the child above";
}

}  // namespace

TEST(HostileFiles, RefusedQuicklyWithLittleMemoryAndTheListKept) {
  TempDir dir;
  const std::filesystem::path folder = dir.Path() / "Журналы объекта №3";
  std::filesystem::create_directory(folder);
  for (const Hostile& h : kHostile) h.make((folder / h.name).string());

  AsOrdinaryUser([&] {
    const CT7KEventList before = MakeFullList(50);
    const char* messages[] = {"", "Ошибка формата файла", "Ошибка формата файла\r\n", "Не могу прочитать файл\r\n"};
    for (const Hostile& h : kHostile) {
      SCOPED_TRACE(h.name);
      const std::string path = (folder / h.name).string();
      CT7KEventList list = before;
      const std::size_t allocatedBefore = g_allocated;
      const auto start = std::chrono::steady_clock::now();
      const LoadOutcome o = LoadEventFile(path, list);
      EXPECT_LT((std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count()),
                kTimeBoundMs);
      EXPECT_LT(g_allocated - allocatedBefore, kMemoryBound);
      EXPECT_EQ(o.status, h.expected);
      EXPECT_TRUE(list == before);
      const std::string withPath = h.expected == LoadStatus::FormatRefused ? "" : path;
      EXPECT_EQ(LoadMessage(o.status, path), messages[static_cast<int>(h.expected)] + withPath);
      EXPECT_EQ(o.osError.empty(), h.expected != LoadStatus::ReadError);
    }
  });
}

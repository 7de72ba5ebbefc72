// Files built to hurt, in a folder with Cyrillic letters and blanks: each ends
// with the right message, with little memory, the list unchanged.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "lists/event_file.h"
#include "tests/lists/child_process.h"
#include "tests/lists/list_samples.h"

using namespace logwick;
using namespace logwick::test;

// Counts what operator new hands out: a load's memory bound without timing.
static std::atomic<std::size_t> g_allocated{0};
void* operator new(std::size_t n) {
  g_allocated += n;
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

// A file's bytes, or none: a folder, or a file without the right to read it.
const std::tuple<const char*, Bytes, FileStatus> kHostile[] = {
    {"метка длиной 2 ГиБ", {0xFF, 0xFF, 0xFF, 0, 0, 0, 0x80, 't'}, FileStatus::EndOfFile},
    {"текст длиной 2 ГиБ", BuildFile({.textCount = 1, .texts = {{0xFF, 0xFF, 0xFF, 0, 0, 0, 0x80}}}),
     FileStatus::EndOfFile},
    {"2 ГиБ 16-битных знаков",
     BuildFile({.textCount = 1, .texts = {{0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0x40}}}),
     FileStatus::EndOfFile},
    {"текстов 2^31-1", BuildFile({.textCount = 0x7FFFFFFF}), FileStatus::EndOfFile},
    {"100000 событий, есть 10", BuildFile({.count = 100000, .events = std::vector(10, MakeEvent(1, 4))}),
     FileStatus::EndOfFile},
    {"событий 2^32-1", BuildFile({.count = 0xFFFFFFFF}), FileStatus::FormatRefused},
    {"папка", {}, FileStatus::ReadError},
    {"без права чтения", BuildFile({}), FileStatus::ReadError},
};

}  // namespace

TEST(HostileFiles, RefusedQuicklyWithLittleMemoryAndTheListKept) {
  TempDir dir;
  const std::filesystem::path folder = dir.Path() / "Журналы объекта №3";
  std::filesystem::create_directory(folder);
  const auto pathOf = [&](const char* name) { return (folder / (name + std::string(".t7kev"))).string(); };
  for (const auto& [name, bytes, expected] : kHostile)
    bytes.empty() ? void(std::filesystem::create_directory(pathOf(name))) : WriteBytes(pathOf(name), bytes);
  ::chmod(pathOf("без права чтения").c_str(), 0);

  // Root reads any file: the checks run in a child as an ordinary user.
  ChildProcess child(
      [&] {
        const CT7KEventList before = MakeFullList(50);
        const char* messages[] = {"", "Ошибка формата файла", "Ошибка формата файла\r\n",
                                  "Не могу прочитать файл\r\n"};
        for (const auto& [name, bytes, expected] : kHostile) {
          SCOPED_TRACE(name);
          const std::string path = pathOf(name);
          CT7KEventList list = before;
          const std::size_t allocatedBefore = g_allocated;
          const FileOutcome o = LoadEventFile(path, list);
          EXPECT_LT(g_allocated - allocatedBefore, 256u * 1024);  // the memory bound
          EXPECT_TRUE(o.status == expected && list == before);
          EXPECT_EQ(LoadMessage(o.status, path), messages[static_cast<int>(expected)] +
                                                     (expected == FileStatus::FormatRefused ? "" : path));
          EXPECT_EQ(o.osError.empty(), expected != FileStatus::ReadError);
        }
        return ::testing::Test::HasFailure() ? 1 : 0;
      },
      {dir.File("child"), true});
  const int status = child.Wait();
  if (status == ChildProcess::kNoOrdinaryUser) GTEST_SKIP() << "cannot drop to an ordinary user here";
  EXPECT_EQ(status, 0) << child.Out();
}

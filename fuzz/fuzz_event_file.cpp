// Arbitrary bytes as an event file. The file is loaded twice: from a real file
// (whose size the loader knows and checks every count against) and from a
// memory stream (size unknown). Both must end the same way; a refused or short
// file must leave the caller's list alone; a loaded list must store and load
// back unchanged.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz/fuzz_input.h"
#include "fuzz/memory_files.h"
#include "lists/event_file.h"

namespace {

CT7KEventList Sentinel() {
  CT7KEventList l;
  l.m_nPanelType = 2;
  l.m_nSerNum = 4242;
  l.m_texts = {"прежний текст"};
  l.AddTail(CT7KEvent{});
  return l;
}

// A plain buffer outlives the static destructors, so the exit hook can use it.
char g_path[64];

const char* Path() {
  if (!*g_path) {
    std::snprintf(g_path, sizeof g_path, "%s/logwick-fuzz-%d.t7kev",
                  access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp", static_cast<int>(getpid()));
    std::atexit([] { std::remove(g_path); });
  }
  return g_path;
}

bool WriteFile(const char* path, const std::uint8_t* data, std::size_t size) {
  std::FILE* f = std::fopen(path, "wb");
  if (!f) return false;
  const bool ok = std::fwrite(data, 1, size, f) == size;
  return std::fclose(f) == 0 && ok;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace logwick;
  const char* path = Path();
  static const CT7KEventList sentinel = Sentinel();

  if (!WriteFile(path, data, size)) return 0;
  CT7KEventList fromFile = sentinel;
  const LoadOutcome file = LoadEventFile(path, fromFile);
  if (file.status == LoadStatus::ReadError) fuzz::Fail("a readable file gave a read error");
  if (file.status != LoadStatus::Loaded && !(fromFile == sentinel))
    fuzz::Fail("a refused file changed the list");

  CT7KEventList fromMemory = sentinel;
  const LoadStatus memory = fuzz::LoadFromBytes(data, size, fromMemory);
  if (memory != file.status) fuzz::Fail("file and stream loads disagree");
  if (file.status != LoadStatus::Loaded) return 0;
  if (!(fromMemory == fromFile)) fuzz::Fail("file and stream loads read different lists");
  if (fromFile.GetCount() > CT7KEventList::kMaxEvents) fuzz::Fail("more events than allowed");

  if (!fuzz::SurvivesAFile(fromFile)) fuzz::Fail("a list changed on its way through a file");
  return 0;
}
